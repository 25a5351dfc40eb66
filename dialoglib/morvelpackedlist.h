#pragma once
// The host's packed lists: a 32-bit byte count, then zero-terminated texts
// back to back, or texts each followed by a 16-bit signed datum.

#include <cstdint>
#include <string>
#include <vector>

class MorvelPackedList
{
  public:
    struct Entry {
        std::string text;
        int16_t datum = 0;
    };

    // The first text, then texts while the bytes consumed stay below the
    // count. A later text whose end lies beyond the count ends the list. A
    // count of 0 holds no text: nothing after the count is read.
    static std::vector<std::string> texts(const unsigned char *block);
    // Entries while the next entry's offset from the block's first byte (the
    // count field included) stays below the count; an entry that does not end
    // within the counted bytes ends the list.
    static std::vector<Entry> textsWithData(const unsigned char *block);

    static uint32_t count(const unsigned char *block);
};
