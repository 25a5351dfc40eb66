#include "detachedread.h"

#include <new>
#include <vector>

// What the worker and the read thread share; the last of the two frees it.
struct DetachedRead::Shared {
    LONG owners = 2;
    HANDLE wanted = nullptr; // auto-reset: a read is asked for, or the worker left
    HANDLE over = nullptr;   // auto-reset: the read is over
    HMODULE module = nullptr;
    volatile LONG left = 0;
    // Handed over through the two events.
    HINTERNET request = nullptr;
    std::vector<char> buffer;
    DWORD read = 0;
    BOOL ok = FALSE;

    void release()
    {
        if (InterlockedDecrement(&owners) != 0)
            return;
        CloseHandle(wanted);
        CloseHandle(over);
        delete this;
    }
};

DetachedRead::~DetachedRead()
{
    leave();
}

bool DetachedRead::startThread()
{
    auto *shared = new (std::nothrow) Shared;
    if (!shared)
        return false;
    shared->wanted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    shared->over = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    // The thread holds the library it runs in until it ends.
    const bool held = GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                         reinterpret_cast<LPCSTR>(&DetachedRead::entry), &shared->module);
    HANDLE thread = shared->wanted && shared->over && held
                        ? CreateThread(nullptr, 0, &DetachedRead::entry, shared, 0, nullptr)
                        : nullptr;
    if (!thread) {
        if (held)
            FreeLibrary(shared->module);
        if (shared->wanted)
            CloseHandle(shared->wanted);
        if (shared->over)
            CloseHandle(shared->over);
        delete shared;
        return false;
    }
    CloseHandle(thread);
    m_shared = shared;
    return true;
}

DetachedRead::Result DetachedRead::read(HINTERNET request, HANDLE cancel, char *buffer, DWORD size,
                                        DWORD &read)
{
    read = 0;
    if (cancel && WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0)
        return Cancelled;
    if (!m_shared && !startThread()) {
        // Without a thread of its own the read blocks here.
        return InternetReadFile(request, buffer, size, &read) ? Done : Failed;
    }
    m_shared->request = request;
    m_shared->buffer.resize(size);
    SetEvent(m_shared->wanted);
    const HANDLE events[2] = {m_shared->over, cancel};
    const DWORD woken = WaitForMultipleObjects(cancel ? 2 : 1, events, FALSE, INFINITE);
    if (woken != WAIT_OBJECT_0) {
        leave();
        return Cancelled;
    }
    if (!m_shared->ok)
        return Failed;
    read = m_shared->read;
    CopyMemory(buffer, m_shared->buffer.data(), read);
    return Done;
}

void DetachedRead::leave()
{
    if (!m_shared)
        return;
    InterlockedExchange(&m_shared->left, 1);
    SetEvent(m_shared->wanted);
    m_shared->release();
    m_shared = nullptr;
}

DWORD WINAPI DetachedRead::entry(LPVOID parameter)
{
    auto *shared = static_cast<Shared *>(parameter);
    const HMODULE module = shared->module;
    while (WaitForSingleObject(shared->wanted, INFINITE) == WAIT_OBJECT_0 &&
           InterlockedCompareExchange(&shared->left, 0, 0) == 0) {
        DWORD read = 0;
        shared->ok = InternetReadFile(shared->request, shared->buffer.data(),
                                      static_cast<DWORD>(shared->buffer.size()), &read);
        shared->read = read;
        SetEvent(shared->over);
    }
    shared->release();
    FreeLibraryAndExitThread(module, 0);
}
