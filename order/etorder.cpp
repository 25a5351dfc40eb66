#include "etorder.h"

#include "etapplicationconfig.h"
#include "etcopyrecords.h"
#include "etcurrencyconfig.h"
#include "etcustomer.h"
#include "etfileutils.h"
#include "etimage.h"
#include "etimageoperations.h"
#include "etimagepathprovider.h"
#include "etorderitem.h"
#include "etproductlist.h"
#include "etsingleton.h"
#include "etstore.h"
#include "etstorelist.h"
#include "etthumbnailbatch.h"
#include "etthumbnailfactory.h"
#include "ettransferconfig.h"
#include "ettransferlist.h"
#include "paymenttype.h"

#include <QDebug>

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <limits>
#include <vector>

ETOrder *ETOrder::instance()
{
    static ETSingleton<ETOrder> order;
    // The items live as long as the order, which is as long as the program.
    return order.get([] { return new ETOrder; }, [](ETOrder *gone) { qDeleteAll(*gone->orderItems()); });
}

ETOrder::ETOrder(QObject *parent) : QObject(parent), m_customer(new ETCustomer)
{
    setPaymentType(PaymentUnknown);
    // The stored method starts as net, so this announces nothing.
    setSubmitMethod(SubmitNet);
}

ETOrder::~ETOrder()
{
    delete m_customer;
}

namespace
{

// A price for the debug output; a missing price is never shown as money. A
// dealer currency missing from the table ends the program at the first price
// shown to the customer, not here.
QString moneyText(int cents)
{
    if (cents < 0)
        return QStringLiteral("no price");
    const QString code = ETApplicationConfig::instance()->currency();
    const ETCurrency *currency = ETCurrencyConfig::instance()->find(code);
    if (!currency)
        return ETCurrency().formatPrice(cents) + QLatin1Char(' ') + code;
    return currency->formatPrice(cents) + QLatin1Char(' ') + currency->shortForm();
}

QString describe(const ETOrderItem *item)
{
    return QStringLiteral("order line %1: product %2, amount %3, price %4, quality %5")
        .arg(item->image()->internalName(), item->productName())
        .arg(item->amount())
        .arg(moneyText(item->price()))
        .arg(item->quality());
}

// Longer than any path a file system takes: a line beyond it is no path.
constexpr qint64 maxListLine = 32768;

} // namespace

QStringList ETOrder::readListFile(const QString &listFile)
{
    QStringList paths;
    // Only a regular file ends for sure: a pipe without writer or a device would hold start-up.
    if (!QFileInfo(listFile).isFile()) {
        if (QFileInfo::exists(listFile))
            qWarning().noquote() << QStringLiteral("list file skipped: ") + listFile +
                                        QStringLiteral(" is not a regular file");
        return paths;
    }
    QFile file(listFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return paths;
    for (int number = 1; !file.atEnd(); ++number) {
        QByteArray line = file.readLine(maxListLine + 1);
        if (line.endsWith('\n')) {
            line.chop(1);
        } else if (!file.atEnd()) {
            qWarning().noquote()
                << QStringLiteral("list file skipped: ") + listFile +
                       QStringLiteral(": line %1 is longer than %2 bytes").arg(number).arg(maxListLine);
            return QStringList();
        }
        if (line.isEmpty())
            continue;
        QStringDecoder decode(QStringDecoder::System);
        const QString path = decode(line);
        if (decode.hasError()) {
            qWarning().noquote()
                << QStringLiteral("picture path skipped: ") + listFile +
                       QStringLiteral(": line %1 is not valid in the system encoding").arg(number);
            continue;
        }
        paths << path;
    }
    return paths;
}

void ETOrder::addImages(const QStringList &listFiles)
{
    QStringList paths;
    for (const QString &listFile : listFiles)
        paths << readListFile(listFile);
    // The thumbnails are decoded ahead on worker threads while the pictures join the order here,
    // one after the other in the lists' order.
    QStringList files;
    std::vector<int> decodeIndex;
    decodeIndex.reserve(size_t(paths.size()));
    for (const QString &path : std::as_const(paths)) {
        const QFileInfo info(path);
        decodeIndex.push_back(info.isFile() ? int(files.size()) : -1);
        if (info.isFile())
            files << info.absoluteFilePath();
    }
    const ETThumbnailFactory *factory = ETThumbnailFactory::instance();
    ETThumbnailBatch thumbnails(files, QSize(factory->thumbWidth(), factory->thumbHeight()));
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        qDebug().noquote() << QStringLiteral("new Image ") + path;
        const int index = decodeIndex[size_t(i)];
        if (index < 0)
            continue;
        ETImage *image = ETImage::create(files.at(index), thumbnails.take(index));
        if (!image)
            continue;
        qDebug().noquote() << QStringLiteral("adding Image ") + path;
        if (addImage(image, ETProductList::instance()->firstProductName(), image->isInvalid() ? 0 : 1, 0))
            qDebug().noquote() << describe(m_items.last());
    }
    qDebug().noquote()
        << QStringLiteral("order total: %1 prints, %2").arg(numberOfImages()).arg(moneyText(totalPrice()));
}

