#include "etordertxtbuilder.h"

#include "etcustomer.h"
#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"

#include "messagecapture.h"
#include "outputfixture.h"
#include "qtprinters.h"

#include <QDir>
#include <QFile>

#include <iconv.h>

#include <gtest/gtest.h>

namespace
{

// glibc's converter as an independent reading of the file's bytes.
QString fromWindows1252(const QByteArray &bytes)
{
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    if (cd == iconv_t(-1))
        return QStringLiteral("<no WINDOWS-1252 converter>");
    QByteArray in = bytes;
    QByteArray out(bytes.size() * 4 + 4, '\0');
    char *inPtr = in.data();
    char *outPtr = out.data();
    size_t inLeft = size_t(in.size());
    size_t outLeft = size_t(out.size());
    const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (result == size_t(-1))
        return QStringLiteral("<not Windows-1252>");
    return QString::fromUtf8(out.constData(), outPtr - out.constData());
}

// Every line ends in CR LF, and there is no other CR or LF.
::testing::AssertionResult crLfOnly(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool cr = bytes.at(i) == '\r';
        const bool lf = bytes.at(i) == '\n';
        if (cr && (i + 1 >= bytes.size() || bytes.at(i + 1) != '\n'))
            return ::testing::AssertionFailure() << "lone CR at byte " << i;
        if (lf && (i == 0 || bytes.at(i - 1) != '\r'))
            return ::testing::AssertionFailure() << "LF without CR at byte " << i;
    }
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
        return ::testing::AssertionFailure() << "last line has no CR LF";
    return ::testing::AssertionSuccess();
}

class OrderFileScenarioTest : public ::testing::TestWithParam<OutputScenario>
{
};

TEST_P(OrderFileScenarioTest, TextMatchesFixture)
{
    fillOrder(GetParam());
    ETOrderTxtBuilder builder;
    EXPECT_TRUE(sameText(expectedText(GetParam().folder, "order.txt"), builder.build()));
}

TEST_P(OrderFileScenarioTest, FileIsWindows1252WithCrLf)
{
    fillOrder(GetParam());
    const QString path = outputWorkDir() + QStringLiteral("/order.txt");
    ETOrderTxtBuilder builder;
    MessageCapture messages;
    ASSERT_TRUE(builder.writeFile(path));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(crLfOnly(bytes));

    // The letters the code page lacks (Ł, ź) arrive as '?'.
    QString expected = expectedText(GetParam().folder, "order.txt");
    expected.replace(QStringLiteral("Łódź"), QStringLiteral("?ód?"));
    expected.replace(QStringLiteral("Łukasiewicz"), QStringLiteral("?ukasiewicz"));
    expected.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    EXPECT_TRUE(sameText(expected, fromWindows1252(bytes)));
    EXPECT_TRUE(bytes.contains("STREET=Hauptstra\xDF"
                               "e 5 <R\xFC"
                               "ckgeb\xE4"
                               "ude>\r\n"));
    EXPECT_TRUE(bytes.contains("ORGFILE=?\xF3"
                               "d? \x96 Nacht.png\r\n"));

    // The collect-data step shows the whole text on the debug channel.
    EXPECT_TRUE(messages.lines(QtDebugMsg).contains(expectedText(GetParam().folder, "order.txt")));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, OrderFileScenarioTest, ::testing::ValuesIn(outputScenarios),
                         scenarioName);

class OrderFileBuilderTest : public ::testing::Test
{
  protected:
    void SetUp() override { fillOrder(outputScenarios[1]); }

    ETOrder *order() { return ETOrder::instance(); }
    ETCustomer *customer() { return order()->customer(); }
};

TEST_F(OrderFileBuilderTest, MainSection)
{
    ETOrderTxtBuilder builder;
    EXPECT_EQ(QStringLiteral("[MAIN]\nCUSTOMERID=CC\nSOFTWAREID=42.01.30\nLANGUAGE=german\nORDERID=\n"
                             "DATETIME=20261210140509\nIP=\nKEYACC_ID=fotohaus\n\n"),
              builder.buildMain());
}

TEST_F(OrderFileBuilderTest, CustomerWithoutOptionalValues)
{
    customer()->clear();
    customer()->setValue(QStringLiteral("lastname"), QStringLiteral("Weiß"));
    ETOrderTxtBuilder builder;
    EXPECT_EQ(
        QStringLiteral("[CUSTOMER]\n(CUSTOMERA)\nDELIVERY=10\nNAME=Weiß\nSURNAME=\nSTREET=\nZIP=\nCITY=\n"
                       "COUNTRY=\n\n"),
        builder.buildCustomer());
}

TEST_F(OrderFileBuilderTest, FaxAndProvinceWhenSet)
{
    customer()->setValue(QStringLiteral("fax"), QStringLiteral("+49 89 7654321"));
    customer()->setValue(QStringLiteral("state_province"), QStringLiteral("Bayern"));
    ETOrderTxtBuilder builder;
    const QString text = builder.buildCustomer();
    EXPECT_TRUE(
        text.contains(QStringLiteral("PHONE=+49 89 1234567\nFAX=+49 89 7654321\nEMAIL=zoe@example.org\n")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("COMPANYNAME=Fotofreunde & Co.\nSTATEPROVINCE=Bayern\n\n")))
        << text.toStdString();
    EXPECT_EQ(QStringLiteral("STATEPROVINCE=Bayern\n"),
              builder.optionalLine(QStringLiteral("state_province"), QStringLiteral("STATEPROVINCE")));
    EXPECT_EQ(QString(), builder.optionalLine(QStringLiteral("cellularphone"), QStringLiteral("MOBILE")));
}

