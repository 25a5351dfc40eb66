#include "versioninfo.h"

#include "updatetext.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace
{

bool readResource(const std::string &path, std::vector<char> &data)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0)
        return false;
    data.assign(size, '\0');
    return GetFileVersionInfoA(path.c_str(), 0, size, data.data()) != FALSE;
}

} // namespace

std::string VersionInfo::productVersion(const std::string &path)
{
    std::vector<char> data;
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    if (!readResource(path, data) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void **>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO))
        return autoupdate::kUnknownVersion;
    return autoupdate::versionText(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
}

std::string VersionInfo::string(const std::string &path, const std::string &name)
{
    std::vector<char> data;
    if (name.empty() || !readResource(path, data))
        return std::string();
    WORD *translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translation),
                        &length) ||
        !translation || length < 2 * sizeof(WORD))
        return std::string();
    char query[300];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1],
                  name.c_str());
    char *value = nullptr;
    if (!VerQueryValueA(data.data(), query, reinterpret_cast<void **>(&value), &length) || !value)
        return std::string();
    return std::string(value);
}
