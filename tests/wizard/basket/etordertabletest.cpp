#include "etordertable.h"

#include "basketfixture.h"
#include "etamountlineedit.h"
#include "etformatcombobox.h"
#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderline.h"
#include "etorderlinedefault.h"
#include "etrecordingpresenter.h"
#include "ettestsandbox.h"
#include "ettestwait.h"
#include "etwebcheckbox.h"

#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace
{

class ETOrderTableTest : public BasketFixture
{
  protected:
    // A table on its own, shown in a window of the wizard's size.
    ETOrderTable *shownTable()
    {
        m_table = std::make_unique<ETOrderTable>(nullptr, QStringLiteral("order_table"));
        m_table->resize(620, 360);
        m_table->show();
        return m_table.get();
    }

    static ::testing::AssertionResult rowVisible(ETOrderTable *table, int row)
    {
        QCoreApplication::processEvents();
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        if (table->viewport()->rect().contains(cell))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "row " << row << " at y " << cell.y() << " height " << cell.height()
               << " is outside the viewport's " << table->viewport()->height() << " pixels";
    }

    // Outside an event loop of its own a test has to run the deferred deletes itself.
    static ::testing::AssertionResult deferredDeletesDone(const std::function<bool()> &gone)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (gone())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "still there after the deferred deletes";
    }

    std::unique_ptr<ETOrderTable> m_table;
};

TEST_F(ETOrderTableTest, PicturesLoadedAtStartUpShowTheLastOneOnTop)
{
    ETOrderTable *table = shownTable();
    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}, {QStringLiteral("P3.jpg")}});
    EXPECT_EQ(QStringList({QStringLiteral("P3.jpg"), QStringLiteral("P2.jpg"), QStringLiteral("P1.jpg")}),
              rowPictures(table));
    EXPECT_TRUE(rowVisible(table, 1));
    for (int row = 0; row < table->rowCount(); ++row) {
        SCOPED_TRACE(row);
        EXPECT_NE(nullptr, qobject_cast<ETOrderLineDefault *>(table->lineAt(row)));
        EXPECT_GT(table->rowHeight(row), 0);
    }
}

TEST_F(ETOrderTableTest, AnotherFormatPutsTheDuplicateInTheLinesRow)
{
    ETOrderTable *table = shownTable();
    loadPictures({{QStringLiteral("P1.jpg")},
                  {QStringLiteral("P2.jpg")},
                  {QStringLiteral("P3.jpg")},
                  {QStringLiteral("P4.jpg")},
                  {QStringLiteral("P5.jpg")}});
    table->productDefaultChanged(QStringLiteral("Mini"));
    table->amountDefaultChanged(QStringLiteral("4"));
    ETOrderLine *line = table->lineAt(2);
    ASSERT_NE(nullptr, line);
    ETOrderItem *original = line->item();

    line->anotherFormatButton()->click();

    ASSERT_EQ(6, table->rowCount());
    EXPECT_EQ(line, table->lineAt(3)) << "the line it was made from moved one row down";
    ETOrderItem *duplicate = table->lineAt(2)->item();
    ASSERT_NE(nullptr, duplicate);
    EXPECT_EQ(original->image(), duplicate->image());
    EXPECT_EQ(QStringLiteral("Mini"), duplicate->productName());
    EXPECT_EQ(4, duplicate->amount());
    EXPECT_EQ(6, ETOrder::instance()->orderItems()->size());
    EXPECT_TRUE(rowVisible(table, 3));
}

TEST_F(ETOrderTableTest, EachLinesOwnButtonRemovesItUntilTheBasketIsEmpty)
{
    ETOrderTable *table = shownTable();
    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}, {QStringLiteral("P3.jpg")}});
    table->lineAt(1)->anotherFormatButton()->click();
    ASSERT_EQ(4, table->rowCount());
    QSignalSpy removed(table, &ETOrderTable::itemRemoved);

    for (int left = 4; left > 0; --left) {
        SCOPED_TRACE(left);
        const int row = left / 2;
        QPointer<ETOrderLine> line = table->lineAt(row);
        ASSERT_FALSE(line.isNull());
        const QStringList expected = [&] {
            QStringList names = rowPictures(table);
            names.removeAt(row);
            return names;
        }();
        line->removeButton()->click();
        // The line asked from its own slot: it goes only once that event is done.
        EXPECT_FALSE(line.isNull());
        EXPECT_EQ(nullptr, line->item());
        EXPECT_EQ(left - 1, table->rowCount());
        EXPECT_EQ(expected, rowPictures(table));
        EXPECT_EQ(left - 1, ETOrder::instance()->orderItems()->size());
        EXPECT_EQ(4 - left + 1, removed.size());
        EXPECT_TRUE(deferredDeletesDone([&] { return line.isNull(); }));
    }
    EXPECT_EQ(0, table->rowCount());
    EXPECT_EQ(0, ETOrder::instance()->numberOfImages());
}

