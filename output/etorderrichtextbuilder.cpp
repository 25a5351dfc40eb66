#include "etorderrichtextbuilder.h"

#include "etapplicationconfig.h"
#include "etcoupon.h"
#include "etcurrencyconfig.h"
#include "etcustomer.h"
#include "etorder.h"
#include "etorderitem.h"
#include "ettransferlist.h"
#include "paymenttype.h"

#include <QDebug>
#include <QHash>
#include <QLocale>
#include <QStringList>

#include <limits>

namespace
{

// Customer and server texts go into markup: escaped, so a "<" in a street
// name stays a letter and no tag of theirs reaches the view.
QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString customerValue(const char *key)
{
    return escaped(ETOrder::instance()->customer()->value(QString::fromLatin1(key)));
}

} // namespace

ETOrderRichTextBuilder::ETOrderRichTextBuilder(QObject *parent) : ETOrderOutputBuilder(parent) {}

QString ETOrderRichTextBuilder::buildPayment()
{
    return tr("Bezahlung erfolgt per Rechnung");
}

QString ETOrderRichTextBuilder::buildCustomer()
{
    return QStringLiteral("<p>") + customerValue("firstname") + QLatin1Char(' ') + customerValue("lastname") +
           QStringLiteral("<br>") + customerValue("street") + QStringLiteral("<br>") + customerValue("zip") +
           QLatin1Char(' ') + customerValue("city") + QStringLiteral("<br>") + QStringLiteral("</p>\n");
}

QString ETOrderRichTextBuilder::buildProducts()
{
    QString text = tr("<tr><td><b>Anzahl der Bilder:</b></td><td>") + QLatin1Char('\n');

    // One line per product, in the order the products first appear.
    QStringList names;
    QHash<QString, int> amounts;
    ETOrder *order = ETOrder::instance();
    for (ETOrderItem *item : *order->orderItems()) {
        if (!item->isOrdered())
            continue;
        if (!amounts.contains(item->productName()))
            names.append(item->productName());
        amounts[item->productName()] += item->amount();
    }
    order->updateDiscountLevel();

    for (const QString &name : std::as_const(names)) {
        text += tr("%1 x %2", "Note: \"<amount> x <format>\" lines in order summary (internet order)")
                    .arg(QString::number(amounts.value(name)), escaped(name)) +
                QStringLiteral("<br>\n");
    }
    return text + QStringLiteral("</td></tr>\n");
}

QString ETOrderRichTextBuilder::buildDelivery()
{
    ETOrder *order = ETOrder::instance();
    const int submitMethod = int(order->submitMethod());
    const int paymentType = order->paymentType();
    // -1 is the transfer list's mark for "no price here"; it must not take a
    // cent off the order value.
    m_transferPrice = qMax(
        0, ETTransferList::instance()->prices().price(submitMethod, paymentType, order->transferLevel()));
    qDebug("Submit: %d, Payment %d, Preis: %d", submitMethod, paymentType, m_transferPrice);

    if (paymentType == PaymentOutlet)
        return tr("<tr><td><b>Liefer-/Abholadresse:</b> </td><td>") + order->storeText() +
               QStringLiteral("</td></tr>\n");

    return tr("<tr><td><b>Lieferadresse:</b> </td><td>") + order->customer()->addressRichText() +
           QStringLiteral("</td></tr>\n");
}

QString ETOrderRichTextBuilder::buildFooter()
{
    return QStringLiteral("</qt>");
}

QString ETOrderRichTextBuilder::buildOrderHeader()
{
    const QString delivery = buildDelivery();
    return buildTableStart(tr("Ihre Bestellung:")) + buildProducts() + buildAmounts() + delivery +
           buildTableEnd() + buildFooter();
}

QString ETOrderRichTextBuilder::buildHeader()
{
    const QString delivery = buildDelivery();
    return buildTableStart(tr("Auftragsbestätigung:")) + buildOrderNumber() + buildOrderDate() +
           buildProductRows() + buildAmounts() + delivery + buildThanks() + buildTableEnd() + buildFooter();
}

QString ETOrderRichTextBuilder::buildTableStart(const QString &title)
{
    QString text = QStringLiteral("<qt><table cellspacing=4 cellpadding=4><tr><td rowspan=10>"
                                  "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<br><br><br></td></tr>\n");
    if (!title.isEmpty())
        text += QStringLiteral("<tr><td><b><u>") + title + QStringLiteral("</u></b> </td><td></td></tr>");
    return text;
}

QString ETOrderRichTextBuilder::buildProductRows()
{
    return buildProducts();
}

QString ETOrderRichTextBuilder::buildTableEnd()
{
    return QStringLiteral("</table>");
}

QString ETOrderRichTextBuilder::buildThanks()
{
    const QString thanks =
        tr("Wir danken für Ihre Bestellung.", "Note: Translate as UNUSED to remove this text");
    if (thanks == QLatin1String("UNUSED"))
        return QString();
    return QStringLiteral("<tr><td colspan=2>") + thanks + QStringLiteral("</td></tr>");
}

QString ETOrderRichTextBuilder::buildAmounts()
{
    ETOrder *order = ETOrder::instance();
    ETCoupon *coupon = ETCoupon::instance();
    const int totalPrice = order->totalPrice();
    const qint64 orderValue = qint64(totalPrice) + m_transferPrice;
    const qint64 couponValue = coupon->price(0, int(order->submitMethod()), order->paymentType());
    const qint64 toPay = qMax<qint64>(0, orderValue + couponValue);
    // An order with a line that has no price (or beyond what a count of
    // cents holds) has no value to state; no amounts beat invented ones.
    constexpr qint64 most = std::numeric_limits<int>::max();
    if (totalPrice < 0 || orderValue > most || toPay > most)
        return QString();

    QString text = buildPriceRow(tr("Auftragswert:"), int(orderValue));
    if (coupon->isValid())
        text += buildPriceRow(tr("Gutschein:"), int(couponValue));
    return text + buildPriceRow(tr("Zu Zahlen:"), int(toPay));
}

QString ETOrderRichTextBuilder::buildOrderDate()
{
    return QStringLiteral("<tr><td><b>") + tr("Auftragsdatum:") + QStringLiteral("</b> </td><td>") +
           QLocale().toString(currentDateTime().date(), QLocale::ShortFormat) + QStringLiteral("</td></tr>");
}

QString ETOrderRichTextBuilder::buildOrderNumber()
{
    return QStringLiteral("<tr><td><b>") + tr("Auftragsnummer:") + QStringLiteral("</b> </td><td>") +
           customerValue("ord_id") + QStringLiteral("</td></tr>");
}

QString ETOrderRichTextBuilder::buildPriceRow(const QString &label, int cents)
{
    const ETCurrency *currency = ETCurrencyConfig::instance()->currency();
    const QString money = currency->formatPrice(cents);
    const QString symbol = QLatin1Char(' ') + currency->shortForm() + QLatin1Char(' ');
    const QString vat = tr("(inkl. Mwst.)");

    QString row = QStringLiteral("<tr><td><b>") + label + QStringLiteral("</b> </td>");
    // Great Britain writes the currency before the amount.
    if (ETApplicationConfig::instance()->country() == 7)
        row += QStringLiteral("<td>") + symbol + QLatin1Char(' ') + money + QLatin1Char(' ') + vat;
    else
        row += QStringLiteral("<td>") + money + QLatin1Char(' ') + symbol + vat;
    return row + QStringLiteral("</td></tr><br>\n");
}
