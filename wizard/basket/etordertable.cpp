#include "etordertable.h"

#include "etappearanceconfig.h"
#include "etapplicationconfig.h"
#include "etapplicationfactoryabstract.h"
#include "etorder.h"
#include "etorderline.h"
#include "etordertableaccessible.h"
#include "etorderwizard.h"
#include "etproductlist.h"
#include "etrequestercontroller.h"
#include "etwizardfactory.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
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

    ETOrder *order = ETOrder::instance();
    connect(order, &ETOrder::orderImageAdded, this,
            qOverload<ETOrderItem *, int>(&ETOrderTable::addOrderItem));
    connect(order, &ETOrder::submitMethodChanged, this, &ETOrderTable::orderTypeChanged);
    connect(order, &ETOrder::newPrices, this, &ETOrderTable::updateEverything);
    connect(order, &ETOrder::newPrices, this, &ETOrderTable::refreshLines);
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

void ETOrderTable::refreshLines()
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
    if (row >= 0)
        takeOutRow(row);
    ETOrder *order = ETOrder::instance();
    // The order lets go of the item without deleting it: it is the caller's then.
    const bool ordered = order->orderItems()->contains(item);
    order->removeOrderItem(item);
    if (ordered && !shownByALine(item))
        delete item;
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
    if (!m_viewportHeld)
        return;
    m_viewportHeld = false;
    viewport()->show();
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
    std::vector<QPointer<QWidget>> placed;
    const int rows = rowCount();
    if (rows > 0) {
        int first = rowAt(0);
        int last = rowAt(qMax(0, viewport()->height() - 1));
        first = qMax(0, (first < 0 ? 0 : first) - placedMargin);
        last = qMin(rows - 1, (last < 0 ? rows - 1 : last) + placedMargin);
        for (int row = first; row <= last; ++row) {
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
    }
    // The lines out of sight wait in the parking; one that holds the keyboard focus stays where it is.
    const QWidget *focus = QApplication::focusWidget();
    for (std::vector<QPointer<QWidget>> *lines : {&m_placed, &m_unplaced}) {
        for (const QPointer<QWidget> &line : *lines) {
            if (!line || line->parentWidget() != viewport() ||
                std::find(placed.begin(), placed.end(), line) != placed.end())
                continue;
            if (focus && line->isAncestorOf(focus))
                placed.push_back(line);
            else
                park(line);
        }
    }
    m_unplaced.clear();
    m_placed.swap(placed);
}

void ETOrderTable::park(QWidget *line)
{
    // A line that is not in sight now (one made while the viewport waited hidden) is only marked
    // hidden: hiding it the ordinary way would announce every one of its controls as hidden.
    if (!line->isVisible())
        line->setAttribute(Qt::WA_WState_Hidden);
    line->setParent(m_parking);
    if (auto *orderLine = qobject_cast<ETOrderLine *>(line))
        orderLine->setParked(true);
}

void ETOrderTable::followFocus(QWidget *now)
{
    // The keyboard moved into a line: it comes into sight, and the lines beyond it are placed.
    for (QWidget *widget = now; widget && widget != this; widget = widget->parentWidget()) {
        auto *line = qobject_cast<ETOrderLine *>(widget);
        if (!line)
            continue;
        const int row = rowOf(line);
        if (row >= 0)
            scrollTo(model()->index(row, 0));
        return;
    }
}

void ETOrderTable::scrollToTarget()
{
    const QModelIndex target = m_scrollTarget;
    m_scrollTarget = QPersistentModelIndex();
    if (target.isValid())
        scrollTo(target);
}

void ETOrderTable::startWizard()
{
    ETApplicationFactoryAbstract *application = ETApplicationFactoryAbstract::instance();
    QWidget *mainWidget = application->mainWidget();
    if (!ETOrder::instance()->isHomogeneous() && ETApplicationConfig::instance()->warnMixedFormats())
        ETRequesterController::instance()->mixedFormats();
    auto *factory = qobject_cast<ETWizardFactory *>(application->wizardFactory());
    if (!factory)
        return;
    ETOrderWizard *wizard = factory->createAppropriateWizard(mainWidget);
    if (!wizard)
        return;
    wizard->exec();
    delete wizard;
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

void ETOrderTable::updateEverything() {}
