// Registry exports: values below the caller's root key in the library's subkey.
#define MORVEL_BUILDING
#include "morvel.h"
#include "morvelmodule.h"

namespace
{

const DWORD kServiceVersion = 2;

// The library's subkey, opened with the given access; null when it does not open.
HKEY openKey(HKEY root, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, morvelRegistryKey().c_str(), 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace

MORVEL_API void WINAPI CheckRegPath(HKEY root)
{
    HKEY key = openKey(root, KEY_READ);
    if (!key && RegCreateKeyExA(root, morvelRegistryKey().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        key = nullptr;
    if (key)
        RegCloseKey(key);
}

MORVEL_API LONG WINAPI QueryRegEntry(HKEY root, LPCSTR name, void *buffer, DWORD size)
{
    // Without a buffer the registry would answer the value's size alone: nothing was read.
    if (!buffer || size == 0)
        return 0;
    HKEY key = openKey(root, KEY_QUERY_VALUE);
    if (!key)
        return 0;
    const LONG status = RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE *>(buffer), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 1 : 0;
}

MORVEL_API LONG WINAPI SetRegEntry(HKEY root, LPCSTR name, DWORD type, const void *data, DWORD size)
{
    HKEY key = openKey(root, KEY_SET_VALUE);
    if (!key)
        return 0;
    const LONG status = RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 1 : 0;
}

MORVEL_API LONG WINAPI DeleteRegEntry(HKEY root, LPCSTR name)
{
    HKEY key = openKey(root, KEY_SET_VALUE);
    if (!key)
        return 0;
    const LONG status = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 1 : 0;
}

MORVEL_API LONG WINAPI GetServiceInfo(DWORD code, DWORD *result)
{
    // Only code 1 (the interface version) is answered.
    if (!result || code != 1)
        return 0;
    *result = kServiceVersion;
    return 1;
}
