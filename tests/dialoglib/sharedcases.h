#pragma once
// Case tables that both the core's native tests and the DLL's host tests
// run: the exports answer as the core does.

#include <cstddef>
#include <cstdint>

struct UniqueFileCase {
    const char *in;
    const char *out;
};

inline constexpr UniqueFileCase kUniqueFileCases[] = {
    {"a.txt", "a_1.txt"},
    {"a_9.txt", "a_10.txt"},
    {"name_.txt", "name_1.txt"},
    {"a_b_3.txt", "a_b_3_1.txt"},
    {"name_7.txt", "name_8.txt"},
    {"C:\\dir_2\\a.txt", "C:\\dir_2\\a_1.txt"},
    {"C:\\my_dir\\a.txt", "C:\\my_dir\\a_1.txt"},
    {"C:\\dir.x\\file", "C:\\dir.x\\file_1"},
    {"C:\\dir\\photo_41.jpg", "C:\\dir\\photo_42.jpg"},
    {"file_41", "file_42"},
    {"_3.txt", "_3_1.txt"}, // an underscore at the start of the path does not count
    {"a_123456789.txt", "a_123456790.txt"},
    {"a_1234567890.txt", "a_1234567890_1.txt"}, // more than nine digits
    {"a_x.tar.gz", "a_x.tar_1.gz"},
};

// The flag a host passes for a search that matches case.
inline constexpr uint32_t kSearchMatchCase = 0x01000000;

struct SearchCase {
    const char *text;
    const char *pattern;
    uint32_t flags;
    bool found;
    size_t position;
};

inline constexpr SearchCase kSearchCases[] = {
    {"Hello World", "world", 0, true, 6},
    {"Hello World", "world", kSearchMatchCase, false, 0},
    {"Hello World", "World", kSearchMatchCase, true, 6},
    {"Hello", "hel", 0, true, 0},
    {"Hallo Welt", "Hallo", 0, true, 0},
    {"aab", "ab", 0, true, 1}, // begins inside a partial match
    {"abcabd", "abd", 0, true, 3},
    {"Gr\xfc\xdf"
     "e",
     "GR\xdc\xdf", 0, true, 0}, // umlauts fold, sharp s stays
    {"\xc4rger", "\xe4rger", 0, true, 0},
    {"Stra\xdf"
     "e \xdc"
     "ber",
     "\xfc"
     "ber",
     0, true, 7},
    {"caf\xe9", "CAF\xc9", 0, false, 0}, // other accented letters do not fold
    {"ab", "abc", 0, false, 0},
    {"abc", "", 0, false, 0},
    {"x", "x", 0, true, 0},
};
