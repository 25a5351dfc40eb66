#include "dialogdriver.h"

#include "hostmessages.h"

#include <algorithm>

namespace
{

std::string utf8(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], bytes, nullptr,
                        nullptr);
    return out;
}

struct Found {
    std::vector<HWND> windows;
};

BOOL CALLBACK collectDialog(HWND window, LPARAM context)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    // Hidden ones too: a modal window stays hidden while its first message
    // opens another dialog.
    if (process == GetCurrentProcessId() && std::string(className) == "#32770")
        reinterpret_cast<Found *>(context)->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK collectChild(HWND window, LPARAM context)
{
    auto *items = reinterpret_cast<std::vector<DialogItem> *>(context);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    items->push_back({GetDlgCtrlID(window), className, DialogDriver::windowText(window)});
    return TRUE;
}

std::string itemText(const std::vector<DialogItem> &items, int id)
{
    for (const auto &item : items)
        if (item.id == id)
            return item.text;
    return std::string();
}

} // namespace

std::string SeenDialog::text(int id) const
{
    return itemText(last, id);
}

std::string SeenDialog::firstText(int id) const
{
    return itemText(first, id);
}

bool SeenDialog::shows(const std::string &part) const
{
    return std::any_of(last.begin(), last.end(),
                       [&](const DialogItem &item) { return item.text.find(part) != std::string::npos; });
}

std::string DialogDriver::windowText(HWND window)
{
    // Bounded, so that a busy window cannot hang the driver.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length))
        return std::string();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                             5000, &copied))
        return std::string();
    text.resize(copied);
    return utf8(text);
}

std::vector<DialogItem> DialogDriver::readItems(HWND dialog)
{
    std::vector<DialogItem> items;
    EnumChildWindows(dialog, collectChild, reinterpret_cast<LPARAM>(&items));
    return items;
}

HWND DialogDriver::findDialog(const std::string &caption)
{
    // Only this process's dialogs: tests running beside it show the same captions.
    Found found;
    EnumWindows(collectDialog, reinterpret_cast<LPARAM>(&found));
    for (HWND window : found.windows)
        if (windowText(window) == caption)
            return window;
    return nullptr;
}

DialogDriver::DialogDriver() : m_stop(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

DialogDriver::~DialogDriver()
{
    stop();
    CloseHandle(m_stop);
}

void DialogDriver::press(const std::string &caption, int button, const std::string &withText)
{
    on(caption, [button, withText](HWND dialog, const SeenDialog &seen) {
        if (!withText.empty() && !seen.shows(withText))
            return false;
        pressButton(dialog, button);
        return true;
    });
}

void DialogDriver::on(const std::string &caption, Action action)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_rules.push_back({caption, std::move(action)});
}

void DialogDriver::start()
{
    m_start = GetTickCount();
    ResetEvent(m_stop);
    m_thread = CreateThread(nullptr, 0, &DialogDriver::threadEntry, this, 0, nullptr);
}

void DialogDriver::stop()
{
    if (!m_thread)
        return;
    SetEvent(m_stop);
    // The driver may be reading a window of this thread: answer what it sends
    // while waiting for it.
    while (MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(m_thread);
    m_thread = nullptr;
}

bool DialogDriver::rescued() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_rescued;
}

std::vector<SeenDialog> DialogDriver::seen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_seen;
}

std::vector<SeenDialog> DialogDriver::seen(const std::string &caption) const
{
    std::vector<SeenDialog> matching;
    for (const auto &dialog : seen())
        if (dialog.caption == caption)
            matching.push_back(dialog);
    return matching;
}

DWORD WINAPI DialogDriver::threadEntry(LPVOID self)
{
    static_cast<DialogDriver *>(self)->run();
    return 0;
}

void DialogDriver::run()
{
    // Looks again every 10 ms until stopped.
    while (WaitForSingleObject(m_stop, 10) == WAIT_TIMEOUT)
        poll();
}

void DialogDriver::poll()
{
    Found found;
    EnumWindows(collectDialog, reinterpret_cast<LPARAM>(&found));
    const bool rescue = GetTickCount() - m_start > m_rescueAfter;
    {
        // A handle seen again after its window went names a new dialog.
        std::lock_guard<std::mutex> lock(m_mutex);
        for (SeenDialog &s : m_seen)
            if (std::find(found.windows.begin(), found.windows.end(), s.window) == found.windows.end())
                s.closed = true;
    }
    // Every window is recorded before any is answered: an answer may close
    // another window (the one beneath a box) before the loop reached it.
    std::vector<std::pair<HWND, size_t>> recorded;
    for (HWND window : found.windows) {
        const std::string caption = windowText(window);
        std::vector<DialogItem> items = readItems(window);
        // A window that went while it was read leaves no reading.
        if (!IsWindow(window))
            continue;
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = std::find_if(m_seen.begin(), m_seen.end(), [&](const SeenDialog &s) {
            return !s.closed && s.window == window && s.caption == caption;
        });
        if (it == m_seen.end()) {
            SeenDialog fresh;
            fresh.window = window;
            fresh.caption = caption;
            fresh.first = items;
            m_seen.push_back(fresh);
            it = m_seen.end() - 1;
        }
        it->last = items;
        recorded.emplace_back(window, static_cast<size_t>(it - m_seen.begin()));
    }
    for (const auto &[window, index] : recorded) {
        SeenDialog snapshot;
        std::vector<Rule> rules;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            snapshot = m_seen[index];
            rules = m_rules;
        }
        const std::string &caption = snapshot.caption;
        if (rescue) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_rescued = true;
            pressButton(window, IDCANCEL);
            PostMessageW(window, WM_CLOSE, 0, 0);
            continue;
        }
        // Only what the user could see is answered.
        if (snapshot.answered || !IsWindowVisible(window))
            continue;
        for (const Rule &rule : rules) {
            if (rule.caption != caption || !rule.action(window, snapshot))
                continue;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_seen[index].answered = true;
            break;
        }
    }
}