bool ETOrder::addImage(ETImage *image, const QString &productName, int amount, int position)
{
    if (!image->copyToWorkFile())
        return false;
    auto *item = new ETOrderItem(image, productName, amount);
    m_items.append(item);
    updateDiscountLevel();
    emit orderImageAdded(item, position);
    emit countImagesChanged();
    emit newPrices();
    return true;
}

void ETOrder::removeOrderItem(ETOrderItem *item)
{
    m_items.removeAll(item);
    updateDiscountLevel();
    emit newPrices();
    ETImagePathProvider::instance()->changed();
}

void ETOrder::duplicateOrderItem(ETOrderItem *item, const QString &productName, int amount, int position)
{
    addImage(item->image(), productName, amount, position);
}

void ETOrder::removeAllOrderItems()
{
    m_items.clear();
    updateDiscountLevel();
    emit newPrices();
    ETImagePathProvider::instance()->changed();
}

int ETOrder::numberOfImages() const
{
    int sum = 0;
    for (const ETOrderItem *item : m_items)
        sum += item->amount();
    return sum;
}

int ETOrder::totalAmount() const
{
    return numberOfImages();
}

int ETOrder::numberOfDistinctImages() const
{
    QSet<ETImage *> seen;
    for (const ETOrderItem *item : m_items)
        seen.insert(item->image());
    return int(seen.size());
}

QList<ETImage *> *ETOrder::distinctImages() const
{
    auto *list = new QList<ETImage *>;
    for (const ETOrderItem *item : m_items) {
        if (!list->contains(item->image()))
            list->append(item->image());
    }
    return list;
}

int ETOrder::totalPrice() const
{
    qint64 sum = 0;
    for (const ETOrderItem *item : m_items) {
        if (!item->isOrdered())
            continue;
        const int unit = item->price();
        if (unit < 0)
            return -1;
        sum += qint64(unit) * item->amount();
    }
    // Beyond a signed 32-bit count of cents there is no price to show either.
    return sum > std::numeric_limits<int>::max() ? -1 : int(sum);
}

int ETOrder::transferLevel() const
{
    return ETTransferList::instance()->transferLevel(totalPrice());
}

QString ETOrder::storeText() const
{
    const ETStore *store = ETStore::storeList()->storeByLabel(m_storeId);
    return store ? store->richText() : QString();
}

void ETOrder::setSubmitMethod(SubmitMethod method)
{
    if (method == m_submitMethod)
        return;
    m_submitMethod = method;
    emit newPrices();
    emit submitMethodChanged(method);
}

void ETOrder::setPaymentType(int type)
{
    qDebug("Payment Type: %d", type);
    m_paymentType = type;
}

