#include "etcoupon.h"

#include "etsingleton.h"

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
