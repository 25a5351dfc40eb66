// "xRangeField": an integer field with up and down steps and a range check.
#include "morvel.h"
#include "morvelcontrolstate.h"
#include "morvelmodule.h"
#include "morvelrangemodel.h"

#include <cstdio>
#include <string>

namespace
{

const UINT kRangeMessage = 20097, kCaption = 20000;

struct RangeField {
    MorvelRangeModel model;
    HWND edit = nullptr;
    HWND scroll = nullptr;
    WNDPROC editProc = nullptr;
    bool checking = false;
};

RangeField *fieldOfEdit(HWND edit)
{
    return controlState<RangeField>(GetParent(edit));
}

std::string textOf(HWND window, int limit)
{
    char text[64] = {};
    GetWindowTextA(window, text, limit + 1);
    return text;
}

void show(RangeField &field, int32_t value)
{
    SetWindowTextA(field.edit, std::to_string(value).c_str());
}

// A value typed into the field is taken when the edit loses the focus.
void checkEntry(HWND control, RangeField &field)
{
    if (field.checking)
        return;
    field.checking = true;
    switch (field.model.accept(textOf(field.edit, 31))) {
    case MorvelRangeModel::Changed:
        notifyParent(GetParent(control), control, XRF_CHANGED);
        break;
    case MorvelRangeModel::OutOfRange: {
        const std::wstring format = morvelWideString(kRangeMessage);
        wchar_t text[256];
        _snwprintf(text, 255, format.c_str(), field.model.minimum(), field.model.maximum());
        text[255] = 0;
        MessageBoxW(control, text, morvelWideString(kCaption).c_str(), MB_OK | MB_ICONEXCLAMATION);
        SetFocus(field.edit);
        break;
    }
    case MorvelRangeModel::Unchanged:
        break;
    }
    field.checking = false;
}

LRESULT CALLBACK editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    RangeField *field = fieldOfEdit(edit);
    if (!field)
        return DefWindowProcA(edit, message, wParam, lParam);
    switch (message) {
    case WM_CHAR:
        if (!((wParam >= '0' && wParam <= '9') || wParam == '-' || wParam == VK_BACK))
            return 0;
        break;
    case WM_GETDLGCODE:
        return 0x90; // the answer the host's dialogs expect of this field
    case WM_KILLFOCUS: {
        const LRESULT result = CallWindowProcA(field->editProc, edit, message, wParam, lParam);
        checkEntry(GetParent(edit), *field);
        return result;
    }
    default:
        break;
    }
    return CallWindowProcA(field->editProc, edit, message, wParam, lParam);
}

LRESULT create(HWND window, const CREATESTRUCTA &create)
{
    RangeField *field = makeControlState<RangeField>(window);
    if (!field)
        return -1;
    const DWORD shared = create.style & (WS_TABSTOP | WS_DISABLED);
    const int width = create.cx - 4, height = create.cy - 4;
    const int scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    field->scroll =
        CreateWindowExA(0, "SCROLLBAR", create.lpszName, WS_CHILD | WS_VISIBLE | SBS_VERT | shared, 0, 0,
                        width, height, window, nullptr, morvelModule(), nullptr);
    field->edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", create.lpszName,
                                  WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | shared, 0, 0, width - scrollWidth,
                                  height, window, nullptr, morvelModule(), nullptr);
    if (!field->scroll || !field->edit)
        return -1;
    field->editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc)));
    return 0;
}

} // namespace

LRESULT CALLBACK morvelRangeFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return create(window, *reinterpret_cast<const CREATESTRUCTA *>(lParam));
    RangeField *field = controlState<RangeField>(window);
    if (!field)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_VSCROLL: {
        const int code = LOWORD(wParam);
        const bool changed = code == SB_LINEUP     ? field->model.stepUp()
                             : code == SB_LINEDOWN ? field->model.stepDown()
                                                   : false;
        if (changed) {
            show(*field, field->model.value());
            notifyParent(GetParent(window), window, XRF_CHANGED);
        }
        return 0;
    }
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == field->edit && HIWORD(wParam) == EN_CHANGE)
            notifyParent(GetParent(window), window, XRF_EDITCHANGE);
        return 0;
    case XRF_SETRANGE:
        field->model.setRange(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
        return 0;
    case XRF_SETVALUE: {
        const int32_t previous = field->model.setValue(static_cast<int32_t>(wParam));
        show(*field, field->model.value());
        return previous;
    }
    case XRF_GETVALUE: {
        const std::string text = textOf(field->edit, 31);
        if (wParam)
            *reinterpret_cast<LONG *>(wParam) = MorvelRangeModel::parse(text);
        return static_cast<LRESULT>(text.size());
    }
    case WM_SETFOCUS:
        SetFocus(field->edit);
        SendMessageA(field->edit, EM_SETSEL, 0, -1);
        return 0;
    case WM_ENABLE:
        EnableWindow(field->edit, static_cast<BOOL>(wParam));
        EnableWindow(field->scroll, static_cast<BOOL>(wParam));
        return 0;
    case WM_SETFONT:
    case WM_SETTEXT:
    case WM_SHOWWINDOW:
        SendMessageA(field->edit, message, wParam, lParam);
        break;
    case WM_DESTROY:
        SetWindowLongPtrA(field->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(field->editProc));
        DestroyWindow(field->edit);
        DestroyWindow(field->scroll);
        freeControlState<RangeField>(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
