#include "etappearancefactory.h"

#include "etappearanceconfig.h"
#include "etdialogpresenter.h"
#include "etfileutils.h"
#include "eticonset.h"
#include "etimageloader.h"
#include "etroundstyle.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QTextStream>
#include <QtDebug>
#include <memory>

namespace
{

// Qt 3 coloured a widget's own background role: the base of text fields and
// lists, the button colour of buttons and combo boxes, the window otherwise.
QPalette::ColorRole backgroundRoleOf(const QWidget *widget)
{
    if (qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
        qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QAbstractItemView *>(widget))
        return QPalette::Base;
    if (qobject_cast<const QAbstractButton *>(widget) || qobject_cast<const QComboBox *>(widget))
        return QPalette::Button;
    return widget->backgroundRole();
}

QPalette::ColorRole foregroundRoleOf(const QWidget *widget)
{
    switch (backgroundRoleOf(widget)) {
    case QPalette::Base:
        return QPalette::Text;
    case QPalette::Button:
        return QPalette::ButtonText;
    default:
        return widget->foregroundRole();
    }
}

void message(QtMsgType type, const QString &text)
{
    if (type == QtDebugMsg)
        qDebug("%s", qPrintable(text));
    else
        qWarning("%s", qPrintable(text));
}

} // namespace

ETAppearanceFactory::ETAppearanceFactory()
{
    ETDialogPresenter::setSkin(this);
    readColorMap(QStringLiteral("widgetmap.txt"));
    readColorMap(QStringLiteral("widgetmap_%1.txt").arg(ETAppearanceConfig::instance()->designId()));
}

ETAppearanceFactory *ETAppearanceFactory::instance()
{
    static ETAppearanceFactory *factory = new ETAppearanceFactory;
    return factory;
}

void ETAppearanceFactory::readColorMap(const QString &fileName)
{
    QFile file(resourcePath(fileName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        message(QtWarningMsg, QStringLiteral("cannot open color configuration mapping ") + fileName);
        return;
    }
    static const QRegularExpression pattern(QStringLiteral("(\\w+)\\s+(\\w+)\\s*:\\s*(\\w+)"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    static const QMap<QString, int> kinds = {
        {QStringLiteral("setPaletteBackgroundColor"), Background},
        {QStringLiteral("setPaletteForegroundColor"), Foreground},
        {QStringLiteral("setBaseColor"), Base},
        {QStringLiteral("mainFrameColor"), MainFrame},
    };
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Latin1);
    int lineNumber = 0;
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch match = pattern.match(line);
        if (!match.hasMatch()) {
            qWarning("invalid color configuration mapping line %d", lineNumber);
            continue;
        }
        const auto kind = kinds.constFind(match.captured(2));
        if (kind == kinds.constEnd()) {
            qWarning("unknown color type \"%s\" at line %d", qPrintable(match.captured(2)), lineNumber);
            continue;
        }
        m_colorMap[match.captured(3)].append(ColorMapEntry{match.captured(1), kind.value()});
    }
}

void ETAppearanceFactory::applyApplicationStyle()
{
    // The skin's "gray" is the X11 colour Qt 3 knew by that name; Qt 6 names a darker one, on which
    // the palette would write white on every light panel of the skin.
    const QColor gray(190, 190, 190);
    QApplication::setPalette(QPalette(gray, gray));
    const ETAppearanceConfig *config = ETAppearanceConfig::instance();
    QApplication::setFont(QFont(config->fontFamily(), config->fontSize(), -1, false));
}

void ETAppearanceFactory::styleMainWindow(QWidget *widget)
{
    applyColorMap(widget);
    applyWidgetStyles(widget);
    setBackgroundPixmap(findDescendant(widget, QStringLiteral("headline")),
                        QStringLiteral("icons/head_background.jpg"));
}

QWidget *ETAppearanceFactory::findDescendant(QWidget *widget, const QString &name)
{
    if (!widget)
        return nullptr;
    for (QObject *child : widget->children()) {
        auto *childWidget = qobject_cast<QWidget *>(child);
        if (!childWidget)
            continue;
        if (childWidget->objectName() == name)
            return childWidget;
        if (QWidget *found = findDescendant(childWidget, name))
            return found;
    }
    return nullptr;
}

void ETAppearanceFactory::applyColorMap(QWidget *widget)
{
    const ETAppearanceConfig *config = ETAppearanceConfig::instance();
    for (auto area = m_colorMap.constBegin(); area != m_colorMap.constEnd(); ++area) {
        const std::unique_ptr<QColor> color(config->colorForArea(area.key()));
        if (!color)
            continue;
        for (const ColorMapEntry &entry : area.value()) {
            QWidget *target = findDescendant(widget, entry.widgetName);
            if (!target) {
                message(QtDebugMsg, QStringLiteral("Warnung: Widget nicht gefunden: ") + entry.widgetName);
                continue;
            }
            applyColor(target, entry.kind, *color);
        }
    }
}

void ETAppearanceFactory::applyColor(QWidget *widget, int kind, const QColor &color)
{
    switch (kind) {
    case Background:
        setBackgroundColor(widget, color);
        break;
    case Foreground:
        setForegroundColor(widget, color);
        break;
    case Base:
        setBaseColor(widget, color);
        break;
    default:
        break;
    }
}

void ETAppearanceFactory::setBackgroundColor(QWidget *widget, const QColor &color)
{
    if (!widget)
        return;
    if (auto *view = qobject_cast<QGraphicsView *>(widget)) {
        // A picture view shows the colour behind its scene.
        if (view->scene())
            view->scene()->setBackgroundBrush(color);
        return;
    }
    const QPalette::ColorRole role = backgroundRoleOf(widget);
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
    if (role == QPalette::Window)
        widget->setAutoFillBackground(true);
}

void ETAppearanceFactory::setForegroundColor(QWidget *widget, const QColor &color)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    palette.setColor(foregroundRoleOf(widget), color);
    widget->setPalette(palette);
}

