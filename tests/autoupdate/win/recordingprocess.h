#pragma once

// The test's host object: answers the library's questions from its fields and
// records what the library tells it. trace, reportError and updaterReady may
// come from the update worker.

#include "qdautoupdate.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

class RecordingProcess : public ProcessInterface
{
  public:
    struct Line {
        std::string tag;
        std::string text; // UTF-8
        int32_t value;
    };

    int32_t mode = 1;
    std::string updateUrl;
    std::string versionName = "1.0";
    std::string programPath;
    std::string fileToDelete;
    std::string archive;
    std::string iniPath;
    bool nullIniPath = false;
    // Called on the window's thread when the library asks for the mode.
    std::function<void()> onOperationMode;

    // Forgets what was recorded, for the next run.
    void clearRecords();
    std::vector<Line> traces() const;
    std::vector<Line> errors() const;
    std::vector<std::string> updaters() const;
    int operationModeCalls() const;

    void QDAU_THISCALL reserved0() override;
    int32_t QDAU_THISCALL getOperationMode() override;
    const char *QDAU_THISCALL getUpdateUrl() override;
    void QDAU_THISCALL getProgramInfo(const char **versionName, const char **programPath) override;
    void QDAU_THISCALL getUploadFiles(const char **fileToDelete, const char **archive) override;
    const char *QDAU_THISCALL getIniFilePath() override;
    void QDAU_THISCALL reserved6() override;
    void QDAU_THISCALL trace(const char *tag, const char *text, int32_t level) override;
    void QDAU_THISCALL reportError(const char *tag, const char *text, int32_t code) override;
    void QDAU_THISCALL updaterReady(const char *path) override;

  private:
    mutable std::mutex m_mutex;
    std::vector<Line> m_traces;
    std::vector<Line> m_errors;
    std::vector<std::string> m_updaters;
    int m_operationModeCalls = 0;
};

// An ANSI text of the library as UTF-8.
std::string utf8FromAnsi(const char *text);
