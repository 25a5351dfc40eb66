#include "modaldialog.h"

#include "updaterapp.h"

ModalDialog::ModalDialog(UINT templateId) : m_templateId(templateId) {}

INT_PTR ModalDialog::doModal(HWND parent)
{
    return DialogBoxParamA(UpdaterApp::instance().module(), MAKEINTRESOURCEA(m_templateId), parent,
                           &ModalDialog::dialogProcedure, reinterpret_cast<LPARAM>(this));
}

void ModalDialog::endDialog(INT_PTR code)
{
    EndDialog(m_window, code);
}

void ModalDialog::setItemText(int id, const std::string &text)
{
    SetDlgItemTextA(m_window, id, text.c_str());
}

INT_PTR CALLBACK ModalDialog::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *dialog = reinterpret_cast<ModalDialog *>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->m_window = window;
        return dialog->onInitDialog() ? TRUE : FALSE;
    }
    auto *dialog = reinterpret_cast<ModalDialog *>(GetWindowLongPtrA(window, DWLP_USER));
    if (!dialog)
        return FALSE;
    if (message == WM_COMMAND) {
        const WORD id = LOWORD(wParam);
        if (id == IDOK) {
            dialog->onOK();
            return TRUE;
        }
        if (id == IDCANCEL) {
            dialog->onCancel();
            return TRUE;
        }
        return dialog->onCommand(id, HIWORD(wParam)) ? TRUE : FALSE;
    }
    INT_PTR result = 0;
    if (dialog->onMessage(message, wParam, lParam, result)) {
        // This one answers through the return value itself.
        if (message == WM_QUERYDRAGICON)
            return result;
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return FALSE;
}
