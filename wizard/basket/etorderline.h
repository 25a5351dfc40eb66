#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class ETAmountLineEdit;
class ETFormatComboBox;
class ETLineEdit;
class ETOrderItem;
class ETOrderTable;
class QLabel;
class QPixmap;
class QPushButton;

// One row of the basket: the picture's thumbnail, its product and amount, unit
// price and line total, a photo-quality mark, and the buttons that duplicate
// and remove the line. It writes the customer's choices into its order item
// at once and shows the item again on every price update of the order. The
// concrete lines lay it out (GUI thread).
class ETOrderLine : public QWidget
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
    // The table parks a line out of sight and places it again: a parked line keeps no picture of its
    // own, and shows its thumbnail anew once placed.
    void setParked(bool parked);
    bool isParked() const { return m_parked; }
    // The table is going: the line no longer reaches it.
    void forgetTable();

    QPushButton *anotherFormatButton() const { return m_anotherFormat; }
    QPushButton *removeButton() const { return m_remove; }
    QLabel *thumbnailLabel() const { return m_thumbnail; }
    ETFormatComboBox *productCombo() const { return m_product; }
    ETAmountLineEdit *amountEdit() const { return m_amount; }
    QLabel *qualityLabel() const { return m_quality; }
    ETLineEdit *unitPriceField() const { return m_unitPrice; }
    ETLineEdit *totalPriceField() const { return m_totalPrice; }
    // None when the skin shows no pixel sizes.
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
    // Builds the widgets; the concrete line's constructor then calls setUp.
    ETOrderLine(ETOrderItem *item, ETOrderTable *table, const QString &name);
    // Lays out, shows the item and puts the line into the table's cell.
    void setUp(int row, int column);

    virtual void showThumbnail() = 0;
    // What the line painted for itself goes while it is parked.
    virtual void releaseThumbnail() {}
    // Lays the widgets out and sets the height of the table's row.
    virtual void buildLayout(int row) = 0;

    void mouseDoubleClickEvent(QMouseEvent *event) override;

    // None once the table is gone.
    ETOrderTable *table() const;
    // Whether the thumbnail was already shown as it is now; keeps the label's
    // picture from being made again on every price update.
    bool thumbnailShown(const QPixmap &thumbnail);
    // The skin's tool tip of the thumbnail: the picture's file name.
    void setThumbnailToolTip();

  private:
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
    bool m_parked = false;
};
