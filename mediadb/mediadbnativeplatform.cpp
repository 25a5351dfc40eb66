#include "mediadbnativeplatform.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

MediaDbNativePlatform::MediaDbNativePlatform(std::string moduleFolder)
    : m_moduleFolder(std::move(moduleFolder))
{
}

std::string MediaDbNativePlatform::modulePath()
{
    if (!m_moduleFolder.empty()) {
        std::string path = m_moduleFolder;
        if (path.back() != '/')
            path += '/';
        return path + "libmediadb.so";
    }
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return std::string();
    return std::string(buffer, static_cast<size_t>(n));
}

char MediaDbNativePlatform::separator() const
{
    return '/';
}

bool MediaDbNativePlatform::volumeInformation(const std::string &folder, std::string &root, uint32_t &error)
{
    root = "/";
    struct stat st {
    };
    if (stat(folder.c_str(), &st) != 0) {
        error = static_cast<uint32_t>(errno);
        return false;
    }
    return true;
}

bool MediaDbNativePlatform::listFolder(const std::string &folder, std::vector<Entry> &entries)
{
    entries.clear();
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return false;
    std::string base = folder;
    if (!base.empty() && base.back() != '/')
        base += '/';
    while (const dirent *d = readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {
        };
        if (stat((base + name).c_str(), &st) != 0)
            continue;
        Entry e;
        e.name = name;
        e.folder = S_ISDIR(st.st_mode);
        e.hidden = name[0] == '.';
        entries.push_back(std::move(e));
    }
    closedir(dir);
    // readdir's order depends on the file system; a scan should not.
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
    return true;
}

std::string MediaDbNativePlatform::windowsFolder()
{
    return std::string();
}

void MediaDbNativePlatform::sendMessage(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (m_messageHandler)
        m_messageHandler(window, message, wParam, lParam);
}

void MediaDbNativePlatform::setWindowText(void *, const std::string &) {}

void MediaDbNativePlatform::messageBox(const std::string &text, const std::string &caption)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

void MediaDbNativePlatform::debugOutput(const std::string &text)
{
    std::fputs(text.c_str(), stderr);
}

void MediaDbNativePlatform::sleepMs(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string MediaDbNativePlatform::longDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    if (!gmtime_r(&now, &utc))
        return std::string();
    char buffer[101];
    if (std::strftime(buffer, sizeof buffer, "%A, %d %B %Y", &utc) == 0)
        return std::string();
    return buffer;
}
