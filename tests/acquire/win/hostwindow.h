#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A hidden window of the host that logs QDWIA's notices:
// "status 50", "connected cam-1", "disconnected cam-1".
class HostWindow
{
  public:
    static constexpr UINT kMessage = WM_APP + 21;

    explicit HostWindow(std::vector<std::string> &log);
    ~HostWindow();
    HostWindow(const HostWindow &) = delete;
    HostWindow &operator=(const HostWindow &) = delete;

    HWND handle() const { return m_window; }
    // The thread that handled the last notice.
    DWORD lastThread() const { return m_lastThread; }

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<std::string> &m_log;
    HWND m_window = nullptr;
    DWORD m_lastThread = 0;
};