TEST_F(ETOrderTableTest, RemovingAWidgetNoRowHoldsStillRemovesTheItem)
{
    ETOrderTable *table = shownTable();
    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}});
    QSignalSpy removed(table, &ETOrderTable::itemRemoved);
    ETOrderItem *item = ETOrder::instance()->orderItems()->at(0);
    QWidget stranger;
    table->removeItem(&stranger, item, nullptr);
    EXPECT_EQ(2, table->rowCount());
    EXPECT_EQ(1, ETOrder::instance()->orderItems()->size());
    EXPECT_EQ(1, removed.size());
    // The line that still shows the item keeps it (the item is not deleted under it).
    ETOrder::instance()->refresh();
    EXPECT_EQ(item, table->lineAt(1)->item());
    delete table->lineAt(1)->takeItem();
}

TEST_F(ETOrderTableTest, DuplicatingForAWidgetNoRowHoldsAppends)
{
    ETOrderTable *table = shownTable();
    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}});
    QWidget stranger;
    table->duplicateItem(ETOrder::instance()->orderItems()->at(1), &stranger);
    ASSERT_EQ(3, table->rowCount());
    EXPECT_EQ(QStringList({QStringLiteral("P2.jpg"), QStringLiteral("P1.jpg"), QStringLiteral("P2.jpg")}),
              rowPictures(table));
    EXPECT_TRUE(rowVisible(table, 2));
}

TEST_F(ETOrderTableTest, DefaultsForDuplicates)
{
    ETOrderTable *table = shownTable();
    EXPECT_EQ(QStringLiteral("10x15"), table->defaultProduct()) << "the first product of the list";
    EXPECT_EQ(1, table->defaultAmount());
    const struct {
        const char *text;
        int amount;
    } cases[] = {{"7", 7}, {"", 0}, {"zwei", 0}, {"12", 12}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        table->amountDefaultChanged(QString::fromUtf8(c.text));
        EXPECT_EQ(c.amount, table->defaultAmount());
    }
    table->productDefaultChanged(QStringLiteral("Mini"));
    EXPECT_EQ(QStringLiteral("Mini"), table->defaultProduct());
}

TEST_F(ETOrderTableTest, DeletingAllEmptiesTableAndOrderWithoutASignal)
{
    ETOrderTable *table = shownTable();
    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}, {QStringLiteral("P3.jpg")}});
    QPointer<ETOrderLine> first = table->lineAt(0);
    QSignalSpy removed(table, &ETOrderTable::itemRemoved);
    QSignalSpy changed(table, &ETOrderTable::contentChanged);
    table->deleteAllOrderItems();
    EXPECT_EQ(0, table->rowCount());
    EXPECT_TRUE(ETOrder::instance()->orderItems()->isEmpty());
    EXPECT_EQ(0, removed.size());
    EXPECT_EQ(0, changed.size());
    EXPECT_TRUE(deferredDeletesDone([&] { return first.isNull(); }));
}

