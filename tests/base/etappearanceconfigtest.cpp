#include "etappearanceconfig.h"
#include "ettestsandbox.h"

#include <QColor>
#include <gtest/gtest.h>
#include <memory>

namespace
{

// Each test runs in its own process, so the singleton reads the file that
// the test wrote.
ETAppearanceConfig *configWith(const ETTestSandbox &resources, const QByteArray &body)
{
    resources.write(QStringLiteral("appearance.xml"), "<appearance>" + body + "</appearance>");
    return ETAppearanceConfig::instance();
}

const QByteArray threeSets = "<widgetstyles resolution=\"default\"><s name=\"d\"/></widgetstyles>"
                             "<widgetstyles resolution=\"800x600\"><s name=\"small\"/></widgetstyles>"
                             "<widgetstyles resolution=\"1024x768\"><s name=\"large\"/></widgetstyles>";

QString chosenSet(const ETAppearanceConfig *config, const QSize &desktop)
{
    const QDomElement set = config->widgetStylesFor(desktop);
    if (set.isNull())
        return QStringLiteral("(null)");
    return set.attribute(QStringLiteral("resolution"), QStringLiteral("(none)"));
}

} // namespace

TEST(ETAppearanceConfig, ChoosesWidgetStylesByDesktopSize)
{
    ETTestSandbox resources;
    const ETAppearanceConfig *config = configWith(resources, threeSets + "<menubar/>");
    const struct {
        QSize desktop;
        const char *expected;
    } cases[] = {
        {{1280, 1024}, "1024x768"}, // largest width that fits
        {{1024, 768}, "1024x768"},  // exact key
        {{1024, 600}, "1024x768"},  // width alone decides
        {{800, 600}, "800x600"},
        {{900, 700}, "800x600"},
        // Nothing fits: the last default candidate, here the menubar element
        // that follows the sets and has no resolution.
        {{640, 480}, "(none)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.desktop.width() << "x" << c.desktop.height());
        EXPECT_EQ(QString::fromLatin1(c.expected), chosenSet(config, c.desktop));
    }
}

TEST(ETAppearanceConfig, DefaultSetWhenNoWidthFits)
{
    ETTestSandbox resources;
    const ETAppearanceConfig *config = configWith(resources, threeSets);
    EXPECT_EQ(QStringLiteral("default"), chosenSet(config, {640, 480}));
}

TEST(ETAppearanceConfig, SingleSetTooWideIsStillTaken)
{
    ETTestSandbox resources;
    const ETAppearanceConfig *config =
        configWith(resources, "<widgetstyles resolution=\"1600x1200\"><s name=\"x\"/></widgetstyles>");
    EXPECT_EQ(QStringLiteral("1600x1200"), chosenSet(config, {1024, 768}));
}

TEST(ETAppearanceConfig, NoWidgetStylesGivesNullElement)
{
    ETTestSandbox resources;
    const ETAppearanceConfig *config = configWith(resources, "<menubar/>");
    EXPECT_TRUE(config->widgetStylesFor({1024, 768}).isNull());
}

TEST(ETAppearanceConfig, TwelfthNodeIsReturnedAsItStands)
{
    ETTestSandbox resources;
    QByteArray body;
    for (int i = 1; i <= 13; ++i)
        body += QStringLiteral("<widgetstyles resolution=\"%1x100\"/>").arg(i * 10).toLatin1();
    const ETAppearanceConfig *config = configWith(resources, body);
    // Widths 10 to 110 are examined; the twelfth set (120x100) ends the walk
    // although the thirteenth would fit better.
    EXPECT_EQ(QStringLiteral("120x100"), chosenSet(config, {2000, 2000}));
}

TEST(ETAppearanceConfig, SwitchesAndTheirDefaults)
{
    ETTestSandbox resources;
    const ETAppearanceConfig *config =
        configWith(resources, "<order tabbottom=\"maybe\" itemframe=\" Yes \"/><buttons tooltips=\"NO \"/>"
                              "<menubar/><designID>7</designID><frames shape=\"Rectangular\"/>");
    EXPECT_FALSE(config->orderTabBottom());
    EXPECT_TRUE(config->orderItemFrame());
    EXPECT_FALSE(config->buttonTooltips());
    EXPECT_TRUE(config->splashUpdatePrices());
    EXPECT_TRUE(config->splashOffSwitch());
    EXPECT_EQ(QString(), config->menuBarColor());
    EXPECT_EQ(7, config->designId());
    EXPECT_FALSE(config->rectangularFrames());
    EXPECT_EQ(QStringLiteral("jpg"), config->iconType());
    EXPECT_EQ(QStringLiteral("Arial"), config->fontFamily());
    EXPECT_EQ(9, config->fontSize());
    EXPECT_TRUE(config->backgroundPicture().isNull());
}

TEST(ETAppearanceConfig, MissingFileFallsBackToDefaults)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("default.xml"), "<config><keyaccount>x1</keyaccount></config>");
    const ETAppearanceConfig *config = ETAppearanceConfig::instance();
    EXPECT_EQ(QStringLiteral("gray"), config->menuBarColor());
    EXPECT_EQ(0, config->designId());
    EXPECT_TRUE(config->buttonTooltips());
    EXPECT_EQ(nullptr, std::unique_ptr<QColor>(config->colorForArea(QStringLiteral("dialogPanel"))));
}

TEST(ETAppearanceConfig, ColoursOfAreasAndWidgetStyles)
{
    ETTestSandbox resources;
    const ETAppearanceConfig *config = configWith(
        resources, "<groups><g area=\"panel\" color=\"#102030\"/><g area=\"panel\" color=\"red\"/>"
                   "<g area=\"odd\" color=\"nocolour\"/></groups>"
                   "<widgetstyles><s name=\"title\" setPaletteForegroundColor=\"gray\"/></widgetstyles>");
    const std::unique_ptr<QColor> panel(config->colorForArea(QStringLiteral("panel")));
    ASSERT_TRUE(panel);
    EXPECT_EQ(QColor(0x10, 0x20, 0x30), *panel);
    const std::unique_ptr<QColor> odd(config->colorForArea(QStringLiteral("odd")));
    ASSERT_TRUE(odd);
    EXPECT_FALSE(odd->isValid());
    EXPECT_FALSE(config->colorForArea(QStringLiteral("missing")));
    const std::unique_ptr<QColor> title(
        config->widgetStyleColor(QStringLiteral("title"), QStringLiteral("setPaletteForegroundColor")));
    ASSERT_TRUE(title);
    EXPECT_EQ(QColor(QStringLiteral("gray")), *title);
    EXPECT_FALSE(
        config->widgetStyleColor(QStringLiteral("other"), QStringLiteral("setPaletteForegroundColor")));
}
