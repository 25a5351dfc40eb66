#pragma once

#include "etxmlconfig.h"

#include <QMap>
#include <QString>

// Which payment methods the dealer accepts for each way of submitting an order (payment.xml).
class ETTransferConfig : public ETXMLConfig
{
    Q_OBJECT

  public:
    static ETTransferConfig *instance();

    bool isAllowed(int submitMethod, int paymentType);
    bool isAllowedAnyKind(int submitMethod);
    bool isAllowedForKind0(int submitMethod);
    bool isAllowedBoth(int submitMethod);
    bool anyPaidMethod();
    bool anyOutletMethod();
    bool hasPaymentChoice(int submitMethod);
    bool hasSeveralUploads();

    // The words of payment.xml; empty for a number outside the tables.
    QString text(int paymentType) const;
    QString text2(int submitMethod) const;

  private:
    ETTransferConfig();

    QDomNode uploadEntry(int submitMethod);

    QMap<int, QString> m_paymentNames;
    QMap<int, QString> m_submitNames;
};
