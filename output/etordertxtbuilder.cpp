#include "etordertxtbuilder.h"

#include "etapplicationconfig.h"
#include "etcustomer.h"
#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etproductlist.h"
#include "etwindows1252.h"
#include "etxmlbuilder.h"

#include "etfileutils.h"
#include "paymenttype.h"

namespace
{

// A value is one line of the file: a line break inside it would start a line
// of its own that the lab reads as a key. Control characters the lab cannot
// read either (a vertical tab, a NUL) are replaced as in the request documents.
QString field(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return ETXMLBuilder::carriableText(value);
}

QString customerValue(const QString &key)
{
    return field(ETOrder::instance()->customer()->value(key));
}

QString line(const QString &text)
{
    return text + QLatin1Char('\n');
}

QString keyLine(const char *key, const QString &value)
{
    return QString::fromLatin1(key) + QLatin1Char('=') + value + QLatin1Char('\n');
}

// Written only when the customer gave a value.
QString keyLineIfSet(const char *key, const char *customerKey)
{
    const QString value = customerValue(QString::fromLatin1(customerKey));
    return value.isEmpty() ? QString() : keyLine(key, value);
}

} // namespace

ETOrderTxtBuilder::ETOrderTxtBuilder(QObject *parent) : ETOrderOutputBuilder(parent) {}

QString ETOrderTxtBuilder::buildMain()
{
    ETApplicationConfig *config = ETApplicationConfig::instance();
    const QString version = ETApplicationConfig::versionNumber();
    const QString softwareId = ETApplicationConfig::softwareCode() + QLatin1Char('.') + version.mid(0, 2) +
                               QLatin1Char('.') + version.mid(3, 2);

    return line(QStringLiteral("[MAIN]")) + line(QStringLiteral("CUSTOMERID=CC")) +
           keyLine("SOFTWAREID", softwareId) + keyLine("LANGUAGE", field(config->language())) +
           keyLine("ORDERID", QString()) +
           keyLine("DATETIME", currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"))) +
           keyLine("IP", QString()) + keyLine("KEYACC_ID", field(config->keyAccount())) + line(QString());
}

QString ETOrderTxtBuilder::buildPayment()
{
    return line(QStringLiteral("[PAYMENT]")) + line(QStringLiteral("METHOD=RE")) +
           line(QStringLiteral("STATUS=00")) + line(QString());
}

QString ETOrderTxtBuilder::buildCustomer()
{
    return line(QStringLiteral("[CUSTOMER]")) + line(QStringLiteral("(CUSTOMERA)")) +
           line(QStringLiteral("DELIVERY=10")) + keyLineIfSet("TITLE", "salutation") +
           keyLine("NAME", customerValue(QStringLiteral("lastname"))) +
           keyLine("SURNAME", customerValue(QStringLiteral("firstname"))) + keyLineIfSet("PHONE", "phone") +
           keyLineIfSet("FAX", "fax") + keyLineIfSet("EMAIL", "email") +
           keyLine("STREET", customerValue(QStringLiteral("street"))) +
           keyLine("ZIP", customerValue(QStringLiteral("zip"))) +
           keyLine("CITY", customerValue(QStringLiteral("city"))) +
           keyLine("COUNTRY", customerValue(QStringLiteral("country"))) +
           optionalLine(QStringLiteral("title"), QStringLiteral("TITLE")) +
           optionalLine(QStringLiteral("city_part"), QStringLiteral("CITYPART")) +
           optionalLine(QStringLiteral("company_name"), QStringLiteral("COMPANYNAME")) +
           optionalLine(QStringLiteral("state_province"), QStringLiteral("STATEPROVINCE")) + line(QString());
}

QString ETOrderTxtBuilder::buildProducts()
{
    ETOrder *order = ETOrder::instance();
    // The lab's codes: 0 for an order on bill, 3 for every other payment.
    QString text =
        line(QStringLiteral("[PRODUCT]")) + line(QStringLiteral("[CUSTSHIP]")) +
        keyLine("METHOD", order->paymentType() == PaymentBill ? QStringLiteral("0") : QStringLiteral("3"));
    for (ETOrderItem *item : *order->orderItems())
        text += buildOneProduct(item);
    return text + line(QString());
}

QString ETOrderTxtBuilder::buildDelivery()
{
    return QString();
}

QString ETOrderTxtBuilder::buildFooter()
{
    return QString();
}

QString ETOrderTxtBuilder::buildOneProduct(ETOrderItem *item)
{
    if (!item->isOrdered())
        return QString();

    ETProductList *products = ETProductList::instance();
    const QString name = item->productName();
    const QString productId = field(products->specialProductId(name));

    QString text;
    if (productId.isEmpty())
        text = line(QLatin1Char('[') + field(name) + QLatin1Char(']'));
    else if (productId.startsWith(QLatin1Char('[')))
        text = line(productId);
    else
        text = line(QLatin1Char('[') + productId + QLatin1Char(']'));

    if (!productId.isEmpty()) {
        const QString size = field(products->specialSize(name));
        const QString type = field(products->specialType(name));
        if (!size.isEmpty())
            text += keyLine("SIZE", size);
        if (!type.isEmpty())
            text += keyLine("TYPE", type);
    }
    return text + keyLine("QTY", QString::number(item->amount())) + line(QStringLiteral("OPTIMIZE=1")) +
           keyLine("FILE", field(item->uploadFileName())) +
           keyLine("ORGFILE", field(item->image()->metaData()->fileName()));
}

QString ETOrderTxtBuilder::optionalLine(const QString &key, const QString &tag) const
{
    const QString value = customerValue(key);
    return value.isEmpty() ? QString() : tag + QLatin1Char('=') + value + QLatin1Char('\n');
}

QByteArray ETOrderTxtBuilder::fileContent(const QString &text)
{
    QString windowsText = text;
    windowsText.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return ETWindows1252::fromUnicode(windowsText);
}

bool ETOrderTxtBuilder::writeFile(const QString &fileName)
{
    const QString text = build();
    qDebug().noquote() << text;

    // All or nothing: the lab must never get half an order file.
    return writeFileAtomically(fileName, fileContent(text));
}
