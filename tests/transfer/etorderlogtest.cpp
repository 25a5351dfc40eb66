#include "etorderlog.h"

#include "ettestsandbox.h"
#include "filesizelimit.h"
#include "messagecapture.h"
#include "qtprinters.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

#include <zlib.h>

#include <gtest/gtest.h>

namespace
{

quint32 bigEndian(const QByteArray &data, qsizetype at)
{
    return qFromBigEndian<quint32>(data.constData() + at);
}

quint32 adler(const QByteArray &data)
{
    return quint32(adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef *>(data.constData()),
                           uInt(data.size())));
}

// The plain text of a log file's bytes, read by the format's own rules; the
// failure names the part that does not hold.
::testing::AssertionResult decodes(const QByteArray &data, QByteArray &plain)
{
    if (data.size() < 20 || data.left(4) != "ODCC")
        return ::testing::AssertionFailure() << "no log head: " << data.left(8).toHex().toStdString();
    const quint32 n = bigEndian(data, 4);
    if (qsizetype(4 + 4 + n + 12) != data.size())
        return ::testing::AssertionFailure() << "compressed length " << n << " in a file of " << data.size();
    const QByteArray compressed = data.mid(8, qsizetype(n));
    if (adler(compressed) != bigEndian(data, 8 + n))
        return ::testing::AssertionFailure() << "checksum of the compressed data " << bigEndian(data, 8 + n)
                                             << ", expected " << adler(compressed);
    const quint32 length = bigEndian(data, 12 + n);
    plain = QByteArray(qsizetype(length), '\0');
    uLongf plainLength = length;
    const int rc = uncompress(reinterpret_cast<Bytef *>(plain.data()), &plainLength,
                              reinterpret_cast<const Bytef *>(compressed.constData()), n);
    if (rc != Z_OK || plainLength != length)
        return ::testing::AssertionFailure()
               << "uncompress " << rc << ", " << plainLength << " of " << length << " bytes";
    if (adler(plain) != bigEndian(data, 16 + n))
        return ::testing::AssertionFailure()
               << "checksum of the text " << bigEndian(data, 16 + n) << ", expected " << adler(plain);
    return ::testing::AssertionSuccess();
}

TEST(ETOrderLog, EveryTextComesBackFromItsBytes)
{
    // Random bytes do not compress: the output buffer must hold more than the input.
    QByteArray noise(200000, '\0');
    QRandomGenerator generator(7);
    for (char &c : noise)
        c = char(generator.bounded(256));
    const struct Case {
        const char *name;
        QByteArray plain;
    } cases[] = {
        {"empty", QByteArray()},
        {"one byte", QByteArray("x")},
        {"declaration", QByteArray("<orderdeclaration_request><ocsid>S1</ocsid></orderdeclaration_request>")},
        {"repeated", QByteArray(100000, 'a')},
        {"incompressible", noise},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray data = ETOrderLog::encode(c.plain);
        QByteArray plain;
        ASSERT_TRUE(decodes(data, plain));
        EXPECT_EQ(c.plain, plain);
    }
}

TEST(ETOrderLog, KeepsTheDeclarationMaskedForTheOwnerOnly)
{
    ETTestSandbox sandbox;
    const QString declaration = QString::fromUtf8(
        "<orderdeclaration_request><ocsid>S1</ocsid><loc_id>0</loc_id><orderposition archive=\"no\">"
        "<filename>/tmp/Grüße.jpg</filename></orderposition><cc_info><cc_brand>VISA</cc_brand>"
        "<cc_number>4111111111111111</cc_number><cc_validation_code>737</cc_validation_code></cc_info>"
        "<debit_info><debit_holder>Anna</debit_holder><debit_bankcode>37040044</debit_bankcode>"
        "<debit_account_number>9876543210</debit_account_number></debit_info>"
        "</orderdeclaration_request>");
    ASSERT_TRUE(ETOrderLog::write(declaration));

    const QStringList logs = QDir(sandbox.resource(QStringLiteral("orderlog")))
                                 .entryList({QStringLiteral("order_*")}, QDir::Files);
    ASSERT_EQ(1, logs.size());
    EXPECT_EQ(QStringLiteral("order_yyyyMMddhhmmss").size(), logs[0].size());
    QFile file(sandbox.resource(QStringLiteral("orderlog/") + logs[0]));
    EXPECT_EQ(QFileDevice::ReadOwner | QFileDevice::WriteOwner,
              file.permissions() & (QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray plain;
    ASSERT_TRUE(decodes(file.readAll(), plain));

    QString expected = declaration;
    expected.replace(QStringLiteral("4111111111111111"), QStringLiteral("****"));
    expected.replace(QStringLiteral(">737<"), QStringLiteral(">****<"));
    expected.replace(QStringLiteral("37040044"), QStringLiteral("****"));
    expected.replace(QStringLiteral("9876543210"), QStringLiteral("****"));
    EXPECT_EQ(expected, QString::fromLatin1(plain));
}

TEST(ETOrderLog, UnwritableFolderFails)
{
    ETTestSandbox sandbox;
    sandbox.write(QStringLiteral("orderlog"), "a file where the folder should be");
    MessageCapture lines;
    EXPECT_FALSE(ETOrderLog::write(QStringLiteral("x")));
    EXPECT_TRUE(lines.all().contains(QStringLiteral("cannot open ")));
}

// A disk that fills during the write leaves no cut log and says so.
TEST(ETOrderLog, AWriteThatDoesNotFitFailsAndLeavesNoFile)
{
    ETTestSandbox sandbox;
    QString declaration;
    for (int i = 0; declaration.size() < 200000; ++i)
        declaration += QStringLiteral("<filename>%1</filename>").arg(QRandomGenerator::global()->generate());
    bool written = true;
    {
        FileSizeLimit limit(1024);
        if (!limit.active())
            GTEST_SKIP() << "no file size limit here";
        written = ETOrderLog::write(declaration);
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(QDir(sandbox.resource(QStringLiteral("orderlog")))
                    .entryList({QStringLiteral("order_*")}, QDir::Files)
                    .isEmpty());
}

} // namespace
