#include "morvelpath.h"

#include <cstring>

namespace
{

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

size_t MorvelPath::fileFromPath(const char *path)
{
    if (!path)
        return 0;
    const char *last = strrchr(path, '\\');
    if (!last || last == path)
        return 0;
    return static_cast<size_t>(last - path) + 1;
}

bool MorvelPath::checkTitleChar(unsigned char c)
{
    return c == 8 || c == '#' || c == '_' || c == '@' || isDigit(static_cast<char>(c)) ||
           isAsciiLetter(static_cast<char>(c)) || c >= 160;
}

void MorvelPath::checkTitleValidity(char *text)
{
    for (char *p = text; p && *p; ++p) {
        if (!checkTitleChar(static_cast<unsigned char>(*p)))
            *p = '_';
    }
}

void MorvelPath::setFileValidChars(char *text)
{
    for (char *p = text; p && *p; ++p) {
        if (strchr("\\/:<>?*|", *p))
            *p = '_';
    }
}

bool MorvelPath::checkPathSlash(std::string &path)
{
    if (path.empty())
        return false;
    if (path.back() != '\\')
        path += '\\';
    return true;
}

bool MorvelPath::isPathAbsolute(const char *path)
{
    if (!path || strlen(path) < 4)
        return false;
    return (path[0] == '\\' && path[1] == '\\') || (isAsciiLetter(path[0]) && path[1] == ':');
}

bool MorvelPath::makePathRelative(const char *base, std::string &path)
{
    if (!base)
        return false;
    const char *slash = strrchr(base, '\\');
    if (!slash)
        return false;
    const size_t folder = static_cast<size_t>(slash - base) + 1;
    if (path.size() <= folder || path.compare(0, folder, base, folder) != 0)
        return false;
    path.erase(0, folder);
    return true;
}

std::string MorvelPath::ensureUniqueFile(const std::string &path)
{
    const size_t slash = path.rfind('\\');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        dot = path.size();
    const std::string extension = path.substr(dot);
    std::string stem = path.substr(0, dot);

    size_t underscore = path.find('_', nameStart == 0 ? 1 : nameStart);
    if (underscore != std::string::npos && underscore < dot) {
        const size_t digits = dot - underscore - 1;
        bool allDigits = digits >= 1 && digits <= 9;
        for (size_t i = underscore + 1; allDigits && i < dot; ++i)
            allDigits = isDigit(path[i]);
        if (allDigits) {
            const unsigned long number = std::stoul(path.substr(underscore + 1, digits));
            return path.substr(0, underscore + 1) + std::to_string(number + 1) + extension;
        }
    }
    if (!stem.empty() && stem.back() == '_')
        stem += "1";
    else
        stem += "_1";
    return stem + extension;
}

void MorvelPath::processPathString(const char *path, const char *base, const ComponentProc &proc)
{
    if (!path)
        return;
    const size_t length = strlen(path);
    if (length == 0 || length > kMaxPath)
        return;
    size_t i = 0;
    if (base) {
        while (path[i] && path[i] == base[i])
            ++i;
    }
    while (i < length) {
        const ComponentKind kindHere =
            (i + 2 < length && path[i + 1] == ':' && path[i + 2] == '\\') ? Drive : Folder;
        if (path[i] == '\\')
            ++i;
        if (i >= length)
            break;
        const char *next = strchr(path + i, '\\');
        const size_t end = next ? static_cast<size_t>(next - path) : length;
        proc(std::string(path + i, end - i), next ? kindHere : Last);
        i = end;
    }
}

bool MorvelPath::drawerFolders(const char *path, std::vector<std::string> &folders)
{
    folders.clear();
    if (!path)
        return false;
    const size_t length = strlen(path);
    if (length == 0 || length > kMaxPath)
        return false;
    // The first folder that may be made: after "X:\" or "\\server\share\".
    size_t start = 0;
    if (length >= 2 && path[0] == '\\' && path[1] == '\\') {
        const char *server = strchr(path + 2, '\\');
        const char *share = server ? strchr(server + 1, '\\') : nullptr;
        start = share ? static_cast<size_t>(share - path) + 1 : length;
    } else if (length >= 2 && path[1] == ':') {
        start = 2;
    }
    for (size_t i = start; i < length; ++i) {
        if (path[i] == '\\' && i > 0 && path[i - 1] != '\\' && i > start)
            folders.emplace_back(path, i);
    }
    return true;
}
