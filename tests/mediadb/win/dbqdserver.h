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

// Dispatches messages until done() holds or the time is up; false on time-out.
template <typename Done>
bool pumpUntil(Done done, DWORD timeoutMs = 5000)
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

// A host that registered its own copy of the server and created objects
// through COM; every test starts with an empty catalogue.
class MediaDbHost : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates an object through CoCreateInstance and keeps it for TearDown to release.
    IMediaDb *create();
    // Creates an object and opens it as a client without notices.
    IMediaDb *createOpen(const char *clientName);
    template <typename Interface>
    Interface *query(IUnknown *object, REFIID interfaceId)
    {
        Interface *out = nullptr;
        EXPECT_EQ(S_OK, object->QueryInterface(interfaceId, reinterpret_cast<void **>(&out)));
        if (out)
            m_objects.push_back(out);
        return out;
    }
    // Releases every interface this host holds.
    void releaseAll();

    DbqdServer m_server;
    std::vector<IUnknown *> m_objects;
    bool m_comReady = false;
};

// A record line for the 25 columns of a new catalogue.
std::string recordLine(const std::string &artist, const std::string &title, const std::string &album = "Album",
                       const std::string &genre = "Pop", const std::string &mediaformat = "MP3");

extern const char kClassKey[];
extern const char kServerKey[];
