#include "etpushbutton.h"

#include "etroundstyle.h"

#include <QIcon>

ETPushButton::ETPushButton(QWidget *parent, const QString &name) : QPushButton(parent)
{
    setObjectName(name);
}

void ETPushButton::setIconSet(const ETIconSet &iconSet)
{
    iconSet.attachTo(this);
    // A button that is not flat is drawn by Qt from its QIcon; at the
    // picture's own size it shows the picture unscaled.
    QIcon icon;
    const ETIconSet::Mode modes[] = {ETIconSet::Normal, ETIconSet::Disabled, ETIconSet::Active};
    const ETIconSet::State states[] = {ETIconSet::Off, ETIconSet::On};
    for (ETIconSet::Mode mode : modes) {
        for (ETIconSet::State state : states) {
            if (iconSet.hasPixmap(mode, state)) {
                icon.addPixmap(iconSet.pixmap(ETIconSet::Small, mode, state),
                               QIcon::Mode(mode == ETIconSet::Normal     ? QIcon::Normal
                                           : mode == ETIconSet::Disabled ? QIcon::Disabled
                                                                         : QIcon::Active),
                               state == ETIconSet::On ? QIcon::On : QIcon::Off);
            }
        }
    }
    setIcon(icon);
    setIconSize(iconSet.pixmap(ETIconSet::Small, ETIconSet::Normal, ETIconSet::Off).size());
    updateGeometry();
}

ETIconSet ETPushButton::iconSet() const
{
    return ETIconSet::of(this);
}

QSize ETPushButton::sizeHint() const
{
    const ETIconSet icons = iconSet();
    if (!icons.isNull())
        return icons.pixmap(ETIconSet::Small, ETIconSet::Normal, ETIconSet::Off).size();
    return QPushButton::sizeHint();
}

void ETPushButton::setFlat(bool flat)
{
    QPushButton::setFlat(flat);
    if (flat)
        setStyle(ETRoundStyle::instance());
}
