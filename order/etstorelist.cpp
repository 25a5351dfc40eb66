#include "etstorelist.h"

#include "etstore.h"

ETStoreList::~ETStoreList()
{
    clear();
}

QStringList ETStoreList::names() const
{
    return names(-1);
}

QStringList ETStoreList::names(int count) const
{
    QStringList result;
    for (const ETStore *store : m_stores) {
        if (count >= 0 && result.size() >= count)
            break;
        result << store->label();
    }
    return result;
}

ETStore *ETStoreList::storeByLabel(const QString &text) const
{
    for (ETStore *store : m_stores) {
        if (store->hasLabel(text))
            return store;
    }
    return nullptr;
}

int ETStoreList::idByLabel(const QString &text) const
{
    const ETStore *store = storeByLabel(text);
    return store ? store->locId() : 0;
}

void ETStoreList::clear()
{
    qDeleteAll(m_stores);
    m_stores.clear();
}

void ETStoreList::append(ETStore *store)
{
    m_stores.append(store);
}
