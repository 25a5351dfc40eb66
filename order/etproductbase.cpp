#include "etproductbase.h"

#include "etorder.h"

ETProductBase::ETProductBase() : m_name(QStringLiteral("ungültiges Produkt")) {}

ETProductBase::~ETProductBase() = default;

int ETProductBase::price(int tier, int submitMethod, int paymentType) const
{
    return m_prices.price(submitMethod, paymentType, tier);
}

int ETProductBase::price(int tier) const
{
    const ETOrder *order = ETOrder::instance();
    return price(tier, order->submitMethod(), order->paymentType());
}

QString ETProductBase::transferId(int tier, int submitMethod, int paymentType) const
{
    return m_prices.transferId(submitMethod, paymentType, tier);
}

QString ETProductBase::transferId(int tier) const
{
    const ETOrder *order = ETOrder::instance();
    return transferId(tier, order->submitMethod(), order->paymentType());
}

void ETProductBase::setPrice(int tier, const QString &code, int price, const QString &identifier)
{
    m_prices.setPrice(code, tier, price);
    m_prices.setTransferId(code, tier, identifier);
}

void ETProductBase::setPrice(int tier, int submitMethod, int paymentType, int price,
                             const QString &identifier)
{
    setPrice(tier, ETPriceInfo::priceCode(submitMethod, paymentType), price, identifier);
}

QString ETProductBase::name() const
{
    return m_name;
}
