#include "dialogdriver.h"

namespace
{

DialogDriver *s_current = nullptr;
const UINT kTickMs = 30;

BOOL CALLBACK findDialog(HWND window, LPARAM parameter)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && lstrcmpA(name, "#32770") == 0) {
        *reinterpret_cast<HWND *>(parameter) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND findThreadDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

DialogDriver::Action answerMessageBox(std::wstring &caption, std::wstring &text, int button)
{
    return [&caption, &text, button](HWND box, int) {
        caption = windowTextW(box);
        text = windowTextW(GetDlgItem(box, 0xffff)); // the message's static control
        pressButton(box, button);
        return true;
    };
}

DialogDriver::Action answerColorDialog(ShownColor &shown, int button)
{
    return [&shown, button](HWND dialog, int step) {
        if (step < 2)
            return false;
        // The edit fields of the colour dialog's template.
        shown.red = static_cast<int>(GetDlgItemInt(dialog, 706, nullptr, FALSE));
        shown.green = static_cast<int>(GetDlgItemInt(dialog, 707, nullptr, FALSE));
        shown.blue = static_cast<int>(GetDlgItemInt(dialog, 708, nullptr, FALSE));
        pressButton(dialog, button);
        return true;
    };
}

DialogDriver::DialogDriver(Action action, DWORD timeoutMs)
    : m_action(std::move(action)), m_start(GetTickCount()), m_timeout(timeoutMs)
{
    s_current = this;
    m_timer = SetTimer(nullptr, 0, kTickMs, tick);
}

DialogDriver::~DialogDriver()
{
    if (m_timer)
        KillTimer(nullptr, m_timer);
    s_current = nullptr;
}

void CALLBACK DialogDriver::tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (s_current)
        s_current->onTick();
}

void DialogDriver::onTick()
{
    if (m_done || m_timedOut)
        return;
    HWND dialog = findThreadDialog();
    if (GetTickCount() - m_start > m_timeout) {
        // Never hang the test: close whatever is open.
        m_timedOut = true;
        if (dialog) {
            pressButton(dialog, IDCANCEL);
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
        return;
    }
    if (dialog && m_action(dialog, m_step++))
        m_done = true;
}
