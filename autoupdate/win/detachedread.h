#pragma once

// Reads of one WinINet request on a thread of their own, so that the
// download worker can stop waiting at once when the user cancels, even while
// the server leaves a read hanging. Used by the worker's thread only. A read
// still running when the worker leaves is left behind: its thread ends when
// WinINet gives the read up (the request handle closed, or the connection
// dropped) and keeps the library loaded until then.

#include <windows.h>
#include <wininet.h>

class DetachedRead
{
  public:
    enum Result { Done, Failed, Cancelled };

    DetachedRead() = default;
    ~DetachedRead();
    DetachedRead(const DetachedRead &) = delete;
    DetachedRead &operator=(const DetachedRead &) = delete;

    // Up to size bytes of the request into buffer. Waits until the read is
    // over or cancel (a manual-reset event; may be null) is set.
    Result read(HINTERNET request, HANDLE cancel, char *buffer, DWORD size, DWORD &read);
    // Leaves a running read behind; the next read starts a new thread.
    void leave();

  private:
    struct Shared;
    bool startThread();
    static DWORD WINAPI entry(LPVOID shared);

    Shared *m_shared = nullptr;
};
