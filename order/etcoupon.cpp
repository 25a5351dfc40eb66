#include "etcoupon.h"

#include "etsingleton.h"

#include <QtGlobal>

#include <cmath>
#include <limits>

ETCoupon *ETCoupon::instance()
{
    static ETSingleton<ETCoupon> coupon;
    return coupon.get([] { return new ETCoupon; });
}

ETCoupon::ETCoupon()
{
    m_name = QStringLiteral("coupon");
    for (const char *code : {"FC", "FM", "CC", "CM"})
        ETCoupon::setCouponPrice(QString::fromLatin1(code), 0, QStringLiteral("0"));
}

bool ETCoupon::isValid() const
{
    return price(0) != 0;
}

void ETCoupon::setCouponPrice(const QString &priceCode, int price, const QString &id)
{
    setPrice(0, priceCode, price, id);
    setPrice(1, priceCode, price, id);
}

int ETCoupon::priceCents(const QString &price)
{
    bool ok = false;
    const double value = price.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    // Rounded to the nearest cent; the six-digit step first absorbs the binary error of
    // prices such as 0.285, so that they round as written.
    const double cents = std::round(std::round(value * 100.0 * 1e6) / 1e6);
    return int(
        qBound(double(std::numeric_limits<int>::min()), cents, double(std::numeric_limits<int>::max())));
}
