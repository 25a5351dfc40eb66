#include "etapplicationconfig.h"

#include "etsingleton.h"

#include <QDomElement>

ETApplicationConfig *ETApplicationConfig::instance()
{
    static ETSingleton<ETApplicationConfig> config;
    return config.get([] { return new ETApplicationConfig; });
}

ETApplicationConfig::ETApplicationConfig(QObject *parent)
    : ETXMLConfig(QStringLiteral("default.xml"), true, parent)
{
}

void ETApplicationConfig::load()
{
    {
        QMutexLocker lock(&m_cacheMutex);
        m_protocol.clear();
        m_keyAccount.clear();
        m_keyAccountName.clear();
        m_programName.clear();
    }
    ETXMLConfig::load();
}

QString ETApplicationConfig::cached(QString &cache, const QString &key, const QString &defaultValue) const
{
    QMutexLocker lock(&m_cacheMutex);
    if (cache.isEmpty())
        cache = value(key, defaultValue);
    return cache;
}

QString ETApplicationConfig::keyAccount() const
{
    return cached(m_keyAccount, QStringLiteral("keyaccount"), QString());
}

QString ETApplicationConfig::keyAccountName() const
{
    return cached(m_keyAccountName, QStringLiteral("keyaccountname"), QString());
}

QString ETApplicationConfig::programName() const
{
    return cached(m_programName, QStringLiteral("programname"), QString());
}

QString ETApplicationConfig::protocol() const
{
    return cached(m_protocol, QStringLiteral("protocol"), QStringLiteral("1.5"));
}

QString ETApplicationConfig::qtLanguage() const
{
    return value(QStringLiteral("qtlanguage"));
}

QString ETApplicationConfig::language() const
{
    return value(QStringLiteral("language"), QStringLiteral("german"));
}

QString ETApplicationConfig::currency() const
{
    return value(QStringLiteral("currency"), QStringLiteral("EUR"));
}

int ETApplicationConfig::number(const QString &key, const QString &defaultValue) const
{
    // A text that is no number gives 0.
    return value(key, defaultValue).toInt();
}

int ETApplicationConfig::country() const
{
    return number(QStringLiteral("country"), QStringLiteral("0"));
}

int ETApplicationConfig::jpegQuality() const
{
    return number(QStringLiteral("jpegquality"), QStringLiteral("75"));
}

QString ETApplicationConfig::storeListURL() const
{
    return value(QStringLiteral("storelistURL"));
}

bool ETApplicationConfig::warnMixedFormats() const
{
    return boolAttribute(QStringLiteral("order"), QStringLiteral("warnMixedFormats"), true);
}

bool ETApplicationConfig::enableCoupons() const
{
    return boolAttribute(QStringLiteral("order"), QStringLiteral("enableCoupons"), true);
}

QString ETApplicationConfig::cdText(const QString &child, const QString &defaultValue) const
{
    const QDomNode section = node(QStringLiteral("ordercd"));
    if (section.isNull())
        return defaultValue;
    // Unlike value(), a present but empty child gives the empty text.
    for (QDomNode n = section.firstChild(); !n.isNull(); n = n.nextSibling()) {
        if (n.nodeName() == child)
            return n.toElement().text();
    }
    return defaultValue;
}

QString ETApplicationConfig::cdVolumeName() const
{
    return cdText(QStringLiteral("volumename"), QStringLiteral("Order CD"));
}

QString ETApplicationConfig::cdApplicationName() const
{
    return cdText(QStringLiteral("application"), QStringLiteral("Lumo Offline Client"));
}

QString ETApplicationConfig::cdPublisher() const
{
    return cdText(QStringLiteral("publisher"), QStringLiteral("Lumo Digital"));
}

QString ETApplicationConfig::cdImageName(const QString &platform) const
{
    if (platform == QLatin1String("mac"))
        return cdText(QStringLiteral("dmgimage"), QStringLiteral("lumo.dmg"));
    return cdText(QStringLiteral("isoimage"), QStringLiteral("lumo.iso"));
}

QString ETApplicationConfig::version()
{
    return QStringLiteral("1.3.0");
}

QString ETApplicationConfig::versionNumber()
{
    return QStringLiteral("010300");
}

QString ETApplicationConfig::softwareCode()
{
    return QStringLiteral("42");
}
