#include "etappearanceconfig.h"

#include <QColor>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

ETAppearanceConfig::ETAppearanceConfig() : ETXMLConfig(QStringLiteral("appearance.xml"), true) {}

ETAppearanceConfig *ETAppearanceConfig::instance()
{
    static ETAppearanceConfig *config = new ETAppearanceConfig;
    return config;
}

void ETAppearanceConfig::load()
{
    ETXMLConfig::load();
}

QColor *ETAppearanceConfig::colorForArea(const QString &area) const
{
    const QDomNode groups = node(QStringLiteral("groups"));
    if (groups.isNull())
        return nullptr;
    for (QDomNode child = groups.firstChild(); !child.isNull(); child = child.nextSibling()) {
        const QDomElement element = child.toElement();
        if (!element.isNull() && element.attribute(QStringLiteral("area")) == area)
            return new QColor(element.attribute(QStringLiteral("color")));
    }
    return nullptr;
}

QColor *ETAppearanceConfig::widgetStyleColor(const QString &name, const QString &attributeName) const
{
    const QDomNode styles = node(QStringLiteral("widgetstyles"));
    const QDomNode child = findByAttribute(styles, QStringLiteral("name"), name);
    if (child.isNull())
        return nullptr;
    return new QColor(child.toElement().attribute(attributeName));
}

QDomElement ETAppearanceConfig::widgetStyles() const
{
    // The whole desktop, over every screen, as the key of a set names it.
    QSize desktop;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        desktop = screen->virtualGeometry().size();
    return widgetStylesFor(desktop);
}

QDomElement ETAppearanceConfig::widgetStylesFor(const QSize &desktop) const
{
    const QDomNode first = node(QStringLiteral("widgetstyles"));
    if (first.isNull())
        return QDomElement();
    static const QRegularExpression widthPattern(QStringLiteral("^(\\d*)x"));
    const QString key = QStringLiteral("%1x%2").arg(desktop.width()).arg(desktop.height());
    QDomNode fallback = first;
    QDomNode best;
    int bestWidth = 0;
    // Every following node counts, whatever its name; the twelfth is taken
    // as it stands.
    int examined = 0;
    for (QDomNode n = first; !n.isNull(); n = n.nextSibling()) {
        if (examined == 11)
            return n.toElement();
        ++examined;
        const QString resolution = n.toElement().attribute(QStringLiteral("resolution"));
        if (resolution.isEmpty() || resolution == QLatin1String("default")) {
            fallback = n;
        } else if (resolution == key) {
            return n.toElement();
        } else {
            const QRegularExpressionMatch match = widthPattern.match(resolution);
            const int width = match.hasMatch() ? match.captured(1).toInt() : 0;
            if (width <= desktop.width() && width > bestWidth) {
                best = n;
                bestWidth = width;
            }
        }
    }
    return bestWidth > 0 ? best.toElement() : fallback.toElement();
}

int ETAppearanceConfig::designId() const
{
    return value(QStringLiteral("designID"), QString()).toInt();
}

QString ETAppearanceConfig::backgroundPicture() const
{
    return value(QStringLiteral("backgroundpicture"), QString());
}

QString ETAppearanceConfig::fontFamily() const
{
    return value(QStringLiteral("fontfamily"), QStringLiteral("Arial"));
}

int ETAppearanceConfig::fontSize() const
{
    return value(QStringLiteral("fontsize"), QStringLiteral("9")).toInt();
}

QString ETAppearanceConfig::menuBarColor() const
{
    if (node(QStringLiteral("menubar")).isNull())
        return QStringLiteral("gray");
    return attribute(QStringLiteral("menubar"), QStringLiteral("setPaletteBackgroundColor"), QString());
}

bool ETAppearanceConfig::rectangularFrames() const
{
    return attribute(QStringLiteral("frames"), QStringLiteral("shape"), QString()) ==
           QLatin1String("rectangular");
}

QString ETAppearanceConfig::iconType() const
{
    return value(QStringLiteral("icon_type"), QStringLiteral("jpg"));
}

bool ETAppearanceConfig::orderTabBottom() const
{
    return boolAttribute(QStringLiteral("order"), QStringLiteral("tabbottom"), false);
}

bool ETAppearanceConfig::orderItemFrame() const
{
    return boolAttribute(QStringLiteral("order"), QStringLiteral("itemframe"), false);
}

bool ETAppearanceConfig::buttonTooltips() const
{
    return boolAttribute(QStringLiteral("buttons"), QStringLiteral("tooltips"), true);
}

bool ETAppearanceConfig::splashUpdatePrices() const
{
    return boolAttribute(QStringLiteral("splash"), QStringLiteral("updatePrices"), true);
}

bool ETAppearanceConfig::splashOffSwitch() const
{
    return boolAttribute(QStringLiteral("splash"), QStringLiteral("offswitch"), true);
}
