#include "ettransferconfig.h"

#include "etapplicationconfig.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <QDebug>

ETTransferConfig *ETTransferConfig::instance()
{
    static ETTransferConfig *config = new ETTransferConfig();
    return config;
}

ETTransferConfig::ETTransferConfig() : ETXMLConfig(QStringLiteral("payment.xml"), true)
{
    m_paymentNames.insert(PaymentUnknown, QStringLiteral("unknown"));
    m_paymentNames.insert(PaymentOutlet, QStringLiteral("outlet"));
    m_paymentNames.insert(PaymentCreditCard, QStringLiteral("creditcard"));
    m_paymentNames.insert(PaymentDebit, QStringLiteral("debit"));
    m_paymentNames.insert(PaymentBill, QStringLiteral("bill"));
    m_submitNames.insert(SubmitNet, QStringLiteral("net"));
    m_submitNames.insert(SubmitCD, QStringLiteral("CD"));
    m_submitNames.insert(SubmitHardDisk, QStringLiteral("asynchron"));

    if (!anyPaidMethod() && !anyOutletMethod())
        qDebug("Keine Zahlungsmethoden konfiguriert! Das Programm kann nicht starten!");
}

QString ETTransferConfig::text(int paymentType) const
{
    return m_paymentNames.value(paymentType);
}

QString ETTransferConfig::text2(int submitMethod) const
{
    return m_submitNames.value(submitMethod);
}

QDomNode ETTransferConfig::uploadEntry(int submitMethod)
{
    return findByAttribute(node(QStringLiteral("payments")), QStringLiteral("upload"), text2(submitMethod));
}

bool ETTransferConfig::isAllowed(int submitMethod, int paymentType)
{
    // Protocol 1.4 servers take no card or debit payments.
    if ((paymentType == PaymentCreditCard || paymentType == PaymentDebit) &&
        ETApplicationConfig::instance()->protocol().left(3) == QLatin1String("1.4"))
        return false;
    const QDomNode entry = uploadEntry(submitMethod);
    if (entry.isNull())
        return false;
    return containsText(entry, text(paymentType));
}

bool ETTransferConfig::isAllowedAnyKind(int submitMethod)
{
    return isAllowed(submitMethod, PaymentBill) || isAllowed(submitMethod, PaymentCreditCard) ||
           isAllowed(submitMethod, PaymentDebit);
}

bool ETTransferConfig::isAllowedForKind0(int submitMethod)
{
    return isAllowed(submitMethod, PaymentOutlet);
}

bool ETTransferConfig::isAllowedBoth(int submitMethod)
{
    return isAllowedAnyKind(submitMethod) && isAllowedForKind0(submitMethod);
}

bool ETTransferConfig::anyPaidMethod()
{
    return isAllowedAnyKind(SubmitNet) || isAllowedAnyKind(SubmitCD) || isAllowedAnyKind(SubmitHardDisk);
}

bool ETTransferConfig::anyOutletMethod()
{
    return isAllowedForKind0(SubmitNet) || isAllowedForKind0(SubmitCD) || isAllowedForKind0(SubmitHardDisk);
}

bool ETTransferConfig::hasPaymentChoice(int submitMethod)
{
    const QDomNode entry = uploadEntry(submitMethod);
    return !entry.isNull() && childCount(entry) > 1;
}

bool ETTransferConfig::hasSeveralUploads()
{
    return childCount(node(QStringLiteral("payments"))) > 1;
}
