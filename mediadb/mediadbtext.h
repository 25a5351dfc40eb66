#pragma once

// Single-byte text helpers of the engine. Case folding touches ASCII only.

#include "mediadbfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// The same over a text of known length, which holds no terminator.
inline bool containsNoCase(const char *text, size_t length, const std::string &upperNeedle)
{
    const size_t n = upperNeedle.size();
    if (n > length)
        return false;
    if (n == 0)
        return true;
    const char first = upperNeedle[0];
    const char firstLower = lowerAscii(first);
    for (size_t i = 0; i + n <= length; ++i) {
        if (text[i] != first && text[i] != firstLower)
            continue;
        size_t k = 1;
        while (k < n && upperAscii(text[i + k]) == upperNeedle[k])
            ++k;
        if (k == n)
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
    return static_cast<bool>(MediaDbFile(path, "rb"));
}

bool copyFile(const std::string &from, const std::string &to);

// Processors this process may run on (at least 1): a process kept to fewer
// than the machine has gains nothing from more threads.
unsigned usableProcessors();

// 0x80 in each byte of x that is zero, nothing elsewhere.
inline uint64_t zeroBytes(uint64_t x)
{
    const uint64_t low = 0x7f7f7f7f7f7f7f7fULL;
    return ~(((x & low) + low) | x | low);
}

// Index of the lowest set bit; x is not zero. Byte order: little-endian hosts only
// (x86 and ARM as Windows and Linux run them).
inline unsigned lowestBit(uint64_t x)
{
    return static_cast<unsigned>(__builtin_ctzll(x));
}

// The bytes the database file's layout rests on: field separator, line end,
// carriage return and terminator.
inline bool isMark(char c)
{
    return c == '|' || c == '\n' || c == '\r' || c == '\0';
}

// Goes through the marks in [p, end) in order, eight bytes at a time: bar(p)
// for each separator, other(p) for each other mark, until a call returns
// false (the result then is false). A call may change the byte it is given,
// none after it.
// Always inlined: the callers keep their state in registers.
template <typename Bar, typename Other>
[[gnu::always_inline]] inline bool scanMarksPortable(char *p, char *const end, Bar &&bar, Other &&other)
{
    for (; end - p >= 8; p += 8) {
        uint64_t x;
        std::memcpy(&x, p, 8);
        uint64_t bars = zeroBytes(x ^ 0x7c7c7c7c7c7c7c7cULL);
        const uint64_t others =
            zeroBytes(x) | zeroBytes(x ^ 0x0d0d0d0d0d0d0d0dULL) | zeroBytes(x ^ 0x0a0a0a0a0a0a0a0aULL);
        if (!others) {
            for (; bars; bars &= bars - 1) {
                if (!bar(p + (lowestBit(bars) >> 3)))
                    return false;
            }
            continue;
        }
        for (uint64_t marks = bars | others; marks; marks &= marks - 1) {
            const uint64_t lowest = marks & (~marks + 1);
            char *const at = p + (lowestBit(marks) >> 3);
            if (!((bars & lowest) ? bar(at) : other(at)))
                return false;
        }
    }
    for (; p < end; ++p) {
        if (*p == '|') {
            if (!bar(p))
                return false;
        } else if (isMark(*p) && !other(p)) {
            return false;
        }
    }
    return true;
}

// The same, sixteen bytes at a time where the processor has SSE2.
template <typename Bar, typename Other>
[[gnu::always_inline]] inline bool scanMarks(char *p, char *const end, Bar &&bar, Other &&other)
{
#ifdef __SSE2__
    const __m128i bar16 = _mm_set1_epi8('|');
    const __m128i cr16 = _mm_set1_epi8('\r');
    const __m128i lf16 = _mm_set1_epi8('\n');
    const __m128i zero16 = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        unsigned bars = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, bar16)));
        const unsigned others = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_cmpeq_epi8(v, zero16), _mm_or_si128(_mm_cmpeq_epi8(v, cr16), _mm_cmpeq_epi8(v, lf16)))));
        if (!others) {
            for (; bars; bars &= bars - 1) {
                if (!bar(p + __builtin_ctz(bars)))
                    return false;
            }
            continue;
        }
        for (unsigned marks = bars | others; marks; marks &= marks - 1) {
            char *const at = p + __builtin_ctz(marks);
            if (!((bars & marks & (~marks + 1)) ? bar(at) : other(at)))
                return false;
        }
    }
#endif
    return scanMarksPortable(p, end, bar, other);
}

// Memory of the catalogue's big arrays. On Linux large blocks ask for huge
// pages: faulting in tens of megabytes page by page costs more than reading them.
struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using LargeArray = std::unique_ptr<T[], FreeDeleter>;
void *allocateLarge(size_t bytes);

} // namespace mediadb