TEST_F(ETOrderTableTest, SubmitMethodIsRecordedAndTheWebBoxFollowsIt)
{
    ETOrderTable *table = shownTable();
    ETOrder *order = ETOrder::instance();
    QSignalSpy web(table, &ETOrderTable::webCheckBoxEnabled);
    QSignalSpy announced(order, &ETOrder::submitMethodChanged);
    ETWebCheckBox box;
    QObject::connect(table, &ETOrderTable::webCheckBoxEnabled, &box, &ETWebCheckBox::setEnabled);
    // A change comes back once through the order's announcement, and ends there.
    const struct {
        SubmitMethod method;
        bool web;
        int webSignals;
        int announcements;
    } cases[] = {
        {SubmitNet, true, 1, 0}, {SubmitCD, false, 2, 1}, {SubmitCD, false, 1, 0}, {SubmitNet, true, 2, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(int(c.method));
        table->orderTypeChanged(c.method);
        EXPECT_EQ(c.method, order->submitMethod());
        ASSERT_EQ(c.webSignals, web.size());
        EXPECT_EQ(c.web, web.takeLast().at(0).toBool());
        EXPECT_EQ(c.web, box.isEnabled());
        EXPECT_EQ(c.announcements, announced.size());
        web.clear();
        announced.clear();
    }
}

TEST_F(ETOrderTableTest, FramedItemsKeepTheScrollBar)
{
    ETOrderTable *table = shownTable();
    EXPECT_EQ(Qt::ScrollBarAlwaysOn, table->verticalScrollBarPolicy()) << "the sample skin frames its items";
    EXPECT_EQ(Qt::ScrollBarAlwaysOff, table->horizontalScrollBarPolicy());
    EXPECT_EQ(QAbstractItemView::ScrollPerPixel, table->verticalScrollMode());
    EXPECT_EQ(QAbstractItemView::NoSelection, table->selectionMode());
    EXPECT_FALSE(table->horizontalHeader()->isVisible());
    EXPECT_FALSE(table->verticalHeader()->isVisible());
    EXPECT_FALSE(table->showGrid());
    EXPECT_EQ(1, table->columnCount());
}

TEST_F(ETOrderTableTest, ScrollStepsAreFiftyPixels)
{
    ETOrderTable *table = shownTable();
    std::vector<Picture> pictures;
    for (int i = 0; i < 12; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    loadPictures(pictures);
    QScrollBar *bar = table->verticalScrollBar();
    ASSERT_TRUE(waitFor([&] { return bar->maximum() > 120; }));
    bar->setValue(0);
    table->scrollDown();
    EXPECT_EQ(50, bar->value());
    table->scrollDown();
    EXPECT_EQ(100, bar->value());
    table->scrollUp();
    EXPECT_EQ(50, bar->value());
    table->scrollUp();
    table->scrollUp();
    EXPECT_EQ(0, bar->value());
}

TEST_F(ETOrderTableTest, TheOneColumnFillsTheVisibleWidth)
{
    // Framed order items keep the scroll bar on; this skin has none.
    writeResource(QStringLiteral("appearance.xml"),
                  ETTestSandbox::shippedResource(QStringLiteral("appearance.xml"))
                      .replace("itemframe=\"true\"", "itemframe=\"false\""));
    ETOrderTable *table = shownTable();
    EXPECT_EQ(Qt::ScrollBarAsNeeded, table->verticalScrollBarPolicy());
    table->setLineWidth(2);
    table->setFrameStyle(QFrame::Box | QFrame::Plain);
    ASSERT_EQ(2, table->frameWidth());
    table->resize(600, 300);
    ASSERT_TRUE(waitFor([&] { return table->columnWidth(0) == 596; }))
        << "column 0 is " << table->columnWidth(0) << " pixels wide";

    // With a scroll bar the column shrinks by its width, so no line hides under it.
    std::vector<Picture> pictures;
    for (int i = 0; i < 8; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    loadPictures(pictures);
    ASSERT_TRUE(waitFor([&] { return table->verticalScrollBar()->isVisible(); }));
    EXPECT_TRUE(waitFor([&] { return table->columnWidth(0) == table->viewport()->width(); }))
        << table->columnWidth(0) << " against " << table->viewport()->width();
    EXPECT_LT(table->columnWidth(0), 596);
}

// Counts the lines that are ever shown.
class ShowCounter : public QObject
{
  public:
    ShowCounter() { qApp->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<ETOrderLine *>(watched))
            ++shown;
        return false;
    }
    int shown = 0;
};

TEST_F(ETOrderTableTest, OnlyTheLinesInSightAndAFewBeyondAreInTheViewport)
{
    ETOrderTable *table = shownTable();
    table->setFocus();
    std::vector<Picture> pictures;
    for (int i = 0; i < 30; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    ShowCounter counter;
    loadPictures(pictures);
    ASSERT_TRUE(waitFor([&] { return table->viewport()->isVisible(); }));
    const auto placed = [table] {
        std::vector<int> rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            const ETOrderLine *line = table->lineAt(row);
            if (line && line->parentWidget() == table->viewport())
                rows.push_back(row);
        }
        return rows;
    };
    // The rows in sight and two beyond them on either side, and the first and the last row, where the
    // keyboard enters the basket.
    const auto expected = [table] {
        std::vector<int> rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->viewport()->rect().intersects(table->visualRect(table->model()->index(row, 0))))
                rows.push_back(row);
        }
        const int first = qMax(0, rows.front() - 2);
        const int last = qMin(table->rowCount() - 1, rows.back() + 2);
        rows.clear();
        if (first > 0)
            rows.push_back(0);
        for (int row = first; row <= last; ++row)
            rows.push_back(row);
        if (last < table->rowCount() - 1)
            rows.push_back(table->rowCount() - 1);
        return rows;
    };
    for (int row = 0; row < table->rowCount(); ++row)
        ASSERT_NE(nullptr, table->lineAt(row)) << "every row keeps its line";
    ASSERT_LT(expected().size(), 15u);
    EXPECT_EQ(expected(), placed());
    EXPECT_TRUE(table->lineAt(0)->isVisible());
    EXPECT_FALSE(table->lineAt(20)->isVisible());
    EXPECT_LE(counter.shown, int(placed().size()) + 1)
        << "a line never in sight was never shown, besides the list's first, which was alone at first";

    QScrollBar *bar = table->verticalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_EQ(expected(), placed());
    EXPECT_EQ(29, placed().back());
    EXPECT_TRUE(table->lineAt(29)->isVisible());
    EXPECT_FALSE(table->lineAt(2)->isVisible());
    bar->setValue(0);
    EXPECT_EQ(expected(), placed());
    EXPECT_EQ(table->visualRect(table->model()->index(2, 0)), table->lineAt(2)->geometry());
}

