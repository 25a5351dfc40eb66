#include "etxmlconfig.h"

#include "etfileutils.h"
#include "etxmlreader.h"

#include <QDebug>
#include <QDomElement>
#include <QFile>

ETXMLConfig::ETXMLConfig(const QString &fileName, bool fallback, QObject *parent)
    : QObject(parent), m_fallback(fallback), m_document(QStringLiteral("applicationConfig")),
      m_fileName(fileName)
{
    ETXMLConfig::load();
}

void ETXMLConfig::load()
{
    if (readFile(m_fileName) || !m_fallback)
        return;
    qDebug().noquote() << QStringLiteral("Config not found: ") + m_fileName +
                              QStringLiteral(", falling back to default.xml");
    if (!readFile(QStringLiteral("default.xml")))
        qDebug().noquote() << QStringLiteral("Konnte default.xml nicht lesen.");
}

bool ETXMLConfig::readFile(const QString &fileName)
{
    QDomDocument document;
    // A refused file counts as missing, so the fallback applies. A file that
    // reads counts as read; broken XML leaves an empty or partial document and
    // every lookup gives its default.
    if (!ETXMLReader::readResourceFile(document, resourcePath(fileName)))
        return false;
    m_document = document;
    return true;
}

QString ETXMLConfig::value(const QString &key, const QString &defaultValue) const
{
    const QString text = node(key).toElement().text();
    if (text.isEmpty() && !defaultValue.isEmpty())
        return defaultValue;
    return text;
}

QDomNode ETXMLConfig::node(const QString &name) const
{
    return m_document.documentElement().namedItem(name);
}

QString ETXMLConfig::attribute(const QString &elementName, const QString &attributeName,
                               const QString &defaultValue) const
{
    const QDomNode element = node(elementName);
    if (element.isNull())
        return defaultValue;
    const QString text = element.toElement().attribute(attributeName);
    if (text.isEmpty() && !defaultValue.isEmpty())
        return defaultValue;
    return text;
}

bool ETXMLConfig::boolAttribute(const QString &elementName, const QString &attributeName,
                                bool defaultValue) const
{
    return toBool(attribute(elementName, attributeName), defaultValue);
}

bool ETXMLConfig::toBool(const QString &text, bool defaultValue)
{
    if (text.isNull())
        return defaultValue;
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("yes") || word == QLatin1String("true") || word == QLatin1String("1"))
        return true;
    if (word == QLatin1String("no") || word == QLatin1String("false") || word == QLatin1String("0"))
        return false;
    return defaultValue;
}

QDomNode ETXMLConfig::findByAttribute(const QDomNode &parent, const QString &attributeName,
                                      const QString &value)
{
    for (QDomNode child = parent.firstChild(); !child.isNull(); child = child.nextSibling()) {
        const QDomElement element = child.toElement();
        if (element.hasAttribute(attributeName) && element.attribute(attributeName) == value)
            return child;
    }
    return QDomNode();
}

QDomNode ETXMLConfig::findByText(const QDomNode &parent, const QString &text)
{
    for (QDomNode child = parent.firstChild(); !child.isNull(); child = child.nextSibling()) {
        if (child.isElement() && child.toElement().text() == text)
            return child;
    }
    return QDomNode();
}

bool ETXMLConfig::containsText(const QDomNode &parent, const QString &text)
{
    return !findByText(parent, text).isNull();
}

int ETXMLConfig::childCount(const QDomNode &parent)
{
    int count = 0;
    for (QDomNode child = parent.firstChild(); !child.isNull(); child = child.nextSibling())
        ++count;
    return count;
}
