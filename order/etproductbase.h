#pragma once

#include "etpriceinfo.h"

#include <QString>

// Something with prices by price code and tier: a print product or the order's coupon.
class ETProductBase
{
  public:
    ETProductBase();
    virtual ~ETProductBase();

    virtual int price(int tier, int submitMethod, int paymentType) const;
    // With the current order's submit method and payment type.
    virtual int price(int tier) const;
    virtual QString transferId(int tier, int submitMethod, int paymentType) const;
    virtual QString transferId(int tier) const;
    virtual void setPrice(int tier, const QString &code, int price, const QString &identifier);
    virtual void setPrice(int tier, int submitMethod, int paymentType, int price, const QString &identifier);
    virtual QString name() const;

    const ETPriceInfo &prices() const { return m_prices; }

  protected:
    ETPriceInfo m_prices;
    QString m_name;
};
