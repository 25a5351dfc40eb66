#include "etnumberofitemslabel.h"

ETNumberOfItemsLabel::ETNumberOfItemsLabel(QWidget *parent, const QString &name, Qt::WindowFlags flags)
    : QLabel(parent, flags)
{
    setObjectName(name);
}

void ETNumberOfItemsLabel::setNumberOfItems(int count, int countSelected)
{
    setText(tr(" Anzahl Bilder: %1, Ausgewählt: %2").arg(count).arg(countSelected));
}
