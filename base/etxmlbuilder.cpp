#include "etxmlbuilder.h"

#include "etfileutils.h"

ETXMLBuilder::ETXMLBuilder(QObject *parent) : QObject(parent) {}

void ETXMLBuilder::createDocument(QDomDocument &document)
{
    document.appendChild(document.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
}

QDomElement ETXMLBuilder::addElement(QDomDocument &document, QDomNode parent, const QString &name)
{
    QDomElement element = document.createElement(name);
    parent.appendChild(element);
    return element;
}

QDomElement ETXMLBuilder::addTextElement(QDomDocument &document, QDomNode parent, const QString &name,
                                         const QString &text)
{
    QDomElement element = addElement(document, parent, name);
    element.appendChild(document.createTextNode(carriableText(text)));
    return element;
}

QDomElement ETXMLBuilder::addNumberElement(QDomDocument &document, QDomNode parent, const QString &name,
                                           qint32 value)
{
    return addTextElement(document, parent, name, QString::number(value));
}

bool ETXMLBuilder::save(const QDomDocument &document, const QString &fileName)
{
    return writeFileAtomically(fileName, document.toString().toUtf8());
}

bool ETXMLBuilder::isCarriable(char32_t codePoint)
{
    if (codePoint < 0x20)
        return codePoint == 0x09 || codePoint == 0x0a || codePoint == 0x0d;
    if (codePoint >= 0xd800 && codePoint <= 0xdfff)
        return false;
    return codePoint != 0xfffe && codePoint != 0xffff && codePoint <= 0x10ffff;
}

QString ETXMLBuilder::carriableText(const QString &text)
{
    QString result;
    bool changed = false;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        char32_t codePoint = c.unicode();
        qsizetype length = 1;
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(c, text.at(i + 1));
            length = 2;
        }
        if (!isCarriable(codePoint)) {
            // Copied only once a character has to go.
            if (!changed)
                result = text.left(i);
            changed = true;
            result.append(QLatin1Char('_'));
        } else if (changed) {
            result.append(text.mid(i, length));
        }
        i += length - 1;
    }
    return changed ? result : text;
}
