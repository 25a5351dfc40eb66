#pragma once

#include "etamountlineedit.h"
#include "etformatcombobox.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class ETLineEdit;
class ETOrderItem;
class ETOrderTable;
class QLabel;
class QPixmap;
class QPushButton;

// One row of the basket: the picture's thumbnail, its product and amount, unit
// price and line total, a photo-quality mark, and the buttons that duplicate
// and remove the line. It writes the customer's choices into its order item
// at once and shows the item again on every price update of the order. A line
// has its controls only while the table places it in sight (or something asks
// for one): out of sight it keeps its item alone, and follows the masters
// through the item. The concrete lines lay it out (GUI thread).
class ETOrderLine : public QWidget, private ETAmountLineEdit::Follower, private ETFormatComboBox::Follower
{
    Q_OBJECT

  public:
    ~ETOrderLine() override;

    // None once the line asked to leave the order.
    ETOrderItem *item() const { return m_item; }
    // Leaves the line without item: it shows nothing more and changes nothing.
    ETOrderItem *takeItem();
    // Whether its last refresh showed the item's amount, product and picture as they are now.
    bool showsItem() const;
    // The table parks a line out of sight and places it again: a parked line lets its controls go,
    // and makes them anew once placed.
    void setParked(bool parked);
    bool isParked() const { return m_parked; }
    // Makes the line's controls if it has none, showing the item in them.
    void makeControls();
    bool hasControls() const { return m_controls; }
    // The controls the keyboard goes through, in its order: amount, format, another format, remove;
    // none while the line has no controls.
    QList<QWidget *> keyboardControls() const;
    // The table is going: the line no longer reaches it.
    void forgetTable();

    // The line's controls; none while it has none (makeControls makes them).
    QPushButton *anotherFormatButton() const { return m_anotherFormat; }
    QPushButton *removeButton() const { return m_remove; }
    QLabel *thumbnailLabel() const { return m_thumbnail; }
    ETFormatComboBox *productCombo() const { return m_product; }
    ETAmountLineEdit *amountEdit() const { return m_amount; }
    QLabel *qualityLabel() const { return m_quality; }
    ETLineEdit *unitPriceField() const { return m_unitPrice; }
    ETLineEdit *totalPriceField() const { return m_totalPrice; }
    // None also when the skin shows no pixel sizes.
    QLabel *pixelSizeLabel() const { return m_pixelSize; }

    // The quality mark of that level (0 to 4), or none when the skin lacks it.
    static const QPixmap *qualityIcon(int level);
    static QString qualityToolTip(int level);

  public slots:
    void productChanged(const QString &product);
    // Text that is not a number gives 0.
    void amountChanged(const QString &amount);
    void removeMeFromOrder();
    void duplicateMeToOrder();
    void refresh();

  protected:
    ETOrderLine(ETOrderItem *item, ETOrderTable *table, const QString &name);
    // Sets the row's height, shows the item and puts the line into the table's cell; the concrete
    // line's constructor calls it.
    void setUp(int row, int column);

    virtual void showThumbnail() = 0;
    // Lays the controls out; the height the line's row needs.
    virtual int buildLayout() = 0;

    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // The table's keys for moving through the lines, and a key typed into a control out of sight.
    bool eventFilter(QObject *watched, QEvent *event) override;

    // Whether the thumbnail was already shown as it is now; keeps the label's
    // picture from being made again on every price update.
    bool thumbnailShown(const QPixmap &thumbnail);
    // The skin's tool tip of the thumbnail: the picture's file name.
    void setThumbnailToolTip();

  private:
    void followAmount(const QString &text) override;
    void followProduct(int index) override;
    void dropControls();
    void chainControls();
    // Writes the item into the controls; false when the refresh this starts took the item or the
    // controls away.
    bool showItemInControls();
    void keepTextReadable();
    void showPrices();
    void showQuality();
    void nameLine();

    QPointer<ETOrderTable> m_table;
    QPushButton *m_anotherFormat = nullptr;
    QPushButton *m_remove = nullptr;
    ETOrderItem *m_item;
    QLabel *m_thumbnail = nullptr;
    ETFormatComboBox *m_product = nullptr;
    ETAmountLineEdit *m_amount = nullptr;
    QLabel *m_quality = nullptr;
    ETLineEdit *m_unitPrice = nullptr;
    ETLineEdit *m_totalPrice = nullptr;
    QLabel *m_pixelSize = nullptr;
    qint64 m_thumbnailKey = 0;
    // What the last refresh showed of the item itself.
    struct {
        int amount = -1;
        qint64 thumbnail = 0;
        QString product;
        QString fileName;
    } m_shownItem;
    qint64 m_shownTotal = 0;
    int m_shownUnit = 0;
    int m_shownQuality = -1;
    bool m_shownPrices = false;
    // The height the layout asked for when the controls were made last.
    int m_layoutHeight = 0;
    bool m_parked = false;
    bool m_controls = false;
    // Whether the skin showed pixel sizes when the line was made.
    bool m_withPixelSize = false;
};
