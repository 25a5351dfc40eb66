// The library's window classes through their messages and synthetic input,
// under a parent window that records the notices they send.
#include "dialogdriver.h"
#include "hostwindowtest.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

const int kControlId = 77;

class WindowClassTest : public HostWindowTest
{
  protected:
    HWND create(const char *className, DWORD style, int width, int height) const
    {
        return child(className, style, width, height, kControlId);
    }
};

DWORD colorOf(HWND control, LRESULT *kind)
{
    DWORD colour = 0xdeadbeef;
    *kind = SendMessageA(control, XCC_GETCOLOR, reinterpret_cast<WPARAM>(&colour), 0);
    return colour;
}

// The custom colours a colour dialog was opened with, caught as it starts.
COLORREF s_customColors[16];
bool s_sawColorDialog = false;

LRESULT CALLBACK watchColorDialog(int code, WPARAM wParam, LPARAM lParam)
{
    const auto *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && call->lParam) {
        const auto *request = reinterpret_cast<const CHOOSECOLORA *>(call->lParam);
        if (request->lStructSize == sizeof(CHOOSECOLORA) && request->lpCustColors) {
            memcpy(s_customColors, request->lpCustColors, sizeof s_customColors);
            s_sawColorDialog = true;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND comboEdit(HWND combo)
{
    return FindWindowExA(combo, nullptr, "Edit", nullptr);
}

void typeInto(HWND edit, const char *text)
{
    for (const char *c = text; *c; ++c)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
}

} // namespace

TEST_F(WindowClassTest, ColorControl)
{
    HWND control = create("xColorControl", 1, 150, 200);
    ASSERT_NE(nullptr, control);
    HWND combo = reinterpret_cast<HWND>(SendMessageA(control, XCC_GETCOMBO, 0, 0));
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ(9800, GetDlgCtrlID(combo));
    EXPECT_EQ(35, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    RECT outer, inner;
    GetWindowRect(control, &outer);
    GetWindowRect(combo, &inner);
    EXPECT_EQ(inner.right - inner.left + 4, outer.right - outer.left);

    LRESULT kind = 0;
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const DWORD automatic = (GetRValue(text) << 16) | (GetGValue(text) << 8) | GetBValue(text);
    EXPECT_EQ(automatic, colorOf(control, &kind));
    EXPECT_EQ(XCC_KIND_AUTOMATIC, kind);

    const struct {
        DWORD set;
        LRESULT kind;
        DWORD colour;
        int entry;
    } cases[] = {{0x7F7F7F, XCC_KIND_FIXED, 0x7F7F7F, 17},
                 {0x00FF00, XCC_KIND_FIXED, 0x00FF00, 4},
                 {0x123456, XCC_KIND_CUSTOM, 0x123456, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.set);
        SendMessageA(control, XCC_SETCOLOR, c.set, 0);
        EXPECT_EQ(c.colour, colorOf(control, &kind));
        EXPECT_EQ(c.kind, kind);
        EXPECT_EQ(c.entry, SendMessageA(combo, CB_GETCURSEL, 0, 0));
    }
    char entry[32] = {};
    SendMessageA(combo, CB_GETLBTEXT, 17, reinterpret_cast<LPARAM>(entry));
    EXPECT_STREQ("grau", entry);

    const DWORD user[16] = {0x010203, 0x040506};
    MORVEL_FN(m_morvel, InitUserColors)(user);
    SendMessageA(combo, CB_SETCURSEL, 20, 0);
    EXPECT_EQ(0x040506u, colorOf(control, &kind));
    EXPECT_EQ(XCC_KIND_USER, kind);
    MORVEL_FN(m_morvel, InitUserColors)(nullptr);

    SendMessageA(control, XCC_CLEAR, 0, 0);
    colorOf(control, &kind);
    EXPECT_EQ(XCC_KIND_NONE, kind);
    SendMessageA(control, XCC_SETAUTOCOLOR, 0x00AABB, 0);
    SendMessageA(control, XCC_SELECTFIRST, 0, 0);
    EXPECT_EQ(0x00AABBu, colorOf(control, &kind));

    // A choice in the list ends with OK; focus in and out.
    SendMessageA(combo, CB_SETCURSEL, 3, 0);
    SendMessageA(control, WM_COMMAND, MAKEWPARAM(9800, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
    SendMessageA(control, WM_COMMAND, MAKEWPARAM(9800, CBN_SETFOCUS), reinterpret_cast<LPARAM>(combo));
    SendMessageA(control, WM_COMMAND, MAKEWPARAM(9800, CBN_KILLFOCUS), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ("1;2;3;", commandCodes());
    for (const Notice &n : notices()) {
        EXPECT_EQ(kControlId, n.id);
        EXPECT_EQ(control, n.from);
    }

    EnableWindow(control, FALSE);
    EXPECT_FALSE(IsWindowEnabled(combo));
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCURSEL, 0, 0));
    DestroyWindow(control);
}

TEST_F(WindowClassTest, ColorControlAsksForOtherColours)
{
    HWND control = create("xColorControl", 0, 150, 200);
    ASSERT_NE(nullptr, control);
    HWND combo = reinterpret_cast<HWND>(SendMessageA(control, XCC_GETCOMBO, 0, 0));
    char first[32] = {};
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ("keine Farbe", first);
    LRESULT kind = 0;
    colorOf(control, &kind);
    EXPECT_EQ(XCC_KIND_NOCOLOR, kind);

    SendMessageA(control, XCC_SETCOLOR, 0x336699, 0);
    const DWORD user[16] = {0x102030, 0x405060};
    MORVEL_FN(m_morvel, InitUserColors)(user);
    s_sawColorDialog = false;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, watchColorDialog, nullptr, GetCurrentThreadId());
    ShownColor shown;
    DialogDriver driver(answerColorDialog(shown, IDOK));
    SendMessageA(control, WM_COMMAND, MAKEWPARAM(9800, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
    UnhookWindowsHookEx(hook);
    MORVEL_FN(m_morvel, InitUserColors)(nullptr);
    EXPECT_TRUE(driver.done());
    ASSERT_TRUE(s_sawColorDialog);
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), s_customColors[0]) << "the host's user colours, in the system's layout";
    EXPECT_EQ(RGB(0x40, 0x50, 0x60), s_customColors[1]);
    EXPECT_EQ(0x33, shown.red);
    EXPECT_EQ(0x66, shown.green);
    EXPECT_EQ(0x99, shown.blue);
    EXPECT_EQ("1;", commandCodes()) << "the parent hears after the colour dialog";
    EXPECT_EQ(0x336699u, colorOf(control, &kind));
    EXPECT_EQ(XCC_KIND_CUSTOM, kind);
    DestroyWindow(control);
}

TEST_F(WindowClassTest, RangeField)
{
    HWND field = create("xRangeField", 0, 80, 24);
    ASSERT_NE(nullptr, field);
    HWND edit = FindWindowExA(field, nullptr, "Edit", nullptr);
    HWND scroll = FindWindowExA(field, nullptr, "ScrollBar", nullptr);
    ASSERT_NE(nullptr, edit);
    ASSERT_NE(nullptr, scroll);
    EXPECT_EQ(0x90, SendMessageA(edit, WM_GETDLGCODE, 0, 0));

    SendMessageA(field, XRF_SETRANGE, 1, 10);
    EXPECT_EQ(0, SendMessageA(field, XRF_SETVALUE, 10, 0));
    EXPECT_EQ("10", windowText(edit));
    clearNotices();
    SendMessageA(field, WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(scroll));
    EXPECT_EQ("10", windowText(edit)) << "no step past the maximum";
    EXPECT_EQ("", commandCodes());
    SendMessageA(field, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(scroll));
    EXPECT_EQ("9", windowText(edit));
    EXPECT_EQ("402;401;", commandCodes()) << "the edit's text changed, then the value";
    LONG value = 0;
    EXPECT_EQ(1, SendMessageA(field, XRF_GETVALUE, reinterpret_cast<WPARAM>(&value), 0));
    EXPECT_EQ(9, value);

    // Typing: only digits, "-" and backspace reach the edit.
    SetWindowTextA(edit, "");
    clearNotices();
    typeInto(edit, "1a1");
    EXPECT_EQ("11", windowText(edit));
    EXPECT_EQ("402;402;", commandCodes());

    // Leaving the field with 11 shows the range and keeps 9.
    std::wstring message, caption;
    {
        DialogDriver driver(answerMessageBox(caption, message, IDOK));
        SendMessageA(edit, WM_KILLFOCUS, 0, 0);
        EXPECT_TRUE(driver.done());
    }
    EXPECT_EQ(L"Der eingegebene Wert mu\u00df zwischen 1 und 10 liegen.", message);
    EXPECT_EQ(L"xMORVEL - Hinweis ..", caption);
    EXPECT_EQ(9, SendMessageA(field, XRF_SETVALUE, 9, 0));

    // An accepted entry is a change.
    SetWindowTextA(edit, "7");
    clearNotices();
    SendMessageA(edit, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ("401;", commandCodes());
    EXPECT_EQ(7, SendMessageA(field, XRF_SETVALUE, 7, 0));

    EnableWindow(field, FALSE);
    EXPECT_FALSE(IsWindowEnabled(edit));
    EXPECT_FALSE(IsWindowEnabled(scroll));
    DestroyWindow(field);
}

TEST_F(WindowClassTest, FontSize)
{
    HWND control = create("xFontSize", 0, 60, 200);
    ASSERT_NE(nullptr, control);
    HWND combo = GetDlgItem(control, 9900);
    ASSERT_NE(nullptr, combo);
    HWND edit = comboEdit(combo);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(16, SendMessageA(combo, CB_GETCOUNT, 0, 0));

    LONG size = 0;
    EXPECT_EQ(2, SendMessageA(control, XFS_GETSIZE, 0, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(12, size);
    EXPECT_EQ(1, SendMessageA(control, XFS_GETSIZE, 0, 0)) << "no address, nothing stored";

    SendMessageA(control, XFS_SETSIZE, 0, 24);
    EXPECT_EQ(10, SendMessageA(combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(2, SendMessageA(control, XFS_GETSIZE, 0, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(24, size);
    SendMessageA(control, XFS_SETSIZE, 0, 13);
    EXPECT_EQ("13", windowText(edit));
    EXPECT_EQ(3, SendMessageA(control, XFS_GETSIZE, 0, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(13, size);

    // Typed sizes.
    const struct {
        const char *typed;
        const char *shown;
        LRESULT result;
        LONG size;
    } cases[] = {{",10,5.", "10,5", 3, 10}, {"11.5", "11.5", 3, 12}, {"9x", "9", 3, 9}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        SendMessageA(control, XFS_CLEAR, 0, 0);
        SetWindowTextA(edit, "");
        typeInto(edit, c.typed);
        EXPECT_EQ(c.shown, windowText(edit));
        size = -1;
        EXPECT_EQ(c.result, SendMessageA(control, XFS_GETSIZE, 0, reinterpret_cast<LPARAM>(&size)));
        EXPECT_EQ(c.size, size);
    }
    SendMessageA(control, XFS_CLEAR, 0, 0);
    SetWindowTextA(edit, "abc"); // not typed, so not filtered
    EXPECT_EQ(3, SendMessageA(control, XFS_GETSIZE, 0, reinterpret_cast<LPARAM>(&size)));
    EXPECT_EQ(12, size);
    SetWindowTextA(edit, "");
    EXPECT_EQ(1, SendMessageA(control, XFS_GETSIZE, 0, reinterpret_cast<LPARAM>(&size)));
    SetWindowTextA(edit, "14");
    size = -1;
    EXPECT_EQ(1, SendMessageA(control, XFS_GETSIZE, 0, 0)) << "typed text, no address";
    EXPECT_EQ(-1, size);

    clearNotices();
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageA(edit, WM_KEYDOWN, VK_TAB, 0);
    SendMessageA(control, WM_COMMAND, MAKEWPARAM(9900, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
    SendMessageA(control, WM_COMMAND, MAKEWPARAM(9900, CBN_SETFOCUS), reinterpret_cast<LPARAM>(combo));
    SendMessageA(control, WM_COMMAND, MAKEWPARAM(9900, CBN_KILLFOCUS), reinterpret_cast<LPARAM>(combo));
    SendMessageA(control, WM_COMMAND, MAKEWPARAM(9900, CBN_DROPDOWN), reinterpret_cast<LPARAM>(combo));
    // Return notifies and puts the focus into the edit part, which the combo box reports.
    EXPECT_EQ("1;2;1;1;2;3;", commandCodes());
    DestroyWindow(control);
}

TEST_F(WindowClassTest, UnloadAndReload)
{
    HWND before = create("xRangeField", 0, 80, 24);
    ASSERT_NE(nullptr, before);
    DestroyWindow(before);
    m_morvel.unload();
    for (const char *name :
         {"xColorControl", "xRangeField", "xFontSize", "xListControl", "xMorvel32 Ruler"}) {
        SCOPED_TRACE(name);
        WNDCLASSA info;
        EXPECT_FALSE(GetClassInfoA(nullptr, name, &info)) << "still registered after unloading";
        EXPECT_EQ(nullptr, create(name, 0, 80, 24));
    }
    ASSERT_TRUE(m_morvel.load());
    for (const char *name :
         {"xColorControl", "xRangeField", "xFontSize", "xListControl", "xMorvel32 Ruler"}) {
        SCOPED_TRACE(name);
        HWND again = create(name, 0, 120, 60);
        EXPECT_NE(nullptr, again);
        DestroyWindow(again);
    }
}