// Only frames of the client's own frame class take a base colour, and the
// client has none; other widgets stay as they are.
void ETAppearanceFactory::setBaseColor(QWidget *widget, const QColor &color)
{
    if (!widget || !widget->inherits("ETFrame"))
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
}

void ETAppearanceFactory::applyWidgetStyles(QWidget *widget)
{
    const QDomElement styles = ETAppearanceConfig::instance()->widgetStyles();
    for (QDomElement element = styles.firstChildElement(); !element.isNull();
         element = element.nextSiblingElement()) {
        const QString name = element.attribute(QStringLiteral("name"));
        if (name.isEmpty()) {
            qWarning("Fehler in Config: Kein Widgetname angegeben");
            continue;
        }
        if (name == QLatin1String("wizard") || name == QLatin1String("wizardtitle") ||
            name == QLatin1String("diashow"))
            continue;
        if (name == QLatin1String("orderline")) {
            m_orderLineStyle = element;
            continue;
        }
        if (name == QLatin1String("imagedisplay"))
            m_imageDisplayStyle = element;
        QWidget *target = findDescendant(widget, name);
        if (!target) {
            message(QtWarningMsg, QStringLiteral("Fehler in Config: Widget '") + name +
                                      QStringLiteral("' nicht gefunden."));
            continue;
        }
        applyElement(target, element);
    }
}

void ETAppearanceFactory::applyElement(QWidget *widget, const QDomElement &element)
{
    if (!widget)
        return;
    const auto has = [&element](const char *name) { return element.hasAttribute(QLatin1String(name)); };
    const auto text = [&element](const char *name) { return element.attribute(QLatin1String(name)); };
    if (has("setPaletteBackgroundPixmap"))
        setBackgroundPixmap(widget, text("setPaletteBackgroundPixmap"));
    if (has("setPaletteBackgroundColor"))
        setBackgroundColor(widget, QColor(text("setPaletteBackgroundColor")));
    if (has("setPaletteForegroundColor"))
        setForegroundColor(widget, QColor(text("setPaletteForegroundColor")));
    if (has("setBaseColor"))
        setBaseColor(widget, QColor(text("setBaseColor")));
    if (has("setFlat")) {
        // QPushButton's own flag: the skin does not switch the round style.
        if (auto *button = qobject_cast<QPushButton *>(widget))
            button->QPushButton::setFlat(text("setFlat") == QLatin1String("yes"));
    }
}

void ETAppearanceFactory::applyDefault(QWidget *widget)
{
    applyElement(widget, m_orderLineStyle);
}

void ETAppearanceFactory::applyImageDisplayStyle(QWidget *widget)
{
    applyElement(widget, m_imageDisplayStyle);
}

QDomElement ETAppearanceFactory::wizardStyle()
{
    static QDomElement wizard;
    if (wizard.isNull())
        wizard = findElement(QStringLiteral("wizard"));
    return wizard;
}

void ETAppearanceFactory::applyWizardElement(QWidget *widget, QWidget *)
{
    applyElement(widget, wizardStyle());
}

void ETAppearanceFactory::styleWizard(QWidget *wizard)
{
    if (!wizard)
        return;
    const QString frameColor = wizardStyle().attribute(QStringLiteral("mainFrameColor"));
    if (!frameColor.isEmpty()) {
        QPalette palette = wizard->palette();
        palette.setColor(QPalette::Window, QColor(frameColor));
        wizard->setPalette(palette);
        wizard->setAutoFillBackground(true);
    }
    for (const char *name : {"next", "back", "finish", "cancel"}) {
        auto *button = wizard->findChild<QAbstractButton *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
        setButtonIcon(button, QStringLiteral("wizard/buttons/") + QLatin1String(name));
    }
}

