#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class ETCustomer;
class ETCustomerWidgetHandler;
class QWidget;

// Makes the three kinds of customer field editor. The customer record picks
// the kind for each key; the wizard, whose widgets the editors are, makes
// them and registers itself with ETCustomer::setHandlerMaker (GUI thread).
class ETCustomerHandlerMaker
{
  public:
    virtual ~ETCustomerHandlerMaker() = default;

    virtual std::unique_ptr<ETCustomerWidgetHandler> lineEdit(ETCustomer *customer, const QString &key,
                                                              QWidget *page) = 0;
    // defaultText is selected when the box is made; empty: none.
    virtual std::unique_ptr<ETCustomerWidgetHandler> comboBox(ETCustomer *customer, const QString &key,
                                                              QWidget *page, const QStringList &items,
                                                              const QString &defaultText) = 0;
    // A month and year (MM/YY).
    virtual std::unique_ptr<ETCustomerWidgetHandler> validUntil(ETCustomer *customer, const QString &key,
                                                                QWidget *page) = 0;
};
