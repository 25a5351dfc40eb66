#pragma once
// Text search of SearchForString: a plain scan with the host's case folding.

#include <cstddef>
#include <cstdint>

class MorvelSearch
{
  public:
    // Bit of the flags that asks for an exact-case compare.
    static constexpr uint32_t kMatchCase = 0x01000000;

    // Folds a to z and the lower-case umlauts (228, 246, 252) to upper case.
    static unsigned char fold(unsigned char c);
    // True when pattern occurs in text; position gets the start of the first match.
    static bool find(const char *text, const char *pattern, uint32_t flags, size_t *position);
};
