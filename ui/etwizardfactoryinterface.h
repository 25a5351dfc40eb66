#pragma once

#include <QObject>

class ETOrderItem;
class QWidget;

// The wizard library's order line and order table: only passed through here.
class ETOrderLine;
class ETOrderTable;

// What the application factory asks of the wizard library above it: the order
// wizard that becomes the main window, and the order line of the basket. The
// wizard's factories implement it; the program's application factory hands
// one to the base factory (GUI thread).
class ETWizardFactoryInterface : public QObject
{
    Q_OBJECT

  public:
    using QObject::QObject;

    // The caller owns the returned window.
    virtual QWidget *createOrderWizard(QWidget *parent = nullptr) = 0;
    // The wizard's plain order line for the item; it puts itself into the
    // table's cell (row, column), which owns it.
    virtual ETOrderLine *createOrderLine(ETOrderItem *item, int row, int column, ETOrderTable *table,
                                         const QString &name) = 0;
};
