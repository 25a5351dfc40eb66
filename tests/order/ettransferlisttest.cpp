#include "ettransferlist.h"

#include "messagecapture.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <gtest/gtest.h>

#include <QDomDocument>

namespace
{

void parseInto(ETTransferList &list, const char *xml)
{
    QDomDocument document;
    ASSERT_TRUE(bool(document.setContent(QByteArray(xml))));
    list.parse(document.documentElement());
}

} // namespace

TEST(ETTransferListTest, DiscountLevelScan)
{
    ETTransferList list;
    parseInto(list,
              "<reply><content><homog_min level=\"1\">10</homog_min><homog_min level=\"2\">50</homog_min>"
              "<homog_min level=\"3\">100</homog_min></content></reply>");
    struct Case {
        int prints;
        int level;
    };
    const Case cases[] = {{0, 0}, {9, 0}, {10, 1}, {49, 1}, {50, 2}, {99, 2}, {100, 3}, {5000, 3}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.prints);
        EXPECT_EQ(list.discountLevel(c.prints), c.level);
    }
    EXPECT_EQ(list.maxDiscountLevel(), 3);
    EXPECT_TRUE(list.homogMinValid());
}

TEST(ETTransferListTest, GapsAndInvalidTables)
{
    struct Case {
        const char *name;
        const char *xml;
        int prints;
        int level;
        int maxLevel;
        bool valid;
    };
    const Case cases[] = {
        {"level 2 missing",
         "<content><homog_min level=\"1\">10</homog_min><homog_min level=\"3\">100</homog_min></content>",
         500, 1, 1, false},
        {"not rising",
         "<content><homog_min level=\"1\">10</homog_min><homog_min level=\"2\">10</homog_min></content>", 500,
         2, 2, false},
        {"zero is set but unreachable",
         "<content><homog_min level=\"1\">5</homog_min><homog_min level=\"2\">0</homog_min></content>",
         1000000, 1, 2, true},
        {"level out of range ignored",
         "<content><homog_min level=\"100\">5</homog_min><homog_min level=\"-1\">5</homog_min></content>", 10,
         0, 0, true},
        {"empty", "<content/>", 10, 0, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ETTransferList list;
        parseInto(list, c.xml);
        EXPECT_EQ(list.discountLevel(c.prints), c.level);
        EXPECT_EQ(list.maxDiscountLevel(), c.maxLevel);
        EXPECT_EQ(list.homogMinValid(), c.valid);
    }
}

TEST(ETTransferListTest, TransferLevelsAndThresholds)
{
    ETTransferList list;
    parseInto(list, "<content><threshold>50,00</threshold><threshold level=\"2\">150</threshold></content>");
    EXPECT_EQ(list.threshold(1), 5000) << "a threshold without level sets level 1";
    EXPECT_EQ(list.threshold(2), 15000);
    EXPECT_EQ(list.transferLevel(4999), 0);
    EXPECT_EQ(list.transferLevel(5000), 1);
    EXPECT_EQ(list.transferLevel(20000), 2);
    EXPECT_EQ(list.maxTransferLevel(), 1) << "15000 lies above 100.00";
    EXPECT_TRUE(list.thresholdsValid());
    EXPECT_EQ(list.threshold(200), 0);

    ETTransferList zero;
    parseInto(zero, "<content><threshold level=\"1\">0</threshold></content>");
    EXPECT_EQ(zero.threshold(1), 2000000000);
    EXPECT_EQ(zero.transferLevel(1000000), 0);
}

TEST(ETTransferListTest, TransferPricesAndMerge)
{
    ETTransferList list;
    parseInto(list, "<content><transfer type=\"OM\" discount=\"0\"><id>T0</id><price>4,99</price></transfer>"
                    "<transfer type=\"FC\" discount=\"1\"><id>T1</id><price>2.5</price></transfer>"
                    "<unknown/></content>");
    EXPECT_EQ(list.prices().price(SubmitNet, PaymentBill, 0), 499);
    EXPECT_EQ(list.prices().transferId(SubmitNet, PaymentDebit, 0), QStringLiteral("T0"));
    EXPECT_EQ(list.prices().price(SubmitNet, PaymentOutlet, 1), 250);
    EXPECT_EQ(list.prices().price(SubmitCD, PaymentOutlet, 0), -1) << "no CD transfer price";

    // A second file adds without clearing.
    parseInto(
        list,
        "<content><transfer type=\"FC\" discount=\"0\"><id>T2</id><price>1</price></transfer></content>");
    EXPECT_EQ(list.prices().price(SubmitNet, PaymentOutlet, 0), 100);
    EXPECT_EQ(list.prices().price(SubmitNet, PaymentBill, 0), 499);
}

TEST(ETTransferListTest, ReadFileMissingKeepsTablesEmpty)
{
    ETTransferList list;
    list.readFile(QStringLiteral("/nonexistent/transferlist.xml"));
    EXPECT_EQ(list.discountLevel(1000), 0);
    EXPECT_EQ(list.transferLevel(1000), 0);
    EXPECT_EQ(list.prices().price(SubmitNet, PaymentOutlet, 0), -1);
}
