#pragma once

#include "etpriceinfo.h"

#include <QDomElement>

#include <array>

class ETListSource;

// Transfer prices of the whole order, the transfer levels (money thresholds) and the discount levels
// (minimum print counts) from "transferlist.xml". Singleton, GUI thread.
class ETTransferList
{
  public:
    static ETTransferList *instance();

    // Empty tables; fill them with readFile() or parse().
    ETTransferList();
    virtual ~ETTransferList() = default;
    ETTransferList(const ETTransferList &) = delete;
    ETTransferList &operator=(const ETTransferList &) = delete;

    // Merges a transfer-list file into the tables; a missing file changes nothing.
    void readFile(const QString &path);
    // Fetches the transfer prices from the server and merges them in; false when the fetch failed.
    bool reload(ETListSource *server);
    void parse(const QDomElement &root);

    int discountLevel(int prints) const;
    int transferLevel(int cents) const;
    int threshold(int level) const;
    int homogMin(int level) const;
    int maxTransferLevel() const;
    int maxDiscountLevel() const;
    bool thresholdsValid() const;
    bool homogMinValid() const;
    bool checkTransferTiers(int submitMethod, int paymentType) const;
    void report() const;

    const ETPriceInfo &prices() const { return m_prices; }
    ETPriceInfo &prices() { return m_prices; }

  private:
    using Table = std::array<int, 100>;
    static int scan(const Table &table, int value);
    static bool rising(const Table &table);

    ETPriceInfo m_prices;
    Table m_threshold{};
    Table m_homogMin{};
};
