// Path, file-name and text-search exports, in place on the host's texts.
#define MORVEL_BUILDING
#include "morvel.h"
#include "morvelpath.h"
#include "morvelsearch.h"

#include <cstring>
#include <string>
#include <vector>

namespace
{

std::string joined(const std::string &folder, const char *name)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path + name;
}

bool isDotEntry(const char *name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// Deletes what lies below folder, then folder itself. Junctions and links
// are removed as they are and never followed.
bool removeTree(const std::string &folder, bool clearReadOnly)
{
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(joined(folder, "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return false;
        bool ok = true;
        do {
            if (isDotEntry(found.cFileName))
                continue;
            const std::string path = joined(folder, found.cFileName);
            const DWORD entry = found.dwFileAttributes;
            if ((entry & FILE_ATTRIBUTE_DIRECTORY) && (entry & FILE_ATTRIBUTE_REPARSE_POINT))
                ok = RemoveDirectoryA(path.c_str()) != 0;
            else if (entry & FILE_ATTRIBUTE_DIRECTORY)
                ok = removeTree(path, clearReadOnly);
            else {
                if ((entry & FILE_ATTRIBUTE_READONLY) && clearReadOnly)
                    SetFileAttributesA(path.c_str(), entry & ~FILE_ATTRIBUTE_READONLY);
                ok = DeleteFileA(path.c_str()) != 0;
            }
        } while (ok && FindNextFileA(search, &found));
        FindClose(search);
        if (!ok)
            return false;
    }
    return RemoveDirectoryA(folder.c_str()) != 0;
}

} // namespace

MORVEL_API LONG WINAPI GetFileFromPath(LPCSTR path)
{
    return static_cast<LONG>(MorvelPath::fileFromPath(path));
}

MORVEL_API LONG WINAPI CheckTitleChar(LONG character)
{
    return MorvelPath::checkTitleChar(static_cast<unsigned char>(character)) ? 1 : 0;
}

MORVEL_API LONG WINAPI CheckTitleValidity(LPSTR text)
{
    if (!text)
        return 0;
    MorvelPath::checkTitleValidity(text);
    return 1;
}

MORVEL_API void WINAPI SetFileValidChars(LPSTR text)
{
    MorvelPath::setFileValidChars(text);
}

MORVEL_API LONG WINAPI CheckPathSlash(LPSTR path)
{
    if (!path)
        return 0;
    std::string text = path;
    if (!MorvelPath::checkPathSlash(text))
        return 0;
    memcpy(path, text.c_str(), text.size() + 1);
    return 1;
}

MORVEL_API LONG WINAPI IsPathAbsolute(LPCSTR path)
{
    return MorvelPath::isPathAbsolute(path) ? 1 : 0;
}

MORVEL_API void WINAPI MakePathRelative(LPCSTR base, LPSTR path)
{
    if (!path)
        return;
    std::string text = path;
    if (MorvelPath::makePathRelative(base, text))
        memcpy(path, text.c_str(), text.size() + 1);
}

MORVEL_API LONG WINAPI IsDirectoryEmpty(LPCSTR folder, LONG *result)
{
    if (!folder || !result)
        return -1;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(joined(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    bool empty = true;
    do {
        if (!isDotEntry(found.cFileName))
            empty = false;
    } while (empty && FindNextFileA(search, &found));
    FindClose(search);
    *result = empty ? 1 : 0;
    return 0;
}

MORVEL_API LONG WINAPI DeleteDirRecurse(LPCSTR folder, BOOL clearReadOnly)
{
    if (!folder || !*folder)
        return 0;
    return removeTree(folder, clearReadOnly != FALSE) ? 1 : 0;
}

MORVEL_API LONG WINAPI CreateFileDrawer(LPCSTR path)
{
    std::vector<std::string> folders;
    if (!MorvelPath::drawerFolders(path, folders))
        return 0;
    for (const std::string &folder : folders) {
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return 0;
    }
    return 1;
}

MORVEL_API void WINAPI EnsureUniqueFile(LPSTR path)
{
    if (!path)
        return;
    const std::string next = MorvelPath::ensureUniqueFile(path);
    memcpy(path, next.c_str(), next.size() + 1);
}

MORVEL_API void WINAPI ProcessPathString(LPCSTR path, LPCSTR base, MorvelPathProc proc, void *context)
{
    if (!proc)
        return;
    MorvelPath::processPathString(
        path, base, [proc, context](const std::string &component, MorvelPath::ComponentKind kind) {
            proc(component.c_str(), kind, context);
        });
}

MORVEL_API LONG WINAPI SearchForString(LPCSTR text, LPCSTR pattern, DWORD flags, LONG *position)
{
    size_t start = 0;
    if (!MorvelSearch::find(text, pattern, flags, &start))
        return 0;
    if (position)
        *position = static_cast<LONG>(start);
    return 1;
}
