#pragma once
// Length-prefixed blocks of the host's language: a 32-bit count in front of
// the characters (count = length + 1, the zero counted) or of binary bytes.

#include <cstddef>
#include <cstdint>

class MorvelXppBlock
{
  public:
    static constexpr size_t kCountSize = 4;

    static uint32_t count(const void *block);
    static void setCount(void *block, uint32_t count);
    // Writes count, the characters and the zero; block must hold length + 5 bytes.
    static uint32_t putText(void *block, const char *text, size_t length);
    static char *text(void *block) { return static_cast<char *>(block) + kCountSize; }
};
