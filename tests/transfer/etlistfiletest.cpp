#include "etlistfile.h"

#include "qtprinters.h"

#include <QDomDocument>

#include <gtest/gtest.h>

namespace
{

// A country list reply of protocol 1.5 with this XML declaration (none when empty).
QDomDocument reply(const QString &declaration, const QString &name)
{
    QDomDocument document;
    const QString text =
        (declaration.isEmpty() ? QString()
                               : QStringLiteral("<?xml ") + declaration + QStringLiteral("?>\n")) +
        QStringLiteral("<countrylist><head><errorcode>0</errorcode></head><content>"
                       "<country><name>") +
        name + QStringLiteral("</name><iso_code>PL</iso_code></country></content></countrylist>");
    EXPECT_TRUE(document.setContent(text)) << text.toStdString();
    return document;
}

TEST(ETListFile, ContentIsInTheDeclaredEncodingAndReadsBackAsSent)
{
    const QString name = QStringLiteral("Łódź Gruß € ") + QString::fromUcs4(U"\U0001F4F7");
    const struct Case {
        const char *declaration;
        const char *head; // the file's first line; none: no declaration either
        QByteArray encodedName;
    } cases[] = {
        {"version=\"1.0\" encoding=\"UTF-8\"", "<?xml version='1.0' encoding='UTF-8' ?>\n", name.toUtf8()},
        // Latin-1 holds ó and ß only; a character beyond the first plane is one reference, not two.
        {"version=\"1.0\" encoding=\"ISO-8859-1\"", "<?xml version='1.0' encoding='ISO-8859-1' ?>\n",
         "&#321;\xf3"
         "d&#378; Gru\xdf &#8364; &#128247;"},
        // An encoding Qt cannot write: UTF-8, and the declaration says so.
        {"version=\"1.0\" encoding=\"windows-1252\"", "<?xml version='1.0' encoding=\"UTF-8\" ?>\n",
         name.toUtf8()},
        {"", nullptr, name.toUtf8()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.declaration);
        const QDomDocument document = reply(QString::fromLatin1(c.declaration), name);
        const ETListFile list =
            ETListFile::fromReply(document, {"countrylist", "content"}, "country", "name");
        ASSERT_FALSE(list.isNull());
        const QByteArray content = list.content();
        if (c.head)
            EXPECT_TRUE(content.startsWith(c.head)) << content.toStdString();
        else
            EXPECT_FALSE(content.contains("<?xml")) << content.toStdString();
        EXPECT_TRUE(content.contains("<name>" + c.encodedName + "</name>")) << content.toStdString();

        QDomDocument written;
        ASSERT_TRUE(written.setContent(content)) << content.toStdString();
        EXPECT_EQ(QStringLiteral("content"), written.documentElement().tagName());
        EXPECT_EQ(name, written.documentElement()
                            .firstChildElement(QStringLiteral("country"))
                            .firstChildElement(QStringLiteral("name"))
                            .text());
    }
}

} // namespace
