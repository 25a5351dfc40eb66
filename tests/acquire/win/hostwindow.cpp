#include "hostwindow.h"

namespace
{

const char kWindowClass[] = "QdWiaHostWindow";

} // namespace

HostWindow::HostWindow(std::vector<std::string> &log) : m_log(log)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &HostWindow::procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass); // fails harmlessly when already registered
    m_window = CreateWindowExA(0, kWindowClass, "host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HostWindow::~HostWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}

LRESULT CALLBACK HostWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = reinterpret_cast<HostWindow *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message != kMessage || !self)
        return DefWindowProcA(window, message, wParam, lParam);
    self->m_lastThread = GetCurrentThreadId();
    // The identifier is valid only during the message: copied here.
    const char *text = reinterpret_cast<const char *>(lParam);
    switch (wParam) {
    case 0:
        self->m_log.push_back("status " + std::to_string(lParam));
        break;
    case 1:
        self->m_log.push_back(std::string("connected ") + (text ? text : "(null)"));
        break;
    case 2:
        self->m_log.push_back(std::string("disconnected ") + (text ? text : "(null)"));
        break;
    default:
        self->m_log.push_back("notice " + std::to_string(wParam));
        break;
    }
    return 0;
}
