#pragma once

#include "etproductbase.h"

class ETImage;

// One print format of the product list: prices, print size and the resolution its pictures need.
class ETProduct : public ETProductBase
{
  public:
    ETProduct();
    // From a product-list entry: sizes in millimetres (0: taken from the name), resolution in dots per mm.
    ETProduct(const QString &identifier, int price, const QString &name, int widthMm, int heightMm,
              int dotsPerMm, const QString &specialProductId, const QString &specialSize,
              const QString &specialType);
    // Sides in inches (used when the name holds no "AxB" in centimetres), resolution in dots per inch.
    ETProduct(const QString &identifier, int price, const QString &name, const QString &specialProductId,
              const QString &specialSize, const QString &specialType, float sideA, float sideB,
              int resolution);

    virtual int resolution() const { return m_resolution; }
    virtual float heightInches() const { return m_heightInches; }
    virtual float widthInches() const { return m_widthInches; }

    // 0..4: how well the picture's pixel count suits this print size.
    int quality(ETImage *image) const;
    int quality(int pixelWidth, int pixelHeight) const;
    int widthPixels() const;
    int heightPixels() const;
    QString specialProductId() const { return m_specialProductId; }
    QString specialSize() const { return m_specialSize; }
    QString specialType() const { return m_specialType; }

    void dump() const;
    void check() const;

  private:
    void setDefaultPrices(const QString &identifier, int price);

    QString m_specialProductId;
    QString m_specialSize;
    QString m_specialType;
    float m_heightInches = 0;
    float m_widthInches = 0;
    int m_resolution = 0;
};
