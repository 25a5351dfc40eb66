#include "etstore.h"

#include "etsingleton.h"
#include "etstorelist.h"

ETStore::ETStore(int locId, const QString &name, const QString &street, const QString &zip,
                 const QString &city, QObject *parent)
    : QObject(parent), m_locId(locId), m_name(name), m_street(street), m_zip(zip), m_city(city)
{
}

ETStoreList *ETStore::storeList()
{
    static ETSingleton<ETStoreList> list;
    return list.get([] { return new ETStoreList; });
}

QString ETStore::label() const
{
    return m_zip + QLatin1Char(' ') + m_city + QStringLiteral(", ") + m_name + QStringLiteral(", ") +
           m_street;
}

QString ETStore::richText() const
{
    const QString br = QStringLiteral("<br>");
    return m_name.toHtmlEscaped() + br + m_street.toHtmlEscaped() + br + m_zip.toHtmlEscaped() +
           QLatin1Char(' ') + m_city.toHtmlEscaped() + br;
}

bool ETStore::hasLabel(const QString &text) const
{
    return label() == text;
}
