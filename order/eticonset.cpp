#include "eticonset.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QVariant>

namespace
{
const char iconSetProperty[] = "etIconSet";
}
#include <QStyleOption>

ETIconSet::ETIconSet(const QPixmap &normal)
{
    setPixmap(normal, Automatic, Normal, Off);
}

int ETIconSet::slot(Mode mode, State state)
{
    return int(mode) * 2 + (state == On ? 1 : 0);
}

bool ETIconSet::isNull() const
{
    for (const QPixmap &p : m_pixmaps) {
        if (!p.isNull())
            return false;
    }
    return true;
}

void ETIconSet::setPixmap(const QPixmap &pixmap, Size, Mode mode, State state)
{
    m_pixmaps[slot(mode, state)] = pixmap;
}

bool ETIconSet::hasPixmap(Mode mode, State state) const
{
    return !m_pixmaps[slot(mode, state)].isNull();
}

QPixmap ETIconSet::pixmap(Size, Mode mode, State state) const
{
    const State other = state == On ? Off : On;
    if (hasPixmap(mode, state))
        return m_pixmaps[slot(mode, state)];
    if (hasPixmap(mode, other))
        return m_pixmaps[slot(mode, other)];
    QPixmap normal =
        hasPixmap(Normal, state) ? m_pixmaps[slot(Normal, state)] : m_pixmaps[slot(Normal, other)];
    if (mode != Disabled || normal.isNull())
        return normal;
    QStyle *style =
        qobject_cast<QApplication *>(QCoreApplication::instance()) ? QApplication::style() : nullptr;
    if (!style)
        return normal;
    QStyleOption option;
    option.palette = QApplication::palette();
    return style->generatedIconPixmap(QIcon::Disabled, normal, &option);
}

void ETIconSet::attachTo(QObject *button) const
{
    button->setProperty(iconSetProperty, QVariant::fromValue(*this));
}

ETIconSet ETIconSet::of(const QObject *button)
{
    if (!button)
        return ETIconSet();
    return button->property(iconSetProperty).value<ETIconSet>();
}
