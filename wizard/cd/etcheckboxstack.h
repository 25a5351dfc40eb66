#pragma once

#include <QMap>
#include <QString>
#include <QWidget>

class ETStepCheckBox;
class QVBoxLayout;

// The steps of a CD-road run as read-only check boxes, one under the other:
// the running step has the focus, a finished one is ticked. Step numbers are
// the burner's action numbers (GUI thread).
class ETCheckBoxStack : public QWidget
{
    Q_OBJECT

  public:
    explicit ETCheckBoxStack(QWidget *parent = nullptr, const QString &name = QString());

    // Shows a box for each bit of the mask, lowest first; step 1 is always there.
    void setActions(unsigned int mask);
    // Null for a step without a box.
    ETStepCheckBox *box(unsigned int step) const { return m_boxes.value(step); }

  public slots:
    // Both ignore a step without a box.
    void beginAction(unsigned int step);
    void endAction(unsigned int step);

  private:
    QMap<unsigned int, QString> m_labels;
    QMap<unsigned int, ETStepCheckBox *> m_boxes;
    QVBoxLayout *m_layout;
};
