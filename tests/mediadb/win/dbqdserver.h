#pragma once

#include "dbqd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A private copy of DB_QD.dll in a scratch folder of its own, loaded as a host
// would: each test gets its own catalogue file (it lives beside the DLL).
class DbqdServer
{
  public:
    DbqdServer();
    ~DbqdServer();
    DbqdServer(const DbqdServer &) = delete;
    DbqdServer &operator=(const DbqdServer &) = delete;

    bool isLoaded() const { return m_module != nullptr; }
    HMODULE module() const { return m_module; }
    const std::string &folder() const { return m_folder; }
    const std::string &dllPath() const { return m_dllPath; }

    HRESULT canUnloadNow() const;
    HRESULT getClassObject(REFCLSID classId, REFIID interfaceId, void **out) const;
    HRESULT registerServer() const;
    HRESULT unregisterServer() const;

  private:
    std::string m_folder;
    std::string m_dllPath;
    HMODULE m_module = nullptr;
};

// The DB_QD.dll built beside this test program.
std::string builtDllPath();

// Deletes a folder and everything below it.
void removeTree(const std::string &folder);

// Default value of a key under HKEY_CLASSES_ROOT.
::testing::AssertionResult hasDefaultValue(const char *key, const std::string &expected);
bool keyExists(const char *key);

// True when running under Wine rather than Windows.
bool runningUnderWine();

// Marker for a Windows behaviour that Wine lacks: on Windows it passes when
// the check holds; under Wine it passes while the check fails and fails once
// Wine behaves, so the marker gets dropped then.
::testing::AssertionResult todoWine(bool windowsBehaviour, const char *wineDifference);

// Reference count of an interface, read by an AddRef and Release pair.
ULONG refCount(IUnknown *unknown);

// One QueryInterface call on an object the caller holds once: a success hands
// out the object itself with one more reference (given back here), a refusal
// leaves the out pointer as it was.
::testing::AssertionResult answersQuery(IUnknown *object, REFIID interfaceId, HRESULT expected);

// Dispatches messages until done() holds or the time is up; false on time-out.
template <typename Done> bool pumpUntil(Done done, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

extern const char kClassKey[];
extern const char kServerKey[];
