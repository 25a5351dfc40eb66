#include "etwebcheckbox.h"

namespace
{

QList<ETWebCheckBox *> &allBoxes()
{
    static QList<ETWebCheckBox *> list;
    return list;
}

QList<ETWebCheckBox *> &masterBoxes()
{
    static QList<ETWebCheckBox *> list;
    return list;
}

} // namespace

ETWebCheckBox::ETWebCheckBox(QWidget *parent, const QString &name, bool master)
    : QCheckBox(parent), m_master(master)
{
    setObjectName(name);
    for (ETWebCheckBox *other : std::as_const(masterBoxes()))
        connect(other, &QAbstractButton::toggled, this, &ETWebCheckBox::toggledByMaster);
    if (master) {
        for (ETWebCheckBox *other : std::as_const(allBoxes()))
            connect(this, &QAbstractButton::toggled, other, &ETWebCheckBox::toggledByMaster);
        masterBoxes().append(this);
    }
    allBoxes().append(this);
}

ETWebCheckBox::~ETWebCheckBox()
{
    allBoxes().removeAll(this);
    masterBoxes().removeAll(this);
}

QList<ETWebCheckBox *> ETWebCheckBox::boxes()
{
    return allBoxes();
}

QList<ETWebCheckBox *> ETWebCheckBox::masters()
{
    return masterBoxes();
}

void ETWebCheckBox::setEnabled(bool on)
{
    QCheckBox::setEnabled(on);
}

void ETWebCheckBox::toggledByMaster(bool on)
{
    setChecked(on);
}
