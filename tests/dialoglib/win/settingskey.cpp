#include "settingskey.h"

#include "hostregistry.h"

const char kSettingsKey[] = "Software\\Nqv\\xMorvel.pro\\Version 2.0";

namespace
{

void removeSettings()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Nqv");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Nqv");
}

std::string value(const char *name, DWORD wantedType)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "(missing)";
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != wantedType)
        return "(missing)";
    return wantedType == REG_SZ ? std::string(data) : std::string(data, size);
}

} // namespace

FreshSettings::FreshSettings()
{
    removeSettings();
}

FreshSettings::~FreshSettings()
{
    removeSettings();
}

bool FreshSettings::keyExists() const
{
    return ::keyExists(HKEY_CURRENT_USER, kSettingsKey);
}

std::string FreshSettings::text(const char *name) const
{
    return value(name, REG_SZ);
}

std::string FreshSettings::binary(const char *name) const
{
    return value(name, REG_BINARY);
}
