#pragma once

#include "etcustomerhandlermaker.h"

// The wizard's customer field editors, made for the customer record's forms.
// The wizard factory registers the one instance (GUI thread).
class ETCustomerFieldEditors : public ETCustomerHandlerMaker
{
  public:
    static ETCustomerFieldEditors *instance();

    std::unique_ptr<ETCustomerWidgetHandler> lineEdit(ETCustomer *customer, const QString &key,
                                                      QWidget *page) override;
    std::unique_ptr<ETCustomerWidgetHandler> comboBox(ETCustomer *customer, const QString &key, QWidget *page,
                                                      const QStringList &items,
                                                      const QString &defaultText) override;
    std::unique_ptr<ETCustomerWidgetHandler> validUntil(ETCustomer *customer, const QString &key,
                                                        QWidget *page) override;
};
