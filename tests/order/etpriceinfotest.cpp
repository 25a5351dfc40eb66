#include "etpriceinfo.h"

#include "paymenttype.h"
#include "submitmethod.h"

#include "messagecapture.h"

#include <gtest/gtest.h>

TEST(ETPriceInfoTest, PriceCodes)
{
    struct Case {
        int submitMethod;
        int paymentType;
        const char *code;
    };
    const Case cases[] = {
        {SubmitNet, PaymentOutlet, "FC"},
        {SubmitNet, PaymentCreditCard, "FM"},
        {SubmitNet, PaymentDebit, "FM"},
        {SubmitNet, PaymentBill, "FM"},
        {SubmitNet, PaymentUnknown, "FM"},
        {SubmitCD, PaymentOutlet, "CC"},
        {SubmitCD, PaymentBill, "CM"},
        {SubmitCD, PaymentUnknown, "CM"},
        {SubmitHardDisk, PaymentOutlet, "FM"},
        {SubmitHardDisk, PaymentBill, "FM"},
        {SubmitHardDisk, PaymentUnknown, "FM"},
        {5, PaymentOutlet, "CC"}, // no method of ours
        {-1, PaymentDebit, "CM"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "submit " << c.submitMethod << " payment " << c.paymentType);
        EXPECT_EQ(ETPriceInfo::priceCode(c.submitMethod, c.paymentType), QString::fromLatin1(c.code));
    }
    EXPECT_TRUE(ETPriceInfo::isCDCode(QStringLiteral("CM")));
    EXPECT_FALSE(ETPriceInfo::isCDCode(QStringLiteral("FC")));
    EXPECT_EQ(ETPriceInfo::paymentKindOfCode(QStringLiteral("FC")), PaymentOutlet);
    EXPECT_EQ(ETPriceInfo::paymentKindOfCode(QStringLiteral("CM")), PaymentBill);
}

TEST(ETPriceInfoTest, PriceLookupByPaymentType)
{
    ETPriceInfo info;
    info.setPrice(QStringLiteral("FC"), 0, 250);
    EXPECT_EQ(info.price(SubmitNet, PaymentUnknown, 0), 250);
    EXPECT_EQ(info.price(SubmitNet, PaymentOutlet, 0), 250);
    EXPECT_EQ(info.price(SubmitNet, PaymentCreditCard, 0), -1);
    EXPECT_EQ(info.rawPrice(SubmitNet, PaymentBill, 0), -1);

    info.setPrice(QStringLiteral("FM"), 0, 300);
    EXPECT_EQ(info.price(SubmitNet, PaymentUnknown, 0), 300)
        << "the larger of outlet and other payments while none is chosen";
    EXPECT_EQ(info.price(SubmitNet, PaymentDebit, 0), 300);
    EXPECT_EQ(info.price(SubmitNet, PaymentCreditCard, 0), 300);
    EXPECT_EQ(info.price(SubmitHardDisk, PaymentOutlet, 0), 300) << "hard disk ignores the payment type";
    EXPECT_EQ(info.price(SubmitHardDisk, PaymentBill, 0), 300);
    EXPECT_EQ(info.price(SubmitNet, PaymentOutlet, 1), -1) << "no price at another tier";
}

TEST(ETPriceInfoTest, IdentifierAndPriceShareAnEntry)
{
    ETPriceInfo info;
    info.setTransferId(QStringLiteral("CC"), 1, QStringLiteral("A1"));
    EXPECT_EQ(info.rawPrice(SubmitCD, PaymentOutlet, 1), -1);
    info.setPrice(QStringLiteral("CC"), 1, 120);
    EXPECT_EQ(info.transferId(SubmitCD, PaymentOutlet, 1), QStringLiteral("A1"));
    EXPECT_EQ(info.rawPrice(SubmitCD, PaymentOutlet, 1), 120);

    info.setPrice(SubmitCD, PaymentBill, 0, 99);
    info.setTransferId(SubmitCD, PaymentBill, 0, QStringLiteral("B"));
    EXPECT_EQ(info.rawPrice(SubmitCD, PaymentDebit, 0), 99);
    EXPECT_EQ(info.transferId(SubmitCD, PaymentUnknown, 0), QStringLiteral("B"))
        << "payment -1 selects the M entry";
    EXPECT_TRUE(info.transferId(SubmitCD, PaymentOutlet, 0).isEmpty());
}

