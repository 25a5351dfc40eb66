#include "etcurrencyconfig.h"

#include "etapplicationconfig.h"
#include "etfatal.h"
#include "etsingleton.h"

#include <QDebug>
#include <QDomElement>

ETCurrencyConfig *ETCurrencyConfig::instance()
{
    static ETSingleton<ETCurrencyConfig> config;
    return config.get([] { return new ETCurrencyConfig; });
}

ETCurrencyConfig::ETCurrencyConfig(const QString &fileName, QObject *parent)
    : ETXMLConfig(fileName, false, parent)
{
    const QDomElement root = document().documentElement();
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const auto text = [&e](const char *name) {
            return e.firstChildElement(QString::fromLatin1(name)).text();
        };
        // A missing separator element stays null, which formats with ",".
        const QDomElement sep = e.firstChildElement(QStringLiteral("decimalsep"));
        const QString isoCode = e.attribute(QStringLiteral("isocode"));
        m_currencies.insert(isoCode, ETCurrency(text("short"), text("long"), text("name"), text("symbol"),
                                                isoCode, sep.isNull() ? QString() : sep.text()));
    }
    if (m_currencies.isEmpty()) {
        qWarning("no currencies defined, building default entry");
        m_currencies.insert(QStringLiteral("EUR"),
                            ETCurrency(QStringLiteral("EUR"), QStringLiteral("Euro"), QStringLiteral("Euro"),
                                       QStringLiteral("&euro;"), QStringLiteral("EUR"), QStringLiteral(",")));
    }
}

const ETCurrency *ETCurrencyConfig::find(const QString &isoCode) const
{
    const auto it = m_currencies.constFind(isoCode);
    return it == m_currencies.constEnd() ? nullptr : &it.value();
}

QString ETCurrencyConfig::formatPrice(int cents)
{
    return currency()->formatPrice(cents);
}

const ETCurrency *ETCurrencyConfig::currency()
{
    if (!m_current) {
        const QString code = ETApplicationConfig::instance()->currency();
        m_current = find(code);
        if (!m_current)
            fatalExit(QStringLiteral("unknown currency: ") + code);
    }
    return m_current;
}
