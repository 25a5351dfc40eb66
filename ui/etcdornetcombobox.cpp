#include "etcdornetcombobox.h"

ETCDOrNetComboBox::ETCDOrNetComboBox(bool readWrite, QWidget *parent, const QString &name) : QComboBox(parent)
{
    setObjectName(name);
    setEditable(readWrite);
}

QString ETCDOrNetComboBox::readableText(SubmitMethod method)
{
    switch (method) {
    case SubmitNet:
        return tr("Bilder via Internet übertragen");
    case SubmitCD:
        return tr("Bilder auf CD brennen");
    case SubmitHardDisk:
        return tr("Bilder auf Festplatte zwischenlagern");
    }
    return QString();
}

void ETCDOrNetComboBox::setThisItem(const QString &text)
{
    const int index = findText(text, Qt::MatchFixedString);
    if (index >= 0)
        setCurrentIndex(index);
    emit activated(index);
}
