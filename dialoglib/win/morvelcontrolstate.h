#pragma once
// The state block of a morvel window class: a vellum block behind the
// window's user data, made at creation and freed at destruction.

#include "vellum.h"

#include <windows.h>

#include <new>
#include <utility>

template <typename State> State *controlState(HWND window)
{
    return reinterpret_cast<State *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

template <typename State, typename... Args> State *makeControlState(HWND window, Args &&...args)
{
    void *block = OwnAllocMem(sizeof(State));
    if (!block)
        return nullptr;
    State *state = new (block) State(std::forward<Args>(args)...);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return state;
}

template <typename State> void freeControlState(HWND window)
{
    State *state = controlState<State>(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (state) {
        state->~State();
        OwnFreeMem(state);
    }
}

// WM_COMMAND to a parent: the control's identifier, a code and the control.
inline void notifyParent(HWND parent, HWND control, WORD code)
{
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

// A control made of a combo box takes the combo box's size and a border of two.
inline void fitToCombo(HWND control, HWND combo)
{
    RECT outer;
    GetWindowRect(combo, &outer);
    SetWindowPos(control, nullptr, 0, 0, outer.right - outer.left + 4, outer.bottom - outer.top + 4,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Passes a notice of a control's own combo box on to the control's parent:
// 1 when a choice ends with OK, 2 on focus in, 3 on focus out; the others stay.
inline void forwardComboNotice(HWND control, WORD comboCode)
{
    switch (comboCode) {
    case CBN_SELENDOK:
        notifyParent(GetParent(control), control, 1);
        break;
    case CBN_SETFOCUS:
        notifyParent(GetParent(control), control, 2);
        break;
    case CBN_KILLFOCUS:
        notifyParent(GetParent(control), control, 3);
        break;
    default:
        break;
    }
}

// Window procedures of the classes the library registers.
LRESULT CALLBACK morvelColorControlProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK morvelRangeFieldProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK morvelFontSizeProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK morvelListControlProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK morvelRulerProc(HWND, UINT, WPARAM, LPARAM);

// Loaded once when the classes are registered.
struct MorvelClassResources {
    HCURSOR overItem;
    HCURSOR dragging;
    HCURSOR arrow;
    int textHeight;
    HICON topMarker;
    HICON bottomMarker;
};
const MorvelClassResources &morvelClassResources();
