#include "hostwindowtest.h"

#include <commctrl.h>

#include <cstdio>

namespace
{

const char kClassName[] = "MorvelNoticeRecorder";

} // namespace

HostWindowTest::HostWindowTest(DWORD style, int width, int height)
    : m_style(style), m_width(width), m_height(height)
{
}

void HostWindowTest::SetUp()
{
    MorvelTest::SetUp();
    WNDCLASSA recorder = {};
    recorder.lpfnWndProc = procedure;
    recorder.hInstance = GetModuleHandleA(nullptr);
    recorder.lpszClassName = kClassName;
    recorder.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&recorder); // fails harmlessly when already registered
    m_parent = CreateWindowA(kClassName, "Host", m_style, 0, 0, m_width, m_height, nullptr, nullptr, nullptr,
                             nullptr);
    ASSERT_NE(nullptr, m_parent);
    SetWindowLongPtrA(m_parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void HostWindowTest::TearDown()
{
    // The children's state blocks go with them, before the blocks are counted.
    if (m_parent)
        DestroyWindow(m_parent);
    m_parent = nullptr;
    MorvelTest::TearDown();
}

HWND HostWindowTest::child(const char *className, DWORD style, int width, int height, int id) const
{
    return CreateWindowA(className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, width, height, m_parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

std::string HostWindowTest::commandCodes() const
{
    std::string out;
    for (const Notice &n : m_notices) {
        if (n.message == WM_COMMAND) {
            char code[16];
            snprintf(code, sizeof code, "%x;", n.code);
            out += code;
        }
    }
    return out;
}

LRESULT CALLBACK HostWindowTest::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = reinterpret_cast<HostWindowTest *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_COMMAND)
        self->m_notices.push_back(
            {message, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam), -1, {}});
    if (self && message == WM_NOTIFY) {
        const auto *notice = reinterpret_cast<const NMLISTVIEW *>(lParam);
        self->m_notices.push_back({message, static_cast<int>(notice->hdr.idFrom),
                                   static_cast<int>(notice->hdr.code), notice->hdr.hwndFrom, notice->iItem,
                                   notice->ptAction});
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
