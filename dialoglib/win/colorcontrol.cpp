// "xColorControl": an owner-drawn drop-down list of colours.
#include "morvel.h"
#include "morvelcolormodel.h"
#include "morvelcontrolstate.h"
#include "morvelmodule.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

const int kComboId = 9800;
const UINT kAutomaticList = 20095, kNoColorList = 20096;

struct ColorControl {
    ColorControl(bool noneList, uint32_t automatic) : model(noneList, automatic) {}
    MorvelColorModel model;
    HWND combo = nullptr;
};

std::vector<std::string> entryTexts(UINT id)
{
    std::vector<std::string> texts;
    HRSRC resource = FindResourceA(morvelModule(), MAKEINTRESOURCEA(id), RT_RCDATA);
    if (!resource)
        return texts;
    const DWORD size = SizeofResource(morvelModule(), resource);
    const auto *data = static_cast<const char *>(LockResource(LoadResource(morvelModule(), resource)));
    for (DWORD at = 0; data && at < size;) {
        const void *zero = memchr(data + at, 0, size - at);
        if (!zero)
            break;
        const auto length = static_cast<DWORD>(static_cast<const char *>(zero) - (data + at));
        texts.emplace_back(data + at, length);
        at += length + 1;
    }
    return texts;
}

COLORREF toSystem(uint32_t colour)
{
    return morvelSwapRedBlue(colour) & 0x00ffffffu;
}

int selection(const ColorControl &state)
{
    return static_cast<int>(SendMessageA(state.combo, CB_GETCURSEL, 0, 0));
}

void drawEntry(const ColorControl &state, const DRAWITEMSTRUCT &item)
{
    if (static_cast<int>(item.itemID) < 0)
        return;
    HDC dc = item.hDC;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF text = GetSysColor(disabled   ? COLOR_GRAYTEXT
                                      : selected ? COLOR_HIGHLIGHTTEXT
                                                 : COLOR_BTNTEXT);
    const COLORREF back = GetSysColor(disabled ? COLOR_BTNFACE : selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    HBRUSH backBrush = CreateSolidBrush(back);
    FillRect(dc, &item.rcItem, backBrush);
    DeleteObject(backBrush);

    char label[64] = {};
    SendMessageA(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(label));
    const RECT &r = item.rcItem;
    if (strlen(label) == 1) {
        HPEN pen = CreatePen(PS_SOLID, 1, text);
        HGDIOBJ old = SelectObject(dc, pen);
        const int middle = (r.top + r.bottom) / 2;
        MoveToEx(dc, r.left, middle, nullptr);
        LineTo(dc, r.right, middle);
        SelectObject(dc, old);
        DeleteObject(pen);
        return;
    }
    const int side = (r.bottom - r.top) - 4;
    RECT swatch = {r.left + 2, r.top + 2, r.left + 2 + side, r.top + 2 + side};
    uint32_t colour = 0;
    const bool filled = state.model.swatch(static_cast<int>(item.itemID),
                                           reinterpret_cast<const uint32_t *>(morvelUserColors()), &colour);
    if (filled && !disabled) {
        HBRUSH fill = CreateSolidBrush(toSystem(colour));
        FillRect(dc, &swatch, fill);
        DeleteObject(fill);
    }
    HBRUSH frame = CreateSolidBrush(disabled ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
    FrameRect(dc, &swatch, frame);
    DeleteObject(frame);
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    RECT textRect = {swatch.right + 8, r.top, r.right, r.bottom};
    DrawTextA(dc, label, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &r);
}

// The colour dialog on the custom colour, with the host's user colours.
void chooseCustom(HWND window, ColorControl &state)
{
    COLORREF custom[16];
    const DWORD *user = morvelUserColors();
    for (int i = 0; i < 16; ++i)
        custom[i] = user ? toSystem(user[i]) : RGB(255, 255, 255);
    CHOOSECOLORA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = window;
    request.rgbResult = toSystem(state.model.custom());
    request.lpCustColors = custom;
    request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_SHOWHELP;
    if (ChooseColorA(&request))
        state.model.setCustom(morvelSwapRedBlue(request.rgbResult) & 0x00ffffffu);
}

LRESULT create(HWND window, const CREATESTRUCTA &create)
{
    const bool noneList = !(create.style & 1);
    ColorControl *state = makeControlState<ColorControl>(
        window, noneList, morvelSwapRedBlue(GetSysColor(COLOR_WINDOWTEXT)) & 0xffffffu);
    if (!state)
        return -1;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                        CBS_HASSTRINGS | (create.style & (WS_TABSTOP | WS_DISABLED));
    state->combo =
        CreateWindowExA(0, "COMBOBOX", "", style, 0, 0, create.cx, create.cy, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboId)), morvelModule(), nullptr);
    if (!state->combo)
        return -1;
    fitToCombo(window, state->combo);
    for (const std::string &text : entryTexts(noneList ? kNoColorList : kAutomaticList))
        SendMessageA(state->combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(state->combo, CB_SETCURSEL, 0, 0);
    return 0;
}

} // namespace

LRESULT CALLBACK morvelColorControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return create(window, *reinterpret_cast<const CREATESTRUCTA *>(lParam));
    ColorControl *state = controlState<ColorControl>(window);
    if (!state)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_MEASUREITEM: {
        auto *measure = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        HDC screen = GetDC(nullptr);
        measure->itemHeight = static_cast<UINT>(MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72) + 5);
        ReleaseDC(nullptr, screen);
        return TRUE;
    }
    case WM_DRAWITEM:
        drawEntry(*state, *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) != state->combo)
            break;
        // The custom colour is chosen before the parent hears of the choice.
        if (HIWORD(wParam) == CBN_SELENDOK && selection(*state) == MorvelColorModel::kCustomEntry)
            chooseCustom(window, *state);
        forwardComboNotice(window, HIWORD(wParam));
        return 0;
    case XCC_SETCOLOR:
        SendMessageA(state->combo, CB_SETCURSEL,
                     static_cast<WPARAM>(state->model.select(static_cast<uint32_t>(wParam))), 0);
        return 0;
    case XCC_GETCOLOR: {
        uint32_t colour = 0;
        const int kind = state->model.query(selection(*state),
                                            reinterpret_cast<const uint32_t *>(morvelUserColors()), &colour);
        if (kind != MorvelColorModel::Nothing && wParam)
            *reinterpret_cast<DWORD *>(wParam) = colour;
        return kind;
    }
    case XCC_SELECTFIRST:
        SendMessageA(state->combo, CB_SETCURSEL, 0, 0);
        return 0;
    case XCC_GETCOMBO:
        return reinterpret_cast<LRESULT>(state->combo);
    case XCC_CLEAR:
        SendMessageA(state->combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return 0;
    case XCC_SETAUTOCOLOR:
        state->model.setAutomatic(static_cast<uint32_t>(wParam) & 0x00ffffffu);
        InvalidateRect(state->combo, nullptr, TRUE);
        return 0;
    case WM_ENABLE:
        EnableWindow(state->combo, static_cast<BOOL>(wParam));
        SendMessageA(state->combo, CB_SETCURSEL, 0, 0);
        return 0;
    case WM_SETFOCUS:
        SetFocus(state->combo);
        return 0;
    case WM_SETFONT:
    case WM_SETTEXT:
    case WM_SHOWWINDOW:
        SendMessageA(state->combo, message, wParam, lParam);
        break;
    case WM_DESTROY:
        DestroyWindow(state->combo);
        freeControlState<ColorControl>(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
