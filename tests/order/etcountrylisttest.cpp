#include "etcountrylist.h"
#include "etcoupon.h"
#include "etcreditcardlist.h"
#include "etorder.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include "resourcefolder.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDomDocument>

namespace
{

QDomElement rootOf(QDomDocument &document, const QByteArray &xml)
{
    EXPECT_TRUE(bool(document.setContent(xml)));
    return document.documentElement();
}

} // namespace

TEST(ETCountryListTest, Lookups)
{
    ETCountryList list;
    QDomDocument document;
    list.parse(rootOf(document, "<reply><content>"
                                "<country><name>Österreich</name><iso_code>AT</iso_code></country>"
                                "<country><name>Deutschland</name><iso_code>DE</iso_code></country>"
                                "<c><name>Bundesrepublik</name><iso_code>DE</iso_code></c>"
                                "<c><name>Schweiz</name></c>"
                                "</content></reply>"));
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("Bundesrepublik"), QStringLiteral("Deutschland"),
                                         QStringLiteral("Schweiz"), QStringLiteral("Österreich")}));
    struct Case {
        const char *name;
        const char *iso;
    };
    const Case cases[] = {{"Deutschland", "DE"}, {"Österreich", "AT"}, {"Schweiz", ""}, {"Mars", ""}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(list.isoCode(QString::fromUtf8(c.name)), QString::fromLatin1(c.iso));
    }
    EXPECT_EQ(list.primaryCountryName(QStringLiteral("DE")), QStringLiteral("Bundesrepublik"))
        << "two countries with one code: the one that sorts first";
    EXPECT_EQ(list.primaryCountryName(QStringLiteral("AT")), QString::fromUtf8("Österreich"));
    EXPECT_EQ(list.primaryCountryName(QStringLiteral("XX")), QStringLiteral("Bundesrepublik"));
    EXPECT_EQ(list.primaryCountryName(QString()), QStringLiteral("Bundesrepublik"));

    // A second parse replaces the countries.
    list.parse(rootOf(document, "<content><x><name>Italien</name><iso_code>IT</iso_code></x></content>"));
    EXPECT_EQ(list.names(), QStringList({QStringLiteral("Italien")}));

    ETCountryList empty;
    empty.readFile(QStringLiteral("/nonexistent/countrylist.xml"));
    EXPECT_TRUE(empty.names().isEmpty());
    EXPECT_TRUE(empty.primaryCountryName(QStringLiteral("DE")).isEmpty());
}

TEST(ETCountryListTest, PrimaryCountryFromTheCustomerRules)
{
    ResourceFolder resources;
    resources.write(QStringLiteral("customer.xml"), "<config><countries primaryCountry=\"AT\"/></config>");
    resources.write(QStringLiteral("countrylist.xml"),
                    "<content><c><name>Deutschland</name><iso_code>DE</iso_code></c>"
                    "<c><name>Austria</name><iso_code>AT</iso_code></c></content>");
    EXPECT_EQ(ETCountryList::instance()->primaryCountryName(), QStringLiteral("Austria"));
    EXPECT_EQ(ETCountryList::instance()->isoCode(QStringLiteral("Deutschland")), QStringLiteral("DE"));
}

