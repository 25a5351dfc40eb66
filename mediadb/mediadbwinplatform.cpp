#include "mediadbwinplatform.h"

#include <windows.h>

MediaDbWinPlatform::MediaDbWinPlatform(void *module) : m_module(module) {}

std::string MediaDbWinPlatform::modulePath()
{
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(static_cast<HMODULE>(m_module), buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    return std::string(buffer, n);
}

char MediaDbWinPlatform::separator() const
{
    return '\\';
}

bool MediaDbWinPlatform::volumeInformation(const std::string &folder, std::string &root, uint32_t &error)
{
    // The drive's root: "C:\" or "\\server\share\".
    root.clear();
    if (folder.size() >= 2 && folder[1] == ':') {
        root = folder.substr(0, 2) + "\\";
    } else if (folder.rfind("\\\\", 0) == 0) {
        const size_t server = folder.find('\\', 2);
        const size_t share = server == std::string::npos ? server : folder.find('\\', server + 1);
        root = share == std::string::npos ? folder + "\\" : folder.substr(0, share + 1);
    }
    char name[MAX_PATH + 1] = {};
    char fileSystem[MAX_PATH + 1] = {};
    DWORD serial = 0, maxLength = 0, fsFlags = 0;
    if (!GetVolumeInformationA(root.empty() ? nullptr : root.c_str(), name, MAX_PATH, &serial, &maxLength,
                               &fsFlags, fileSystem, MAX_PATH)) {
        error = GetLastError();
        return false;
    }
    return true;
}

bool MediaDbWinPlatform::listFolder(const std::string &folder, std::vector<Entry> &entries)
{
    entries.clear();
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += "*.*";
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        Entry e;
        e.name = name;
        e.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        e.system = (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
        entries.push_back(std::move(e));
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true;
}

std::string MediaDbWinPlatform::windowsFolder()
{
    char buffer[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    return std::string(buffer, n);
}

void MediaDbWinPlatform::sendMessage(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    SendMessageA(static_cast<HWND>(window), message, static_cast<WPARAM>(wParam),
                 static_cast<LPARAM>(lParam));
}

void MediaDbWinPlatform::setWindowText(void *window, const std::string &text)
{
    SendMessageA(static_cast<HWND>(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MediaDbWinPlatform::messageBox(const std::string &text, const std::string &caption)
{
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}

void MediaDbWinPlatform::debugOutput(const std::string &text)
{
    OutputDebugStringA(text.c_str());
}

void MediaDbWinPlatform::sleepMs(unsigned milliseconds)
{
    Sleep(milliseconds);
}

std::string MediaDbWinPlatform::longDate()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    char buffer[101] = {};
    if (GetDateFormatA(LOCALE_SYSTEM_DEFAULT, DATE_LONGDATE, &now, nullptr, buffer, 100) == 0)
        return std::string();
    return buffer;
}