TEST_F(ETOrderTableTest, ANewLineRefreshesTheOthersOnlyWhenThePricesChange)
{
    ETOrderTable *table = shownTable();
    std::vector<Picture> pictures;
    for (int i = 0; i < 10; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    loadPictures(pictures);
    QSignalSpy refreshed(table, &ETOrderTable::contentChanged);
    table->lineAt(3)->anotherFormatButton()->click();
    ASSERT_EQ(11, table->rowCount());
    EXPECT_EQ(1, refreshed.size()) << "the new line's own refresh, no other";

    // 49 prints; the next one reaches tier 1, where every line's price falls.
    table->lineAt(0)->item()->setAmount(39);
    EXPECT_EQ(QStringLiteral("0,19"), table->lineAt(5)->unitPriceField()->text());
    refreshed.clear();
    table->lineAt(5)->anotherFormatButton()->click();
    EXPECT_GE(refreshed.size(), 12);
    // The lines with controls show it now; the others once they come into sight.
    int shown = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        SCOPED_TRACE(row);
        if (!table->lineAt(row)->hasControls())
            continue;
        ++shown;
        EXPECT_EQ(QStringLiteral("0,17"), table->lineAt(row)->unitPriceField()->text());
    }
    EXPECT_GE(shown, 5);
    EXPECT_EQ(QStringLiteral("6,63"), table->lineAt(0)->totalPriceField()->text());
}

TEST_F(ETOrderTableTest, MasterAmountSetsEveryLineWithOnePriceUpdate)
{
    ETOrderTable *table = shownTable();
    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}, {QStringLiteral("P3.jpg")}});
    ETAmountLineEdit master(nullptr, QStringLiteral("masterAmount"), true);
    QSignalSpy prices(ETOrder::instance(), &ETOrder::newPrices);
    QTest::keyClick(&master, Qt::Key_5);
    EXPECT_EQ(1, prices.size());
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(5, table->lineAt(row)->item()->amount());
        EXPECT_EQ(QStringLiteral("5"), table->lineAt(row)->amountEdit()->text());
        EXPECT_EQ(QStringLiteral("0,95"), table->lineAt(row)->totalPriceField()->text());
    }
}

TEST_F(ETOrderTableTest, MasterFormatSetsEveryLineWithOnePriceUpdate)
{
    ETOrderTable *table = shownTable();
    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}, {QStringLiteral("P3.jpg")}});
    ETFormatComboBox master(false, nullptr, QStringLiteral("masterFormat"), true);
    ASSERT_EQ(QStringLiteral("Mini"), master.itemText(1));
    QSignalSpy prices(ETOrder::instance(), &ETOrder::newPrices);
    emit master.activated(1);
    EXPECT_EQ(1, prices.size());
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(QStringLiteral("Mini"), table->lineAt(row)->item()->productName());
        EXPECT_EQ(QStringLiteral("1,29"), table->lineAt(row)->unitPriceField()->text());
    }
}

