#pragma once
// Messages on the test's own thread: bounded pumps, window texts, a button
// press as the user's click arrives.

#include <windows.h>

#include <string>

// Dispatches what is queued now.
void pumpPending();

// Dispatches messages until done() holds or the time is up; false on time-out.
template <typename Done> bool pumpUntil(Done done, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        pumpPending();
    }
    return true;
}

// Dispatches messages (sent ones included) until the handle is signalled;
// false when the time is up first.
bool waitPumping(HANDLE handle, DWORD timeoutMs = 5000);

std::string windowText(HWND window);
std::wstring windowTextW(HWND window);

// Posts a button click to a dialog, as the user's click arrives.
void pressButton(HWND dialog, int id);
