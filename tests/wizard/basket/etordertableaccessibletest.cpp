#include "etordertableaccessible.h"

#include "basketfixture.h"
#include "etorderitem.h"
#include "etorderline.h"
#include "etordertable.h"
#include "ettestwait.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <memory>
#include <vector>

namespace
{

// What a screen reader finds of a basket of many lines, most of them out of sight.
class ETOrderTableAccessibleTest : public BasketFixture
{
  protected:
    ETOrderTable *basketOf(int lines)
    {
        m_table = std::make_unique<ETOrderTable>(nullptr, QStringLiteral("order_table"));
        m_table->resize(620, 360);
        m_table->show();
        std::vector<Picture> pictures;
        for (int i = 0; i < lines; ++i)
            pictures.push_back({QStringLiteral("P%1.jpg").arg(i, 2, 10, QLatin1Char('0'))});
        loadPictures(pictures);
        EXPECT_TRUE(waitFor([&] { return m_table->viewport()->isVisible(); }));
        return m_table.get();
    }

    static bool inSight(ETOrderTable *table, int row)
    {
        return table->viewport()->rect().contains(table->visualRect(table->model()->index(row, 0)));
    }

    // The line's amount as a screen reader reaches it: below the line, by name and role.
    static QAccessibleInterface *amountOf(QAccessibleInterface *line)
    {
        for (int i = 0; i < line->childCount(); ++i) {
            QAccessibleInterface *child = line->child(i);
            if (child && child->role() == QAccessible::EditableText &&
                child->text(QAccessible::Name) == QLatin1String("Anzahl"))
                return child;
        }
        return nullptr;
    }

    std::unique_ptr<ETOrderTable> m_table;
};

// The scroll bar is the basket's last child; setting its value moves the view, and the lines that
// come into sight have their controls in the tree.
TEST_F(ETOrderTableAccessibleTest, TheScrollBarsValueMovesTheView)
{
    ETOrderTable *table = basketOf(30);
    QAccessibleInterface *basket = QAccessible::queryAccessibleInterface(table);
    ASSERT_EQ(31, basket->childCount());
    QAccessibleInterface *bar = basket->child(30);
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(QAccessible::ScrollBar, bar->role());
    EXPECT_EQ(basket, bar->parent());
    EXPECT_EQ(30, basket->indexOfChild(bar));
    QAccessibleValueInterface *value = bar->valueInterface();
    ASSERT_NE(nullptr, value);
    EXPECT_EQ(0, value->minimumValue().toInt());
    EXPECT_EQ(table->verticalScrollBar()->maximum(), value->maximumValue().toInt());
    ASSERT_GT(value->maximumValue().toInt(), 0);

    ASSERT_EQ(nullptr, amountOf(basket->child(20))) << "out of sight, no controls";
    value->setCurrentValue(value->maximumValue());
    EXPECT_EQ(table->verticalScrollBar()->maximum(), table->verticalScrollBar()->value());
    EXPECT_EQ(value->maximumValue(), value->currentValue());
    EXPECT_TRUE(inSight(table, 29));
    EXPECT_NE(nullptr, amountOf(basket->child(28)));
    value->setCurrentValue(0);
    EXPECT_TRUE(inSight(table, 0));
    EXPECT_EQ(nullptr, amountOf(basket->child(20)));
}

// A line out of sight brings itself into view on either of its actions, then holds its controls,
// named as before; focusing it also gives the keyboard to its first control.
TEST_F(ETOrderTableAccessibleTest, ALineComesIntoViewOnItsActions)
{
    ETOrderTable *table = basketOf(30);
    QAccessibleInterface *basket = QAccessible::queryAccessibleInterface(table);
    const struct {
        const char *action;
        int row;
        bool focused;
    } cases[] = {{"ScrollIntoView", 20, false}, {"SetFocus", 27, true}, {"ScrollIntoView", 3, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.row);
        QAccessibleInterface *line = basket->child(c.row);
        ASSERT_NE(nullptr, line);
        ASSERT_FALSE(inSight(table, c.row));
        ASSERT_EQ(nullptr, amountOf(line));
        EXPECT_TRUE(line->state().focusable);
        QAccessibleActionInterface *actions = line->actionInterface();
        ASSERT_NE(nullptr, actions);
        EXPECT_EQ(QStringList({QAccessibleActionInterface::setFocusAction(),
                               ETOrderTableAccessible::scrollIntoViewAction()}),
                  actions->actionNames());

        actions->doAction(QString::fromLatin1(c.action));

        EXPECT_TRUE(inSight(table, c.row));
        QAccessibleInterface *amount = amountOf(line);
        ASSERT_NE(nullptr, amount);
        EXPECT_EQ(line, amount->parent());
        EXPECT_EQ(QStringLiteral("1"), amount->text(QAccessible::Value));
        EXPECT_EQ(c.focused, table->lineAt(c.row)->amountEdit()->hasFocus() ||
                                 table->window()->focusWidget() == table->lineAt(c.row)->amountEdit());
        // Its amount is set through the tree as a screen reader sets it.
        amount->editableTextInterface()->replaceText(0, 1, QStringLiteral("4"));
        EXPECT_EQ(4, table->lineAt(c.row)->item()->amount());
    }
}

// Each Tab gives the keyboard to a control of a line, and that is what a screen reader finds focused
// in the basket: never the list or a line itself.
TEST_F(ETOrderTableAccessibleTest, EachTabFocusesTheControlAScreenReaderFinds)
{
    ETOrderTable *table = basketOf(8);
    table->focusLineInSight();
    QWidget *keyboard = table->window()->focusWidget();
    ASSERT_EQ(table->lineAt(0)->amountEdit(), keyboard);
    QAccessibleInterface *basket = QAccessible::queryAccessibleInterface(table);
    for (int press = 0; press < 4 * 8 - 1; ++press) {
        SCOPED_TRACE(press);
        QTest::keyClick(keyboard, Qt::Key_Tab);
        keyboard = table->window()->focusWidget();
        EXPECT_NE(table, keyboard);
        EXPECT_EQ(nullptr, qobject_cast<ETOrderLine *>(keyboard));
        QAccessibleInterface *focused = basket->focusChild();
        ASSERT_NE(nullptr, focused);
        EXPECT_EQ(keyboard, focused->object());
        EXPECT_EQ(basket, focused->parent()->parent()) << "a control of one of the basket's lines";
    }
    EXPECT_EQ(table->lineAt(7)->removeButton(), keyboard);
}

} // namespace
