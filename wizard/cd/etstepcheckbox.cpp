#include "etstepcheckbox.h"

#include <QKeyEvent>
#include <QMouseEvent>

ETStepCheckBox::ETStepCheckBox(const QString &text, QWidget *parent) : QCheckBox(text, parent) {}

void ETStepCheckBox::mousePressEvent(QMouseEvent *event)
{
    event->ignore();
}

void ETStepCheckBox::mouseReleaseEvent(QMouseEvent *event)
{
    event->ignore();
}

void ETStepCheckBox::keyPressEvent(QKeyEvent *event)
{
    // Ignored, so that the page and the wizard still get their keys.
    event->ignore();
}

void ETStepCheckBox::keyReleaseEvent(QKeyEvent *event)
{
    event->ignore();
}

void ETStepCheckBox::nextCheckState() {}
