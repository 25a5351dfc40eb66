#include "etsecretmask.h"

#include <QRegularExpression>

QString maskSecrets(const QString &xml)
{
    static const QRegularExpression secret(QStringLiteral(
        "<(pwd|password|cc_number|cardnumber|cc_validation_code|cardvalidationcode)>[^<]+</\\1>"));
    QString masked = xml;
    masked.replace(secret, QStringLiteral("<\\1>****</\\1>"));
    return masked;
}
