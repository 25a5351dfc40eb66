#include "etpushbutton.h"

#include "etroundstyle.h"
#include "etsingleton.h"

#include <QHash>
#include <QList>

ETPushButton::ETPushButton(QWidget *parent, const QString &name) : QPushButton(parent)
{
    setObjectName(name);
}

void ETPushButton::setIconSet(const ETIconSet &iconSet)
{
    iconSet.attachTo(this);
    setIcon(iconOf(iconSet));
    setIconSize(iconSet.pixmap(ETIconSet::Small, ETIconSet::Normal, ETIconSet::Off).size());
    updateGeometry();
}

QIcon ETPushButton::iconOf(const ETIconSet &iconSet)
{
    // Every line of the basket has the same buttons: they share one icon of each picture set.
    static ETSingleton<QHash<QList<qint64>, QIcon>> icons;
    QHash<QList<qint64>, QIcon> &made = *icons.get([] { return new QHash<QList<qint64>, QIcon>; });
    QList<qint64> key;
    const ETIconSet::Mode allModes[] = {ETIconSet::Normal, ETIconSet::Disabled, ETIconSet::Active};
    for (ETIconSet::Mode mode : allModes) {
        for (ETIconSet::State state : {ETIconSet::Off, ETIconSet::On})
            key << (iconSet.hasPixmap(mode, state) ? iconSet.pixmap(ETIconSet::Small, mode, state).cacheKey()
                                                   : 0);
    }
    const auto known = made.constFind(key);
    if (known != made.constEnd())
        return known.value();
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
    made.insert(key, icon);
    return icon;
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
