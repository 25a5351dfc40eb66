// Self-registration of DB_QD: the two rows under HKEY_CLASSES_ROOT, written
// and removed by the exports and by regsvr32, and the export table itself.
#include "dbqdserver.h"
#include "hostregistry.h"

#include <olectl.h>

namespace
{

const char kScratchKey[] = "Software\\lumo-tests-dbqd";

// Number of values held by a key under HKEY_CLASSES_ROOT (-1 when it cannot be opened).
long valueCount(const char *keyName)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD values = 0;
    const LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                         nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? static_cast<long>(values) : -1;
}

::testing::AssertionResult rowsPresent(const DbqdServer &server)
{
    ::testing::AssertionResult classRow = hasDefaultValue(kClassKey, "DB_Tandu");
    if (!classRow)
        return classRow;
    ::testing::AssertionResult serverRow = hasDefaultValue(kServerKey, server.dllPath());
    if (!serverRow)
        return serverRow;
    // Nothing but the default values: no threading model, no other value.
    if (valueCount(kClassKey) != 1 || valueCount(kServerKey) != 1)
        return ::testing::AssertionFailure() << "value counts " << valueCount(kClassKey) << " and "
                                             << valueCount(kServerKey) << ", expected 1 and 1";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult rowsAbsent()
{
    if (keyExists(HKEY_CLASSES_ROOT, kServerKey) || keyExists(HKEY_CLASSES_ROOT, kClassKey))
        return ::testing::AssertionFailure() << "a registration key is still there";
    return ::testing::AssertionSuccess();
}

// Runs a program of the system and returns its exit code (-1 when it could not run).
long runProgram(const std::string &commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

class Registration : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.isLoaded());
        m_server.unregisterServer();
        ASSERT_TRUE(rowsAbsent());
    }
    void TearDown() override { m_server.unregisterServer(); }

    // The test's own key below HKEY_CURRENT_USER, open for everything; null
    // when it cannot be made.
    static HKEY createScratchKey()
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return nullptr;
        return key;
    }

    // Registers with HKEY_CLASSES_ROOT redirected to a key of the test; a
    // registration that got through there is taken back.
    HRESULT registerUnder(HKEY classesRoot)
    {
        if (RegOverridePredefKey(HKEY_CLASSES_ROOT, classesRoot) != ERROR_SUCCESS)
            return E_UNEXPECTED;
        const HRESULT result = m_server.registerServer();
        if (result == S_OK)
            m_server.unregisterServer();
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        return result;
    }

    DbqdServer m_server;
};

} // namespace

TEST_F(Registration, RegisterWritesBothRowsAndUnregisterRemovesThem)
{
    EXPECT_EQ(S_OK, m_server.registerServer());
    EXPECT_TRUE(rowsPresent(m_server));

    EXPECT_EQ(S_OK, m_server.unregisterServer());
    EXPECT_TRUE(rowsAbsent());
}

TEST_F(Registration, RegisteringTwiceKeepsOneSetOfRows)
{
    EXPECT_EQ(S_OK, m_server.registerServer());
    EXPECT_EQ(S_OK, m_server.registerServer());
    EXPECT_TRUE(rowsPresent(m_server));
}

TEST_F(Registration, UnregisterWithoutRowsAnswersFalse)
{
    EXPECT_EQ(S_FALSE, m_server.unregisterServer());
    EXPECT_TRUE(rowsAbsent());
}

TEST_F(Registration, UnwritableRegistryFailsAndLeavesNoKey)
{
    // Classes root redirected to a key that is deleted while its handle stays open.
    HKEY gone = createScratchKey();
    ASSERT_NE(nullptr, gone);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey));
    const HRESULT result = registerUnder(gone);
    RegCloseKey(gone);
    EXPECT_EQ(SELFREG_E_CLASS, result);
    EXPECT_TRUE(rowsAbsent());
}

TEST_F(Registration, FailingSecondRowTakesTheFirstAway)
{
    // Below a volatile class key the lasting server key cannot be made.
    HKEY classKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, kClassKey, 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &classKey, nullptr));
    RegCloseKey(classKey);

    EXPECT_EQ(SELFREG_E_CLASS, m_server.registerServer());
    EXPECT_TRUE(rowsAbsent());
}

TEST_F(Registration, ReadOnlyClassesRootRefusesRegistration)
{
    HKEY scratch = createScratchKey();
    ASSERT_NE(nullptr, scratch);
    RegCloseKey(scratch);
    HKEY readOnly = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_READ, &readOnly));
    const HRESULT result = registerUnder(readOnly);
    RegCloseKey(readOnly);
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchKey);
    EXPECT_TRUE(todoWine(result == SELFREG_E_CLASS,
                         "Wine lets a key handle opened for reading create subkeys (Windows denies it)"))
        << "result 0x" << std::hex << static_cast<unsigned long>(result);
    EXPECT_TRUE(rowsAbsent());
}

TEST_F(Registration, Regsvr32RegistersAndUnregisters)
{
    EXPECT_EQ(0, runProgram("regsvr32.exe /s \"" + m_server.dllPath() + "\""));
    EXPECT_TRUE(rowsPresent(m_server));

    EXPECT_EQ(0, runProgram("regsvr32.exe /u /s \"" + m_server.dllPath() + "\""));
    EXPECT_TRUE(rowsAbsent());
}
