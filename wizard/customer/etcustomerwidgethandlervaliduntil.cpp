#include "etcustomerwidgethandlervaliduntil.h"

#include "etvaliduntiledit.h"

ETCustomerWidgetHandlerValidUntil::ETCustomerWidgetHandlerValidUntil(ETCustomer *customer, const QString &key,
                                                                     QWidget *page)
    : ETCustomerWidgetHandler(customer, key, page)
{
}

QWidget *ETCustomerWidgetHandlerValidUntil::createWidget(QObject *)
{
    return new ETValidUntilEdit(page(), key() + QLatin1String("Edit"), 0, 0, true);
}

void ETCustomerWidgetHandlerValidUntil::showValue()
{
    if (auto *edit = qobject_cast<ETValidUntilEdit *>(widget()))
        edit->setText(storedValue());
}

QString ETCustomerWidgetHandlerValidUntil::value()
{
    auto *edit = qobject_cast<ETValidUntilEdit *>(widget());
    return edit ? edit->text() : QString();
}

bool ETCustomerWidgetHandlerValidUntil::check()
{
    auto *edit = qobject_cast<ETValidUntilEdit *>(widget());
    if (!edit)
        return true;
    return edit->year() >= 2001 && edit->month() >= 1 && edit->month() <= 12;
}
