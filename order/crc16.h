#pragma once

#include <QtGlobal>

// CRC-16/ARC (reflected polynomial 0xA001, start 0, no final XOR), fed in blocks of any length.
class CRC16
{
  public:
    CRC16() = default;

    void reset() { m_crc = 0; }
    void update(const char *buffer, qint64 start, qint64 length);
    int value() const { return m_crc; }

  private:
    int m_crc = 0;
};
