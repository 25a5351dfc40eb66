#pragma once

#include <QList>
#include <QStringList>

class ETStore;

// Ordered list of the stores found by the latest store search; owns its stores.
class ETStoreList
{
  public:
    ETStoreList() = default;
    ~ETStoreList();
    ETStoreList(const ETStoreList &) = delete;
    ETStoreList &operator=(const ETStoreList &) = delete;

    QStringList names() const;
    // The labels of the first count stores, of all of them when count is negative.
    QStringList names(int count) const;
    ETStore *storeByLabel(const QString &text) const;
    int idByLabel(const QString &text) const;

    void clear();
    void append(ETStore *store);
    int count() const { return int(m_stores.size()); }
    const QList<ETStore *> &stores() const { return m_stores; }

  private:
    QList<ETStore *> m_stores;
};
