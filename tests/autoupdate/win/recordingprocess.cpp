#include "recordingprocess.h"

#include <windows.h>

std::string utf8FromAnsi(const char *text)
{
    if (!text || !*text)
        return std::string();
    const int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &w[0], wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

void RecordingProcess::clearRecords()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_traces.clear();
    m_errors.clear();
    m_updaters.clear();
    m_operationModeCalls = 0;
}

std::vector<RecordingProcess::Line> RecordingProcess::traces() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_traces;
}

std::vector<RecordingProcess::Line> RecordingProcess::errors() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_errors;
}

std::vector<std::string> RecordingProcess::updaters() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_updaters;
}

int RecordingProcess::operationModeCalls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_operationModeCalls;
}

void RecordingProcess::reserved0() {}

int32_t RecordingProcess::getOperationMode()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_operationModeCalls;
    }
    if (onOperationMode)
        onOperationMode();
    return mode;
}

const char *RecordingProcess::getUpdateUrl()
{
    return updateUrl.c_str();
}

void RecordingProcess::getProgramInfo(const char **name, const char **path)
{
    *name = versionName.c_str();
    *path = programPath.c_str();
}

void RecordingProcess::getUploadFiles(const char **first, const char **second)
{
    *first = fileToDelete.c_str();
    *second = archive.c_str();
}

const char *RecordingProcess::getIniFilePath()
{
    return nullIniPath ? nullptr : iniPath.c_str();
}

void RecordingProcess::reserved6() {}

void RecordingProcess::trace(const char *tag, const char *text, int32_t level)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_traces.push_back({tag ? tag : "", utf8FromAnsi(text), level});
}

void RecordingProcess::reportError(const char *tag, const char *text, int32_t code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_errors.push_back({tag ? tag : "", utf8FromAnsi(text), code});
}

void RecordingProcess::updaterReady(const char *path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_updaters.push_back(path ? path : "");
}
