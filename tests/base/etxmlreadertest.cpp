#include "etxmlreader.h"

#include "ettestsandbox.h"
#include "qtprinters.h"

#include <QDomElement>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}

const char *name(ETXMLReader::Result result)
{
    switch (result) {
    case ETXMLReader::Parsed:
        return "Parsed";
    case ETXMLReader::NotXml:
        return "NotXml";
    case ETXMLReader::TooDeep:
        return "TooDeep";
    case ETXMLReader::TooLarge:
        return "TooLarge";
    case ETXMLReader::Unreadable:
        return "Unreadable";
    }
    return "?";
}

struct ParseCase {
    const char *what;
    QByteArray data;
    ETXMLReader::Result expected;
};

TEST(ETXMLReader, ParsesWithinTheBoundsAndRefusesBeyond)
{
    // A document larger than the bound made of one long text, so that only its size counts.
    const QByteArray large = "<r>" + QByteArray(ETXMLReader::maxSize, 'x') + "</r>";
    const ParseCase cases[] = {
        {"plain", "<?xml version=\"1.0\"?><r><a>1</a></r>", ETXMLReader::Parsed},
        {"as deep as allowed", nested(ETXMLReader::maxDepth), ETXMLReader::Parsed},
        {"one level deeper", nested(ETXMLReader::maxDepth + 1), ETXMLReader::TooDeep},
        // A few hundred kilobytes that kept the DOM parser busy for seconds.
        {"a hundred thousand levels", nested(100000), ETXMLReader::TooDeep},
        {"deep but broken", QByteArray("<a>").repeated(ETXMLReader::maxDepth + 1), ETXMLReader::TooDeep},
        {"broken", "<r><a>1</a", ETXMLReader::NotXml},
        {"no XML at all", "Service unavailable", ETXMLReader::NotXml},
        {"too large", large, ETXMLReader::TooLarge},
    };
    for (const ParseCase &c : cases) {
        SCOPED_TRACE(c.what);
        QDomDocument fromBytes(QStringLiteral("old"));
        EXPECT_STREQ(name(c.expected), name(ETXMLReader::parse(fromBytes, c.data)));
        QDomDocument fromText;
        EXPECT_STREQ(name(c.expected), name(ETXMLReader::parse(fromText, QString::fromLatin1(c.data))));
        if (c.expected == ETXMLReader::TooDeep || c.expected == ETXMLReader::TooLarge) {
            EXPECT_TRUE(fromBytes.documentElement().isNull());
            EXPECT_TRUE(fromBytes.doctype().name().isEmpty()) << "nothing of the earlier content is left";
        }
    }
}

TEST(ETXMLReader, ParsedDocumentFollowsItsDeclaration)
{
    QDomDocument document;
    ASSERT_EQ(ETXMLReader::Parsed,
              ETXMLReader::parse(
                  document, QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>Gr\xfcn</r>")));
    EXPECT_EQ(QString::fromUtf8("Grün"), document.documentElement().text());
}

class ETXMLReaderFileTest : public ::testing::Test
{
  protected:
    ETTestSandbox m_sandbox;
};

TEST_F(ETXMLReaderFileTest, ReadsOnlyRegularFilesWithinTheSize)
{
    const QString fifo = m_sandbox.file(QStringLiteral("pipe.xml"));
    ASSERT_EQ(0, mkfifo(QFile::encodeName(fifo).constData(), 0600));
    QFile huge(m_sandbox.resource(QStringLiteral("huge.xml")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(ETXMLReader::maxSize + 1)); // sparse: no disk needed
    huge.close();
    m_sandbox.write(QStringLiteral("deep.xml"), nested(ETXMLReader::maxDepth + 1));
    m_sandbox.write(QStringLiteral("good.xml"), "<r><a>1</a></r>");

    const struct {
        QString path;
        ETXMLReader::Result expected;
    } cases[] = {
        // A pipe without writer would block the reader for good.
        {fifo, ETXMLReader::Unreadable},
        {m_sandbox.resources(), ETXMLReader::Unreadable},
        {m_sandbox.resource(QStringLiteral("missing.xml")), ETXMLReader::Unreadable},
        {m_sandbox.resource(QStringLiteral("huge.xml")), ETXMLReader::TooLarge},
        {m_sandbox.resource(QStringLiteral("deep.xml")), ETXMLReader::TooDeep},
        {m_sandbox.resource(QStringLiteral("good.xml")), ETXMLReader::Parsed},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QDomDocument document;
        EXPECT_STREQ(name(c.expected), name(ETXMLReader::readFile(document, c.path)));
    }
}

} // namespace
