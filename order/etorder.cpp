#include "etorder.h"

ETOrder *ETOrder::instance()
{
    static ETOrder *order = new ETOrder;
    return order;
}

ETOrder::ETOrder(QObject *parent)
    : QObject(parent)
{
}

void ETOrder::addImages(const QStringList &listFiles)
{
    // TODO: read the list files once order items exist.
    Q_UNUSED(listFiles)
}

void ETOrder::removeAllOrderItems()
{
}
