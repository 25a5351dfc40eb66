#include "etxmlreader.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace
{

// One pass of the stream reader, which costs the same at any depth; it stops
// at the first element beyond the bound. Broken XML is left to the DOM parser.
bool withinDepth(QXmlStreamReader &reader)
{
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > ETXMLReader::maxDepth)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return true;
}

// Bytes and decoded text alike: the stream reader and the DOM parser take both.
template <class Text> ETXMLReader::Result parseWithin(QDomDocument &document, const Text &text)
{
    document.clear();
    if (text.size() > ETXMLReader::maxSize)
        return ETXMLReader::TooLarge;
    // Every element opens with its own '<': text with no more of them than
    // the bound cannot nest beyond it, and needs no depth pass.
    if (text.count('<') > ETXMLReader::maxDepth) {
        QXmlStreamReader scan(text);
        if (!withinDepth(scan))
            return ETXMLReader::TooDeep;
    }
    return document.setContent(text) ? ETXMLReader::Parsed : ETXMLReader::NotXml;
}

} // namespace

ETXMLReader::Result ETXMLReader::parse(QDomDocument &document, const QByteArray &data)
{
    return parseWithin(document, data);
}

ETXMLReader::Result ETXMLReader::parse(QDomDocument &document, const QString &text)
{
    return parseWithin(document, text);
}

ETXMLReader::Result ETXMLReader::readFile(QDomDocument &document, const QString &path)
{
    document.clear();
    // A pipe or a device could deliver without end.
    const QFileInfo info(path);
    if (!info.isFile())
        return Unreadable;
    if (info.size() > maxSize)
        return TooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Unreadable;
    // The file may have grown since it was looked at.
    const QByteArray data = file.read(maxSize + 1);
    return parse(document, data);
}

bool ETXMLReader::readResourceFile(QDomDocument &document, const QString &path)
{
    const Result result = readFile(document, path);
    if (result == TooDeep || result == TooLarge)
        qWarning().noquote() << QStringLiteral("resource file refused: ") + path + QStringLiteral(" is ") +
                                    reason(result);
    return result == Parsed || result == NotXml;
}

QString ETXMLReader::reason(Result result)
{
    switch (result) {
    case Parsed:
        return QString();
    case NotXml:
        return QStringLiteral("not well-formed XML");
    case TooDeep:
        return QStringLiteral("nested deeper than %1 elements").arg(maxDepth);
    case TooLarge:
        return QStringLiteral("larger than %1 bytes").arg(maxSize);
    case Unreadable:
        return QStringLiteral("not a readable file");
    }
    return QString();
}
