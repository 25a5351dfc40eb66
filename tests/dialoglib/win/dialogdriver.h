#pragma once
// Drives the system dialogs a call shows (message boxes, file, folder and
// colour requesters) from inside the test: a thread timer, which the dialog's
// own message loop dispatches, finds the dialog and hands it to an action.

#include "hostmessages.h"

#include <windows.h>

#include <functional>
#include <string>

class DialogDriver
{
  public:
    // Called on each tick with the dialog and the number of earlier calls;
    // returns true when it is done with the dialog.
    using Action = std::function<bool(HWND dialog, int step)>;

    explicit DialogDriver(Action action, DWORD timeoutMs = 10000);
    ~DialogDriver();
    DialogDriver(const DialogDriver &) = delete;
    DialogDriver &operator=(const DialogDriver &) = delete;

    bool done() const { return m_done; }
    bool timedOut() const { return m_timedOut; }

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void onTick();

    Action m_action;
    DWORD m_start;
    DWORD m_timeout;
    UINT_PTR m_timer = 0;
    int m_step = 0;
    bool m_done = false;
    bool m_timedOut = false;
};

// The first visible dialog box of this thread, or null.
HWND findThreadDialog();

// Reads a message box's caption and text, then presses the button.
DialogDriver::Action answerMessageBox(std::wstring &caption, std::wstring &text, int button);

// What the colour dialog's red, green and blue fields showed (-1 unread).
struct ShownColor {
    int red = -1;
    int green = -1;
    int blue = -1;
};
// Lets the colour dialog fill its fields, reads them, then presses the button.
DialogDriver::Action answerColorDialog(ShownColor &shown, int button);
