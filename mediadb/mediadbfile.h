#pragma once

#include <cstdio>
#include <string>

// An open C file, closed on every way out. A caller that must know whether
// the last bytes reached the file closes it itself and looks at the result.
class MediaDbFile
{
  public:
    MediaDbFile() = default;
    MediaDbFile(const std::string &path, const char *mode) { open(path, mode); }
    ~MediaDbFile() { close(); }
    MediaDbFile(const MediaDbFile &) = delete;
    MediaDbFile &operator=(const MediaDbFile &) = delete;

    // Any file held before is closed first.
    bool open(const std::string &path, const char *mode)
    {
        close();
        m_file = std::fopen(path.c_str(), mode);
        return m_file != nullptr;
    }
    // False when the close failed or no file was open.
    bool close()
    {
        std::FILE *file = m_file;
        m_file = nullptr;
        return file && std::fclose(file) == 0;
    }
    explicit operator bool() const { return m_file != nullptr; }
    std::FILE *get() const { return m_file; }

  private:
    std::FILE *m_file = nullptr;
};
