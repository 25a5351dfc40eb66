#include "etfactorybuttons.h"

#include "etappearanceconfig.h"
#include "etappearancefactory.h"
#include "eticonset.h"
#include "etimageloader.h"
#include "etpushbutton.h"

#include <QHash>

namespace
{

// Every name asked for, with its icon set or null; kept for the run, so a
// button without picture costs one file lookup per process. Buttons hold
// copies, so the sets may go with the map at exit.
struct IconSets {
    ~IconSets() { qDeleteAll(sets); }
    QHash<QString, ETIconSet *> sets;
};

QHash<QString, ETIconSet *> &iconSets()
{
    static IconSets iconSets;
    return iconSets.sets;
}

} // namespace

ETFactoryButtons::ETFactoryButtons(QObject *parent) : QObject(parent) {}

ETIconSet *ETFactoryButtons::loadIcon(const QString &name)
{
    const QString path = name.contains(QLatin1Char('/')) ? name : QStringLiteral("buttons/") + name;
    return ETImageLoader::loadIconSet(path);
}

ETIconSet *ETFactoryButtons::iconSetFor(const QString &name)
{
    QHash<QString, ETIconSet *> &sets = iconSets();
    const auto known = sets.constFind(name);
    if (known != sets.constEnd())
        return known.value();
    ETIconSet *set = loadIcon(name);
    sets.insert(name, set);
    return set;
}

QPushButton *ETFactoryButtons::createButton(const QString &text, QWidget *parent, const QString &name,
                                            bool withToolTip)
{
    const ETIconSet *icons = iconSetFor(name);
    if (!icons) {
        auto *button = new QPushButton(text, parent);
        button->setObjectName(name);
        button->setAccessibleName(text);
        return button;
    }
    auto *button = new ETPushButton(parent, name);
    button->setIconSet(*icons);
    // The picture shows no word; a screen reader still reads the button's text.
    button->setAccessibleName(text);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    button->setFlat(ETAppearanceFactory::instance()->flatButtons());
    if (withToolTip && !text.isEmpty() && ETAppearanceConfig::instance()->buttonTooltips()) {
        // Wide pictures carry their own lettering and need no tool tip.
        const QSize size = icons->pixmap(ETIconSet::Small, ETIconSet::Active, ETIconSet::On).size();
        if (size.width() < 3 * size.height())
            button->setToolTip(text);
    }
    return button;
}
