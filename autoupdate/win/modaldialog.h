#pragma once

// A modal dialog on a template of this library, the small part of a dialog
// framework the updater needs: initialisation, OK and Cancel, commands and a
// map of further messages. Used on the thread that runs it.

#include <windows.h>

#include <string>

class ModalDialog
{
  public:
    explicit ModalDialog(UINT templateId);
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog &) = delete;
    ModalDialog &operator=(const ModalDialog &) = delete;

    // Runs the dialog until it ends; its end code, or -1 when it cannot be made.
    INT_PTR doModal(HWND parent = nullptr);
    HWND window() const { return m_window; }

  protected:
    // Returns true to have the system set the focus.
    virtual bool onInitDialog() { return true; }
    virtual void onOK() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }
    // Other commands; true when handled.
    virtual bool onCommand(WORD /*id*/, WORD /*code*/) { return false; }
    // Messages beyond initialisation and commands; true when handled, with
    // the dialog procedure's result.
    virtual bool onMessage(UINT /*message*/, WPARAM, LPARAM, INT_PTR & /*result*/) { return false; }

    void endDialog(INT_PTR code);
    void setItemText(int id, const std::string &text);

  private:
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_window = nullptr;
};

// One entry of a dialog's map of private messages.
template <typename Dialog> struct MessageMapEntry {
    UINT message;
    LRESULT (Dialog::*handler)(WPARAM, LPARAM);
};

// Calls the handler mapped to the message; false when none is.
template <typename Dialog, size_t N>
bool dispatchMessage(Dialog *dialog, const MessageMapEntry<Dialog> (&map)[N], UINT message, WPARAM wParam,
                     LPARAM lParam, INT_PTR &result)
{
    for (const auto &entry : map)
        if (entry.message == message) {
            result = (dialog->*entry.handler)(wParam, lParam);
            return true;
        }
    return false;
}
