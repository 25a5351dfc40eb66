#include "etordertableaccessible.h"

#include "etorderline.h"
#include "etordertable.h"

#include <QScrollBar>

namespace
{

// One line of the basket: a group whose parent is the basket, not the table's viewport. Focusing it
// gives the keyboard to its first control; both of its actions bring it into sight.
class ETOrderLineAccessible : public QAccessibleWidget
{
  public:
    explicit ETOrderLineAccessible(ETOrderLine *line) : QAccessibleWidget(line, QAccessible::Grouping) {}

    QAccessibleInterface *parent() const override
    {
        ETOrderTable *table = this->table();
        return table ? QAccessible::queryAccessibleInterface(table) : QAccessibleWidget::parent();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.focusable = true;
        return state;
    }

    QStringList actionNames() const override
    {
        if (!table() || !widget()->isEnabled())
            return {};
        return {setFocusAction(), ETOrderTableAccessible::scrollIntoViewAction()};
    }

    QString localizedActionDescription(const QString &action) const override
    {
        if (action == ETOrderTableAccessible::scrollIntoViewAction())
            return ETOrderTable::tr("Zeile anzeigen");
        return QAccessibleWidget::localizedActionDescription(action);
    }

    void doAction(const QString &action) override
    {
        ETOrderTable *table = this->table();
        if (!table || !widget()->isEnabled())
            return;
        const int row = table->rowOf(widget());
        if (action == setFocusAction())
            table->focusLine(row);
        else if (action == ETOrderTableAccessible::scrollIntoViewAction())
            table->showLine(row);
    }

  private:
    // A line on its way out is no longer in a row.
    ETOrderTable *table() const
    {
        QWidget *parent = widget()->parentWidget();
        // A placed line's parent is the viewport, a parked one's the parking; both are the table's.
        auto *table = parent ? qobject_cast<ETOrderTable *>(parent->parentWidget()) : nullptr;
        return table && table->rowOf(widget()) >= 0 ? table : nullptr;
    }
};

// The basket's scroll bar: its value moves the view.
class ETOrderTableScrollBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
  public:
    ETOrderTableScrollBarAccessible(QScrollBar *bar, ETOrderTable *table)
        : QAccessibleWidget(bar, QAccessible::ScrollBar), m_table(table)
    {
    }

    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_table); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return m_table->accessibleName();
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant &value) override { bar()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

  private:
    QScrollBar *bar() const { return static_cast<QScrollBar *>(widget()); }

    ETOrderTable *m_table;
};

// The table whose vertical scroll bar this is, or none.
ETOrderTable *tableOfScrollBar(QScrollBar *bar)
{
    // The scroll bar lives in a container of the scroll area's.
    for (QWidget *widget = bar->parentWidget(); widget; widget = widget->parentWidget()) {
        if (auto *table = qobject_cast<ETOrderTable *>(widget))
            return table->verticalScrollBar() == bar ? table : nullptr;
    }
    return nullptr;
}

} // namespace

ETOrderTableAccessible::ETOrderTableAccessible(ETOrderTable *table)
    : QAccessibleWidget(table, QAccessible::List)
{
}

QString ETOrderTableAccessible::scrollIntoViewAction()
{
    return QStringLiteral("ScrollIntoView");
}

QAccessibleInterface *ETOrderTableAccessible::create(const QString &className, QObject *object)
{
    if (className == QLatin1String("ETOrderTable")) {
        if (auto *table = qobject_cast<ETOrderTable *>(object))
            return new ETOrderTableAccessible(table);
    } else if (className == QLatin1String("ETOrderLine")) {
        if (auto *line = qobject_cast<ETOrderLine *>(object))
            return new ETOrderLineAccessible(line);
    } else if (className == QLatin1String("QScrollBar")) {
        auto *bar = qobject_cast<QScrollBar *>(object);
        if (ETOrderTable *table = bar ? tableOfScrollBar(bar) : nullptr)
            return new ETOrderTableScrollBarAccessible(bar, table);
    }
    return nullptr;
}

ETOrderTable *ETOrderTableAccessible::table() const
{
    return static_cast<ETOrderTable *>(widget());
}

QWidget *ETOrderTableAccessible::scrollBar() const
{
    QScrollBar *bar = table()->verticalScrollBar();
    return bar->isVisibleTo(table()) ? bar : nullptr;
}

int ETOrderTableAccessible::childCount() const
{
    return table()->rowCount() + (scrollBar() ? 1 : 0);
}

QAccessibleInterface *ETOrderTableAccessible::child(int index) const
{
    const int rows = table()->rowCount();
    if (index >= 0 && index < rows) {
        ETOrderLine *line = table()->lineAt(index);
        return line ? QAccessible::queryAccessibleInterface(line) : nullptr;
    }
    QWidget *bar = scrollBar();
    return bar && index == rows ? QAccessible::queryAccessibleInterface(bar) : nullptr;
}

int ETOrderTableAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    QObject *object = child->object();
    if (object && object == scrollBar())
        return table()->rowCount();
    auto *widget = qobject_cast<QWidget *>(object);
    return widget ? table()->rowOf(widget) : -1;
}