void ETAppearanceFactory::setButtonIcon(QAbstractButton *button, const QString &name)
{
    if (!button)
        return;
    const std::unique_ptr<ETIconSet> icons(ETImageLoader::loadIconSet(name));
    if (!icons)
        return;
    icons->attachTo(button);
    button->setStyle(ETRoundStyle::instance());
    if (auto *push = qobject_cast<QPushButton *>(button))
        push->setFlat(true);
    // The picture says it; the text stays the button's accessible name.
    if (button->accessibleName().isEmpty())
        button->setAccessibleName(button->text());
    button->setText(QString());
    const QSize size = icons->pixmap(ETIconSet::Small, ETIconSet::Normal, ETIconSet::Off).size();
    button->setMinimumSize(size);
    button->setMaximumSize(size);
}

QDomElement ETAppearanceFactory::findElement(const QString &name) const
{
    const QDomElement styles = ETAppearanceConfig::instance()->widgetStyles();
    for (QDomElement element = styles.firstChildElement(); !element.isNull();
         element = element.nextSiblingElement()) {
        if (element.attribute(QStringLiteral("name")) == name)
            return element;
    }
    return QDomElement();
}

QString ETAppearanceFactory::backgroundColor(const QString &name, const QString &, bool) const
{
    return findElement(name).attribute(QStringLiteral("setPaletteBackgroundColor"));
}

void ETAppearanceFactory::applyNamedStyle(const QString &name, QWidget *widget)
{
    const QDomElement element = findElement(name);
    if (!element.isNull())
        applyElement(widget, element);
    else
        applyDialogColors(widget);
}

void ETAppearanceFactory::applyDialogColors(QWidget *widget)
{
    const ETAppearanceConfig *config = ETAppearanceConfig::instance();
    const std::unique_ptr<QColor> panel(config->colorForArea(QStringLiteral("dialogPanel")));
    const std::unique_ptr<QColor> buttons(config->colorForArea(QStringLiteral("dialogButtons")));
    const std::unique_ptr<QColor> buttonsText(config->colorForArea(QStringLiteral("dialogButtonsText")));
    const std::unique_ptr<QColor> text(config->colorForArea(QStringLiteral("dialogText")));
    if (widget) {
        if (panel)
            setBackgroundColor(widget, *panel);
        if (text)
            setForegroundColor(widget, *text);
        if (buttons || buttonsText) {
            QPalette palette = widget->palette();
            if (buttons)
                palette.setColor(QPalette::All, QPalette::Button, *buttons);
            if (buttonsText)
                palette.setColor(QPalette::All, QPalette::ButtonText, *buttonsText);
            widget->setPalette(palette);
        }
        return;
    }
    qDebug("initializing QDialog palette");
    QPalette palette = QApplication::palette();
    if (panel)
        palette.setColor(QPalette::All, QPalette::Window, *panel);
    if (text)
        palette.setColor(QPalette::All, QPalette::WindowText, *text);
    if (buttons)
        palette.setColor(QPalette::All, QPalette::Button, *buttons);
    if (buttonsText)
        palette.setColor(QPalette::All, QPalette::ButtonText, *buttonsText);
    QApplication::setPalette(palette, "QFileDialog");
    QApplication::setPalette(palette, "QInputDialog");
}

void ETAppearanceFactory::setBackgroundPixmap(QWidget *widget, const QString &pictureName)
{
    if (!widget || pictureName.isEmpty())
        return;
    const std::unique_ptr<QPixmap> picture(
        ETImageLoader::loadResourcePixmap(pictureName, QStringLiteral("jpg")));
    if (!picture || picture->isNull()) {
        message(QtWarningMsg, QStringLiteral("Konnte Hintergrundbild von ") + widget->objectName() +
                                  QStringLiteral(" nicht laden: ") + pictureName);
        return;
    }
    // Children paint no background of their own in Qt 6, so the picture
    // runs on behind them without further work.
    QPalette palette = widget->palette();
    palette.setBrush(backgroundRoleOf(widget), QBrush(*picture));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    message(QtDebugMsg, QStringLiteral("Hintergrundbild von ") + widget->objectName() +
                            QStringLiteral(" gesetzt: ") + pictureName);
}

void ETAppearanceFactory::setFrameColors(const QColor &first, const QColor &second, const QColor &third,
                                         const QColor &menu, const QBrush &menuBrush)
{
    m_frameColor1 = first;
    m_frameColor2 = second;
    m_frameColor3 = third;
    m_menuColor = menu;
    m_menuBrush = menuBrush;
}

void ETAppearanceFactory::setFrameParameters(int first, int second, int third, bool firstFlag,
                                             bool secondFlag)
{
    m_frameParameter1 = first;
    m_frameParameter2 = second;
    m_frameParameter3 = third;
    m_frameFlag1 = firstFlag;
    m_frameFlag2 = secondFlag;
}
