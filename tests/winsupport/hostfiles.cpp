#include "hostfiles.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

std::string programPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string programFolder()
{
    const std::string path = programPath();
    return path.substr(0, path.find_last_of("\\/"));
}

std::string besideProgram(const std::string &name)
{
    return programFolder() + "\\" + name;
}

void removeTree(const std::string &folder)
{
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string path = folder + "\\" + name;
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                    !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                    removeTree(path);
                } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveDirectoryA(path.c_str());
                } else {
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    RemoveDirectoryA(folder.c_str());
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool writeFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    return static_cast<bool>(out.flush());
}

bool fileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool fileExists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

::testing::AssertionResult sameBytes(const std::string &expected, const std::string &actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    return ::testing::AssertionFailure() << actual.size() << " bytes, expected " << expected.size()
                                         << "; first difference at offset " << at;
}

std::string bytesOf(const void *block, size_t size)
{
    std::ostringstream out;
    const auto *bytes = static_cast<const unsigned char *>(block);
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = bytes[i];
        if (c >= 32 && c < 127 && c != '\\')
            out << c;
        else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out << escaped;
        }
    }
    return out.str();
}