TEST(ETPriceInfoTest, OutletCodesAreStoredAsNet)
{
    ETPriceInfo info;
    info.setPrice(QStringLiteral("OM"), 0, 150);
    info.setTransferId(QStringLiteral("OC"), 0, QStringLiteral("x"));
    EXPECT_EQ(info.price(SubmitNet, PaymentDebit, 0), 150);
    EXPECT_EQ(info.transferId(SubmitNet, PaymentOutlet, 0), QStringLiteral("x"));
}

TEST(ETPriceInfoTest, RemoveAndClear)
{
    ETPriceInfo info;
    info.setPrice(SubmitNet, PaymentOutlet, 0, 10);
    info.setPrice(SubmitNet, PaymentOutlet, 1, 9);
    info.removePrice(SubmitNet, PaymentOutlet, 0);
    EXPECT_EQ(info.rawPrice(SubmitNet, PaymentOutlet, 0), -1);
    EXPECT_EQ(info.rawPrice(SubmitNet, PaymentOutlet, 1), 9);
    info.clear();
    EXPECT_TRUE(info.isEmpty());
}

TEST(ETPriceInfoTest, CopiesAreIndependentAfterWrite)
{
    ETPriceInfo a;
    a.setPrice(SubmitNet, PaymentOutlet, 0, 10);
    ETPriceInfo b = a;
    b.setPrice(SubmitNet, PaymentOutlet, 0, 20);
    EXPECT_EQ(a.rawPrice(SubmitNet, PaymentOutlet, 0), 10);
    EXPECT_EQ(b.rawPrice(SubmitNet, PaymentOutlet, 0), 20);
}

TEST(ETPriceInfoTest, CheckTiers)
{
    struct Case {
        const char *name;
        QList<int> prices; // -1: tier missing
        int highest;
        bool result;
        const char *line;
    };
    const Case cases[] = {
        {"falling with equal steps", {300, 300, 280}, 2, true, nullptr},
        {"rising", {300, 310}, 1, false, "Preis nicht monoton fallend"},
        {"tier 1 missing", {300, -1, 280}, 2, false, "Rabattstufe 1 fehlt"},
        {"nothing to check", {}, -1, true, nullptr},
        {"too dear at tier 0", {10000001}, 0, false, "Preis nicht monoton fallend"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ETPriceInfo info;
        for (int tier = 0; tier < c.prices.size(); ++tier) {
            if (c.prices[tier] >= 0)
                info.setPrice(QStringLiteral("FC"), tier, c.prices[tier]);
        }
        MessageCapture capture;
        EXPECT_EQ(info.checkTiers(SubmitNet, PaymentOutlet, c.highest), c.result);
        if (c.line) {
            EXPECT_TRUE(hasLine(capture, QString::fromLatin1(c.line)));
        }
    }
}

TEST(ETPriceInfoTest, DumpWritesOneLinePerEntryInKeyOrder)
{
    ETPriceInfo info;
    info.setPrice(QStringLiteral("FM"), 1, 5);
    info.setPrice(QStringLiteral("CC"), 0, 7);
    info.setTransferId(QStringLiteral("CC"), 0, QStringLiteral("id7"));
    MessageCapture capture;
    info.dump();
    ASSERT_EQ(capture.lines().size(), 2);
    EXPECT_EQ(capture.lines()[0], QStringLiteral("ETPriceInfo::dump: tt=CC id=id7 discount=0 price=7"));
    EXPECT_EQ(capture.lines()[1], QStringLiteral("ETPriceInfo::dump: tt=FM id= discount=1 price=5"));
}
