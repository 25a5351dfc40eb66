#pragma once
// Layout of a packed device-independent bitmap (information header, colour
// table or colour masks, bits) and the bitmap file made from it.

#include <cstddef>
#include <cstdint>
#include <vector>

class MorvelBitmap
{
  public:
    struct Layout {
        uint32_t headerSize = 0;
        int32_t width = 0;
        int32_t height = 0; // negative for a top-down bitmap
        uint16_t bitCount = 0;
        uint32_t compression = 0;
        uint32_t colours = 0;          // colour-table entries
        uint32_t colourTableBytes = 0; // colour table, or the three masks after a 40-byte header
        uint32_t imageBytes = 0;
        uint32_t rowBytes = 0; // 0 for compressed bits

        uint32_t bitsOffset() const { return headerSize + colourTableBytes; }
        uint32_t packedSize() const { return bitsOffset() + imageBytes; }
    };

    static constexpr size_t kFileHeaderSize = 14;

    // Reads the information header; false for a header it does not know or
    // sizes beyond 32 bits.
    static bool layout(const unsigned char *dib, Layout &out);
    // The 14-byte file header for a bitmap of that layout.
    static std::vector<unsigned char> fileHeader(const Layout &layout);
    // Entries of the colour table a palette is made from: the header's count
    // of colours used when given, else 2 to the power of the bit count; 0 above 8 bits.
    static uint32_t paletteEntries(const Layout &layout);
};
