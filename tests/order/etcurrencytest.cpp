#include "etcurrency.h"

#include <gtest/gtest.h>

TEST(ETCurrencyTest, ParseMoney)
{
    struct Case {
        const char *text;
        int cents;
    };
    const Case cases[] = {
        {"12,5", 1250},
        {"4.99", 499},
        {"0,19", 19},
        {"3.99", 399},
        {"3,99", 399},
        {"3,9", 390},
        {"12,05", 1205},
        {"12", 1200},
        {"12,345", 1234},
        {"1..5", 150},
        {"", 0},
        {"abc", 0},
        {"7,", 700},
        {"-1,50", -150},
        {"99999999999", 0},
        {"21474835,99", 2147483599},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseMoney(QString::fromLatin1(c.text)), c.cents);
    }
}

TEST(ETCurrencyTest, FormatPrice)
{
    const ETCurrency euro(QStringLiteral("EUR"), QStringLiteral("Euro"), QStringLiteral("Euro"),
                          QStringLiteral("&euro;"), QStringLiteral("EUR"), QStringLiteral(","));
    const ETCurrency dot(QStringLiteral("USD"), QString(), QString(), QString(), QStringLiteral("USD"),
                         QStringLiteral("."));
    const ETCurrency none(QStringLiteral("X"), QString(), QString(), QString(), QStringLiteral("X"),
                          QString());
    struct Case {
        const ETCurrency *currency;
        int cents;
        const char *text;
    };
    const Case cases[] = {
        {&euro, 1234, "12,34"},
        {&euro, 5, "0,05"},
        {&euro, -150, "-1,50"},
        {&euro, 0, "0,00"},
        {&euro, -5, "-0,05"},
        {&dot, 199, "1.99"},
        {&none, 100, "1,00"},
        {&euro, 2147483647, "21474836,47"},
        {&euro, -2147483647 - 1, "-21474836,48"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cents);
        EXPECT_EQ(c.currency->formatPrice(c.cents), QString::fromLatin1(c.text));
    }
    EXPECT_EQ(none.decimalSeparator(), QStringLiteral(","));
}
