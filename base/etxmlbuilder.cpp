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
    element.appendChild(document.createTextNode(text));
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
