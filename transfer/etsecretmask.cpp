#include "etsecretmask.h"

#include <QRegularExpression>

QString maskSecrets(const QString &xml)
{
    // Wire names and the customer record's own keys alike.
    static const QRegularExpression secret(QStringLiteral(
        "<(pwd|password|cc_number|cardnumber|cc_validation_code|cardvalidationcode|sec_answer|securityA|"
        "debit_account_number|account|debit_bankcode|bankleitzahl)>[^<]+</\\1>"));
    QString masked = xml;
    masked.replace(secret, QStringLiteral("<\\1>****</\\1>"));
    return masked;
}
