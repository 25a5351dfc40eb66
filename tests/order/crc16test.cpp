#include "crc16.h"

#include <gtest/gtest.h>

#include <QByteArray>

TEST(CRC16Test, CheckValues)
{
    struct Case {
        QByteArray data;
        int crc;
    };
    const Case cases[] = {
        {QByteArray("123456789"), 0xBB3D}, {QByteArray("abc"), 0x9738},     {QByteArray(), 0},
        {QByteArray(1, '\0'), 0},          {QByteArray(1, '\xff'), 0x4040},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.data.toHex().toStdString());
        CRC16 crc;
        crc.update(c.data.constData(), 0, c.data.size());
        EXPECT_EQ(crc.value(), c.crc);
    }
}

TEST(CRC16Test, FeedsInPiecesAndResets)
{
    const QByteArray data("xx123456789");
    CRC16 crc;
    crc.update(data.constData(), 2, 4);
    crc.update(data.constData(), 6, 5);
    EXPECT_EQ(crc.value(), 0xBB3D);
    crc.reset();
    EXPECT_EQ(crc.value(), 0);
}

// The table walk takes eight bytes a step; any split of the input and any
// tail length must give what the plain bitwise definition gives.
TEST(CRC16Test, BlocksOfAnyLengthMatchTheBitwiseSum)
{
    QByteArray data(1031, Qt::Uninitialized);
    quint32 seed = 12345;
    for (char &c : data) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 16);
    }
    unsigned expected = 0;
    for (char c : data) {
        expected ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            expected = (expected & 1) ? (expected >> 1) ^ 0xA001 : expected >> 1;
    }
    for (qint64 piece : {1, 3, 7, 8, 9, 64, 1031}) {
        SCOPED_TRACE(piece);
        CRC16 crc;
        for (qint64 start = 0; start < data.size(); start += piece)
            crc.update(data.constData(), start, qMin(piece, data.size() - start));
        EXPECT_EQ(crc.value(), int(expected));
    }
}
