#pragma once

// The library's one application object: the host's process object, the
// busy and result flags of DoAutoUpdate, the cached language code, and the
// module whose resources the library uses. Used by the host's thread and the
// update worker.

#include "hostprocess.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

class UpdaterApp
{
  public:
    static UpdaterApp &instance();

    void setModule(HMODULE module) { m_module = module; }
    HMODULE module() const { return m_module; }

    // Claims the one update window; false while another call holds it.
    bool tryEnter();
    void leave();

    void setProcess(ProcessInterface *process) { m_process.store(process); }
    HostProcess process() const { return HostProcess(m_process.load()); }
    void setResult(int32_t result) { m_result.store(result); }
    int32_t result() const { return m_result.load(); }

    // The "LANGUAGE_ID" of section "Web", "F" by default; read once per load.
    std::string languageId();

    std::string loadString(UINT id) const;
    // A message box captioned with the library's name.
    int messageBox(HWND owner, const std::string &text, UINT type) const;

  private:
    UpdaterApp() = default;

    std::atomic<ProcessInterface *> m_process{nullptr};
    std::atomic<int32_t> m_result{0};
    std::atomic<bool> m_busy{false};
    std::mutex m_languageMutex;
    std::string m_languageId;
    HMODULE m_module = nullptr;
};
