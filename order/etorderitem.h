#pragma once

#include <QPixmap>
#include <QString>

class ETImage;

// One order line: a picture (possibly shared with other lines), a product name and an amount.
class ETOrderItem
{
  public:
    ETOrderItem(ETImage *image, const QString &productName, int amount);

    ETImage *image() const { return m_image; }
    QPixmap *thumbnail() const;
    int amount() const { return m_amount; }
    // Whether the line goes out with the order: at least one print of it.
    bool isOrdered() const { return m_amount > 0; }
    QString productName() const { return m_productName; }
    // Both recompute the order's prices (unless the order is in a batch change).
    void setAmount(int amount);
    void setProductName(const QString &name);

    // Unit price in cents at the order's tier, 0 for an unknown product, -1 when the product has no price
    // for the order's submit method, payment type and tier.
    int price() const;
    int quality() const;
    QString optimizedFileName() const;
    QString uploadFileName() const;
    QString resolvedProductName() const;
    QString productText1() const;
    QString productText2() const;
    QString productText3() const;

  private:
    ETImage *m_image;
    QString m_productName;
    int m_amount;
    int m_reserved = 0;
};
