#include "etproductlist.h"

#include "ettestsandbox.h"
#include "messagecapture.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <gtest/gtest.h>

#include <QDomDocument>

namespace
{

QByteArray entry(const char *type, const char *name, const char *price, int tier = 0, const char *extra = "")
{
    return QByteArray("<article transfer_type=\"") + type + "\"><artid>A-" + name + "-" + type +
           "</artid><name>" + name + "</name><price>" + price + "</price><discount_level>" +
           QByteArray::number(tier) + "</discount_level>" + extra + "</article>";
}

void parseInto(ETProductList &list, const QByteArray &entries)
{
    QDomDocument document;
    ASSERT_TRUE(bool(document.setContent(QByteArray("<reply><content>") + entries + "</content></reply>")));
    list.parse(document.documentElement());
}

} // namespace

TEST(ETProductListTest, EntriesBecomeProducts)
{
    ETProductList list;
    parseInto(list, entry("FC", "10x15", "0,19") + entry("OM", "10x15", "1,50", 2) + entry("XX", "bad", "1") +
                        entry("FCC", "bad2", "1") + entry("CM", "13x18", "12"));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.productNames(), QStringList({QStringLiteral("10x15"), QStringLiteral("13x18")}));
    EXPECT_EQ(list.firstProductName(), QStringLiteral("10x15"));
    const ETProduct *p = list.product(QStringLiteral("10x15"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->prices().rawPrice(SubmitNet, PaymentBill, 2), 150) << "\"OM\" is stored under \"FM\"";
    EXPECT_EQ(p->prices().rawPrice(SubmitNet, PaymentOutlet, 0), 19);
    EXPECT_EQ(p->prices().rawPrice(SubmitNet, PaymentBill, 0), 19)
        << "the first entry sets the base prices of FM, FC and CC";
    EXPECT_EQ(p->prices().rawPrice(SubmitCD, PaymentOutlet, 0), 19);
    EXPECT_EQ(p->prices().rawPrice(SubmitCD, PaymentBill, 0), -1);
    EXPECT_EQ(p->prices().transferId(SubmitNet, PaymentOutlet, 0), QStringLiteral("A-10x15-FC"));
    EXPECT_EQ(list.product(QStringLiteral("13x18"))->prices().rawPrice(SubmitCD, PaymentBill, 0), 1200)
        << "whole units";
    EXPECT_EQ(list.product(QStringLiteral("bad")), nullptr);
    EXPECT_EQ(list.price(QStringLiteral("unknown"), 0), 0);
    EXPECT_TRUE(list.transferId(QStringLiteral("unknown"), 0).isEmpty());
    EXPECT_TRUE(list.productName(QStringLiteral("unknown")).isEmpty());
    EXPECT_EQ(list.productName(QStringLiteral("13x18")), QStringLiteral("13x18"));
}

TEST(ETProductListTest, RefreshMergesIntoTheList)
{
    ETProductList list;
    parseInto(list, entry("FC", "10x15", "0,19") + entry("FC", "9x13", "0,15"));
    parseInto(list, entry("FC", "10x15", "0,17") + entry("FC", "20x30", "2"));
    EXPECT_EQ(list.productNames(),
              QStringList({QStringLiteral("10x15"), QStringLiteral("9x13"), QStringLiteral("20x30")}));
    EXPECT_EQ(list.product(QStringLiteral("10x15"))->prices().rawPrice(SubmitNet, PaymentOutlet, 0), 17);
    EXPECT_EQ(list.product(QStringLiteral("10x15"))->prices().rawPrice(SubmitNet, PaymentBill, 0), 19)
        << "an existing product keeps the prices the new file does not give";
}

TEST(ETProductListTest, ContentAsRootAndMissingFile)
{
    ETProductList list;
    QDomDocument document;
    ASSERT_TRUE(
        bool(document.setContent(QByteArray("<content>") + entry("CC", "10x15", "1") + "</content>")));
    list.parse(document.documentElement());
    EXPECT_EQ(list.count(), 1);

    ETProductList empty;
    empty.readFile(QStringLiteral("/nonexistent/productlist.xml"));
    EXPECT_EQ(empty.count(), 0);
    EXPECT_TRUE(empty.firstProductName().isEmpty());
}

TEST(ETProductListTest, ListFilesBeyondTheBoundsAreRefused)
{
    ETTestSandbox sandbox;
    const QByteArray deep = "<content>" + entry("FC", "10x15", "1") + QByteArray("<a>").repeated(300) +
                            QByteArray("</a>").repeated(300) + "</content>";
    const QString path = sandbox.write(QStringLiteral("productlist.xml"), deep);
    MessageCapture capture;
    ETProductList list;
    list.readFile(path);
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(hasLine(capture, QStringLiteral("resource file refused: ") + path +
                                     QStringLiteral(" is nested deeper than 256 elements")));
}

