#pragma once

#include "etproductbase.h"

// The order's one coupon: the code the server accepted and its prices. Singleton, GUI thread.
class ETCoupon : public ETProductBase
{
  public:
    static ETCoupon *instance();

    // Price 0 and identifier "0" at tiers 0 and 1 of every price code.
    ETCoupon();

    // True when the coupon costs something for the order's submit method and payment type.
    bool isValid() const;
    void setCouponId(const QString &id) { m_couponId = id; }
    QString couponId() const { return m_couponId; }

    // Price and identifier of one price code, at tiers 0 and 1.
    virtual void setCouponPrice(const QString &priceCode, int price, const QString &id);

    // Whole cents of a price text of the server, rounded to the nearest cent (0 when it is no number).
    static int priceCents(const QString &price);

  private:
    QString m_couponId;
};
