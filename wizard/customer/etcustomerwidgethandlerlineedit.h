#pragma once

#include "etcustomerwidgethandler.h"

// The editor of a text field: a line edit, password echo for the password
// keys, width and input pattern by key; it takes only text a request can
// carry (GUI thread).
class ETCustomerWidgetHandlerLineEdit : public ETCustomerWidgetHandler
{
    Q_OBJECT

  public:
    ETCustomerWidgetHandlerLineEdit(ETCustomer *customer, const QString &key, QWidget *page);
    ETCustomerWidgetHandlerLineEdit(const QString &key, QWidget *page);

    QWidget *createWidget(QObject *receiver) override;
    void showValue() override;
    // A must field is not empty (the password equals its repetition); a text
    // with a pattern matches it whole.
    bool check() override;
    QString value() override;

    // Width in digits, and the pattern (empty: none) of a key.
    static int widthInDigits(const QString &key);
    static QString pattern(const QString &key);
};
