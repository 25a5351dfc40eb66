#include "morvelsearch.h"

#include <cstring>

unsigned char MorvelSearch::fold(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || c == 228 || c == 246 || c == 252)
        return static_cast<unsigned char>(c & ~0x20);
    return c;
}

bool MorvelSearch::find(const char *text, const char *pattern, uint32_t flags, size_t *position)
{
    if (!text || !pattern)
        return false;
    const size_t textLength = strlen(text);
    const size_t patternLength = strlen(pattern);
    if (patternLength == 0 || patternLength > textLength)
        return false;
    const bool exact = (flags & kMatchCase) != 0;
    auto same = [exact](char a, char b) {
        const auto x = static_cast<unsigned char>(a);
        const auto y = static_cast<unsigned char>(b);
        return exact ? x == y : fold(x) == fold(y);
    };
    // Every start is tried, so a match that begins inside a partial one is found too.
    for (size_t start = 0; start + patternLength <= textLength; ++start) {
        size_t matched = 0;
        while (matched < patternLength && same(text[start + matched], pattern[matched]))
            ++matched;
        if (matched == patternLength) {
            if (position)
                *position = start;
            return true;
        }
    }
    return false;
}
