#include "dbqdmodule.h"

#include "dbqd.h"
#include "mediadbclassfactory.h"
#include "mediadbengine.h"
#include "mediadbwinplatform.h"

#include <olectl.h>

namespace
{

HMODULE s_module = nullptr;
LONG volatile s_moduleCount = 0;
// Built in this order when the library is loaded; the module handle follows in DllMain.
MediaDbWinPlatform s_platform;
MediaDbEngine s_engine(s_platform);

const char kClassKey[] = "CLSID\\{f060823e-f726-48c4-8f3b-fe71ffee339b}";
const char kServerKey[] = "CLSID\\{f060823e-f726-48c4-8f3b-fe71ffee339b}\\InprocServer32";
const char kClassName[] = "DB_Tandu";

bool writeDefaultValue(const char *keyName, const char *text)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, keyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                                       static_cast<DWORD>(lstrlenA(text) + 1));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

} // namespace

HMODULE dbqdModule()
{
    return s_module;
}

void dbqdLockModule()
{
    InterlockedIncrement(&s_moduleCount);
}

void dbqdUnlockModule()
{
    InterlockedDecrement(&s_moduleCount);
}

MediaDbEngine &dbqdEngine()
{
    return s_engine;
}

LONG dbqdModuleCount()
{
    return InterlockedCompareExchange(&s_moduleCount, 0, 0);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        s_module = instance;
        s_platform.setModule(instance);
    }
    return TRUE;
}

STDAPI DllCanUnloadNow()
{
    return dbqdModuleCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, LPVOID *out)
{
    MediaDbClassFactory &factory = MediaDbClassFactory::instance();
    if (!IsEqualCLSID(classId, CLSID_MediaDb)) {
        if (out)
            *out = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(interfaceId, out);
}

STDAPI DllRegisterServer()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(dbqdModule(), path, MAX_PATH);
    // A cut-off path would register a server that cannot be found.
    const bool ok = length > 0 && length < MAX_PATH && writeDefaultValue(kClassKey, kClassName) &&
                    writeDefaultValue(kServerKey, path);
    if (!ok) {
        DllUnregisterServer();
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

STDAPI DllUnregisterServer()
{
    const bool serverGone = RegDeleteKeyA(HKEY_CLASSES_ROOT, kServerKey) == ERROR_SUCCESS;
    const bool classGone = RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey) == ERROR_SUCCESS;
    return serverGone && classGone ? S_OK : S_FALSE;
}