// What a line's controls show of its item, with the names a person reads.
QStringList shownByControls(const ETOrderLine *line)
{
    const QLabel *quality = line->qualityLabel();
    return {line->accessibleName(),
            line->amountEdit()->text(),
            line->productCombo()->currentText(),
            line->unitPriceField()->text(),
            line->totalPriceField()->text(),
            quality->text().isEmpty() ? QString::number(quality->pixmap().cacheKey()) : quality->text(),
            quality->accessibleName(),
            line->thumbnailLabel()->accessibleName(),
            QString::number(line->thumbnailLabel()->pixmap().cacheKey())};
}

// A line out of sight has no controls; once scrolled into view it shows its item as it is then, as a
// line made in sight would.
TEST_F(ETOrderTableTest, ALineScrolledIntoViewShowsWhatChangedWhileOutOfSight)
{
    ETOrderTable *table = shownTable();
    table->setFocus();
    std::vector<Picture> pictures;
    for (int i = 0; i < 30; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    loadPictures(pictures);
    ASSERT_TRUE(waitFor([&] { return table->viewport()->isVisible(); }));
    QScrollBar *bar = table->verticalScrollBar();
    const int top = 0;
    const int bottom = bar->maximum();
    const int lastRow = table->rowCount() - 1;
    const struct {
        const char *what;
        int away; // where the bar is while the line changes
        int near; // where the line is in sight
        int row;
        int inSightRow; // a line in sight all along, changed the same way
        int amount;
    } cases[] = {
        // Not the first and the last line, which stay placed for the keyboard.
        {"never in sight", top, bottom, lastRow - 1, 1, 7},
        {"in sight before", bottom, top, 1, lastRow - 1, 9},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        bar->setValue(c.away);
        ETOrderLine *line = table->lineAt(c.row);
        ETOrderLine *inSight = table->lineAt(c.inSightRow);
        ASSERT_FALSE(line->hasControls());
        ASSERT_TRUE(inSight->hasControls());
        for (ETOrderLine *changed : {line, inSight}) {
            changed->item()->setProductName(QStringLiteral("Mini"));
            changed->item()->setAmount(c.amount);
        }
        QStringList expected = shownByControls(inSight);
        const QString name = inSight->item()->image()->metaData()->fileName();
        expected.replaceInStrings(name, line->item()->image()->metaData()->fileName());
        expected.last() = QString::number(line->item()->thumbnail()->cacheKey());

        bar->setValue(c.near);
        EXPECT_TRUE(line->hasControls());
        EXPECT_FALSE(inSight->hasControls()) << "out of sight now, it let its controls go";
        EXPECT_EQ(expected, shownByControls(line));
        EXPECT_EQ(table->rowHeight(c.inSightRow), table->rowHeight(c.row));
    }
}

// Only lines in sight have an edit or a combo; the masters reach the others through their items.
TEST_F(ETOrderTableTest, MastersReachTheLinesOutOfSight)
{
    ETOrderTable *table = shownTable();
    table->setFocus();
    std::vector<Picture> pictures;
    // 40 prints at most: the tier stays, so each master makes one price update.
    for (int i = 0; i < 20; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    loadPictures(pictures);
    ASSERT_TRUE(waitFor([&] { return table->viewport()->isVisible(); }));
    // Not the last line, which stays placed for the keyboard.
    const int lastRow = table->rowCount() - 2;
    ASSERT_FALSE(table->lineAt(lastRow)->hasControls());
    ETAmountLineEdit masterAmount(nullptr, QStringLiteral("masterAmount"), true);
    ETFormatComboBox masterFormat(false, nullptr, QStringLiteral("masterFormat"), true);
    QSignalSpy prices(ETOrder::instance(), &ETOrder::newPrices);

    QTest::keyClick(&masterAmount, Qt::Key_2);
    emit masterFormat.activated(1);

    EXPECT_EQ(2, prices.size()) << "one price update for each master";
    for (int row = 0; row < table->rowCount(); ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(2, table->lineAt(row)->item()->amount());
        EXPECT_EQ(QStringLiteral("Mini"), table->lineAt(row)->item()->productName());
    }
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
    ETOrderLine *last = table->lineAt(lastRow);
    EXPECT_TRUE(last->hasControls());
    EXPECT_EQ(QStringLiteral("2"), last->amountEdit()->text());
    EXPECT_EQ(QStringLiteral("Mini"), last->productCombo()->currentText());
    EXPECT_EQ(QStringLiteral("2,58"), last->totalPriceField()->text());
}

// The keyboard's order from outside the basket: the lines' controls right after the table, line by
// line as the rows go, however late the controls come; the first and the last line always have them.
TEST_F(ETOrderTableTest, TheLinesControlsFollowTheTableInRowOrder)
{
    ETOrderTable *table = shownTable();
    std::vector<Picture> pictures;
    for (int i = 0; i < 20; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    loadPictures(pictures);
    ASSERT_TRUE(waitFor([&] { return table->viewport()->isVisible(); }));
    table->lineAt(4)->anotherFormatButton()->click();
    QScrollBar *bar = table->verticalScrollBar();
    const QStringList controls = {QStringLiteral("amount"), QStringLiteral("format"),
                                  QStringLiteral("anotherformat"), QStringLiteral("trashcan")};
    for (int value : {bar->maximum(), bar->maximum() / 2, 0}) {
        SCOPED_TRACE(value);
        bar->setValue(value);
        QStringList expected;
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->lineAt(row)->hasControls()) {
                for (const QString &control : controls)
                    expected << QStringLiteral("%1 %2").arg(row).arg(control);
            }
        }
        QStringList reached;
        for (QWidget *widget = table->nextInFocusChain(); widget != table;
             widget = widget->nextInFocusChain()) {
            if (widget->focusPolicy() == Qt::NoFocus || !table->isAncestorOf(widget))
                continue;
            if (reached.size() == expected.size())
                break;
            reached << QStringLiteral("%1 %2")
                           .arg(table->rowOf(widget->parentWidget()))
                           .arg(widget->objectName());
        }
        EXPECT_EQ(expected, reached);
        EXPECT_TRUE(expected.startsWith(QStringLiteral("0 amount")));
        EXPECT_TRUE(expected.endsWith(QStringLiteral("20 trashcan")));
        EXPECT_GE(expected.size(), 5 * 4);
    }
}

// A control let go while its own slot runs an event loop (a message box, say) lives until that slot
// has returned.
TEST_F(ETOrderTableTest, AControlLetGoInItsOwnSlotOutlivesTheSlotsEventLoop)
{
    ETOrderTable *table = shownTable();
    std::vector<Picture> pictures;
    for (int i = 0; i < 20; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    loadPictures(pictures);
    ASSERT_TRUE(waitFor([&] { return table->viewport()->isVisible(); }));
    ETOrderLine *line = table->lineAt(1);
    QPointer<QPushButton> button = line->removeButton();
    ASSERT_FALSE(button.isNull());
    // A click that leaves the keyboard where it is: the line with the keyboard would stay placed.
    button->setFocusPolicy(Qt::NoFocus);
    bool letGo = false;
    bool aliveAfterTheLoop = false;
    QObject::connect(button, &QPushButton::pressed, [&] {
        table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
        letGo = !line->hasControls();
        QEventLoop nested;
        QTimer::singleShot(0, &nested, &QEventLoop::quit);
        nested.exec();
        aliveAfterTheLoop = !button.isNull();
    });
    QEventLoop outer;
    QTimer::singleShot(0, &outer, [&] {
        QTest::mousePress(button, Qt::LeftButton);
        outer.quit();
    });
    outer.exec();
    ASSERT_TRUE(letGo);
    EXPECT_TRUE(aliveAfterTheLoop);
    EXPECT_TRUE(deferredDeletesDone([&] { return button.isNull(); }));
}

TEST_F(ETOrderTableTest, ALineNeverInSightLeavesTheOrder)
{
    ETOrderTable *table = shownTable();
    table->setFocus();
    std::vector<Picture> pictures;
    for (int i = 0; i < 20; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    loadPictures(pictures);
    ASSERT_TRUE(waitFor([&] { return table->viewport()->isVisible(); }));
    const int row = table->rowCount() - 2;
    QPointer<ETOrderLine> line = table->lineAt(row);
    ASSERT_FALSE(line->hasControls());
    ETOrderItem *item = line->item();
    QStringList expected = rowPictures(table);
    expected.removeAt(row);
    QSignalSpy removed(table, &ETOrderTable::itemRemoved);

    line->removeMeFromOrder();

    EXPECT_EQ(expected, rowPictures(table));
    EXPECT_FALSE(ETOrder::instance()->orderItems()->contains(item));
    EXPECT_EQ(19, ETOrder::instance()->orderItems()->size());
    EXPECT_EQ(1, removed.size());
    EXPECT_TRUE(deferredDeletesDone([&] { return line.isNull(); }));
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
    EXPECT_EQ(expected.last(), table->lineAt(18)->thumbnailLabel()->accessibleName());
}

} // namespace

namespace
{

// The basket of a wizard as the program shows it, worked with the keyboard alone.
class ETOrderTableKeyboardTest : public BasketFixture
{
  protected:
    ETOrderTable *basketOf(int lines)
    {
        buildWizard();
        showWizard();
        EXPECT_TRUE(waitForPage(QStringLiteral("orderScreen")));
        std::vector<Picture> pictures;
        for (int i = 0; i < lines; ++i)
            pictures.push_back({QStringLiteral("P%1.jpg").arg(i, 2, 10, QLatin1Char('0'))});
        loadPictures(pictures);
        ETOrderTable *table = orderTable();
        EXPECT_TRUE(waitFor([&] { return table->rowCount() == lines && table->viewport()->isVisible(); }));
        return table;
    }

    QWidget *keyboard() const { return wizard()->focusWidget(); }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(keyboard(), Qt::Key(key), modifiers);
    }

    // Where the keyboard is: "row control" in the basket, the widget's name outside it.
    static QString where(ETOrderTable *table, const QWidget *widget)
    {
        if (!widget)
            return QStringLiteral("nowhere");
        if (!table->isAncestorOf(widget))
            return widget->objectName();
        return QStringLiteral("%1 %2").arg(table->rowOf(widget->parentWidget())).arg(widget->objectName());
    }

    // The keyboard's control is wholly in sight in the basket.
    static ::testing::AssertionResult inSight(ETOrderTable *table, const QWidget *widget)
    {
        if (!widget || !table->isAncestorOf(widget))
            return ::testing::AssertionSuccess();
        const QRect shown(widget->mapTo(table->viewport(), QPoint(0, 0)), widget->size());
        if (table->viewport()->rect().contains(shown) && widget->isVisible())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << where(table, widget).toStdString() << " at " << shown.y() << ", height " << shown.height()
               << ", outside the viewport's " << table->viewport()->height() << " pixels";
    }
};

const QStringList lineControls = {QStringLiteral("amount"), QStringLiteral("format"),
                                  QStringLiteral("anotherformat"), QStringLiteral("trashcan")};

// Tab goes through every line's controls in line order, each in sight when it has the keyboard, on
// to the wizard's buttons after the last line and into the basket again from them; Shift+Tab goes
// the same way back.
TEST_F(ETOrderTableKeyboardTest, TabWalksEveryLinesControlsThenTheWizardsButtons)
{
    ETOrderTable *table = basketOf(12);
    ASSERT_EQ(QStringLiteral("0 amount"), where(table, keyboard())) << "the first line in sight has it";
    QStringList expected;
    for (int row = 0; row < 12; ++row) {
        for (const QString &control : lineControls)
            expected << QStringLiteral("%1 %2").arg(row).arg(control);
    }
    expected << QStringLiteral("next") << QStringLiteral("cancel") << QStringLiteral("0 amount");
    QStringList reached = {where(table, keyboard())};
    while (reached.size() < expected.size()) {
        press(Qt::Key_Tab);
        reached << where(table, keyboard());
        ASSERT_TRUE(inSight(table, keyboard())) << "after " << reached.size() - 1 << " presses";
    }
    EXPECT_EQ(expected, reached);

    QStringList back = {where(table, keyboard())};
    const QStringList expectedBack = {
        QStringLiteral("0 amount"),    QStringLiteral("cancel"),           QStringLiteral("next"),
        QStringLiteral("11 trashcan"), QStringLiteral("11 anotherformat"), QStringLiteral("11 format"),
        QStringLiteral("11 amount"),   QStringLiteral("10 trashcan")};
    while (back.size() < expectedBack.size()) {
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        back << where(table, keyboard());
        ASSERT_TRUE(inSight(table, keyboard()));
    }
    EXPECT_EQ(expectedBack, back);
}

// The basket scrolled away from the keyboard (by the wheel, say): Tab and Shift+Tab go on from the
// keyboard's line to its neighbours, not to the lines in sight, and bring them into sight.
TEST_F(ETOrderTableKeyboardTest, TabGoesOnFromTheKeyboardsLineWhereverTheBasketWasScrolled)
{
    ETOrderTable *table = basketOf(30);
    for (int i = 0; i < 4 * 5 + 3; ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(QStringLiteral("5 trashcan"), where(table, keyboard()));
    QScrollBar *bar = table->verticalScrollBar();
    bar->setValue(bar->maximum());
    ASSERT_FALSE(inSight(table, keyboard()));
    press(Qt::Key_Tab);
    EXPECT_EQ(QStringLiteral("6 amount"), where(table, keyboard()));
    EXPECT_TRUE(inSight(table, keyboard()));
    bar->setValue(bar->maximum());
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QStringLiteral("5 trashcan"), where(table, keyboard()));
    EXPECT_TRUE(inSight(table, keyboard()));
}

// What is typed goes to the control that has the keyboard, which comes into sight first when the
// basket was scrolled away from it.
TEST_F(ETOrderTableKeyboardTest, TypingGoesToTheControlWithTheKeyboardInSight)
{
    ETOrderTable *table = basketOf(12);
    for (int i = 0; i < 4 * 9; ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(QStringLiteral("9 amount"), where(table, keyboard()));
    QTest::keyClick(keyboard(), Qt::Key_5);
    EXPECT_EQ(5, table->lineAt(9)->item()->amount()) << "the text was selected on the way in";
    table->verticalScrollBar()->setValue(0);
    ASSERT_FALSE(inSight(table, keyboard()));
    QTest::keyClick(keyboard(), Qt::Key_7);
    EXPECT_EQ(57, table->lineAt(9)->item()->amount());
    EXPECT_TRUE(inSight(table, keyboard()));
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(row == 9 ? 57 : 1, table->lineAt(row)->item()->amount()) << "row " << row;
}

// Page Up and Down move by as many lines as the basket shows, Ctrl+Home and Ctrl+End to the first and
// the last line, the keyboard to the same control there, in sight; the format box keeps its items.
TEST_F(ETOrderTableKeyboardTest, PageKeysAndCtrlHomeEndMoveThroughTheLines)
{
    ETOrderTable *table = basketOf(30);
    press(Qt::Key_Tab);
    ASSERT_EQ(QStringLiteral("0 format"), where(table, keyboard()));
    const int page = table->viewport()->height() / table->rowHeight(0);
    ASSERT_GE(page, 1);
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int row;
    } steps[] = {{Qt::Key_PageDown, Qt::NoModifier, page}, {Qt::Key_PageDown, Qt::NoModifier, 2 * page},
                 {Qt::Key_PageUp, Qt::NoModifier, page},   {Qt::Key_End, Qt::ControlModifier, 29},
                 {Qt::Key_PageDown, Qt::NoModifier, 29},   {Qt::Key_Home, Qt::ControlModifier, 0},
                 {Qt::Key_PageUp, Qt::NoModifier, 0}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.row);
        press(step.key, step.modifiers);
        EXPECT_EQ(QStringLiteral("%1 format").arg(step.row), where(table, keyboard()));
        EXPECT_TRUE(inSight(table, keyboard()));
    }
    for (int row = 0; row < 30; ++row)
        EXPECT_EQ(QStringLiteral("10x15"), table->lineAt(row)->item()->productName()) << "row " << row;
}

// A line removed by the keyboard on its own button leaves it on the same button of the line after.
TEST_F(ETOrderTableKeyboardTest, RemovingALineLeavesTheKeyboardInTheBasket)
{
    ETOrderTable *table = basketOf(3);
    for (int i = 0; i < 4 + 3; ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(QStringLiteral("1 trashcan"), where(table, keyboard()));
    const QStringList pictures = rowPictures(table);
    press(Qt::Key_Space);
    ASSERT_EQ(2, table->rowCount());
    EXPECT_EQ(pictures.at(2), rowPictures(table).at(1));
    EXPECT_EQ(QStringLiteral("1 trashcan"), where(table, keyboard()));
}

} // namespace
