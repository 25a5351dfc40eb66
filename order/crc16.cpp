#include "crc16.h"

#include <array>

namespace
{

constexpr std::array<quint16, 256> makeTable()
{
    std::array<quint16, 256> table{};
    for (unsigned n = 0; n < 256; ++n) {
        unsigned c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
        table[n] = quint16(c);
    }
    return table;
}

constexpr std::array<quint16, 256> kTable = makeTable();

} // namespace

void CRC16::update(const char *buffer, qint64 start, qint64 length)
{
    unsigned crc = unsigned(m_crc) & 0xFFFF;
    for (qint64 i = start; i < start + length; ++i)
        crc = (crc >> 8) ^ kTable[(crc ^ quint8(buffer[i])) & 0xFF];
    m_crc = int(crc);
}
