#include "etthumbnailconfig.h"

#include "etsingleton.h"

ETThumbnailConfig::ETThumbnailConfig() : ETXMLConfig(QStringLiteral("thumbnail.xml"), true) {}

ETThumbnailConfig *ETThumbnailConfig::instance()
{
    static ETSingleton<ETThumbnailConfig> config;
    return config.get([] { return new ETThumbnailConfig; });
}

int ETThumbnailConfig::number(const QString &name) const
{
    const QString text = attribute(QStringLiteral("thumbnail"), name, QString());
    if (text.isEmpty())
        return -1;
    return text.toInt(nullptr, 10);
}

bool ETThumbnailConfig::transparent() const
{
    return boolAttribute(QStringLiteral("thumbnail"), QStringLiteral("transparent"), false);
}

QString ETThumbnailConfig::bgImage() const
{
    return attribute(QStringLiteral("thumbnail"), QStringLiteral("bgimage"), QString());
}

int ETThumbnailConfig::width() const
{
    return number(QStringLiteral("width"));
}

int ETThumbnailConfig::height() const
{
    return number(QStringLiteral("height"));
}

int ETThumbnailConfig::frame() const
{
    return number(QStringLiteral("frame"));
}
