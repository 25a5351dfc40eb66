#include "updatetext.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace autoupdate
{

const char kUnknownVersion[] = "?.?.?.?";

std::string percentEncodeQueryValue(const std::string &value)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        const unsigned char byte = static_cast<unsigned char>(c);
        const bool escape = byte <= 0x20 || byte >= 0x7f || c == '&' || c == '#' || c == '%' || c == '+';
        if (escape) {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0f];
        } else {
            out += c;
        }
    }
    return out;
}

std::string baseAddress(const std::string &url)
{
    return url.substr(0, url.find(' '));
}

std::string versionText(uint32_t mostSignificant, uint32_t leastSignificant)
{
    return std::to_string(mostSignificant >> 16) + '.' + std::to_string(mostSignificant & 0xffff) + '.' +
           std::to_string(leastSignificant >> 16) + '.' + std::to_string(leastSignificant & 0xffff);
}

std::string queryAddress(const std::string &updateUrl, const std::string &version,
                         const std::string &versionName, const std::string &language)
{
    return baseAddress(updateUrl) + "?ProgVers=" + percentEncodeQueryValue(version) +
           "&ProgVersName=" + percentEncodeQueryValue(versionName) +
           "&LC=" + percentEncodeQueryValue(language);
}

std::string kbytesText(int32_t bytes)
{
    return std::to_string(bytes / 1024) + " KBytes";
}

std::string offerText(const std::string &productName, const std::string &versionReply, int32_t size)
{
    return productName + " Version " + versionReply + " (" + kbytesText(size) + ")";
}

std::string progressText(int32_t position, int32_t upperBound)
{
    return kbytesText(position) + " / " + kbytesText(upperBound);
}

int32_t leadingInteger(const std::string &text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool parseStatusCode(const std::string &text, int32_t &code)
{
    const char *begin = text.c_str();
    char *end = nullptr;
    const long long value = std::strtoll(begin, &end, 10);
    if (end == begin || value > INT32_MAX || value < INT32_MIN)
        return false;
    code = static_cast<int32_t>(value);
    return true;
}

bool isSuccessStatus(int32_t code)
{
    return code >= 200 && code <= 203;
}

std::string doubleAmpersands(const std::string &text)
{
    return replaceAll(text, "&", "&&");
}

std::string replaceAll(std::string text, const std::string &from, const std::string &to)
{
    if (from.empty())
        return text;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string joinLines(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

std::string fillPath(const std::string &pattern, const std::string &path)
{
    for (size_t at = pattern.find('%'); at != std::string::npos; at = pattern.find('%', at + 1)) {
        size_t next = at + 1;
        if (next < pattern.size() && pattern[next] == ' ')
            ++next;
        if (next < pattern.size() && pattern[next] == 's')
            return pattern.substr(0, at) + path + pattern.substr(next + 1);
    }
    return pattern;
}

std::string folderOf(const std::string &path)
{
    const size_t last = path.find_last_of("\\/");
    if (last != std::string::npos)
        return path.substr(0, last + 1);
    // "C:name" keeps its drive.
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2);
    return std::string();
}

std::string iniPathBeside(const std::string &path)
{
    const size_t folderEnd = folderOf(path).size();
    const size_t dot = path.find_last_of('.');
    const std::string stem = dot != std::string::npos && dot >= folderEnd ? path.substr(0, dot) : path;
    return stem + ".ini";
}

std::string readTransferNotice(const std::string &path)
{
    std::string text;
    FILE *file = std::fopen(path.c_str(), "r");
    if (!file)
        return text;
    char piece[260];
    for (;;) {
        if (std::fgets(piece, sizeof piece, file)) {
            text += piece;
            text += "\r\n";
            continue;
        }
        text += "\r\n";
        break;
    }
    std::fclose(file);
    return text;
}

} // namespace autoupdate
