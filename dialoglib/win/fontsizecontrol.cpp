// "xFontSize": a drop-down combo box of font sizes with an edit part for
// any other size.
#include "morvel.h"
#include "morvelcontrolstate.h"
#include "morvelfontsize.h"
#include "morvelfontsizefield.h"
#include "morvelmodule.h"

#include <string>

namespace
{

const int kComboId = 9900;

struct FontSizeControl {
    HWND combo = nullptr;
    HWND edit = nullptr;
    WNDPROC editProc = nullptr;
};

// The "xFontSize" window above an edit part.
HWND controlOfEdit(HWND edit)
{
    return GetParent(GetParent(edit));
}

std::string editText(HWND edit, int limit)
{
    char text[32] = {};
    GetWindowTextA(edit, text, limit + 1);
    return text;
}

LRESULT CALLBACK editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = controlOfEdit(edit);
    FontSizeControl *state = controlState<FontSizeControl>(control);
    if (!state || !state->editProc)
        return DefWindowProcA(edit, message, wParam, lParam);
    switch (message) {
    case WM_CHAR:
        if (!MorvelFontSizeField::acceptsChar(static_cast<unsigned char>(wParam), editText(edit, 15)))
            return 0;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_TAB || wParam == VK_RETURN) {
            notifyParent(GetParent(control), control, 1);
            SetFocus(edit);
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_TAB || wParam == VK_RETURN)
            return 0;
        break;
    default:
        break;
    }
    return CallWindowProcA(state->editProc, edit, message, wParam, lParam);
}

LRESULT create(HWND window, const CREATESTRUCTA &create)
{
    HWND combo = CreateWindowExA(
        0, "ComboBox", "", create.style | WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_HASSTRINGS,
        0, 0, create.cx, create.cy, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboId)),
        morvelModule(), nullptr);
    if (!combo)
        return -1;
    POINT inside = {3, 3};
    HWND edit = ChildWindowFromPoint(combo, inside);
    SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT)), TRUE);
    fitToCombo(window, combo);
    FontSizeControl *state = makeControlState<FontSizeControl>(window);
    if (!state) {
        DestroyWindow(combo);
        return -1;
    }
    state->combo = combo;
    state->edit = edit != combo ? edit : nullptr;
    if (state->edit)
        state->editProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(state->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc)));
    for (uint8_t size : MorvelFontSize::kSizes) {
        char text[16] = {};
        BinaryToString(size, 2, text);
        const LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), size);
    }
    SendMessageA(combo, CB_SETCURSEL, MorvelFontSizeField::kStartEntry, 0);
    return 0;
}

LRESULT showSize(FontSizeControl &state, LONG size)
{
    const std::string text = std::to_string(size);
    const LRESULT index = SendMessageA(state.combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) {
        if (SendMessageA(state.combo, CB_GETCURSEL, 0, 0) != index)
            SendMessageA(state.combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    } else {
        SendMessageA(state.combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetWindowTextA(state.combo, text.c_str());
    }
    return 0;
}

LRESULT readSize(FontSizeControl &state, LONG *size)
{
    const LRESULT selected = SendMessageA(state.combo, CB_GETCURSEL, 0, 0);
    // Without an address nothing is stored, whatever the field shows.
    if (!size)
        return 1;
    if (selected >= 0) {
        *size =
            static_cast<LONG>(SendMessageA(state.combo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
        return 2;
    }
    char text[16] = {};
    if (GetWindowTextA(state.combo, text, sizeof text) <= 0)
        return 1;
    LONG kind = 0;
    const LONG result = StringToBinary(text, size, &kind);
    *size = MorvelFontSizeField::sizeFromNumber(result, kind, static_cast<uint32_t>(*size));
    return 3;
}

} // namespace

LRESULT CALLBACK morvelFontSizeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return create(window, *reinterpret_cast<const CREATESTRUCTA *>(lParam));
    FontSizeControl *state = controlState<FontSizeControl>(window);
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == state->combo)
            forwardComboNotice(window, HIWORD(wParam));
        return 0;
    case XFS_SETSIZE:
        return showSize(*state, static_cast<LONG>(lParam));
    case XFS_GETSIZE:
        return readSize(*state, reinterpret_cast<LONG *>(lParam));
    case XFS_CLEAR:
        SendMessageA(state->combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return 0;
    case WM_SETFONT:
    case WM_SETTEXT:
    case WM_SHOWWINDOW:
        SendMessageA(state->combo, message, wParam, lParam);
        break;
    case WM_SETFOCUS:
        SetFocus(state->combo);
        return 0;
    case WM_KILLFOCUS:
        return SendMessageA(state->combo, message, wParam, lParam);
    case WM_ENABLE:
        EnableWindow(state->combo, static_cast<BOOL>(wParam));
        return 0;
    case WM_DESTROY:
        if (state->edit && state->editProc)
            SetWindowLongPtrA(state->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state->editProc));
        DestroyWindow(state->combo);
        freeControlState<FontSizeControl>(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
