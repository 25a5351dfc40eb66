#include "etlistfile.h"

#include "etfileutils.h"
#include "etnetworkinglog.h"

#include <QRegularExpression>
#include <QStringConverter>
#include <QTextStream>

#include <optional>

namespace
{

// Text in a declared encoding; characters it cannot hold become character references.
QByteArray encodeListText(const QString &text, QStringConverter::Encoding encoding)
{
    if (encoding != QStringConverter::Latin1) {
        QStringEncoder encoder(encoding);
        return encoder.encode(text);
    }
    QByteArray data;
    data.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x100) {
            data.append(char(c.unicode()));
            continue;
        }
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            code = QChar::surrogateToUcs4(c, text.at(++i));
        data.append("&#" + QByteArray::number(quint32(code)) + ';');
    }
    return data;
}

// The encoding a declaration names; one Qt cannot write falls back to UTF-8, and the
// declaration is changed to say so.
QStringConverter::Encoding listEncoding(QString &declaration)
{
    static const QRegularExpression named(QStringLiteral("encoding\\s*=\\s*([\"'])([^\"']*)\\1"));
    const QRegularExpressionMatch match = named.match(declaration);
    if (!match.hasMatch())
        return QStringConverter::Utf8;
    const std::optional<QStringConverter::Encoding> encoding =
        QStringConverter::encodingForName(match.captured(2).toLatin1().constData());
    if (encoding && *encoding != QStringConverter::System)
        return *encoding;
    declaration.replace(match.capturedStart(0), match.capturedLength(0),
                        QStringLiteral("encoding=\"UTF-8\""));
    return QStringConverter::Utf8;
}

} // namespace

ETListFile::ETListFile(const QString &declaration, const QDomNode &list)
    : m_declaration(declaration), m_list(list)
{
}

ETListFile ETListFile::fromReply(const QDomDocument &reply, std::initializer_list<const char *> path,
                                 const char *entry, const char *firstChild)
{
    QString declaration;
    const QDomNode first = reply.firstChild();
    if (first.isProcessingInstruction()) {
        const QDomProcessingInstruction pi = first.toProcessingInstruction();
        qCDebug(lcNetworking).noquote() << QStringLiteral("XML processing instruction: target={") +
                                               pi.target() + QStringLiteral("} data={") + pi.data() +
                                               QLatin1Char('}');
        if (pi.target() == QLatin1String("xml"))
            declaration = pi.data();
    }
    QDomNode node = reply;
    for (const char *step : path) {
        const QDomElement child = node.firstChildElement(QLatin1String(step));
        if (!child.isNull())
            node = child;
    }
    const QDomElement checked = node.firstChildElement(QLatin1String(entry));
    if (checked.isNull() || checked.firstChild().nodeName() != QLatin1String(firstChild)) {
        qCWarning(lcNetworking, "checkXML(%s, %s) FAILED", entry, firstChild);
        return ETListFile(declaration, QDomNode());
    }
    return ETListFile(declaration, node);
}

QByteArray ETListFile::content() const
{
    QString declaration = m_declaration;
    const QStringConverter::Encoding encoding = listEncoding(declaration);
    QString text;
    if (!declaration.isEmpty())
        text = QStringLiteral("<?xml ") + declaration + QStringLiteral(" ?>\n");
    QTextStream stream(&text);
    m_list.save(stream, 1);
    stream.flush();
    return encodeListText(text, encoding);
}

bool ETListFile::write(const QString &fileName) const
{
    // Through a temporary file: a failed write keeps the old file.
    return writeFileAtomically(resourcePath(fileName), content());
}
