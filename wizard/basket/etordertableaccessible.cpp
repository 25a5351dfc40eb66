#include "etordertableaccessible.h"

#include "etorderline.h"
#include "etordertable.h"

namespace
{

// One line of the basket: a group whose parent is the basket, not the table's viewport.
class ETOrderLineAccessible : public QAccessibleWidget
{
  public:
    explicit ETOrderLineAccessible(ETOrderLine *line) : QAccessibleWidget(line, QAccessible::Grouping) {}

    QAccessibleInterface *parent() const override
    {
        QWidget *viewport = widget()->parentWidget();
        auto *table = viewport ? qobject_cast<ETOrderTable *>(viewport->parentWidget()) : nullptr;
        // A line on its way out is no longer in a row.
        if (table && table->rowOf(widget()) >= 0)
            return QAccessible::queryAccessibleInterface(table);
        return QAccessibleWidget::parent();
    }
};

} // namespace

ETOrderTableAccessible::ETOrderTableAccessible(ETOrderTable *table)
    : QAccessibleWidget(table, QAccessible::List)
{
}

QAccessibleInterface *ETOrderTableAccessible::create(const QString &className, QObject *object)
{
    if (className == QLatin1String("ETOrderTable")) {
        if (auto *table = qobject_cast<ETOrderTable *>(object))
            return new ETOrderTableAccessible(table);
    } else if (className == QLatin1String("ETOrderLine")) {
        if (auto *line = qobject_cast<ETOrderLine *>(object))
            return new ETOrderLineAccessible(line);
    }
    return nullptr;
}

QList<ETOrderLine *> ETOrderTableAccessible::lines() const
{
    const auto *table = static_cast<const ETOrderTable *>(widget());
    QList<ETOrderLine *> lines;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (ETOrderLine *line = table->lineAt(row))
            lines << line;
    }
    return lines;
}

int ETOrderTableAccessible::childCount() const
{
    return int(lines().size());
}

QAccessibleInterface *ETOrderTableAccessible::child(int index) const
{
    const QList<ETOrderLine *> all = lines();
    if (index < 0 || index >= all.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(all.at(index));
}

int ETOrderTableAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    return int(lines().indexOf(qobject_cast<ETOrderLine *>(child->object())));
}
