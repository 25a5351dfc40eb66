#include "ansitext.h"

#include <new>

namespace qdwia
{

BSTR toBstr(const char *text, int capacity)
{
    if (!text)
        return nullptr;
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0 || length > capacity)
        return nullptr;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length) != length)
        return nullptr;
    return SysAllocString(wide.c_str());
}

std::string toAnsi(const wchar_t *text)
{
    if (!text)
        return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &ansi[0], length, nullptr, nullptr);
    ansi.resize(static_cast<size_t>(length - 1));
    return ansi;
}

std::unique_ptr<char[]> newAnsi(const wchar_t *text)
{
    const int length = text ? WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr) : 0;
    std::unique_ptr<char[]> ansi(new (std::nothrow) char[length > 0 ? length : 1]);
    if (!ansi)
        return nullptr;
    ansi[0] = 0;
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.get(), length, nullptr, nullptr);
    return ansi;
}

bool toAnsiBuffer(const wchar_t *text, char *buffer, int size)
{
    if (!text || size <= 0)
        return false;
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0 || length > size)
        return false;
    return WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, size, nullptr, nullptr) == length;
}

void toAnsiTruncated(const wchar_t *text, char *buffer, int size)
{
    if (size <= 0)
        return;
    buffer[0] = 0;
    if (!text || toAnsiBuffer(text, buffer, size))
        return;
    // Whole characters (a surrogate pair counts as one) while they and the terminator fit.
    int taken = 0;
    int bytes = 0;
    while (text[taken]) {
        const bool pair = IS_HIGH_SURROGATE(text[taken]) && IS_LOW_SURROGATE(text[taken + 1]);
        const int units = pair ? 2 : 1;
        const int more = WideCharToMultiByte(CP_ACP, 0, text + taken, units, nullptr, 0, nullptr, nullptr);
        if (more <= 0 || bytes + more > size - 1)
            break;
        bytes += more;
        taken += units;
    }
    const int written =
        taken ? WideCharToMultiByte(CP_ACP, 0, text, taken, buffer, size - 1, nullptr, nullptr) : 0;
    buffer[written > 0 ? written : 0] = 0;
}

} // namespace qdwia