void ETOrder::selectDefaultPaymentType()
{
    ETTransferConfig *rules = ETTransferConfig::instance();
    if (rules->isAllowedForKind0(m_submitMethod))
        setPaymentType(PaymentOutlet);
    else if (rules->isAllowed(m_submitMethod, PaymentBill))
        setPaymentType(PaymentBill);
    else if (rules->isAllowed(m_submitMethod, PaymentCreditCard))
        setPaymentType(PaymentCreditCard);
    else
        setPaymentType(PaymentDebit);
}

bool ETOrder::isHomogeneous() const
{
    if (m_items.isEmpty())
        return true;
    const QString first = m_items.first()->resolvedProductName();
    for (const ETOrderItem *item : m_items) {
        if (item->resolvedProductName() != first)
            return false;
    }
    return true;
}

bool ETOrder::updateDiscountLevel()
{
    if (!m_autoUpdate)
        return false;
    const int level = isHomogeneous() ? ETTransferList::instance()->discountLevel(totalAmount()) : 0;
    if (level == m_discountLevel)
        return false;
    m_discountLevel = level;
    emit newPrices();
    return true;
}

void ETOrder::refresh()
{
    updateDiscountLevel();
    emit newPrices();
}

void ETOrder::setAutoUpdate(bool on)
{
    m_autoUpdate = on;
    internalUpdate();
}

void ETOrder::internalUpdate()
{
    if (!m_autoUpdate)
        return;
    updateDiscountLevel();
    emit newPrices();
}

QSize ETOrder::optimizedImageSize(ETImage *image) const
{
    int longMax = 0;
    int shortMax = 0;
    bool sized = true;
    ETProductList *products = ETProductList::instance();
    for (const ETOrderItem *item : m_items) {
        if (item->image() != image)
            continue;
        const ETProduct *product = products->product(item->productName());
        if (!product)
            continue;
        sized = sized && product->widthPixels() > 0 && product->heightPixels() > 0;
        longMax = qMax(longMax, product->widthPixels());
        shortMax = qMax(shortMax, product->heightPixels());
    }
    const int w = image->width();
    const int h = image->height();
    // A product without a print size ("0x0") says nothing about the pixels
    // needed, nor does an order without a known product: the picture keeps
    // its size instead of shrinking to a pixel.
    if (!sized || longMax <= 0 || shortMax <= 0)
        return QSize(w, h);
    if (w <= h)
        return QSize(qMin(w, shortMax), qMin(h, longMax));
    return QSize(qMin(w, longMax), qMin(h, shortMax));
}

QSize ETOrder::optimizeImage(ETImage *image, int index, int total)
{
    ETImageOperations ops;
    const QSize size = optimizedImageSize(image);
    ops.writeOptimizedCopy(image, size);
    emit imageOptimized(index * 100 / qMax(total, 1));
    return size;
}

void ETOrder::optimizeImages()
{
    const QList<ETImage *> *images = distinctImages();
    const int total = int(images->size());
    int index = 0;
    for (ETImage *image : *images)
        optimizeImage(image, ++index, total);
    delete images;
}

void ETOrder::removeOptimizedCopies()
{
    // Those of pictures no longer in the order too.
    ETCopyRecords::instance()->removeAll();
}

QSet<QString> ETOrder::pictureFiles() const
{
    QSet<QString> files;
    for (const ETOrderItem *item : m_items)
        for (const QString &file : {item->image()->path(), item->image()->originalPath()})
            if (!file.isEmpty())
                files.insert(QFileInfo(file).canonicalFilePath());
    files.remove(QString());
    return files;
}

QStringList ETOrder::unreadablePictures() const
{
    QStringList names;
    QList<const ETImage *> checked;
    for (const ETOrderItem *item : m_items) {
        const ETImage *image = item->image();
        if (!item->isOrdered() || checked.contains(image))
            continue;
        checked << image;
        for (const QString &file : {image->path(), image->uploadSource()}) {
            if (!isReadableRegularFile(file) || QFileInfo(file).size() == 0) {
                names << image->customerPath();
                break;
            }
        }
    }
    return names;
}
