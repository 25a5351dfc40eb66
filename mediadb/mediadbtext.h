#pragma once

// Single-byte text helpers of the engine. Case folding touches ASCII only.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace mediadb
{

inline char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

inline char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Compares like the C library's case-blind compare over at most n bytes.
inline int compareNoCase(const char *a, const char *b, size_t n = static_cast<size_t>(-1))
{
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(lowerAscii(a[i]));
        const unsigned char y = static_cast<unsigned char>(lowerAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
    }
    return 0;
}

inline bool equalNoCase(const char *a, const char *b, size_t n = static_cast<size_t>(-1))
{
    return compareNoCase(a, b, n) == 0;
}

inline std::string upperCopy(const char *text)
{
    std::string s = text;
    for (char &c : s)
        c = upperAscii(c);
    return s;
}

// True when text holds needle, ASCII case ignored; upperNeedle is upper-cased.
inline bool containsNoCase(const char *text, const std::string &upperNeedle)
{
    if (upperNeedle.empty())
        return true;
    const char first = upperNeedle[0];
    const char firstLower = lowerAscii(first);
    const size_t n = upperNeedle.size();
    for (const char *p = text; *p; ++p) {
        if (*p != first && *p != firstLower)
            continue;
        size_t i = 1;
        while (i < n && upperAscii(p[i]) == upperNeedle[i])
            ++i;
        if (i == n)
            return true;
    }
    return false;
}

// A value may never carry the field or line separators into the file.
inline bool isFileUnsafe(char c)
{
    return c == '|' || c == '\r' || c == '\n' || c == '\0';
}

inline std::string sanitized(const std::string &text)
{
    std::string s = text;
    for (char &c : s) {
        if (isFileUnsafe(c))
            c = '_';
    }
    return s;
}

inline bool fileExists(const std::string &path)
{
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        return true;
    }
    return false;
}

bool copyFile(const std::string &from, const std::string &to);

// Memory of the catalogue's big arrays. On Linux large blocks ask for huge
// pages: faulting in tens of megabytes page by page costs more than reading them.
struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using LargeArray = std::unique_ptr<T[], FreeDeleter>;
void *allocateLarge(size_t bytes);

} // namespace mediadb
