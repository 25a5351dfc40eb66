#include "etcountrylist.h"

#include "etcustomerconfig.h"
#include "etfileutils.h"
#include "etsingleton.h"
#include "etxmlreader.h"

#include <QDomDocument>

ETCountryList *ETCountryList::instance()
{
    static ETSingleton<ETCountryList> list;
    return list.get([] {
        auto *created = new ETCountryList;
        created->readFile(resourcePath(QStringLiteral("countrylist.xml")));
        return created;
    });
}

void ETCountryList::readFile(const QString &path)
{
    QDomDocument document;
    ETXMLReader::readResourceFile(document, path);
    parse(document.documentElement());
}

void ETCountryList::parse(const QDomElement &root)
{
    m_countries.clear();
    QDomElement content = root;
    if (content.nodeName() != QLatin1String("content"))
        content = root.firstChildElement(QStringLiteral("content"));
    for (QDomElement e = content.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        m_countries.insert(e.firstChildElement(QStringLiteral("name")).text(),
                           e.firstChildElement(QStringLiteral("iso_code")).text());
    }
}

QString ETCountryList::primaryCountryName() const
{
    return primaryCountryName(ETCustomerConfig::instance()->primaryCountry());
}

QString ETCountryList::primaryCountryName(const QString &primaryIsoCode) const
{
    if (m_countries.isEmpty())
        return QString();
    if (!primaryIsoCode.isEmpty()) {
        for (auto it = m_countries.constBegin(); it != m_countries.constEnd(); ++it) {
            if (it.value() == primaryIsoCode)
                return it.key();
        }
    }
    return m_countries.firstKey();
}
