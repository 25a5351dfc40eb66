#pragma once

#include <windows.h>

#include <string>

// A DLL loaded with LoadLibrary as a host loads it, its exports looked up by name.
class HostLibrary
{
  public:
    HostLibrary() = default;
    explicit HostLibrary(const std::string &path);
    ~HostLibrary();
    HostLibrary(const HostLibrary &) = delete;
    HostLibrary &operator=(const HostLibrary &) = delete;

    bool load(const std::string &path);
    // Loads the last path again (after unload()).
    bool load();
    void unload();
    bool isLoaded() const { return m_module != nullptr; }
    HMODULE module() const { return m_module; }
    const std::string &path() const { return m_path; }

    // The export with that name as a function of type F; null when missing.
    template <typename F> F get(const char *name) const
    {
        if (!m_module)
            return nullptr;
        return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(m_module, name)));
    }

  private:
    std::string m_path;
    HMODULE m_module = nullptr;
};
