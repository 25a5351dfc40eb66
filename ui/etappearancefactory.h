#pragma once

#include "etdialogskin.h"

#include <QBrush>
#include <QColor>
#include <QDomElement>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

class QAbstractButton;

// One line of a colour-mapping file: which widget takes an area's colour, and
// as what (kind 0 background, 1 foreground, 2 base, 3 main frame).
struct ColorMapEntry {
    QString widgetName;
    int kind = 0;
};

// Applies the skin to widgets: palette and font, colour map, the widget
// styles of appearance.xml, dialog colours and wizard pictures (GUI thread).
// It is the skin of the requester's real dialogs from its creation on.
class ETAppearanceFactory : public QObject, public ETDialogSkin
{
    Q_OBJECT

  public:
    enum ColorKind { Background = 0, Foreground = 1, Base = 2, MainFrame = 3 };

    static ETAppearanceFactory *instance();

    void applyApplicationStyle();
    void styleMainWindow(QWidget *widget);
    void applyColorMap(QWidget *widget);
    void applyWidgetStyles(QWidget *widget);
    void applyElement(QWidget *widget, const QDomElement &element);
    void applyDefault(QWidget *widget);
    void applyImageDisplayStyle(QWidget *widget);
    QDomElement wizardStyle();
    // The wizard argument is accepted for the screens' sake and not needed.
    void applyWizardElement(QWidget *widget, QWidget *wizard = nullptr);
    // The wizard's frame colour and the pictures of its buttons, which are its
    // direct children named "next", "back", "finish" and "cancel".
    void styleWizard(QWidget *wizard);
    QDomElement findElement(const QString &name) const;
    // Further arguments that callers pass are not used.
    QString backgroundColor(const QString &name, const QString &attributeName = QString(),
                            bool flag = false) const;
    void applyNamedStyle(const QString &name, QWidget *widget);
    // With null: the palette of file and input dialogs.
    void applyDialogColors(QWidget *widget) override;
    void setBackgroundPixmap(QWidget *widget, const QString &pictureName);

    void setFrameColors(const QColor &first, const QColor &second, const QColor &third, const QColor &menu,
                        const QBrush &menuBrush);
    QColor menuColor() const { return m_menuColor; }
    QBrush menuBrush() const { return m_menuBrush; }
    void setFrameParameters(int first, int second, int third, bool firstFlag, bool secondFlag);
    void setFlatButtons(bool flat) { m_flatButtons = flat; }
    bool flatButtons() const { return m_flatButtons; }
    void setShowPixelSize(bool show) { m_showPixelSize = show; }
    bool showPixelSize() const { return m_showPixelSize; }

    const QMap<QString, QList<ColorMapEntry>> &colorMap() const { return m_colorMap; }

    // Widget colours the way the skin sets them; null widgets are ignored.
    static void setBackgroundColor(QWidget *widget, const QColor &color);
    static void setForegroundColor(QWidget *widget, const QColor &color);
    static void setBaseColor(QWidget *widget, const QColor &color);
    static QWidget *findDescendant(QWidget *widget, const QString &name);

  private:
    ETAppearanceFactory();
    void readColorMap(const QString &fileName);
    void applyColor(QWidget *widget, int kind, const QColor &color);
    void setButtonIcon(QAbstractButton *button, const QString &name);

    QMap<QString, QList<ColorMapEntry>> m_colorMap;
    QDomElement m_orderLineStyle;
    QDomElement m_imageDisplayStyle;
    QDomElement m_wizardStyle;
    QColor m_frameColor1;
    QColor m_frameColor2;
    QColor m_frameColor3;
    QColor m_menuColor;
    QBrush m_menuBrush;
    int m_frameParameter1 = 0;
    int m_frameParameter2 = 0;
    int m_frameParameter3 = 0;
    bool m_frameFlag1 = false;
    bool m_frameFlag2 = false;
    bool m_flatButtons = false;
    bool m_showPixelSize = false;
};
