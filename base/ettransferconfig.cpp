#include "ettransferconfig.h"

#include "etapplicationconfig.h"

#include <QDebug>

ETTransferConfig *ETTransferConfig::instance()
{
    static ETTransferConfig *config = new ETTransferConfig();
    return config;
}

ETTransferConfig::ETTransferConfig() : ETXMLConfig(QStringLiteral("payment.xml"), true)
{
    m_paymentNames.insert(-1, QStringLiteral("unknown"));
    m_paymentNames.insert(0, QStringLiteral("outlet"));
    m_paymentNames.insert(1, QStringLiteral("creditcard"));
    m_paymentNames.insert(2, QStringLiteral("debit"));
    m_paymentNames.insert(3, QStringLiteral("bill"));
    m_submitNames.insert(0, QStringLiteral("net"));
    m_submitNames.insert(1, QStringLiteral("CD"));
    m_submitNames.insert(2, QStringLiteral("asynchron"));

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
    if ((paymentType == 1 || paymentType == 2) &&
        ETApplicationConfig::instance()->protocol().left(3) == QLatin1String("1.4"))
        return false;
    const QDomNode entry = uploadEntry(submitMethod);
    if (entry.isNull())
        return false;
    return containsText(entry, text(paymentType));
}

bool ETTransferConfig::isAllowedAnyKind(int submitMethod)
{
    return isAllowed(submitMethod, 3) || isAllowed(submitMethod, 1) || isAllowed(submitMethod, 2);
}

bool ETTransferConfig::isAllowedForKind0(int submitMethod)
{
    return isAllowed(submitMethod, 0);
}

bool ETTransferConfig::isAllowedBoth(int submitMethod)
{
    return isAllowedAnyKind(submitMethod) && isAllowedForKind0(submitMethod);
}

bool ETTransferConfig::anyPaidMethod()
{
    return isAllowedAnyKind(0) || isAllowedAnyKind(1) || isAllowedAnyKind(2);
}

bool ETTransferConfig::anyOutletMethod()
{
    return isAllowedForKind0(0) || isAllowedForKind0(1) || isAllowedForKind0(2);
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
