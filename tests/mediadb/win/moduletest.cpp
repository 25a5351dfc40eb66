// The DB_QD module as a host sees it before any COM: exports and resources.
#include "dbqdserver.h"

#include <vector>

TEST(Exports, OrdinalsOneToFourInOrder)
{
    DbqdServer server;
    ASSERT_TRUE(server.isLoaded());
    const char *const names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                 "DllUnregisterServer"};
    for (WORD ordinal = 1; ordinal <= 4; ++ordinal) {
        SCOPED_TRACE(names[ordinal - 1]);
        const FARPROC byName = GetProcAddress(server.module(), names[ordinal - 1]);
        EXPECT_NE(nullptr, byName);
        EXPECT_EQ(byName, GetProcAddress(server.module(), MAKEINTRESOURCEA(ordinal)));
    }
}

TEST(Exports, AnswerWithoutTouchingTheLastError)
{
    DbqdServer server;
    ASSERT_TRUE(server.isLoaded());
    void *out = nullptr;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, server.getClassObject(GUID_NULL, IID_IClassFactory, &out));
    EXPECT_EQ(0xdeadbeefu, GetLastError());
    SetLastError(0xdeadbeef);
    EXPECT_EQ(S_OK, server.canUnloadNow());
    EXPECT_EQ(0xdeadbeefu, GetLastError());
}

TEST(Resources, VersionInformationNamesTheServer)
{
    const std::string path = builtDllPath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void **>(&fixed), &length));
    EXPECT_EQ(0x00010001u, fixed->dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

    struct Case {
        const char *key;
        const char *value;
    };
    const Case cases[] = {
        {"FileDescription", "Tandu Media DB"},
        {"InternalName", "DB_QD"},
        {"OriginalFilename", "DB_QD.dll"},
        {"ProductName", "DB_Tandu"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        char *value = nullptr;
        const std::string query = std::string("\\StringFileInfo\\040904E4\\") + c.key;
        ASSERT_TRUE(VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void **>(&value), &length));
        EXPECT_STREQ(c.value, value);
    }
}
