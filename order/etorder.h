#pragma once

#include "paymenttype.h"
#include "submitmethod.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QStringList>

class ETCustomer;
class ETImage;
class ETOrderItem;

// The one order of the client: its lines, customer, store, submit method, payment type and discount tier,
// with the signals the screens follow. GUI thread, except optimizeImage(), which the upload thread calls.
class ETOrder : public QObject
{
    Q_OBJECT

  public:
    static ETOrder *instance();

    explicit ETOrder(QObject *parent = nullptr);
    ~ETOrder() override;

    void addImages(const QStringList &listFiles);
    // The picture paths of one list file, one a line; a file that is not a
    // regular one or has an overlong line gives none, with a warning.
    static QStringList readListFile(const QString &listFile);
    virtual bool addImage(ETImage *image, const QString &productName, int amount, int position);
    virtual void removeOrderItem(ETOrderItem *item);
    virtual void duplicateOrderItem(ETOrderItem *item, const QString &productName, int amount, int position);
    virtual QList<ETOrderItem *> *orderItems() { return &m_items; }
    virtual ETCustomer *customer() { return m_customer; }

    int numberOfImages() const;
    int totalAmount() const;
    int numberOfDistinctImages() const;
    // Each picture once, in order of first appearance; the caller deletes the list.
    QList<ETImage *> *distinctImages() const;
    // Sum of unit price times amount in cents; -1 when an ordered line has no price (the order cannot
    // be priced as it stands). Lines with amount 0 never count.
    int totalPrice() const;
    int transferLevel() const;

    void setStoreId(const QString &label) { m_storeId = label; }
    QString storeId() const { return m_storeId; }
    QString storeText() const;

    void setSubmitMethod(SubmitMethod method);
    SubmitMethod submitMethod() const { return m_submitMethod; }
    void setPaymentType(int type);
    int paymentType() const { return m_paymentType; }
    void selectDefaultPaymentType();

    bool isHomogeneous() const;
    int discountLevel() const { return m_discountLevel; }
    bool updateDiscountLevel();
    void refresh();
    void setAutoUpdate(bool on);

    QSize optimizedImageSize(ETImage *image) const;
    QSize optimizeImage(ETImage *image, int index, int total);
    void optimizeImages();
    // Once the order is confirmed or given up: no copy stays among the customer's pictures.
    void removeOptimizedCopies();
    // The files of the order's pictures (each picture's own and the one it works on), as canonical paths.
    QSet<QString> pictureFiles() const;
    // The pictures of the lines to be sent whose file (or optimised copy) is
    // missing, empty, no regular file or cannot be read, as the customer knows them.
    QStringList unreadablePictures() const;

  signals:
    void countImagesChanged();
    void submitMethodChanged(SubmitMethod method);
    void orderImageAdded(ETOrderItem *item, int position);
    void discountChanged(int level);
    void priceListChanged();
    // Emitted in the upload thread; receivers in the GUI thread get it queued.
    void imageOptimized(int percent);
    void newPrices();

  public slots:
    virtual void removeAllOrderItems();
    void internalUpdate();

  private:
    QList<ETOrderItem *> m_items;
    ETCustomer *m_customer;
    QString m_storeId;
    int m_paymentType = PaymentUnknown;
    SubmitMethod m_submitMethod = SubmitNet;
    int m_discountLevel = 0;
    bool m_autoUpdate = true;
};
