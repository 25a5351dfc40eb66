#include "etcustomerconfig.h"

#include "etsingleton.h"

#include <QDomElement>

ETCustomerConfig *ETCustomerConfig::instance()
{
    static ETSingleton<ETCustomerConfig> config;
    return config.get([] { return new ETCustomerConfig; });
}

ETCustomerConfig::ETCustomerConfig(const QString &fileName, QObject *parent)
    : ETXMLConfig(fileName, true, parent)
{
}

QStringList ETCustomerConfig::mustFields() const
{
    QStringList result;
    const QDomElement customer = node(QStringLiteral("customer")).toElement();
    for (QDomElement e = customer.firstChildElement(QStringLiteral("mustfield")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("mustfield")))
        result << e.text();
    return result;
}

QString ETCustomerConfig::primaryCountry() const
{
    return attribute(QStringLiteral("countries"), QStringLiteral("primaryCountry"), QString());
}
