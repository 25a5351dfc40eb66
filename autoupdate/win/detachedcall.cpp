#include "detachedcall.h"

#include <new>
#include <utility>

namespace
{

// Whether the caller still waits for the call handed over.
enum Outcome : LONG { Waiting, Returned, Abandoned };

} // namespace

// What the caller and the call's thread share; the last of the two frees it.
struct DetachedCall::Shared {
    LONG owners = 2;
    HANDLE wanted = nullptr; // auto-reset: a call is handed over, or the caller left
    HANDLE over = nullptr;   // auto-reset: the call returned
    HMODULE module = nullptr;
    volatile LONG left = 0;
    volatile LONG outcome = Waiting;
    // Handed over through the two events.
    std::function<void()> call;
    std::function<void()> discard;
    DWORD error = 0;

    void release()
    {
        if (InterlockedDecrement(&owners) != 0)
            return;
        CloseHandle(wanted);
        CloseHandle(over);
        delete this;
    }
};

DetachedCall::~DetachedCall()
{
    leave();
}

bool DetachedCall::cancelled() const
{
    return m_cancel && WaitForSingleObject(m_cancel, 0) == WAIT_OBJECT_0;
}

bool DetachedCall::startThread()
{
    auto *shared = new (std::nothrow) Shared;
    if (!shared)
        return false;
    shared->wanted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    shared->over = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    // The thread holds the library it runs in until it ends.
    const bool held = GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                         reinterpret_cast<LPCSTR>(&DetachedCall::entry), &shared->module);
    HANDLE thread = shared->wanted && shared->over && held
                        ? CreateThread(nullptr, 0, &DetachedCall::entry, shared, 0, nullptr)
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

DetachedCall::Result DetachedCall::run(std::function<void()> call, std::function<void()> discard)
{
    if (cancelled())
        return Cancelled;
    if (!m_cancel || (!m_shared && !startThread())) {
        // Nothing to wait for beside the call, or no thread for it: it blocks here.
        call();
        return Done;
    }
    m_shared->call = std::move(call);
    m_shared->discard = std::move(discard);
    m_shared->outcome = Waiting;
    SetEvent(m_shared->wanted);
    const HANDLE events[2] = {m_shared->over, m_cancel};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
        if (InterlockedCompareExchange(&m_shared->outcome, Abandoned, Waiting) == Waiting) {
            leave();
            return Cancelled;
        }
        // The call returned meanwhile: its results are the caller's after all.
        WaitForSingleObject(m_shared->over, INFINITE);
    }
    SetLastError(m_shared->error);
    return Done;
}

void DetachedCall::leave()
{
    if (!m_shared)
        return;
    InterlockedExchange(&m_shared->left, 1);
    SetEvent(m_shared->wanted);
    m_shared->release();
    m_shared = nullptr;
}

DWORD WINAPI DetachedCall::entry(LPVOID parameter)
{
    auto *shared = static_cast<Shared *>(parameter);
    const HMODULE module = shared->module;
    while (WaitForSingleObject(shared->wanted, INFINITE) == WAIT_OBJECT_0 &&
           InterlockedCompareExchange(&shared->left, 0, 0) == 0) {
        DWORD error = ERROR_NOT_ENOUGH_MEMORY;
        try {
            shared->call();
            error = GetLastError();
        } catch (const std::bad_alloc &) {
        }
        shared->error = error;
        if (InterlockedCompareExchange(&shared->outcome, Returned, Waiting) == Abandoned && shared->discard)
            shared->discard();
        // What the call held goes here, on its own thread.
        shared->call = nullptr;
        shared->discard = nullptr;
        SetEvent(shared->over);
    }
    shared->release();
    FreeLibraryAndExitThread(module, 0);
}
