#include "etorderoutputbuilder.h"

namespace
{

QDateTime fixedDateTime;

} // namespace

ETOrderOutputBuilder::ETOrderOutputBuilder(QObject *parent) : QObject(parent) {}

QString ETOrderOutputBuilder::buildMain()
{
    return QString();
}

QString ETOrderOutputBuilder::buildPayment()
{
    return QString();
}

QString ETOrderOutputBuilder::buildDelivery()
{
    return QString();
}

QString ETOrderOutputBuilder::buildFooter()
{
    return QString();
}

QString ETOrderOutputBuilder::build()
{
    // Delivery before products: a subclass may keep what the delivery section
    // found for the sections computed after it.
    const QString footer = buildFooter();
    const QString delivery = buildDelivery();
    const QString products = buildProducts();
    const QString payment = buildPayment();
    const QString customer = buildCustomer();
    const QString main = buildMain();
    return main + customer + payment + products + delivery + footer;
}

void ETOrderOutputBuilder::setCurrentDateTimeForTests(const QDateTime &fixed)
{
    fixedDateTime = fixed;
}

QDateTime ETOrderOutputBuilder::currentDateTime()
{
    return fixedDateTime.isValid() ? fixedDateTime : QDateTime::currentDateTime();
}
