#pragma once

#include "etorderitem.h"
#include "etorderline.h"
#include "submitmethod.h"

#include <QByteArray>
#include <QHash>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTableWidget>

#include <vector>

class QKeyEvent;

// The basket: a one-column table whose every row is the order line of one
// order item. It follows the order: a picture the order announces gets a new
// line at the position the order names; a line's own buttons remove or
// duplicate it through here; every price update of the order refreshes the
// lines. Only the lines of the rows in sight (and a few beyond) are placed in
// the viewport; the others wait hidden beside it, so that neither a scroll step
// nor a new row moves every line (GUI thread). The keyboard goes through the
// lines' controls line by line, the line it is in always in sight; from
// outside it enters at the first line, backwards at the last, which therefore
// stay placed too.
class ETOrderTable : public QTableWidget
{
    Q_OBJECT

  public:
    explicit ETOrderTable(QWidget *parent = nullptr, const QString &name = QString());
    // The lines go after this part of the table: they forget it first.
    ~ETOrderTable() override;

    // The row whose line is the widget; -1 when no row holds it.
    int rowOf(const QWidget *widget) const;
    // The line in the row, or none.
    ETOrderLine *lineAt(int row) const;
    QString defaultProduct() const { return m_defaultProduct; }
    int defaultAmount() const { return m_defaultAmount; }
    // Each line calls it at the end of its refresh.
    void notifyContentChanged();
    // A line tells the table it exists, and that it goes: the table refreshes it on every price
    // update of the order.
    void lineMade(ETOrderLine *line);
    void lineGone(ETOrderLine *line);
    // Places the lines of the rows in sight and a few beyond, the first and the last line and the one
    // with the keyboard in the viewport, with their controls, and parks the others; a new line calls
    // it once it is in its row.
    void placeLines();
    // Scrolls the row's line into sight; it has its controls then.
    void showLine(int row);
    // Brings the row's line into sight and gives the keyboard to its control of that place in
    // keyboardControls (the last one for a place beyond).
    void focusLine(int row, int control = 0, Qt::FocusReason reason = Qt::OtherFocusReason);
    // Gives the keyboard to the first line in sight; keeps it itself when it has no line.
    void focusLineInSight();
    // A key pressed in one of the line's controls: true when it moved through the lines (Page Up and
    // Down, Ctrl+Home and Ctrl+End); any other key first brings the line into sight.
    bool lineKey(ETOrderLine *line, QWidget *control, const QKeyEvent *key);
    // The height of the rows of a kind of line (its class, with or without pixel sizes), learnt from
    // the first such line; -1 before it or after a change of font or style.
    int lineHeight(const QByteArray &kind) const { return m_lineHeights.value(kind, -1); }
    void setLineHeight(const QByteArray &kind, int height) { m_lineHeights.insert(kind, height); }

  public slots:
    void productDefaultChanged(const QString &product);
    // Text that is not a number gives 0.
    void amountDefaultChanged(const QString &amount);
    void deleteAllOrderItems();
    // The duplicate takes the line's row, which moves one down.
    void duplicateItem(ETOrderItem *item, QWidget *widget);
    // The line is deleted only after the current event, so it may ask from its own slot.
    void removeItem(QWidget *widget, ETOrderItem *item, ETOrderLine *line);
    void addOrderItem(ETOrderItem *item);
    // Position -1 appends.
    void addOrderItem(ETOrderItem *item, int position);
    void orderTypeChanged(SubmitMethod method);
    // By 50 pixels.
    void scrollUp();
    void scrollDown();
    // Every line shows its item's prices anew (on every price update of the order).
    virtual void updateEverything();

  signals:
    void webCheckBoxEnabled(bool enabled);
    void contentChanged();
    void itemRemoved();

  protected:
    void changeEvent(QEvent *event) override;
    void updateEditorGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    // The keys that move through the lines; the item view's own moves would leave the keyboard behind.
    void keyPressEvent(QKeyEvent *event) override;

  private:
    // What every line's prices follow besides its own item.
    struct PriceState {
        int discountLevel = -1;
        int submitMethod = -1;
        int paymentType = -2;
        QStringList products;
        bool operator==(const PriceState &other) const;
    };
    static PriceState currentPriceState();

    void endAdding();
    void park(QWidget *line);
    void followFocus(QWidget *now);
    // The line that holds the widget, or none.
    ETOrderLine *lineOf(QWidget *widget) const;
    // The keyboard's widget in this window.
    QWidget *keyboardWidget() const;
    // The placed lines' controls follow the table in the focus chain in row order.
    void chainLines(const std::vector<QPointer<QWidget>> &placed);
    // The row Page Up and Down reach from the row.
    int rowAPageAway(int row, bool down) const;
    bool shownByALine(const ETOrderItem *item) const;
    void takeOutRow(int row);
    void scrollToTarget();

    // The row to bring into sight once the current event is done.
    QPersistentModelIndex m_scrollTarget;
    QString m_defaultProduct;
    int m_defaultAmount = 1;
    // Every line, in the order they were made.
    std::vector<ETOrderLine *> m_lines;
    // The lines in the viewport now, and those made since the last placing; the others wait
    // hidden in the parking.
    std::vector<QPointer<QWidget>> m_placed;
    std::vector<QPointer<QWidget>> m_unplaced;
    QWidget *m_parking;
    PriceState m_shownPrices;
    // The price update that follows a new line changes nothing for the others unless the prices did.
    bool m_lineAdded = false;
    int m_addsThisEvent = 0;
    bool m_viewportHeld = false;
    QHash<QByteArray, int> m_lineHeights;
};
