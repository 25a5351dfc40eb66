#include "etpriceinfo.h"

#include "paymenttype.h"
#include "submitmethod.h"

#include <QDebug>

QString ETPriceInfo::priceCode(int submitMethod, int paymentType)
{
    if (submitMethod == SubmitHardDisk)
        return QStringLiteral("FM");
    const QChar first = submitMethod == SubmitNet ? QLatin1Char('F') : QLatin1Char('C');
    const QChar second = paymentType == PaymentOutlet ? QLatin1Char('C') : QLatin1Char('M');
    return QString(first) + second;
}

bool ETPriceInfo::isCDCode(const QString &code)
{
    return code.startsWith(QLatin1Char('C'));
}

int ETPriceInfo::paymentKindOfCode(const QString &code)
{
    return code.endsWith(QLatin1Char('C')) ? PaymentOutlet : PaymentBill;
}

// Data files may say "O" (outlet upload) where the client means "F".
QString ETPriceInfo::normalised(const QString &code)
{
    if (code.startsWith(QLatin1Char('O')) && !code.isEmpty())
        return QStringLiteral("F") + code.right(1);
    return code;
}

void ETPriceInfo::setPrice(const QString &code, int tier, int price)
{
    m_entries[Key(normalised(code), tier)].price = price;
}

void ETPriceInfo::setPrice(int submitMethod, int paymentType, int tier, int price)
{
    setPrice(priceCode(submitMethod, paymentType), tier, price);
}

void ETPriceInfo::setTransferId(const QString &code, int tier, const QString &id)
{
    m_entries[Key(normalised(code), tier)].id = id;
}

void ETPriceInfo::setTransferId(int submitMethod, int paymentType, int tier, const QString &id)
{
    setTransferId(priceCode(submitMethod, paymentType), tier, id);
}

int ETPriceInfo::rawPrice(int submitMethod, int paymentType, int tier) const
{
    const auto it = m_entries.constFind(Key(priceCode(submitMethod, paymentType), tier));
    return it == m_entries.constEnd() ? -1 : it->price;
}

int ETPriceInfo::price(int submitMethod, int paymentType, int tier) const
{
    if (paymentType == PaymentUnknown)
        return qMax(rawPrice(submitMethod, PaymentOutlet, tier), rawPrice(submitMethod, PaymentBill, tier));
    if (paymentType == PaymentOutlet)
        return rawPrice(submitMethod, PaymentOutlet, tier);
    return rawPrice(submitMethod, PaymentBill, tier);
}

QString ETPriceInfo::transferId(int submitMethod, int paymentType, int tier) const
{
    const auto it = m_entries.constFind(Key(priceCode(submitMethod, paymentType), tier));
    return it == m_entries.constEnd() ? QString() : it->id;
}

void ETPriceInfo::removePrice(int submitMethod, int paymentType, int tier)
{
    m_entries.remove(Key(priceCode(submitMethod, paymentType), tier));
}

void ETPriceInfo::clear()
{
    m_entries.clear();
}

bool ETPriceInfo::checkTiers(int submitMethod, int paymentType, int highestTier) const
{
    int previous = 10000000;
    for (int tier = 0; tier <= highestTier; ++tier) {
        const int p = rawPrice(submitMethod, paymentType, tier);
        if (p == -1) {
            qDebug("Rabattstufe %d fehlt", tier);
            return false;
        }
        if (p > previous) {
            qDebug("Preis nicht monoton fallend");
            return false;
        }
        previous = p;
    }
    return true;
}

void ETPriceInfo::dump() const
{
    for (auto it = m_entries.constBegin(); it != m_entries.constEnd(); ++it) {
        qDebug().noquote() << QStringLiteral("ETPriceInfo::dump: tt=") + it.key().first +
                                  QStringLiteral(" id=") + it->id +
                                  QString::asprintf(" discount=%d price=%d", it.key().second, it->price);
    }
}
