#include "etcheckboxstack.h"

#include "etstepcheckbox.h"

#include <QVBoxLayout>

ETCheckBoxStack::ETCheckBoxStack(QWidget *parent, const QString &name)
    : QWidget(parent), m_layout(new QVBoxLayout(this))
{
    setObjectName(name);
    m_labels.insert(1, tr("Daten zusammenstellen"));
    m_labels.insert(2, tr("Image erzeugen"));
    m_labels.insert(4, tr("Laser kalibrieren"));
    m_labels.insert(16, tr("Daten auf CD schreiben"));
    m_labels.insert(32, tr("Session schliessen"));
    m_labels.insert(64, tr("CD finalisieren"));
    m_layout->setContentsMargins(0, 0, 0, 0);
}

void ETCheckBoxStack::setActions(unsigned int mask)
{
    mask |= 1;
    m_boxes.clear();
    for (unsigned int bit = 0; bit < 32; ++bit) {
        const unsigned int step = 1u << bit;
        if (!(mask & step))
            continue;
        auto *box = new ETStepCheckBox(m_labels.value(step), this);
        // A step without label shows no text, but a screen reader still names it.
        if (box->text().isEmpty())
            box->setAccessibleName(tr("Schritt %1").arg(step));
        box->setChecked(false);
        m_layout->addWidget(box);
        m_boxes.insert(step, box);
    }
}

void ETCheckBoxStack::beginAction(unsigned int step)
{
    if (ETStepCheckBox *box = m_boxes.value(step))
        box->setFocus();
}

void ETCheckBoxStack::endAction(unsigned int step)
{
    if (ETStepCheckBox *box = m_boxes.value(step))
        box->setChecked(true);
}