TEST_F(OrderFileBuilderTest, PaymentSectionIsFixed)
{
    for (int paymentType : {-1, 0, 1, 2, 3}) {
        SCOPED_TRACE(paymentType);
        order()->setPaymentType(paymentType);
        ETOrderTxtBuilder builder;
        EXPECT_EQ(QStringLiteral("[PAYMENT]\nMETHOD=RE\nSTATUS=00\n\n"), builder.buildPayment());
    }
}

TEST_F(OrderFileBuilderTest, ShippingMethodOnlyZeroForBill)
{
    const struct {
        int paymentType;
        const char *line;
    } cases[] = {
        {-1, "METHOD=3\n"}, {0, "METHOD=3\n"}, {1, "METHOD=3\n"}, {2, "METHOD=3\n"}, {3, "METHOD=0\n"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.paymentType);
        order()->setPaymentType(c.paymentType);
        ETOrderTxtBuilder builder;
        EXPECT_TRUE(builder.buildProducts().startsWith(QStringLiteral("[PRODUCT]\n[CUSTSHIP]\n") +
                                                       QString::fromLatin1(c.line)));
    }
}

TEST_F(OrderFileBuilderTest, OrderWithoutCountedLines)
{
    for (ETOrderItem *item : *order()->orderItems())
        item->setAmount(0);
    ETOrderTxtBuilder builder;
    EXPECT_EQ(QStringLiteral("[PRODUCT]\n[CUSTSHIP]\nMETHOD=0\n\n"), builder.buildProducts());
    EXPECT_TRUE(builder.build().endsWith(QStringLiteral("[PRODUCT]\n[CUSTSHIP]\nMETHOD=0\n\n")));
}

TEST_F(OrderFileBuilderTest, SectionHeadOfOneLine)
{
    struct Case {
        const char *product;
        QString section;
    };
    const Case cases[] = {
        {"10x15", QStringLiteral("[P1015]\nSIZE=10x15\nTYPE=glänzend\n")},
        {"13x18 matt", QStringLiteral("[P1318]\nTYPE=matt\n")},
        // Size and type of a product without lab id stay out of the file.
        {"Poster 30x45 & mehr", QStringLiteral("[Poster 30x45 & mehr]\n")},
        {"Unbekannt 9x13", QStringLiteral("[Unbekannt 9x13]\n")},
    };
    ETOrderItem *item = order()->orderItems()->at(0);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.product);
        item->setProductName(QString::fromUtf8(c.product));
        ETOrderTxtBuilder builder;
        EXPECT_EQ(c.section + QStringLiteral(
                                  "QTY=3\nOPTIMIZE=1\nFILE=00000001.jpg\nORGFILE=Strandkörbe am Meer.jpg\n"),
                  builder.buildOneProduct(item));
    }
    item->setAmount(0);
    ETOrderTxtBuilder builder;
    EXPECT_EQ(QString(), builder.buildOneProduct(item));
}

TEST_F(OrderFileBuilderTest, LineBreakInAValueStaysInItsLine)
{
    customer()->setValue(QStringLiteral("street"), QStringLiteral("Hof 1\nMETHOD=0\r\nQTY=99\rX"));
    ETOrderTxtBuilder builder;
    const QString text = builder.buildCustomer();
    EXPECT_TRUE(text.contains(QStringLiteral("\nSTREET=Hof 1 METHOD=0 QTY=99 X\nZIP=80331\n")))
        << text.toStdString();
}

// Control characters the lab cannot read, in a customer value or a picture's
// name, are replaced as in the request documents.
TEST_F(OrderFileBuilderTest, ControlCharactersAreReplaced)
{
    customer()->setValue(QStringLiteral("street"), QStringLiteral("Hof\v1") + QChar(0) + QChar(0xffff));
    ETOrderItem *item = order()->orderItems()->at(0);
    item->image()->metaData()->setFileName(QStringLiteral("Strand\x01\x1f.jpg"));
    const QByteArray bytes = ETOrderTxtBuilder::fileContent(ETOrderTxtBuilder().build());
    EXPECT_TRUE(bytes.contains("\r\nSTREET=Hof_1__\r\n")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("\r\nORGFILE=Strand__.jpg\r\n")) << bytes.constData();
}

TEST_F(OrderFileBuilderTest, UnwritableFileIsReported)
{
    ETOrderTxtBuilder builder;
    EXPECT_FALSE(builder.writeFile(outputWorkDir() + QStringLiteral("/missing-folder/order.txt")));
    EXPECT_FALSE(QFile::exists(outputWorkDir() + QStringLiteral("/missing-folder/order.txt")));
}

TEST(OrderFileContentTest, LineEndsAndCodePage)
{
    struct Case {
        const char *name;
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"line ends", QStringLiteral("[MAIN]\n\nA=1\n"), QByteArray("[MAIN]\r\n\r\nA=1\r\n")},
        {"letters", QStringLiteral("CITY=Köln €\n"), QByteArray("CITY=K\xF6ln \x80\r\n")},
        {"unmappable", QStringLiteral("NAME=Łoś\n"), QByteArray("NAME=?o?\r\n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.bytes, ETOrderTxtBuilder::fileContent(c.text));
    }
}

} // namespace
