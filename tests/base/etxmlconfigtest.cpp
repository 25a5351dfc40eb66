#include "etxmlconfig.h"
#include "etfileutils.h"
#include "ettestsandbox.h"
#include "messagecapture.h"
#include "qtprinters.h"

#include <QDir>
#include <QDomElement>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

class ETXMLConfigTest : public ::testing::Test
{
  protected:
    void write(const QString &name, const QByteArray &content) { m_sandbox.write(name, content); }

    ETTestSandbox m_sandbox;
};

const QByteArray sample = R"(<?xml version="1.0" encoding="UTF-8"?>
<whatever>
  <keyaccount>x1</keyaccount>
  <empty></empty>
  <twice>first</twice>
  <twice>second</twice>
  <order warnMixedFormats="no" blank="" flag=" Yes "/>
  <list>
    <item id="a">alpha</item>
    <!-- a comment counts as a child -->
    <item id="b">beta</item>
    <item>gamma</item>
  </list>
</whatever>
)";

TEST_F(ETXMLConfigTest, ValueLooksAtDirectChildrenOfAnyRoot)
{
    write(QStringLiteral("some.xml"), sample);
    ETXMLConfig config(QStringLiteral("some.xml"), false);

    struct Case {
        const char *key;
        QString defaultValue;
        QString expected;
    } cases[] = {
        {"keyaccount", QString(), QStringLiteral("x1")},
        {"keyaccount", QStringLiteral("d"), QStringLiteral("x1")},
        {"empty", QStringLiteral("d"), QStringLiteral("d")},
        {"empty", QString(), QString()},
        {"missing", QStringLiteral("d"), QStringLiteral("d")},
        {"missing", QString(), QString()},
        {"twice", QString(), QStringLiteral("first")},
        {"item", QStringLiteral("d"), QStringLiteral("d")}, // not a direct child
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(c.expected, config.value(QString::fromLatin1(c.key), c.defaultValue));
    }
    EXPECT_TRUE(config.value(QStringLiteral("empty")).isEmpty());
}

TEST_F(ETXMLConfigTest, AttributeGivesTheDefaultOnlyWhereItMay)
{
    write(QStringLiteral("some.xml"), sample);
    ETXMLConfig config(QStringLiteral("some.xml"), false);

    struct Case {
        const char *element;
        const char *attribute;
        QString defaultValue;
        QString expected;
    } cases[] = {
        {"order", "warnMixedFormats", QStringLiteral("yes"), QStringLiteral("no")},
        {"order", "absent", QStringLiteral("d"), QStringLiteral("d")},
        {"order", "absent", QString(), QString()},
        {"order", "blank", QStringLiteral("d"), QStringLiteral("d")},
        {"missing", "any", QString(), QString()},
        {"missing", "any", QStringLiteral("d"), QStringLiteral("d")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.element) + "/" + c.attribute);
        EXPECT_EQ(c.expected, config.attribute(QString::fromLatin1(c.element),
                                               QString::fromLatin1(c.attribute), c.defaultValue));
    }
    EXPECT_TRUE(config.boolAttribute(QStringLiteral("order"), QStringLiteral("flag"), false));
    EXPECT_FALSE(config.boolAttribute(QStringLiteral("order"), QStringLiteral("warnMixedFormats"), true));
    EXPECT_TRUE(config.boolAttribute(QStringLiteral("order"), QStringLiteral("absent"), true));
    EXPECT_FALSE(config.boolAttribute(QStringLiteral("missing"), QStringLiteral("x"), false));
}

TEST(ETXMLConfigToBool, ReadsTheSixWordsAndFallsBackOtherwise)
{
    struct Case {
        QString text;
        bool defaultValue;
        bool expected;
    } cases[] = {
        {QStringLiteral("yes"), false, true},
        {QStringLiteral(" Yes "), false, true},
        {QStringLiteral("TRUE"), false, true},
        {QStringLiteral("1"), false, true},
        {QStringLiteral("no"), true, false},
        {QStringLiteral("False"), true, false},
        {QStringLiteral("\t0\n"), true, false},
        {QStringLiteral("2"), true, true},
        {QStringLiteral("2"), false, false},
        {QStringLiteral(""), true, true},
        {QString(), false, false},
        {QString(), true, true},
        {QStringLiteral("on"), false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(QStringLiteral("'%1' default %2").arg(c.text).arg(c.defaultValue)));
        EXPECT_EQ(c.expected, ETXMLConfig::toBool(c.text, c.defaultValue));
    }
}

