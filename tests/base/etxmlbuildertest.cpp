#include "etxmlbuilder.h"
#include "filesizelimit.h"
#include "qtprinters.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small document of the kind the client writes.
QDomDocument sampleDocument(ETXMLBuilder &builder, int extraElements = 0)
{
    QDomDocument document;
    builder.createDocument(document);
    QDomElement root = builder.addElement(document, document, QStringLiteral("imageinfo"));
    builder.addTextElement(document, root, QStringLiteral("name"), QStringLiteral("Grüße aus Köln €"));
    builder.addTextElement(document, root, QStringLiteral("name"), QStringLiteral("second"));
    builder.addTextElement(document, root, QStringLiteral("empty"), QString());
    builder.addNumberElement(document, root, QStringLiteral("minus"), -1);
    builder.addNumberElement(document, root, QStringLiteral("zero"), 0);
    builder.addNumberElement(document, root, QStringLiteral("big"), 2147483647);
    QDomElement nested = builder.addElement(document, root, QStringLiteral("nested"));
    for (int i = 0; i < extraElements; ++i)
        builder.addNumberElement(document, nested, QStringLiteral("n"), i);
    return document;
}

class ETXMLBuilderTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    ETXMLBuilder m_builder;
};

TEST_F(ETXMLBuilderTest, SavesUtf8AndReadsBackEqual)
{
    const QDomDocument document = sampleDocument(m_builder);
    const QString file = path(QStringLiteral("info.xml"));
    ASSERT_TRUE(m_builder.save(document, file));

    const QByteArray bytes = readAll(file);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("Grüße aus Köln €")) << "umlauts not written as UTF-8";
    struct Expect {
        const char *text;
    } expects[] = {{"<minus>-1</minus>"}, {"<zero>0</zero>"}, {"<big>2147483647</big>"}, {"<empty></empty>"}};
    for (const Expect &e : expects) {
        SCOPED_TRACE(e.text);
        EXPECT_TRUE(bytes.contains(e.text)) << bytes.constData();
    }

    EXPECT_EQ(document.toString(), QString::fromUtf8(bytes));

    QDomDocument readBack;
    ASSERT_TRUE(readBack.setContent(bytes));
    QStringList written;
    for (QDomElement e = readBack.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        written << e.tagName() + QLatin1Char('=') + e.text();
    EXPECT_EQ((QStringList{QStringLiteral("name=Grüße aus Köln €"), QStringLiteral("name=second"),
                           QStringLiteral("empty="), QStringLiteral("minus=-1"), QStringLiteral("zero=0"),
                           QStringLiteral("big=2147483647"), QStringLiteral("nested=")}),
              written);
}

TEST_F(ETXMLBuilderTest, MissingFolderFailsAndCreatesNothing)
{
    const QString file = path(QStringLiteral("nothere/info.xml"));
    EXPECT_FALSE(m_builder.save(sampleDocument(m_builder), file));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("nothere"))));
}

TEST_F(ETXMLBuilderTest, SaveReplacesAnEarlierFile)
{
    const QString file = path(QStringLiteral("info.xml"));
    ASSERT_TRUE(m_builder.save(sampleDocument(m_builder, 100), file));
    ASSERT_TRUE(m_builder.save(sampleDocument(m_builder), file));
    EXPECT_FALSE(readAll(file).contains("<n>99</n>"));
    EXPECT_EQ(QStringList{QStringLiteral("info.xml")}, QDir(m_dir.path()).entryList(QDir::Files));
}

TEST_F(ETXMLBuilderTest, WriteErrorFailsAndKeepsTheEarlierFile)
{
    const QString file = path(QStringLiteral("info.xml"));
    ASSERT_TRUE(m_builder.save(sampleDocument(m_builder), file));
    const QByteArray before = readAll(file);
    const QDomDocument large = sampleDocument(m_builder, 5000);
    bool saved = true;
    {
        FileSizeLimit limit(4096);
        saved = m_builder.save(large, file);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(before, readAll(file));
    EXPECT_EQ(QStringList{QStringLiteral("info.xml")}, QDir(m_dir.path()).entryList(QDir::Files));
}

// Characters XML 1.0 cannot carry never reach a document: the saved file
// is read back, with "_" where they stood.
TEST_F(ETXMLBuilderTest, TextXMLCannotCarryIsReplaced)
{
    const QChar lone[] = {QChar(0xd83d)};
    const QChar pair[] = {QChar(0xd83d), QChar(0xde00)};
    const QString replaced(QLatin1Char('_'));
    const struct {
        const char *name;
        QString text;
        QString written;
    } cases[] = {
        {"vertical tab of a word processor", QStringLiteral("Haupt\vstr. 1"),
         QStringLiteral("Haupt") + replaced + QStringLiteral("str. 1")},
        {"NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
         QStringLiteral("a") + replaced + QLatin1Char('b')},
        {"escape and unit separator", QStringLiteral("\x1b\x1f"), replaced + replaced},
        {"U+FFFE and U+FFFF", QStringLiteral("x") + QChar(0xfffe) + QChar(0xffff),
         QStringLiteral("x") + replaced + replaced},
        {"lone surrogate", QString(lone, 1) + QStringLiteral("z"), replaced + QStringLiteral("z")},
        {"tab, line feed and carriage return stay", QStringLiteral("a\tb\nc\rd"),
         QStringLiteral("a\tb\nc\rd")},
        {"a pair outside the basic plane stays", QString(pair, 2), QString(pair, 2)},
        {"DEL and U+FFFD stay", QStringLiteral("\x7f") + QChar(QChar::ReplacementCharacter),
         QStringLiteral("\x7f") + QChar(QChar::ReplacementCharacter)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.written, ETXMLBuilder::carriableText(c.text));
        QDomDocument document;
        m_builder.createDocument(document);
        QDomElement root = m_builder.addElement(document, document, QStringLiteral("imageinfo"));
        m_builder.addTextElement(document, root, QStringLiteral("filename"), c.text);
        const QString file = path(QStringLiteral("info.xml"));
        ASSERT_TRUE(m_builder.save(document, file));
        QDomDocument readBack;
        QString error;
        ASSERT_TRUE(readBack.setContent(readAll(file), &error)) << error.toStdString();
        // A reader folds the carriage returns of line ends: they are left out of the comparison.
        EXPECT_EQ(QString(c.written).remove(QLatin1Char('\r')),
                  readBack.documentElement().firstChildElement().text().remove(QLatin1Char('\r')));
    }
}

} // namespace
