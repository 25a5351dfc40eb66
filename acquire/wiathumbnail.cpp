#include "wiathumbnail.h"

#include <cstring>

namespace
{

void putLittleEndian(std::vector<uint8_t> &block, size_t offset, uint32_t value, size_t bytes)
{
    for (size_t i = 0; i < bytes; ++i)
        block[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

int64_t WiaThumbnail::rowLength(int32_t width)
{
    return static_cast<int64_t>(width) * 3 + width % 4;
}

std::vector<uint8_t> WiaThumbnail::pack(int32_t width, int32_t height, const uint8_t *data, size_t size)
{
    // An empty picture is no bitmap; 64-bit arithmetic keeps odd dimensions from wrapping.
    if (!data || size == 0 || width <= 0 || height <= 0)
        return {};
    if (rowLength(width) * height != static_cast<int64_t>(size))
        return {};
    if (size > UINT32_MAX - kHeaderSize)
        return {};
    std::vector<uint8_t> block(kHeaderSize + size, 0);
    putLittleEndian(block, 0, kHeaderSize, 4);                                // header size
    putLittleEndian(block, 4, static_cast<uint32_t>(width), 4);               // width
    putLittleEndian(block, 8, static_cast<uint32_t>(height), 4);              // height, bottom-up
    putLittleEndian(block, 12, 1, 2);                                         // planes
    putLittleEndian(block, 14, 24, 2);                                        // bits per pixel
    putLittleEndian(block, 16, 0, 4);                                         // uncompressed
    putLittleEndian(block, 20, static_cast<uint32_t>(kHeaderSize + size), 4); // image size field
    std::memcpy(block.data() + kHeaderSize, data, size);
    return block;
}