TEST(ETProductListTest, ProductSizes)
{
    struct Case {
        const char *name;
        const char *extra;
        float heightInches;
        float widthInches;
        int resolution;
        const char *line;
    };
    const Case cases[] = {
        {"13x18", "", float(130 / 25.4), float(180 / 25.4), 254, "Captured: 13*18"},
        {"Abzug 10 x 15 matt", "<dots_per_mm>12</dots_per_mm>", float(100 / 25.4), float(150 / 25.4), 304,
         "Captured: 10*15"},
        {"Poster", "<width>300</width><height>200</height><dots_per_mm>0</dots_per_mm>", float(200 / 25.4),
         float(300 / 25.4), 254, nullptr},
        {"Poster", "", float(100 / 25.4), float(150 / 25.4), 254,
         "Konnte die Größe des Produkts A-Poster-FC nicht feststellen."},
        {"20x30", "<width>0</width><height>200</height>", float(200 / 25.4), float(300 / 25.4), 254,
         "Captured: 20*30"},
        // Sizes whose arithmetic would overflow are refused like a name without a size.
        {"Riesig 300000000x300000000", "", float(100 / 25.4), float(150 / 25.4), 254,
         "Konnte die Größe des Produkts A-Riesig 300000000x300000000-FC nicht feststellen."},
        {"Riesig 99999999999x99999999999", "", float(100 / 25.4), float(150 / 25.4), 254,
         "Konnte die Größe des Produkts A-Riesig 99999999999x99999999999-FC nicht feststellen."},
        {"Wand", "<width>2000000000</width><height>2000000000</height>", float(100 / 25.4), float(150 / 25.4),
         254, "Konnte die Größe des Produkts A-Wand-FC nicht feststellen."},
        {"Fein 10x15", "<dots_per_mm>100000000</dots_per_mm>", float(100 / 25.4), float(150 / 25.4), 254,
         "Auflösung des Produkts A-Fein 10x15-FC ungültig: 100000000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " " << c.extra);
        MessageCapture capture;
        ETProductList list;
        parseInto(list, entry("FC", c.name, "1", 0, c.extra));
        const ETProduct *p = list.product(QString::fromUtf8(c.name));
        ASSERT_NE(p, nullptr);
        EXPECT_FLOAT_EQ(p->heightInches(), c.heightInches);
        EXPECT_FLOAT_EQ(p->widthInches(), c.widthInches);
        EXPECT_EQ(p->resolution(), c.resolution);
        EXPECT_EQ(p->widthPixels(), int(c.resolution * c.widthInches));
        EXPECT_EQ(p->heightPixels(), int(c.resolution * c.heightInches));
        if (c.line) {
            EXPECT_TRUE(hasLine(capture, QString::fromUtf8(c.line)));
        }
    }
}

TEST(ETProductListTest, SecondConstructionForm)
{
    const ETProduct named(QStringLiteral("id"), 100, QStringLiteral("10x15"), QString(), QString(), QString(),
                          1.0f, 2.0f, 300);
    EXPECT_FLOAT_EQ(named.heightInches(), float(10 / 2.54));
    EXPECT_FLOAT_EQ(named.widthInches(), float(15 / 2.54));
    EXPECT_EQ(named.resolution(), 300);
    const ETProduct sides(QStringLiteral("id"), 100, QStringLiteral("Panorama"), QString(), QString(),
                          QString(), 8.0f, 4.0f, 200);
    EXPECT_FLOAT_EQ(sides.heightInches(), 4.0f);
    EXPECT_FLOAT_EQ(sides.widthInches(), 8.0f);
    // Centimetres whose pixel counts do not fit are no size: the sides count.
    const ETProduct huge(QStringLiteral("id"), 100, QStringLiteral("99999999x99999999"), QString(), QString(),
                         QString(), 8.0f, 4.0f, 300);
    EXPECT_FLOAT_EQ(huge.heightInches(), 4.0f);
    EXPECT_FLOAT_EQ(huge.widthInches(), 8.0f);
    EXPECT_EQ(huge.widthPixels(), 2400);
    const ETProduct none;
    EXPECT_EQ(none.name(), QStringLiteral("sehr ungültiges Produkt"));
    EXPECT_EQ(none.prices().rawPrice(SubmitNet, PaymentOutlet, 0), -1);
}

TEST(ETProductListTest, Quality)
{
    ETProductList list;
    parseInto(list, entry("FC", "10x15", "1"));
    const ETProduct *p = list.product(QStringLiteral("10x15"));
    ASSERT_NE(p, nullptr);
    struct Case {
        int width;
        int height;
        int quality;
    };
    const Case cases[] = {
        {1800, 1200, 4}, {1200, 1800, 4}, {1600, 1100, 4}, {1499, 1001, 3}, {600, 400, 2},
        {800, 1200, 3},  {751, 501, 3},   {749, 499, 2},   {376, 251, 2},   {374, 249, 1},
        {188, 126, 1},   {187, 125, 0},   {0, 0, 0},       {4000, 100, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        EXPECT_EQ(p->quality(c.width, c.height), c.quality);
    }
}

TEST(ETProductListTest, DumpWritesNameAndPrices)
{
    ETProductList list;
    parseInto(list, entry("FC", "10x15", "1"));
    MessageCapture capture;
    list.dumpAll();
    EXPECT_TRUE(hasLine(capture, QStringLiteral("ETProduct::dump: name=10x15")));
    EXPECT_TRUE(
        hasLine(capture, QStringLiteral("ETPriceInfo::dump: tt=FC id=A-10x15-FC discount=0 price=100")));
}