TEST(ETCreditCardListTest, Lookups)
{
    ETCreditCardList list;
    QDomDocument document;
    list.parse(rootOf(document, "<content>"
                                "<card><brand>VISA</brand><display_string>Visa</display_string></card>"
                                "<card><brand>MC</brand><display_string>Mastercard</display_string></card>"
                                "<card><brand>VISA</brand><display_string>Ein Visa</display_string></card>"
                                "</content>"));
    EXPECT_EQ(list.displayTexts(), QStringList({QStringLiteral("Ein Visa"), QStringLiteral("Mastercard"),
                                                QStringLiteral("Visa")}));
    struct Case {
        const char *display;
        const char *brand;
    };
    const Case cases[] = {{"Visa", "VISA"}, {"Mastercard", "MC"}, {"Amex", "this ought to be VISA"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.display);
        EXPECT_EQ(list.brand(QString::fromLatin1(c.display)), QString::fromLatin1(c.brand));
    }
    EXPECT_EQ(list.displayString(QStringLiteral("VISA")), QStringLiteral("Ein Visa"))
        << "first in sort order";
    EXPECT_EQ(list.displayString(QStringLiteral("MC")), QStringLiteral("Mastercard"));
    EXPECT_EQ(list.displayString(QStringLiteral("AMEX")), QStringLiteral("AMEX"));

    // A refreshed file merges: entries it lacks stay.
    list.parse(rootOf(
        document, "<content><card><brand>AX</brand><display_string>Amex</display_string></card>"
                  "<card><brand>MC2</brand><display_string>Mastercard</display_string></card></content>"));
    EXPECT_EQ(list.displayTexts().size(), 4);
    EXPECT_EQ(list.brand(QStringLiteral("Mastercard")), QStringLiteral("MC2"));
    EXPECT_EQ(list.brand(QStringLiteral("Visa")), QStringLiteral("VISA"));
}

TEST(ETCreditCardListTest, FillComboBox)
{
    ETCreditCardList list;
    QDomDocument document;
    list.parse(rootOf(document, "<content><c><brand>B</brand><display_string>b</display_string></c>"
                                "<c><brand>A</brand><display_string>a</display_string></c></content>"));
    QComboBox combo;
    combo.addItem(QStringLiteral("old"));
    list.fillComboBox(&combo);
    ASSERT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("a"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("b"));
}

TEST(ETCouponTest, Prices)
{
    ResourceFolder resources;
    ETCoupon coupon;
    EXPECT_EQ(coupon.name(), QStringLiteral("coupon"));
    EXPECT_TRUE(coupon.couponId().isEmpty());
    for (const char *code : {"FC", "FM", "CC", "CM"}) {
        SCOPED_TRACE(code);
        for (int tier : {0, 1}) {
            const int sm = code[0] == 'F' ? SubmitNet : SubmitCD;
            const int pt = code[1] == 'C' ? PaymentOutlet : PaymentBill;
            EXPECT_EQ(coupon.price(tier, sm, pt), 0);
            EXPECT_EQ(coupon.transferId(tier, sm, pt), QStringLiteral("0"));
        }
    }
    EXPECT_FALSE(coupon.isValid());

    coupon.setCouponPrice(QStringLiteral("FM"), 500, QStringLiteral("C1"));
    coupon.setCouponId(QStringLiteral("ABC"));
    EXPECT_EQ(coupon.couponId(), QStringLiteral("ABC"));
    struct Case {
        int submitMethod;
        int paymentType;
        bool valid;
    };
    const Case cases[] = {{SubmitNet, PaymentUnknown, true},    {SubmitNet, PaymentBill, true},
                          {SubmitNet, PaymentCreditCard, true}, {SubmitNet, PaymentOutlet, false},
                          {SubmitCD, PaymentBill, false},       {SubmitHardDisk, PaymentOutlet, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.submitMethod << "/" << c.paymentType);
        ETOrder::instance()->setSubmitMethod(SubmitMethod(c.submitMethod));
        ETOrder::instance()->setPaymentType(c.paymentType);
        EXPECT_EQ(coupon.isValid(), c.valid);
    }
    EXPECT_EQ(coupon.transferId(1, SubmitNet, PaymentBill), QStringLiteral("C1"));
    EXPECT_EQ(ETCoupon::instance(), ETCoupon::instance());
}

TEST(ETCouponTest, PriceTextsRoundToTheNearestCent)
{
    struct Case {
        const char *text;
        int cents;
    } cases[] = {
        {"10", 1000},    {"10.00", 1000}, {"9.99", 999},   {"0.285", 29},   {"1.005", 101},
        {"-5.00", -500}, {"-2.49", -249}, {"-0.285", -29}, {"0.004", 0},    {"0.005", 1},
        {"abc", 0},      {"", 0},         {"12,5", 0},     {" 4.99 ", 499}, {"1e2", 10000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.cents, ETCoupon::priceCents(QString::fromLatin1(c.text)));
    }
}
