#pragma once

#include <QLineEdit>

// The line edit of the forms: reports text changes to the wizard's integrity
// check and can be sized in digits.
class ETLineEdit : public QLineEdit
{
    Q_OBJECT

  public:
    // Connects to the receiver's checkIntegrity(const QString &) only when the
    // receiver is the order wizard or a wizard screen that has that slot.
    explicit ETLineEdit(QWidget *parent = nullptr, const QString &name = QString(),
                        QObject *receiver = nullptr);
    // Connects to any receiver that has the slot.
    ETLineEdit(const QString &text, QWidget *parent, const QString &name = QString(),
               QObject *receiver = nullptr);

    // Fixes the width to digits nines plus the frame and a small margin.
    void setWidthInDigits(int digits);

  public slots:
    // Empties the edit when a coupled edit got some text.
    virtual void specialClear(const QString &text);

  private:
    void connectIntegrityCheck(QObject *receiver);
};
