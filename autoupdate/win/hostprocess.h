#pragma once

// The library's calls into the host's ProcessInterface, through the slot table
// laid out as the host's compiler made it (see qdautoupdate.h).

#include "qdautoupdate.h"

#include <cstdint>
#include <string>

class HostProcess
{
  public:
    explicit HostProcess(ProcessInterface *process = nullptr) : m_process(process) {}

    bool isSet() const { return m_process != nullptr; }
    int32_t operationMode() const;
    // Empty texts where the host gives null pointers.
    std::string updateUrl() const;
    void programInfo(std::string &versionName, std::string &programPath) const;
    void uploadFiles(std::string &fileToDelete, std::string &archive) const;
    // False when the host names no settings file.
    bool iniFilePath(std::string &path) const;
    void trace(const char *tag, const std::string &text, int32_t level) const;
    void reportError(const char *tag, const std::string &text, int32_t code) const;
    void updaterReady(const std::string &path) const;

  private:
    ProcessInterface *m_process;
};
