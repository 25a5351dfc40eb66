#pragma once

#include <string>

// A folder of its own below the temporary folder, named after a prefix and
// this process, deleted with everything in it at the end. path() is empty
// when no folder could be made.
class ScratchFolder
{
  public:
    explicit ScratchFolder(const std::string &prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "\\" + name; }
    bool write(const std::string &name, const std::string &content) const;

  private:
    std::string m_path;
};
