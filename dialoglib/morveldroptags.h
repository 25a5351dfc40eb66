#pragma once
// The drop-tag table that tells the host what kind of file was dropped:
// records of a 4-character tag, three 32-bit values, an 8-bit extension
// count and that many zero-terminated extensions, ended by a record whose
// first 32 bits are all ones.

#include <cstddef>
#include <cstdint>

class MorvelDropTags
{
  public:
    // A record's bytes before its extensions: tag, three values, count.
    static constexpr size_t kFixedSize = 4 + 3 * 4 + 1;

    // The whole table, its end record included.
    static const unsigned char *table();
    static size_t tableSize();
    // The record whose extensions hold the name's extension (case ignored),
    // or null; a name needs more than five characters and a "." followed by
    // an extension.
    static const unsigned char *find(const char *name);
    // Bytes of the record at record, up to the next record.
    static size_t recordSize(const unsigned char *record);
};