TEST_F(ETXMLConfigTest, ChildSearchesWalkOneLevel)
{
    write(QStringLiteral("some.xml"), sample);
    ETXMLConfig config(QStringLiteral("some.xml"), false);
    const QDomNode list = config.node(QStringLiteral("list"));
    ASSERT_FALSE(list.isNull());

    EXPECT_EQ(
        QStringLiteral("beta"),
        ETXMLConfig::findByAttribute(list, QStringLiteral("id"), QStringLiteral("b")).toElement().text());
    EXPECT_TRUE(ETXMLConfig::findByAttribute(list, QStringLiteral("id"), QStringLiteral("B")).isNull());
    EXPECT_TRUE(ETXMLConfig::findByAttribute(list, QStringLiteral("id"), QString()).isNull());
    EXPECT_EQ(
        QStringLiteral("b"),
        ETXMLConfig::findByText(list, QStringLiteral("beta")).toElement().attribute(QStringLiteral("id")));
    EXPECT_TRUE(ETXMLConfig::containsText(list, QStringLiteral("gamma")));
    EXPECT_FALSE(ETXMLConfig::containsText(list, QStringLiteral("Gamma")));
    EXPECT_EQ(4, ETXMLConfig::childCount(list));
    EXPECT_TRUE(config.node(QStringLiteral("nothing")).isNull());
}

TEST_F(ETXMLConfigTest, MissingFileFallsBackToDefaultXml)
{
    write(QStringLiteral("default.xml"), "<r><payment>from default</payment></r>");
    MessageCapture messages;
    ETXMLConfig config(QStringLiteral("payment.xml"), true);
    EXPECT_EQ(QStringLiteral("from default"), config.value(QStringLiteral("payment")));
    EXPECT_EQ(QStringList{QStringLiteral("Config not found: payment.xml, falling back to default.xml")},
              messages.lines());
}

TEST_F(ETXMLConfigTest, MissingFileWithoutFallbackStaysEmptyAndQuiet)
{
    write(QStringLiteral("default.xml"), "<r><code>EUR</code></r>");
    MessageCapture messages;
    ETXMLConfig config(QStringLiteral("currencies.xml"), false);
    EXPECT_EQ(QStringLiteral("d"), config.value(QStringLiteral("code"), QStringLiteral("d")));
    EXPECT_TRUE(messages.lines().isEmpty()) << qPrintable(messages.lines().join(QLatin1Char('\n')));
}

TEST_F(ETXMLConfigTest, NeitherFileNorDefaultGivesBothDebugLines)
{
    MessageCapture messages;
    ETXMLConfig config(QStringLiteral("thumbnail.xml"), true);
    EXPECT_EQ((QStringList{QStringLiteral("Config not found: thumbnail.xml, falling back to default.xml"),
                           QStringLiteral("Konnte default.xml nicht lesen.")}),
              messages.lines(QtDebugMsg));
    EXPECT_EQ(QStringLiteral("d"), config.value(QStringLiteral("anything"), QStringLiteral("d")));
}

TEST_F(ETXMLConfigTest, BrokenXmlCountsAsReadAndGivesDefaults)
{
    write(QStringLiteral("payment.xml"), "<r><a>1</a");
    write(QStringLiteral("default.xml"), "<r><a>from default</a></r>");
    MessageCapture messages;
    ETXMLConfig config(QStringLiteral("payment.xml"), true);
    EXPECT_TRUE(messages.lines(QtDebugMsg).isEmpty());
    EXPECT_NE(QStringLiteral("from default"), config.value(QStringLiteral("a")));
}

TEST_F(ETXMLConfigTest, ReloadReadsChangesAndKeepsContentWhenTheFileIsGone)
{
    write(QStringLiteral("some.xml"), "<r><a>one</a></r>");
    ETXMLConfig config(QStringLiteral("some.xml"), false);
    write(QStringLiteral("some.xml"), "<r><a>two</a></r>");
    config.load();
    EXPECT_EQ(QStringLiteral("two"), config.value(QStringLiteral("a")));
    ASSERT_TRUE(QFile::remove(m_sandbox.resource(QStringLiteral("some.xml"))));
    config.load();
    EXPECT_EQ(QStringLiteral("two"), config.value(QStringLiteral("a")));
}

TEST_F(ETXMLConfigTest, FilesBeyondTheBoundsAreRefusedAndTheFallbackApplies)
{
    write(QStringLiteral("default.xml"), "<r><payment>from default</payment></r>");
    const QByteArray deep = "<r><payment>" + QByteArray("<a>").repeated(5000) +
                            QByteArray("</a>").repeated(5000) + "</payment></r>";
    write(QStringLiteral("payment.xml"), deep);
    write(QStringLiteral("currencies.xml"), deep);
    QFile huge(m_sandbox.resource(QStringLiteral("appearance.xml")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(64 * 1024 * 1024));
    huge.close();

    const struct {
        const char *file;
        bool fallback;
        const char *value;
        const char *reason;
    } cases[] = {
        {"payment.xml", true, "from default", "nested deeper than 256 elements"},
        {"currencies.xml", false, "", "nested deeper than 256 elements"},
        {"appearance.xml", true, "from default", "larger than 8388608 bytes"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        MessageCapture messages;
        ETXMLConfig config(QString::fromLatin1(c.file), c.fallback);
        EXPECT_EQ(QString::fromLatin1(c.value), config.value(QStringLiteral("payment")));
        EXPECT_TRUE(hasLine(messages, QStringLiteral("resource file refused: ") +
                                          m_sandbox.resource(QString::fromLatin1(c.file)) +
                                          QStringLiteral(" is ") + QString::fromLatin1(c.reason)));
    }
}

} // namespace
