#include "etapplicationconfig.h"
#include "etfileutils.h"
#include "ettestsandbox.h"
#include "messagecapture.h"
#include "qtprinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace
{

QString fixture(const char *scenario)
{
    return QStringLiteral(LUMO_FIXTURES_DIR "/") + QString::fromLatin1(scenario);
}

QString text(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

struct Getter {
    const char *name;
    std::function<QString(const ETApplicationConfig &)> read;
    QString onMinimal;
    QString onFull;
};

const Getter getters[] = {
    {"keyAccount", [](const ETApplicationConfig &c) { return c.keyAccount(); }, QString(),
     QStringLiteral("x1")},
    {"keyAccountName", [](const ETApplicationConfig &c) { return c.keyAccountName(); }, QString(),
     QStringLiteral("Fotohaus Müller")},
    {"programName", [](const ETApplicationConfig &c) { return c.programName(); }, QString(),
     QStringLiteral("fotoprint")},
    {"protocol", [](const ETApplicationConfig &c) { return c.protocol(); }, QStringLiteral("1.5"),
     QStringLiteral("1.8")},
    {"qtLanguage", [](const ETApplicationConfig &c) { return c.qtLanguage(); }, QString(),
     QStringLiteral("nl")},
    {"language", [](const ETApplicationConfig &c) { return c.language(); }, QStringLiteral("german"),
     QStringLiteral("dutch")},
    {"currency", [](const ETApplicationConfig &c) { return c.currency(); }, QStringLiteral("EUR"),
     QStringLiteral("CHF")},
    {"country", [](const ETApplicationConfig &c) { return QString::number(c.country()); },
     QStringLiteral("0"), QStringLiteral("7")},
    {"jpegQuality", [](const ETApplicationConfig &c) { return QString::number(c.jpegQuality()); },
     QStringLiteral("75"), QStringLiteral("92")},
    {"storeListURL", [](const ETApplicationConfig &c) { return c.storeListURL(); }, QString(),
     QStringLiteral("https://stores.example/list")},
    {"warnMixedFormats", [](const ETApplicationConfig &c) { return text(c.warnMixedFormats()); },
     QStringLiteral("true"), QStringLiteral("false")},
    {"enableCoupons", [](const ETApplicationConfig &c) { return text(c.enableCoupons()); },
     QStringLiteral("true"), QStringLiteral("false")},
    {"cdVolumeName", [](const ETApplicationConfig &c) { return c.cdVolumeName(); },
     QStringLiteral("Order CD"), QStringLiteral("Bestellung")},
    {"cdApplicationName", [](const ETApplicationConfig &c) { return c.cdApplicationName(); },
     QStringLiteral("Lumo Offline Client"), QStringLiteral("Fotoprint Offline")},
    {"cdPublisher", [](const ETApplicationConfig &c) { return c.cdPublisher(); },
     QStringLiteral("Lumo Digital"), QString()},
    {"cdImageName(windows)",
     [](const ETApplicationConfig &c) { return c.cdImageName(QStringLiteral("windows")); },
     QStringLiteral("lumo.iso"), QStringLiteral("order.iso")},
    {"cdImageName(mac)", [](const ETApplicationConfig &c) { return c.cdImageName(QStringLiteral("mac")); },
     QStringLiteral("lumo.dmg"), QStringLiteral("order.dmg")},
    {"cdImageName(linux)",
     [](const ETApplicationConfig &c) { return c.cdImageName(QStringLiteral("linux")); },
     QStringLiteral("lumo.iso"), QStringLiteral("order.iso")},
    {"version", [](const ETApplicationConfig &) { return ETApplicationConfig::version(); },
     QStringLiteral("1.3.0"), QStringLiteral("1.3.0")},
    {"versionNumber", [](const ETApplicationConfig &) { return ETApplicationConfig::versionNumber(); },
     QStringLiteral("010300"), QStringLiteral("010300")},
    {"softwareCode", [](const ETApplicationConfig &) { return ETApplicationConfig::softwareCode(); },
     QStringLiteral("42"), QStringLiteral("42")},
};

class ETApplicationConfigTest : public ::testing::Test
{
  protected:
    void TearDown() override { setResourceDir(QStringLiteral("Resources")); }
};

TEST_F(ETApplicationConfigTest, EveryGetterOnMinimalAndFullSettings)
{
    setResourceDir(fixture("dealer-minimal"));
    const ETApplicationConfig minimal;
    setResourceDir(fixture("dealer-full"));
    const ETApplicationConfig full;
    for (const Getter &g : getters) {
        SCOPED_TRACE(g.name);
        EXPECT_EQ(g.onMinimal, g.read(minimal));
        EXPECT_EQ(g.onFull, g.read(full));
    }
}

TEST_F(ETApplicationConfigTest, ShippedSampleIsComplete)
{
    setResourceDir(QStringLiteral(LUMO_RESOURCES_DIR));
    const ETApplicationConfig config;
    EXPECT_FALSE(config.keyAccount().isEmpty());
    EXPECT_FALSE(config.keyAccountName().isEmpty());
    EXPECT_FALSE(config.programName().isEmpty());
}

class ETApplicationConfigFileTest : public ETApplicationConfigTest
{
  protected:
    void write(const QByteArray &content) { m_sandbox.write(QStringLiteral("default.xml"), content); }
    ETTestSandbox m_sandbox;
};

TEST_F(ETApplicationConfigFileTest, EmptyOrOddValues)
{
    write("<r><protocol></protocol><jpegquality>high</jpegquality><country>x</country>"
          "<order warnMixedFormats='maybe' enableCoupons='NO'/><ordercd><volumename/></ordercd></r>");
    const ETApplicationConfig config;
    EXPECT_EQ(QStringLiteral("1.5"), config.protocol());
    EXPECT_EQ(0, config.jpegQuality());
    EXPECT_EQ(0, config.country());
    EXPECT_TRUE(config.warnMixedFormats());
    EXPECT_FALSE(config.enableCoupons());
    EXPECT_EQ(QString(), config.cdVolumeName());
    EXPECT_EQ(QStringLiteral("Lumo Digital"), config.cdPublisher());
}

TEST_F(ETApplicationConfigFileTest, LoadDropsTheCachedValues)
{
    write("<r><keyaccount>x1</keyaccount><programname>one</programname></r>");
    ETApplicationConfig config;
    EXPECT_EQ(QStringLiteral("x1"), config.keyAccount());
    EXPECT_EQ(QStringLiteral("one"), config.programName());
    write("<r><keyaccount>x2</keyaccount><programname>two</programname></r>");
    EXPECT_EQ(QStringLiteral("x1"), config.keyAccount());
    config.load();
    EXPECT_EQ(QStringLiteral("x2"), config.keyAccount());
    EXPECT_EQ(QStringLiteral("two"), config.programName());
}

TEST_F(ETApplicationConfigFileTest, MissingDefaultXmlGivesDefaultsAndTwoDebugLines)
{
    MessageCapture messages;
    const ETApplicationConfig config;
    EXPECT_EQ((QStringList{QStringLiteral("Config not found: default.xml, falling back to default.xml"),
                           QStringLiteral("Konnte default.xml nicht lesen.")}),
              messages.lines(QtDebugMsg));
    EXPECT_EQ(QStringLiteral("1.5"), config.protocol());
    EXPECT_TRUE(config.keyAccount().isEmpty());
}

TEST_F(ETApplicationConfigFileTest, InstanceIsOneObject)
{
    write("<r><keyaccount>x1</keyaccount></r>");
    ETApplicationConfig *first = ETApplicationConfig::instance();
    EXPECT_EQ(first, ETApplicationConfig::instance());
    EXPECT_EQ(QStringLiteral("x1"), first->keyAccount());
}

} // namespace
