#pragma once

#include <QMap>
#include <QPair>
#include <QString>

// Price table of one priced thing (a product or the transfer prices): price in cents and article
// identifier per price code and discount tier. A value class; copies share the entries until written.
class ETPriceInfo
{
  public:
    ETPriceInfo() = default;

    static QString priceCode(int submitMethod, int paymentType);
    static bool isCDCode(const QString &code);
    static int paymentKindOfCode(const QString &code);

    void setPrice(const QString &code, int tier, int price);
    void setPrice(int submitMethod, int paymentType, int tier, int price);
    void setTransferId(const QString &code, int tier, const QString &id);
    void setTransferId(int submitMethod, int paymentType, int tier, const QString &id);

    // -1 when the entry has no price.
    int rawPrice(int submitMethod, int paymentType, int tier) const;
    // The price to charge; -1 means there is no price, never a sum of money.
    int price(int submitMethod, int paymentType, int tier) const;
    QString transferId(int submitMethod, int paymentType, int tier) const;

    void removePrice(int submitMethod, int paymentType, int tier);
    void clear();
    bool checkTiers(int submitMethod, int paymentType, int highestTier) const;
    void dump() const;
    bool isEmpty() const { return m_entries.isEmpty(); }

  private:
    struct Entry {
        QString id;
        int price = -1;
    };
    using Key = QPair<QString, int>;

    static QString normalised(const QString &code);

    QMap<Key, Entry> m_entries;
};
