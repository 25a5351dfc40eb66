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
#include <QHeaderView>
#include <QScrollBar>

ETOrderTable::ETOrderTable(QWidget *parent, const QString &name) : QTableWidget(parent)
{
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

    m_defaultProduct = ETProductList::instance()->productNames().value(0);
    m_defaultAmount = 1;
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
    m_adding = true;
    insertRow(row);
    ETApplicationFactoryAbstract::instance()->createOrderLine(item, row, 0, this, QString());
    m_adding = false;
    // The line that was at the position, now below the new one, stays in sight. The table is laid
    // out once the order is done adding: a picture list adds hundreds of lines in one go.
    const int visible = position < 0 ? row : row + 1;
    if (visible >= rowCount())
        return;
    const bool queued = m_scrollTarget.isValid();
    m_scrollTarget = QPersistentModelIndex(model()->index(visible, 0));
    if (!queued)
        QMetaObject::invokeMethod(this, &ETOrderTable::scrollToTarget, Qt::QueuedConnection);
}

void ETOrderTable::updateEditorGeometries()
{
    // Placing every line after every insert would make loading a long picture list quadratic:
    // while lines are added, the lines are placed once the current event is done.
    if (m_adding) {
        if (!m_placingQueued) {
            m_placingQueued = true;
            QMetaObject::invokeMethod(this, &ETOrderTable::placeLines, Qt::QueuedConnection);
        }
        return;
    }
    QTableWidget::updateEditorGeometries();
}

void ETOrderTable::placeLines()
{
    m_placingQueued = false;
    updateEditorGeometries();
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
