#include "morvelbitmap.h"

#include <cstring>

namespace
{

const uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

template <typename T> T read(const unsigned char *p)
{
    T value;
    memcpy(&value, p, sizeof value);
    return value;
}

template <typename T> void write(std::vector<unsigned char> &bytes, size_t at, T value)
{
    memcpy(bytes.data() + at, &value, sizeof value);
}

} // namespace

bool MorvelBitmap::layout(const unsigned char *dib, Layout &out)
{
    if (!dib)
        return false;
    Layout l;
    l.headerSize = read<uint32_t>(dib);
    if (l.headerSize != 40 && l.headerSize != 52 && l.headerSize != 56 && l.headerSize != 108 &&
        l.headerSize != 124)
        return false;
    l.width = read<int32_t>(dib + 4);
    l.height = read<int32_t>(dib + 8);
    l.bitCount = read<uint16_t>(dib + 14);
    l.compression = read<uint32_t>(dib + 16);
    const uint32_t sizeImage = read<uint32_t>(dib + 20);
    const uint32_t coloursUsed = read<uint32_t>(dib + 32);
    if (l.width <= 0 || l.height == 0 || l.height == INT32_MIN)
        return false;
    switch (l.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    if (coloursUsed > 256 && l.bitCount <= 8)
        return false;
    if (l.bitCount <= 8)
        l.colours = coloursUsed ? coloursUsed : (1u << l.bitCount);
    else
        l.colours = coloursUsed > 256 ? 0 : coloursUsed;
    l.colourTableBytes = 4 * l.colours;
    // Masks follow a 40-byte header; the larger headers carry them inside.
    if ((l.compression == kBitFields || l.compression == kAlphaBitFields) && l.headerSize == 40)
        l.colourTableBytes += l.compression == kBitFields ? 12 : 16;

    const uint32_t rows = static_cast<uint32_t>(l.height < 0 ? -l.height : l.height);
    if (l.compression == kRgb || l.compression == kBitFields || l.compression == kAlphaBitFields) {
        const uint64_t rowBytes = ((uint64_t(l.width) * l.bitCount + 31) / 32) * 4;
        const uint64_t image = rowBytes * rows;
        if (image > 0x7fffffffu)
            return false;
        l.rowBytes = static_cast<uint32_t>(rowBytes);
        l.imageBytes = static_cast<uint32_t>(image);
    } else if ((l.compression == kRle8 || l.compression == kRle4) && l.height > 0 && sizeImage) {
        l.imageBytes = sizeImage; // run-length bits have no fixed row size
    } else {
        return false;
    }
    if (uint64_t(l.headerSize) + l.colourTableBytes + l.imageBytes + kFileHeaderSize > 0x7fffffffu)
        return false;
    out = l;
    return true;
}

std::vector<unsigned char> MorvelBitmap::fileHeader(const Layout &layout)
{
    std::vector<unsigned char> bytes(kFileHeaderSize, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    write<uint32_t>(bytes, 2, static_cast<uint32_t>(kFileHeaderSize) + layout.packedSize());
    write<uint32_t>(bytes, 10, static_cast<uint32_t>(kFileHeaderSize) + layout.bitsOffset());
    return bytes;
}

uint32_t MorvelBitmap::paletteEntries(const Layout &layout)
{
    return layout.bitCount <= 8 ? layout.colours : 0;
}
