#include "etcustomerwidgethandler.h"

#include "etcustomer.h"
#include "etorder.h"

#include <QDebug>
#include <QWidget>

namespace
{

// Values that never go to the debug output as they are.
bool isSecret(const QString &key)
{
    static const QStringList secrets = {QStringLiteral("password"),          QStringLiteral("passwordcheck"),
                                        QStringLiteral("securitya"),         QStringLiteral("account"),
                                        QStringLiteral("bankleitzahl"),      QStringLiteral("cardnumber"),
                                        QStringLiteral("cardvalidationcode")};
    return secrets.contains(key.toLower());
}

QString shown(const QString &key, const QString &value)
{
    return isSecret(key) && !value.isEmpty() ? QStringLiteral("****") : value;
}

} // namespace

ETCustomerWidgetHandler::ETCustomerWidgetHandler(ETCustomer *customer, const QString &key, QWidget *page)
    : m_customer(customer), m_key(key), m_page(page)
{
}

ETCustomerWidgetHandler::ETCustomerWidgetHandler(const QString &key, QWidget *page)
    : ETCustomerWidgetHandler(ETOrder::instance()->customer(), key, page)
{
}

QWidget *ETCustomerWidgetHandler::widget() const
{
    return m_page ? m_page->findChild<QWidget *>(m_key + QLatin1String("Edit")) : nullptr;
}

QString ETCustomerWidgetHandler::storedValue() const
{
    return m_customer ? m_customer->value(m_key) : QString();
}

bool ETCustomerWidgetHandler::isUnchanged()
{
    if (!widget())
        return true;
    const QString stored = storedValue();
    const QString edited = value();
    qDebug().noquote() << QStringLiteral("interner Wert") + shown(m_key, stored) + QStringLiteral(" Wert: ") +
                              shown(m_key, edited);
    return stored == edited;
}

void ETCustomerWidgetHandler::show()
{
    if (widget())
        showValue();
}

void ETCustomerWidgetHandler::writeBack()
{
    if (widget() && m_customer)
        m_customer->setValue(m_key, value());
}
