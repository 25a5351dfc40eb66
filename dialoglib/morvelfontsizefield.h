#pragma once
// Rules of the font-size field "xFontSize": which typed characters its edit
// part takes, and the size a typed text stands for.

#include <cstdint>
#include <string>

class MorvelFontSizeField
{
  public:
    // Entry selected when the field is made (the size 12).
    static constexpr int kStartEntry = 4;
    static constexpr int32_t kFallbackSize = 12;

    // Whether the edit part takes character c while it holds text.
    static bool acceptsChar(unsigned char c, const std::string &text);
    // The size for a number read from the text: result and kind as the
    // number reader gave them, raw its 32 bits (a whole number or a
    // single-precision real).
    static int32_t sizeFromNumber(int32_t result, int32_t kind, uint32_t raw);
    // Nearest whole number, ties to even.
    static int32_t roundHalfEven(float value);
};
