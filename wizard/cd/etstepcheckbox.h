#pragma once

#include <QCheckBox>

class QKeyEvent;
class QMouseEvent;

// One step of the burn page's step list: the program ticks it, the customer
// cannot, neither with the mouse nor with the keyboard. It still takes the
// focus, whose frame marks the running step.
class ETStepCheckBox : public QCheckBox
{
  public:
    ETStepCheckBox(const QString &text, QWidget *parent);

  protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    // A click from anywhere else (an accessibility action) changes nothing either.
    void nextCheckState() override;
};
