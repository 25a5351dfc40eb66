#pragma once

#include "morvellibrary.h"

#include <windows.h>

#include <string>
#include <vector>

// A notice a child window sent its parent: WM_COMMAND (item -1, no point) or WM_NOTIFY.
struct Notice {
    UINT message;
    int id;
    int code;
    HWND from;
    int item;
    POINT point;
};

// A test with morvel loaded and a top-level host window that records the
// WM_COMMAND and WM_NOTIFY notices its child windows send it.
class HostWindowTest : public MorvelTest
{
  protected:
    explicit HostWindowTest(DWORD style = WS_POPUP, int width = 600, int height = 400);
    void SetUp() override;
    void TearDown() override;

    HWND parent() const { return m_parent; }
    // A visible child window of the host window, at its top left.
    HWND child(const char *className, DWORD style, int width, int height, int id) const;

    const std::vector<Notice> &notices() const { return m_notices; }
    void clearNotices() { m_notices.clear(); }
    // Codes of the WM_COMMAND notices so far, in hex: "1;402;".
    std::string commandCodes() const;

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    DWORD m_style;
    int m_width;
    int m_height;
    HWND m_parent = nullptr;
    std::vector<Notice> m_notices;
};
