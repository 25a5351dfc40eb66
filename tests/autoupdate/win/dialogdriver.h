#pragma once

// Answers the dialogs and message boxes of this process from a thread of its
// own, through Win32 only: finds each top-level dialog, reads its texts and,
// once it shows, presses the button a rule names. Keeps what every dialog
// showed.

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct DialogItem {
    int id;
    std::string className;
    std::string text; // UTF-8
};

struct SeenDialog {
    HWND window = nullptr;
    std::string caption; // UTF-8
    // The texts when first seen and the last texts read before it closed.
    std::vector<DialogItem> first;
    std::vector<DialogItem> last;
    bool answered = false;
    bool closed = false;

    // Text of a control in the last reading; empty when there is none.
    std::string text(int id) const;
    std::string firstText(int id) const;
    // True when a control's text in the last reading contains part.
    bool shows(const std::string &part) const;
};

class DialogDriver
{
  public:
    // Decides on a dialog when it is read; returns true once it acted.
    using Action = std::function<bool(HWND dialog, const SeenDialog &seen)>;

    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver &) = delete;
    DialogDriver &operator=(const DialogDriver &) = delete;

    // Presses a button of every dialog with that caption (and text) once.
    void press(const std::string &caption, int button, const std::string &withText = std::string());
    void on(const std::string &caption, Action action);

    void start();
    // Stops the thread; dialogs still open after the time-out are closed.
    void stop();
    // Closes whatever is still open once this many milliseconds passed since start.
    void setRescueAfter(DWORD ms) { m_rescueAfter = ms; }
    bool rescued() const;

    std::vector<SeenDialog> seen() const;
    // The dialogs with that caption, in the order they appeared.
    std::vector<SeenDialog> seen(const std::string &caption) const;

    static std::vector<DialogItem> readItems(HWND dialog);
    static std::string windowText(HWND window);
    // A dialog of this process with that caption (UTF-8), or null.
    static HWND findDialog(const std::string &caption);

  private:
    struct Rule {
        std::string caption;
        Action action;
    };
    static DWORD WINAPI threadEntry(LPVOID self);
    void run();
    void poll();

    mutable std::mutex m_mutex;
    std::vector<Rule> m_rules;
    std::vector<SeenDialog> m_seen;
    HANDLE m_thread = nullptr;
    HANDLE m_stop = nullptr;
    DWORD m_start = 0;
    DWORD m_rescueAfter = 30000;
    bool m_rescued = false;
};
