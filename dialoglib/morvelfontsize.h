#pragma once
// Font sizes: the table of usual sizes and the conversions between the host's
// sizes and system sizes through the host's font-scale record.

#include <array>
#include <cstdint>

class MorvelFontSize
{
  public:
    static constexpr std::array<uint8_t, 16> kSizes = {8,  9,  10, 11, 12, 14, 16, 18,
                                                       20, 22, 24, 26, 28, 36, 48, 72};
    // Fields 14 and 25 (counted from 1) of the font-scale record.
    static constexpr int kFieldA = 13;
    static constexpr int kFieldB = 24;

    // size * B * 96 / 72, then / A; 0 when A is 0.
    static int32_t systemSize(const int32_t *record, int32_t size);
    // size * A * 72 / 96, then / B; 0 when B is 0.
    static int32_t hostSize(const int32_t *record, int32_t size);
};
