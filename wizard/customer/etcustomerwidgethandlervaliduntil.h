#pragma once

#include "etcustomerwidgethandler.h"

// The editor of the card's validity: month and year, stored as MM/YY (GUI thread).
class ETCustomerWidgetHandlerValidUntil : public ETCustomerWidgetHandler
{
    Q_OBJECT

  public:
    ETCustomerWidgetHandlerValidUntil(ETCustomer *customer, const QString &key, QWidget *page);

    // From this year on; the receiver is not used.
    QWidget *createWidget(QObject *receiver) override;
    void showValue() override;
    // A month 1 to 12 of a year from 2001.
    bool check() override;
    QString value() override;
};
