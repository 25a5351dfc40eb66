#include "crc16.h"

#include <array>

namespace
{

// Eight tables, so that the loop takes eight bytes a step: every picture of
// an order is summed before its declaration.
using Tables = std::array<std::array<quint16, 256>, 8>;

constexpr Tables makeTables()
{
    Tables t{};
    for (unsigned n = 0; n < 256; ++n) {
        unsigned c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
        t[0][n] = quint16(c);
    }
    for (int k = 1; k < 8; ++k)
        for (unsigned n = 0; n < 256; ++n)
            t[k][n] = quint16((t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF]);
    return t;
}

constexpr Tables kTables = makeTables();

} // namespace

void CRC16::update(const char *buffer, qint64 start, qint64 length)
{
    unsigned crc = unsigned(m_crc) & 0xFFFF;
    const auto *p = reinterpret_cast<const quint8 *>(buffer + start);
    for (; length >= 8; length -= 8, p += 8) {
        crc ^= unsigned(p[0]) | unsigned(p[1]) << 8;
        crc = kTables[7][crc & 0xFF] ^ kTables[6][crc >> 8] ^ kTables[5][p[2]] ^ kTables[4][p[3]] ^
              kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
    }
    for (; length > 0; --length, ++p)
        crc = (crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFF];
    m_crc = int(crc);
}
