#pragma once

// Blocking WinINet calls of one thread run one at a time on a thread of their
// own, so that the caller stops waiting at once when the user cancels,
// whatever the call waits for: a connect, a server's headers, a read. Used by
// one calling thread at a time. A call still running when the caller leaves is
// left behind with what it holds: its thread ends when WinINet gives the call
// up (the handle closed, the connection dropped or timed out) and keeps the
// library loaded until then.

#include <windows.h>

#include <functional>

class DetachedCall
{
  public:
    enum Result { Done, Cancelled };

    // Cancel: a manual-reset event, not owned; without one every call runs
    // on the caller's thread.
    explicit DetachedCall(HANDLE cancel = nullptr) : m_cancel(cancel) {}
    ~DetachedCall();
    DetachedCall(const DetachedCall &) = delete;
    DetachedCall &operator=(const DetachedCall &) = delete;

    void setCancelEvent(HANDLE cancel) { m_cancel = cancel; }
    HANDLE cancelEvent() const { return m_cancel; }
    bool cancelled() const;

    // Runs call and waits until it returns (the thread's last error is then
    // the caller's) or the cancel event is set. Cancelled when the event was
    // set first, the call then being left behind: whatever it reaches must
    // be its own (captured by value), and discard, if given, runs on its
    // thread once it returns, to free what it made for nobody.
    Result run(std::function<void()> call, std::function<void()> discard = nullptr);

  private:
    struct Shared;
    bool startThread();
    void leave();
    static DWORD WINAPI entry(LPVOID shared);

    HANDLE m_cancel = nullptr;
    Shared *m_shared = nullptr;
};
