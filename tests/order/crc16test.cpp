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
