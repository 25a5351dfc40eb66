#include "etcurrencyconfig.h"

#include "messagecapture.h"
#include "resourcefolder.h"

#include <gtest/gtest.h>

TEST(ETCurrencyConfigTest, TableAndDealerCurrency)
{
    ResourceFolder resources(0, "CHF");
    resources.write(
        QStringLiteral("currencies.xml"),
        "<currencies><c isocode=\"EUR\"><name>Euro</name><short>EUR</short><long>Euro</long>"
        "<symbol>&amp;euro;</symbol><decimalsep>,</decimalsep></c>"
        "<c isocode=\"CHF\"><name>Franken</name><short>CHF</short><symbol>SFr.</symbol>"
        "<decimalsep>.</decimalsep></c>"
        "<c isocode=\"XX\"><short>old</short></c><c isocode=\"XX\"><short>new</short></c></currencies>");
    ETCurrencyConfig config;
    EXPECT_EQ(config.count(), 3);
    const ETCurrency *chf = config.currency();
    ASSERT_NE(chf, nullptr);
    EXPECT_EQ(chf->isoCode(), QStringLiteral("CHF"));
    EXPECT_EQ(chf->shortForm(), QStringLiteral("CHF"));
    EXPECT_EQ(chf->symbol(), QStringLiteral("SFr."));
    EXPECT_TRUE(chf->longForm().isEmpty());
    EXPECT_EQ(chf->formatPrice(1234), QStringLiteral("12.34"));
    EXPECT_EQ(config.currency(), chf) << "looked up once and kept";
    EXPECT_EQ(config.formatPrice(-150), QStringLiteral("-1.50")) << "the dealer's currency, no symbol";
    EXPECT_EQ(config.find(QStringLiteral("EUR"))->symbol(), QStringLiteral("&euro;"));
    EXPECT_EQ(config.find(QStringLiteral("XX"))->shortForm(), QStringLiteral("new"))
        << "a later entry replaces";
    EXPECT_EQ(config.find(QStringLiteral("XX"))->formatPrice(5), QStringLiteral("0,05"))
        << "no separator: ','";
}

TEST(ETCurrencyConfigTest, MissingFileGivesTheDefaultEuro)
{
    ResourceFolder resources;
    MessageCapture capture;
    ETCurrencyConfig config;
    EXPECT_TRUE(hasLine(capture, QStringLiteral("no currencies defined, building default entry")));
    const ETCurrency *euro = config.currency();
    EXPECT_EQ(euro->isoCode(), QStringLiteral("EUR"));
    EXPECT_EQ(euro->symbol(), QStringLiteral("&euro;"));
    EXPECT_EQ(euro->formatPrice(-150), QStringLiteral("-1,50"));
    EXPECT_EQ(ETCurrencyConfig::instance()->currency()->shortForm(), QStringLiteral("EUR"));
}

TEST(ETCurrencyConfigTest, UnknownDealerCurrencyEndsTheProgram)
{
    ResourceFolder resources;
    resources.write(QStringLiteral("currencies.xml"), "<currencies><c isocode=\"USD\"/></currencies>");
    ETCurrencyConfig config;
    EXPECT_EXIT(config.currency(), ::testing::ExitedWithCode(1), "unknown currency: EUR");
    EXPECT_EXIT(config.formatPrice(100), ::testing::ExitedWithCode(1), "unknown currency: EUR")
        << "the first price shown ends the program";
}
