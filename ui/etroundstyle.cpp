#include "etroundstyle.h"

#include "etappearanceconfig.h"
#include "eticonset.h"

#include <QApplication>
#include <QBitmap>
#include <QEvent>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <memory>

ETRoundStyle::ETRoundStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

ETRoundStyle *ETRoundStyle::instance()
{
    static ETRoundStyle *style = new ETRoundStyle;
    return style;
}

void ETRoundStyle::polish(QApplication *application)
{
    QProxyStyle::polish(application);
    QPalette palette = QApplication::palette();
    const ETAppearanceConfig *config = ETAppearanceConfig::instance();
    if (std::unique_ptr<QColor> panel{config->colorForArea(QStringLiteral("dialogPanel"))})
        palette.setColor(QPalette::All, QPalette::Window, *panel);
    if (std::unique_ptr<QColor> buttons{config->colorForArea(QStringLiteral("dialogButtons"))})
        palette.setColor(QPalette::All, QPalette::Button, *buttons);
    QApplication::setPalette(palette);
}

void ETRoundStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (!widget->isWindow() && widget->inherits("QFrame")) {
        widget->installEventFilter(this);
        updateMask(widget);
    }
}

void ETRoundStyle::unpolish(QWidget *widget)
{
    if (!widget->isWindow() && widget->inherits("QFrame")) {
        widget->removeEventFilter(this);
        widget->clearMask();
    }
    QProxyStyle::unpolish(widget);
}

// Qt 6 has no automatic masks: the mask is made from what the frame draws
// whenever its size changes.
void ETRoundStyle::updateMask(QWidget *widget)
{
    // Rendering may deliver the frame's pending resize, which lands here.
    static bool updating = false;
    if (updating || widget->size().isEmpty())
        return;
    const QScopedValueRollback<bool> guard(updating, true);
    QImage shape(widget->size(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    widget->render(&shape, QPoint(), QRegion(), QWidget::DrawChildren);
    widget->setMask(QBitmap::fromImage(shape.createAlphaMask()));
}

bool ETRoundStyle::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched->isWidgetType())
        updateMask(static_cast<QWidget *>(watched));
    return QProxyStyle::eventFilter(watched, event);
}

void ETRoundStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    if (element == CE_Splitter) {
        const QRect rect = option->rect;
        painter->fillRect(rect, option->palette.brush(QPalette::Window).color());
        const int r = rect.width() / 2;
        const QPoint centre = rect.center();
        painter->save();
        painter->setPen(option->palette.color(QPalette::Shadow));
        painter->setBrush(option->palette.color(QPalette::WindowText));
        painter->drawChord(QRect(centre.x() - r + 1, centre.y() - r + 1, 2 * r, 2 * r), 0, 5760);
        painter->restore();
        return;
    }
    const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
    if (element == CE_PushButton && button && (button->features & QStyleOptionButton::Flat)) {
        // The Windows style would lay the label out inside its own frame,
        // past this style's contents rectangle.
        proxy()->drawControl(CE_PushButtonBevel, button, painter, widget);
        QStyleOptionButton label = *button;
        label.rect = subElementRect(SE_PushButtonContents, button, widget);
        proxy()->drawControl(CE_PushButtonLabel, &label, painter, widget);
        if (button->state & State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(*button);
            focus.rect = QProxyStyle::subElementRect(SE_PushButtonFocusRect, button, widget);
            proxy()->drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
        }
        return;
    }
    if (element == CE_PushButtonLabel && button && (button->features & QStyleOptionButton::Flat)) {
        const ETIconSet icons = ETIconSet::of(widget);
        if (!icons.isNull()) {
            ETIconSet::Mode mode = ETIconSet::Normal;
            if (!(button->state & State_Enabled))
                mode = ETIconSet::Disabled;
            else if (button->state & State_HasFocus)
                mode = ETIconSet::Active;
            const auto *push = qobject_cast<const QPushButton *>(widget);
            const bool on = push && push->isCheckable() && push->isChecked();
            painter->drawPixmap(button->rect.topLeft(),
                                icons.pixmap(ETIconSet::Small, mode, on ? ETIconSet::On : ETIconSet::Off));
        }
        drawItemText(painter, button->rect, Qt::AlignCenter | Qt::TextShowMnemonic, button->palette,
                     button->state & State_Enabled, button->text, QPalette::ButtonText);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

QRect ETRoundStyle::subElementRect(SubElement element, const QStyleOption *option,
                                   const QWidget *widget) const
{
    if (element == SE_PushButtonContents)
        return widget ? widget->rect() : option->rect;
    return QProxyStyle::subElementRect(element, option, widget);
}
