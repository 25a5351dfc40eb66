#include "etcustomerfieldeditors.h"

#include "etcustomerwidgethandlercombobox.h"
#include "etcustomerwidgethandlerlineedit.h"
#include "etcustomerwidgethandlervaliduntil.h"

ETCustomerFieldEditors *ETCustomerFieldEditors::instance()
{
    static ETCustomerFieldEditors editors;
    return &editors;
}

std::unique_ptr<ETCustomerWidgetHandler> ETCustomerFieldEditors::lineEdit(ETCustomer *customer,
                                                                          const QString &key, QWidget *page)
{
    return std::make_unique<ETCustomerWidgetHandlerLineEdit>(customer, key, page);
}

std::unique_ptr<ETCustomerWidgetHandler> ETCustomerFieldEditors::comboBox(ETCustomer *customer,
                                                                          const QString &key, QWidget *page,
                                                                          const QStringList &items,
                                                                          const QString &defaultText)
{
    return std::make_unique<ETCustomerWidgetHandlerComboBox>(customer, key, page, items, defaultText);
}

std::unique_ptr<ETCustomerWidgetHandler> ETCustomerFieldEditors::validUntil(ETCustomer *customer,
                                                                            const QString &key, QWidget *page)
{
    return std::make_unique<ETCustomerWidgetHandlerValidUntil>(customer, key, page);
}
