#pragma once

#include <QAccessibleWidget>
#include <QList>

class ETOrderLine;
class ETOrderTable;

// What a screen reader sees of the basket: a list of its order lines, each a
// group of the line's controls named by picture and product. Qt's own table
// interface offers only the empty cells and leaves the lines' widgets out of
// the tree (GUI thread).
class ETOrderTableAccessible : public QAccessibleWidget
{
  public:
    explicit ETOrderTableAccessible(ETOrderTable *table);

    // The accessibility factory of the basket and its lines; installed once by the first table.
    static QAccessibleInterface *create(const QString &className, QObject *object);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

  private:
    QList<ETOrderLine *> lines() const;
};
