#pragma once

#include <QAccessibleWidget>

class ETOrderLine;
class ETOrderTable;

// What a screen reader sees of the basket: a list of its order lines, each a
// group of the line's controls named by picture and product, and the scroll
// bar that moves it. A line out of sight has no controls; its actions
// "SetFocus" and "ScrollIntoView" bring it into sight with them. Qt's own
// table interface offers only the empty cells and leaves the lines' widgets
// out of the tree (GUI thread).
class ETOrderTableAccessible : public QAccessibleWidget
{
  public:
    explicit ETOrderTableAccessible(ETOrderTable *table);

    // The accessibility factory of the basket, its lines and its scroll bar; installed once by the
    // first table.
    static QAccessibleInterface *create(const QString &className, QObject *object);
    // The action that brings a line into sight.
    static QString scrollIntoViewAction();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

  private:
    ETOrderTable *table() const;
    // The scroll bar, while it shows.
    QWidget *scrollBar() const;
};
