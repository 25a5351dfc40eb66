#include "etordertable.h"

#include "etappearanceconfig.h"
#include "etapplicationfactoryabstract.h"
#include "etorder.h"
#include "etorderline.h"
#include "etordertableaccessible.h"
#include "etproductlist.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace
{

// Rows placed beyond those in sight, above and below: the keyboard's next line is already there.
constexpr int placedMargin = 2;

} // namespace

ETOrderTable::ETOrderTable(QWidget *parent, const QString &name)
    : QTableWidget(parent), m_parking(new QWidget(this))
{
    m_parking->setObjectName(QStringLiteral("parking"));
    m_parking->hide();
    setObjectName(name);
    // Screen readers reach the lines' controls through the basket's own interface.
    static const bool accessible = (QAccessible::installFactory(&ETOrderTableAccessible::create), true);
    Q_UNUSED(accessible);
    setAccessibleName(tr("Warenkorb"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (ETAppearanceConfig::instance()->orderItemFrame())
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Lines are far higher than a scroll step by rows would suit.
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setShowGrid(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setColumnCount(1);
    setColumnWidth(0, 250);

    QHeaderView *top = horizontalHeader();
    top->setSectionsClickable(false);
    top->setSectionsMovable(false);
    // The one column always fills the visible width, scroll bar or not.
    top->setSectionResizeMode(QHeaderView::Stretch);
    top->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    setSelectionMode(QAbstractItemView::NoSelection);
    setAcceptDrops(true);
    // The keyboard goes to the lines' controls, never to the table itself: a screen reader would name
    // the list while the keys went nowhere. Tab goes through the focus chain, not from row to row.
    setFocusPolicy(Qt::NoFocus);
    setTabKeyNavigation(false);

    ETOrder *order = ETOrder::instance();
    connect(order, &ETOrder::orderImageAdded, this,
            qOverload<ETOrderItem *, int>(&ETOrderTable::addOrderItem));
    connect(order, &ETOrder::submitMethodChanged, this, &ETOrderTable::orderTypeChanged);
    connect(order, &ETOrder::newPrices, this, &ETOrderTable::updateEverything);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { followFocus(now); });

    m_defaultProduct = ETProductList::instance()->productNames().value(0);
    m_defaultAmount = 1;
}

ETOrderTable::~ETOrderTable()
{
    // The focus moves while the widgets go: this part of the table must not follow it then.
    disconnect(qApp, nullptr, this, nullptr);
    for (ETOrderLine *line : m_lines)
        line->forgetTable();
    m_lines.clear();
}

int ETOrderTable::rowOf(const QWidget *widget) const
{
    if (!widget)
        return -1;
    // A placed line lies on its row: the keyboard's line is asked for on every scroll step.
    if (widget->parentWidget() == viewport()) {
        const int row = rowAt(widget->geometry().center().y());
        if (row >= 0 && cellWidget(row, 0) == widget)
            return row;
    }
    for (int row = 0; row < rowCount(); ++row) {
        if (cellWidget(row, 0) == widget)
            return row;
    }
    return -1;
}

ETOrderLine *ETOrderTable::lineAt(int row) const
{
    return qobject_cast<ETOrderLine *>(cellWidget(row, 0));
}

void ETOrderTable::notifyContentChanged()
{
    emit contentChanged();
}

void ETOrderTable::lineMade(ETOrderLine *line)
{
    m_lines.push_back(line);
    m_unplaced.emplace_back(line);
}

void ETOrderTable::lineGone(ETOrderLine *line)
{
    const auto at = std::find(m_lines.begin(), m_lines.end(), line);
    if (at != m_lines.end())
        m_lines.erase(at);
}

bool ETOrderTable::PriceState::operator==(const PriceState &other) const
{
    return discountLevel == other.discountLevel && submitMethod == other.submitMethod &&
           paymentType == other.paymentType && products == other.products;
}

ETOrderTable::PriceState ETOrderTable::currentPriceState()
{
    const ETOrder *order = ETOrder::instance();
    PriceState state;
    state.discountLevel = order->discountLevel();
    state.submitMethod = int(order->submitMethod());
    state.paymentType = order->paymentType();
    state.products = ETProductList::instance()->productNames();
    return state;
}

void ETOrderTable::updateEverything()
{
    // A new line changes no other line's prices unless the order's tier, road or products changed
    // with it: then only lines whose own item changed since their last refresh show it again.
    const PriceState state = currentPriceState();
    const bool onlyChangedItems = m_lineAdded && state == m_shownPrices;
    m_lineAdded = false;
    m_shownPrices = state;
    // A refresh may start a nested price update, but no line comes or goes in one.
    for (size_t i = 0; i < m_lines.size(); ++i) {
        ETOrderLine *line = m_lines[i];
        if (!onlyChangedItems || !line->showsItem())
            line->refresh();
    }
}

void ETOrderTable::productDefaultChanged(const QString &product)
{
    m_defaultProduct = product;
}

void ETOrderTable::amountDefaultChanged(const QString &amount)
{
    m_defaultAmount = amount.toInt();
}

bool ETOrderTable::shownByALine(const ETOrderItem *item) const
{
    for (int row = 0; row < rowCount(); ++row) {
        const ETOrderLine *line = lineAt(row);
        if (line && line->item() == item)
            return true;
    }
    return false;
}

void ETOrderTable::takeOutRow(int row)
{
    if (ETOrderLine *line = lineAt(row))
        line->takeItem();
    // The view hides the row's line and deletes it once the current event is done.
    removeRow(row);
}

void ETOrderTable::deleteAllOrderItems()
{
    ETOrder *order = ETOrder::instance();
    // The order lets go of its items without deleting them: they are the caller's then.
    const QList<ETOrderItem *> items = *order->orderItems();
    for (int row = rowCount() - 1; row >= 0; --row)
        takeOutRow(row);
    order->removeAllOrderItems();
    qDeleteAll(items);
    viewport()->update();
}

void ETOrderTable::duplicateItem(ETOrderItem *item, QWidget *widget)
{
    ETOrder::instance()->duplicateOrderItem(item, m_defaultProduct, m_defaultAmount, rowOf(widget));
}

void ETOrderTable::removeItem(QWidget *widget, ETOrderItem *item, ETOrderLine *line)
{
    Q_UNUSED(line)
    const int row = rowOf(widget);
    // The keyboard goes on to the same control of the line that takes the row.
    QWidget *keyboard = keyboardWidget();
    const bool hadKeyboard = keyboard && widget && widget->isAncestorOf(keyboard);
    const auto *orderLine = qobject_cast<const ETOrderLine *>(widget);
    const int place = orderLine ? int(orderLine->keyboardControls().indexOf(keyboard)) : -1;
    if (row >= 0)
        takeOutRow(row);
    ETOrder *order = ETOrder::instance();
    // The order lets go of the item without deleting it: it is the caller's then.
    const bool ordered = order->orderItems()->contains(item);
    order->removeOrderItem(item);
    if (ordered && !shownByALine(item))
        delete item;
    if (hadKeyboard && row >= 0) {
        if (rowCount() > 0)
            focusLine(qMin(row, rowCount() - 1), qMax(0, place));
        else
            setFocus();
    }
    viewport()->update();
    emit itemRemoved();
}

void ETOrderTable::addOrderItem(ETOrderItem *item)
{
    addOrderItem(item, -1);
}

void ETOrderTable::addOrderItem(ETOrderItem *item, int position)
{
    const int rows = rowCount();
    const int row = position < 0 || position > rows ? rows : position;
    // A list of pictures adds its lines in one go: from the second line on, the viewport waits hidden
    // until the last one is in, so that only the lines in sight then are ever shown.
    if (m_addsThisEvent++ == 0)
        QMetaObject::invokeMethod(this, &ETOrderTable::endAdding, Qt::QueuedConnection);
    else if (!m_viewportHeld && viewport()->isVisible() &&
             !viewport()->isAncestorOf(QApplication::focusWidget())) {
        viewport()->hide();
        m_viewportHeld = true;
    }
    insertRow(row);
    ETApplicationFactoryAbstract::instance()->createOrderLine(item, row, 0, this, QString());
    m_lineAdded = true;
    placeLines();
    // The line that was at the position, now below the new one, stays in sight. A picture list
    // adds hundreds of lines in one go: the table scrolls once the order is done adding.
    const int visible = position < 0 ? row : row + 1;
    if (visible >= rowCount())
        return;
    const bool queued = m_scrollTarget.isValid();
    m_scrollTarget = QPersistentModelIndex(model()->index(visible, 0));
    if (!queued)
        QMetaObject::invokeMethod(this, &ETOrderTable::scrollToTarget, Qt::QueuedConnection);
}

void ETOrderTable::endAdding()
{
    // The lines of a list were placed without controls: those in sight get them now.
    const bool several = m_addsThisEvent > 1;
    m_addsThisEvent = 0;
    if (several)
        placeLines();
    if (m_viewportHeld) {
        m_viewportHeld = false;
        viewport()->show();
    }
    // The keyboard waited in the empty basket: it goes to the first line.
    if (keyboardWidget() == this)
        focusLineInSight();
}

void ETOrderTable::changeEvent(QEvent *event)
{
    // The lines made from now on are measured anew.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_lineHeights.clear();
    QTableWidget::changeEvent(event);
}

void ETOrderTable::updateEditorGeometries()
{
    // The item view would place and show every line, in sight or not, after every new row.
    placeLines();
}

void ETOrderTable::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    placeLines();
}

void ETOrderTable::placeLines()
{
    // While a list is added out of sight, the lines are only placed: they get their controls when
    // it is in, from the lines in sight then.
    const bool withControls = m_addsThisEvent <= 1 || viewport()->isVisible();
    std::vector<int> rows;
    const int count = rowCount();
    if (count > 0) {
        int first = rowAt(0);
        int last = rowAt(qMax(0, viewport()->height() - 1));
        first = qMax(0, (first < 0 ? 0 : first) - placedMargin);
        last = qMin(count - 1, (last < 0 ? count - 1 : last) + placedMargin);
        // The keyboard enters the basket at its first line, backwards at its last: both are ready.
        rows.push_back(0);
        for (int row = first; row <= last; ++row)
            rows.push_back(row);
        rows.push_back(count - 1);
        // The line with the keyboard stays where it is, in sight or not.
        if (const ETOrderLine *focused = lineOf(keyboardWidget())) {
            const int row = rowOf(focused);
            if (row >= 0)
                rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    }
    std::vector<QPointer<QWidget>> placed;
    for (int row : rows) {
        QWidget *line = cellWidget(row, 0);
        if (!line)
            continue;
        const QRect cell = visualRect(model()->index(row, 0));
        auto *orderLine = qobject_cast<ETOrderLine *>(line);
        if (line->parentWidget() != viewport()) {
            line->setParent(viewport());
            if (orderLine)
                orderLine->setParked(false);
        }
        if (orderLine && withControls)
            orderLine->makeControls();
        if (line->geometry() != cell)
            line->setGeometry(cell);
        if (line->isHidden())
            line->show();
        placed.emplace_back(line);
    }
    // The others wait in the parking.
    for (std::vector<QPointer<QWidget>> *lines : {&m_placed, &m_unplaced}) {
        for (const QPointer<QWidget> &line : *lines) {
            if (line && line->parentWidget() == viewport() &&
                std::find(placed.begin(), placed.end(), line) == placed.end())
                park(line);
        }
    }
    m_unplaced.clear();
    if (withControls)
        chainLines(placed);
    m_placed.swap(placed);
}

void ETOrderTable::chainLines(const std::vector<QPointer<QWidget>> &placed)
{
    // Tab and Shift+Tab go through the placed lines' controls line by line: the keyboard's line is in
    // sight when a key comes (lineKey), so its neighbours are placed. From outside the basket the
    // chain enters at the first line, backwards at the last. setTabOrder passes over a widget that
    // takes no focus.
    const Qt::FocusPolicy policy = focusPolicy();
    QWidget *previous = this;
    for (const QPointer<QWidget> &placedLine : placed) {
        const auto *line = qobject_cast<const ETOrderLine *>(placedLine.data());
        if (!line)
            continue;
        for (QWidget *control : line->keyboardControls()) {
            if (previous->nextInFocusChain() != control) {
                setFocusPolicy(Qt::TabFocus);
                QWidget::setTabOrder(previous, control);
            }
            previous = control;
        }
    }
    setFocusPolicy(policy);
}

void ETOrderTable::park(QWidget *line)
{
    // Without its controls first: hiding the line then announces no control as hidden.
    if (auto *orderLine = qobject_cast<ETOrderLine *>(line))
        orderLine->setParked(true);
    line->hide();
    line->setParent(m_parking);
}

ETOrderLine *ETOrderTable::lineOf(QWidget *widget) const
{
    for (QWidget *w = widget; w && w != this; w = w->parentWidget()) {
        if (auto *line = qobject_cast<ETOrderLine *>(w))
            return rowOf(line) >= 0 ? line : nullptr;
    }
    return nullptr;
}

QWidget *ETOrderTable::keyboardWidget() const
{
    // The window's own: a window that is not active keeps it too.
    QWidget *focus = window()->focusWidget();
    return focus && (focus == this || isAncestorOf(focus)) ? focus : nullptr;
}

void ETOrderTable::showLine(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    scrollTo(model()->index(row, 0));
    placeLines();
}

void ETOrderTable::focusLine(int row, int control, Qt::FocusReason reason)
{
    ETOrderLine *line = lineAt(row);
    if (!line)
        return;
    showLine(row);
    line->makeControls();
    QList<QWidget *> controls;
    for (QWidget *widget : line->keyboardControls()) {
        if (widget->isEnabled())
            controls << widget;
    }
    if (controls.isEmpty())
        return;
    controls.at(qBound(0, control, int(controls.size()) - 1))->setFocus(reason);
}

void ETOrderTable::focusLineInSight()
{
    if (rowCount() == 0) {
        setFocus();
        return;
    }
    const int row = rowAt(0);
    focusLine(row < 0 ? 0 : row);
}

int ETOrderTable::rowAPageAway(int row, bool down) const
{
    // As a list moves its current row: by as many rows as the viewport shows.
    const int height = qMax(1, rowHeight(row));
    const int page = qMax(1, viewport()->height() / height);
    return qBound(0, row + (down ? page : -page), rowCount() - 1);
}

bool ETOrderTable::lineKey(ETOrderLine *line, QWidget *control, const QKeyEvent *key)
{
    const int row = rowOf(line);
    if (row < 0)
        return false;
    const bool withCtrl = key->modifiers() & Qt::ControlModifier;
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    int target = -1;
    if (plain && (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown))
        target = rowAPageAway(row, key->key() == Qt::Key_PageDown);
    else if (withCtrl && key->key() == Qt::Key_Home)
        target = 0;
    else if (withCtrl && key->key() == Qt::Key_End)
        target = rowCount() - 1;
    if (target < 0) {
        // What is typed goes where a person sees it.
        const QRect cell = visualRect(model()->index(row, 0));
        if (!viewport()->rect().contains(cell))
            showLine(row);
        return false;
    }
    const int place = int(line->keyboardControls().indexOf(control));
    focusLine(target, qMax(0, place), Qt::OtherFocusReason);
    return true;
}

void ETOrderTable::keyPressEvent(QKeyEvent *event)
{
    // Keys a line's control left alone come here; the item view would move its current row away
    // from the keyboard.
    event->ignore();
}

void ETOrderTable::followFocus(QWidget *now)
{
    // The keyboard moved into a line: it comes into sight, and the lines beyond it are placed.
    if (const ETOrderLine *line = lineOf(now))
        showLine(rowOf(line));
}

void ETOrderTable::scrollToTarget()
{
    const QModelIndex target = m_scrollTarget;
    m_scrollTarget = QPersistentModelIndex();
    if (target.isValid())
        scrollTo(target);
}

void ETOrderTable::orderTypeChanged(SubmitMethod method)
{
    ETOrder::instance()->setSubmitMethod(method);
    emit webCheckBoxEnabled(method == SubmitNet);
    viewport()->update();
}

void ETOrderTable::scrollUp()
{
    verticalScrollBar()->setValue(verticalScrollBar()->value() - 50);
}

void ETOrderTable::scrollDown()
{
    verticalScrollBar()->setValue(verticalScrollBar()->value() + 50);
}
