#pragma once

#include "etxmlconfig.h"

#include <QDomElement>

class QColor;

// The skin settings of "appearance.xml" (or default.xml), read from the
// document at every call.
class ETAppearanceConfig : public ETXMLConfig
{
    Q_OBJECT

  public:
    static ETAppearanceConfig *instance();

    void load() override;

    // New colours owned by the caller, or null.
    QColor *colorForArea(const QString &area) const;
    QColor *widgetStyleColor(const QString &name, const QString &attributeName) const;
    QDomElement widgetStyles() const;
    int designId() const;
    QString backgroundPicture() const;
    QString fontFamily() const;
    int fontSize() const;
    QString menuBarColor() const;
    bool rectangularFrames() const;
    QString iconType() const;
    bool orderTabBottom() const;
    bool orderItemFrame() const;
    bool buttonTooltips() const;
    bool splashUpdatePrices() const;
    bool splashOffSwitch() const;

    // The set chosen for a desktop of the given size; widgetStyles() asks it
    // with the primary screen's size.
    QDomElement widgetStylesFor(const QSize &desktop) const;

  protected:
    ETAppearanceConfig();
};
