#pragma once

#include "comchecks.h"
#include "dbqd.h"
#include "hostfiles.h"
#include "hostlibrary.h"
#include "hostmessages.h"
#include "scratchfolder.h"
#include "winetodo.h"

#include <gtest/gtest.h>

#include <string>

// A private copy of DB_QD.dll in a scratch folder of its own, loaded as a host
// would: each test gets its own catalogue file (it lives beside the DLL).
class DbqdServer
{
  public:
    DbqdServer();
    DbqdServer(const DbqdServer &) = delete;
    DbqdServer &operator=(const DbqdServer &) = delete;

    bool isLoaded() const { return m_library.isLoaded(); }
    HMODULE module() const { return m_library.module(); }
    const std::string &folder() const { return m_scratch.path(); }
    const std::string &dllPath() const { return m_dllPath; }

    HRESULT canUnloadNow() const;
    HRESULT getClassObject(REFCLSID classId, REFIID interfaceId, void **out) const;
    HRESULT registerServer() const;
    HRESULT unregisterServer() const;

  private:
    HRESULT callExport(const char *name) const;

    // The library goes before its folder.
    ScratchFolder m_scratch;
    std::string m_dllPath;
    HostLibrary m_library;
};

// The DB_QD.dll built beside this test program.
std::string builtDllPath();

// Default value of a key under HKEY_CLASSES_ROOT.
::testing::AssertionResult hasDefaultValue(const char *key, const std::string &expected);

extern const char kClassKey[];
extern const char kServerKey[];
