#pragma once

// Packs a device's thumbnail (24-bit rows, bottom-up, each padded to four
// bytes) behind a bitmap information header, ready for the host's drawing
// calls. Plain C++, no Windows headers.

#include <cstddef>
#include <cstdint>
#include <vector>

class WiaThumbnail
{
  public:
    static constexpr size_t kHeaderSize = 40;

    // Bytes of one 24-bit row of the given width, padded to four bytes.
    static int64_t rowLength(int32_t width);

    // Header plus pixels; empty when the byte count does not fit width,
    // height and padding or there are no bytes.
    static std::vector<uint8_t> pack(int32_t width, int32_t height, const uint8_t *data, size_t size);
};
