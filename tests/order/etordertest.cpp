#include "etorder.h"

#include "etcurrencyconfig.h"
#include "etcustomer.h"
#include "etfileutils.h"
#include "etimage.h"
#include "etimagepathprovider.h"
#include "etorderitem.h"
#include "etproductlist.h"
#include "etstore.h"
#include "etstorelist.h"
#include "etthumbnailloader.h"
#include "ettransferlist.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include "ettestwait.h"
#include "messagecapture.h"
#include "resourcefolder.h"
#include "testpathprovider.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QThread>

#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

#include <sys/stat.h>

namespace
{

QByteArray article(const char *type, const char *name, const char *price, int tier, const char *size = "")
{
    return QByteArray("<article transfer_type=\"") + type + "\"><artid>" + name + "-" + type + "-" +
           QByteArray::number(tier) + "</artid><name>" + name + "</name><price>" + price +
           "</price><discount_level>" + QByteArray::number(tier) + "</discount_level>" + size + "</article>";
}

// Products: "10x15" with falling tier prices for every code, "13x18" with base prices only,
// "Poster" (18 x 12 mm at 10 dots per mm) for the optimised copies, "Wand" too large to fit an int,
// "0x0" without a print size.
// Discount tiers at 10 and 50 prints.
class OrderResources : public ResourceFolder
{
  public:
    explicit OrderResources(const char *currency = "EUR") : ResourceFolder(0, currency)
    {
        QByteArray entries;
        for (const char *code : {"FC", "FM", "CC", "CM"}) {
            entries += article(code, "10x15", "0,19", 0) + article(code, "10x15", "0,17", 1) +
                       article(code, "10x15", "0,15", 2);
        }
        entries += article("FC", "13x18", "0,49", 0) + article("FM", "13x18", "0,59", 0);
        entries += article("FC", "Poster", "5", 0,
                           "<width>18</width><height>12</height><dots_per_mm>10</dots_per_mm>");
        // Kilometres of print: pixel counts beyond any int, refused like a name without a size.
        entries += article("FC", "Wand", "5", 0, "<width>2000000000</width><height>2000000000</height>");
        // A name that reads as no size at all.
        entries += article("FC", "0x0", "5", 0);
        write(QStringLiteral("productlist.xml"), "<reply><content>" + entries + "</content></reply>");
        write(QStringLiteral("transferlist.xml"),
              "<content><homog_min level=\"1\">10</homog_min><homog_min level=\"2\">50</homog_min>"
              "<threshold level=\"1\">5,00</threshold></content>");
        write(QStringLiteral("payment.xml"),
              "<config><payments><entry upload=\"net\"><p>bill</p><p>creditcard</p></entry>"
              "<entry upload=\"CD\"><p>outlet</p></entry></payments></config>");
    }
};

// Records the order's signals by name, in emission order.
class SignalLog : public QObject
{
  public:
    explicit SignalLog(ETOrder *order)
    {
        connect(order, &ETOrder::countImagesChanged, this,
                [this] { m_names << QStringLiteral("countImagesChanged"); });
        connect(order, &ETOrder::submitMethodChanged, this,
                [this](SubmitMethod m) { m_names << QStringLiteral("submitMethodChanged(%1)").arg(int(m)); });
        connect(order, &ETOrder::orderImageAdded, this, [this](ETOrderItem *, int position) {
            m_names << QStringLiteral("orderImageAdded(%1)").arg(position);
        });
        connect(order, &ETOrder::newPrices, this, [this] { m_names << QStringLiteral("newPrices"); });
        connect(order, &ETOrder::imageOptimized, this,
                [this](int percent) { m_names << QStringLiteral("imageOptimized(%1)").arg(percent); });
    }
    QStringList take()
    {
        const QStringList names = m_names;
        m_names.clear();
        return names;
    }

  private:
    QStringList m_names;
};

ETImage *picture(const ResourceFolder &resources, const QString &name, int width = 30, int height = 20)
{
    return ETImage::create(resources.paint(name, width, height));
}

// Notes every picture the thumbnail chain is asked for and leaves it to the next loader (any thread).
class NotingThumbnailLoader : public ETThumbnailLoader
{
  public:
    NotingThumbnailLoader() : ETThumbnailLoader(10) { addToChain(this); }
    QImage *load(const QString &path, int, int, int *, int *) override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_asked[path];
        m_onTheCallersThread = m_onTheCallersThread || QThread::currentThread() == thread();
        return nullptr;
    }
    bool onTheCallersThread()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_onTheCallersThread;
    }
    QThread *thread() const { return m_thread; }
    int asked(const QString &path)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_asked.value(path);
    }

  private:
    std::mutex m_mutex;
    QHash<QString, int> m_asked;
    QThread *const m_thread = QThread::currentThread();
    bool m_onTheCallersThread = false;
};

} // namespace

TEST(ETOrderTest, ListFilesBecomeItems)
{
    OrderResources resources;
    const QString good = resources.paint(QStringLiteral("good.jpg"), 30, 20);
    const QString corrupt = resources.writeFile(QStringLiteral("corrupt.jpg"), "not a picture");
    const QString list =
        resources.writeFile(QStringLiteral("list.txt"),
                            (good + QStringLiteral("\n\n") + resources.file(QStringLiteral("missing.jpg")) +
                             QStringLiteral("\n ") + good + QStringLiteral("\n") + corrupt)
                                .toUtf8());
    MessageCapture capture;
    ETOrder *order = ETOrder::instance();
    order->addImages({list, resources.file(QStringLiteral("nolist.txt"))});
    ASSERT_EQ(order->orderItems()->size(), 2);
    const ETOrderItem *first = order->orderItems()->at(0);
    EXPECT_EQ(first->productName(), QStringLiteral("10x15"));
    EXPECT_EQ(first->amount(), 1);
    EXPECT_EQ(first->price(), 19);
    const ETOrderItem *broken = order->orderItems()->at(1);
    EXPECT_EQ(broken->amount(), 0);
    EXPECT_TRUE(broken->image()->isInvalid());
    EXPECT_TRUE(hasLine(capture, QStringLiteral("new Image ") + good));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("adding Image ") + good));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("new Image  ") + good)) << "lines are not trimmed";
    EXPECT_FALSE(hasLine(capture, QStringLiteral("adding Image  ") + good));
    EXPECT_TRUE(
        hasLine(capture, QStringLiteral("new Image ") + resources.file(QStringLiteral("missing.jpg"))));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("adding Image ") + corrupt));
    EXPECT_EQ(first->uploadFileName(), first->image()->internalName().left(8) + QStringLiteral(".jpg"));

    order->orderItems()->at(1)->setAmount(5);
    EXPECT_EQ(order->orderItems()->at(1)->amount(), 0) << "an unreadable picture keeps amount 0";
}

// Reads a list file in a thread of its own: a reader that blocks fails the test instead of holding it.
::testing::AssertionResult readsWithin(const QString &listFile, QStringList &paths)
{
    auto result = std::make_shared<std::promise<QStringList>>();
    std::future<QStringList> done = result->get_future();
    std::thread([result, listFile] { result->set_value(ETOrder::readListFile(listFile)); }).detach();
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
        return ::testing::AssertionFailure() << "still reading " << listFile.toStdString() << " after 10 s";
    paths = done.get();
    return ::testing::AssertionSuccess();
}

// The thumbnails are decoded ahead by worker threads; the pictures still join in the lists' order.
TEST(ETOrderTest, ManyPicturesJoinInListOrderEachDecodedOnce)
{
    OrderResources resources;
    QByteArray list;
    QStringList paths;
    for (int i = 0; i < 24; ++i) {
        paths << resources.paint(QStringLiteral("p%1.jpg").arg(i), 20 + i, 10);
        list += paths.last().toUtf8() + '\n';
    }
    NotingThumbnailLoader noting;
    ETOrder *order = ETOrder::instance();
    order->addImages({resources.writeFile(QStringLiteral("list.txt"), list)});
    ASSERT_EQ(paths.size(), order->orderItems()->size());
    for (int i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(i);
        ETImage *image = order->orderItems()->at(i)->image();
        EXPECT_EQ(QFileInfo(paths[i]).fileName(), image->metaData()->fileName());
        EXPECT_EQ(20 + i, image->width()) << "the size its thumbnail's decode found";
        EXPECT_FALSE(image->thumbnail()->isNull());
        EXPECT_EQ(1, noting.asked(QFileInfo(paths[i]).absoluteFilePath()));
    }
    EXPECT_FALSE(noting.onTheCallersThread()) << "the order's thread only places the pictures";
}

TEST(ETOrderTest, ListFilesThatNeverEndAreSkippedWithTheReason)
{
    OrderResources resources;
    const QString good = resources.paint(QStringLiteral("good.jpg"), 30, 20);
    const QString pipe = resources.file(QStringLiteral("pipe.txt"));
    ASSERT_EQ(0, mkfifo(QFile::encodeName(pipe).constData(), 0600));
    const QString endless =
        resources.writeFile(QStringLiteral("endless.txt"), good.toUtf8() + "\n" + QByteArray(100000, 'x'));
    const QString odd =
        resources.writeFile(QStringLiteral("odd.txt"), "/pictures/caf\xe9.jpg\n" + good.toUtf8() + "\r\n");
    const struct {
        QString file;
        QStringList paths;
        QString warning;
    } cases[] = {
        // A pipe without writer and a device never end; neither is read at all.
        {pipe, {}, QStringLiteral("list file skipped: ") + pipe + QStringLiteral(" is not a regular file")},
        {QStringLiteral("/dev/zero"),
         {},
         QStringLiteral("list file skipped: /dev/zero is not a regular file")},
        {endless,
         {},
         QStringLiteral("list file skipped: ") + endless +
             QStringLiteral(": line 2 is longer than 32768 bytes")},
        // A path that is no text in the system encoding is named, the others are read.
        {odd,
         {good},
         QStringLiteral("picture path skipped: ") + odd +
             QStringLiteral(": line 1 is not valid in the system encoding")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        MessageCapture capture;
        QStringList paths;
        ASSERT_TRUE(readsWithin(c.file, paths));
        EXPECT_EQ(c.paths, paths);
        EXPECT_TRUE(hasLine(capture, c.warning));
    }

    MessageCapture capture;
    ETOrder::instance()->addImages({pipe, endless, odd});
    ASSERT_EQ(ETOrder::instance()->orderItems()->size(), 1);
    EXPECT_TRUE(hasLine(capture, QStringLiteral("adding Image ") + good));
}

TEST(ETOrderTest, UnknownDealerCurrencyDoesNotEndTheStartUp)
{
    // The dealer names a currency that currencies.xml lacks: the first price
    // the customer sees ends the program, the start-up's debug lines do not.
    OrderResources resources("XYZ");
    const QString good = resources.paint(QStringLiteral("good.jpg"), 30, 20);
    const QString list = resources.writeFile(QStringLiteral("list.txt"), good.toUtf8() + "\n");
    {
        MessageCapture capture;
        ETOrder::instance()->addImages({list});
        ASSERT_EQ(ETOrder::instance()->orderItems()->size(), 1);
        EXPECT_TRUE(hasLine(capture, QStringLiteral("order total: 1 prints, 0,19 XYZ")));
    }
    EXPECT_EXIT(ETCurrencyConfig::instance()->currency(), ::testing::ExitedWithCode(1),
                "unknown currency: XYZ");
}

TEST(ETOrderTest, SignalOrder)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    SignalLog log(order);
    ETImage *image = picture(resources, QStringLiteral("a.jpg"));

    ASSERT_TRUE(order->addImage(image, QStringLiteral("10x15"), 1, 7));
    EXPECT_EQ(log.take(), QStringList({QStringLiteral("orderImageAdded(7)"),
                                       QStringLiteral("countImagesChanged"), QStringLiteral("newPrices")}));
    ETOrderItem *item = order->orderItems()->first();

    item->setAmount(10);
    EXPECT_EQ(log.take(), QStringList({QStringLiteral("newPrices"), QStringLiteral("newPrices")}))
        << "the tier change announces itself, then the update";
    EXPECT_EQ(order->discountLevel(), 1);

    order->setSubmitMethod(SubmitCD);
    EXPECT_EQ(log.take(),
              QStringList({QStringLiteral("newPrices"), QStringLiteral("submitMethodChanged(1)")}));
    order->setSubmitMethod(SubmitCD);
    EXPECT_TRUE(log.take().isEmpty());

    order->setPaymentType(PaymentBill);
    EXPECT_TRUE(log.take().isEmpty());

    order->setAutoUpdate(false);
    EXPECT_EQ(log.take(), QStringList());
    item->setAmount(60);
    EXPECT_EQ(item->amount(), 60);
    EXPECT_EQ(order->discountLevel(), 1);
    EXPECT_TRUE(log.take().isEmpty());
    order->setAutoUpdate(true);
    EXPECT_EQ(log.take(), QStringList({QStringLiteral("newPrices"), QStringLiteral("newPrices")}));
    EXPECT_EQ(order->discountLevel(), 2);

    order->refresh();
    EXPECT_EQ(log.take(), QStringList({QStringLiteral("newPrices")}));

    order->duplicateOrderItem(item, QStringLiteral("13x18"), 2, 3);
    EXPECT_EQ(log.take(), QStringList({QStringLiteral("newPrices"), QStringLiteral("orderImageAdded(3)"),
                                       QStringLiteral("countImagesChanged"), QStringLiteral("newPrices")}))
        << "mixing products drops the tier to 0";
    EXPECT_EQ(order->discountLevel(), 0);

    ETOrderItem *second = order->orderItems()->last();
    order->removeOrderItem(second);
    EXPECT_EQ(log.take(), QStringList({QStringLiteral("newPrices"), QStringLiteral("newPrices")}));
    delete second;

    order->removeAllOrderItems();
    EXPECT_EQ(log.take(), QStringList({QStringLiteral("newPrices"), QStringLiteral("newPrices")}));
    EXPECT_TRUE(order->orderItems()->isEmpty());
    delete item;
}

TEST(ETOrderTest, CountsAndTiers)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    EXPECT_TRUE(order->isHomogeneous());
    EXPECT_EQ(order->totalPrice(), 0);
    EXPECT_EQ(order->numberOfImages(), 0);
    EXPECT_EQ(order->discountLevel(), 0);

    ETImage *a = picture(resources, QStringLiteral("a.jpg"));
    ETImage *b = picture(resources, QStringLiteral("b.jpg"));
    order->addImage(a, QStringLiteral("10x15"), 4, 0);
    order->addImage(b, QStringLiteral("10x15"), 5, 0);
    order->duplicateOrderItem(order->orderItems()->first(), QStringLiteral("10x15"), 1, 0);
    EXPECT_EQ(order->numberOfImages(), 10);
    EXPECT_EQ(order->totalAmount(), 10);
    EXPECT_EQ(order->numberOfDistinctImages(), 2);
    const QList<ETImage *> *distinct = order->distinctImages();
    EXPECT_EQ(*distinct, QList<ETImage *>({a, b}));
    delete distinct;
    EXPECT_TRUE(order->isHomogeneous());
    EXPECT_EQ(order->discountLevel(), 1);
    EXPECT_EQ(order->totalPrice(), 10 * 17);
    EXPECT_EQ(order->transferLevel(), 0);

    order->orderItems()->at(2)->setProductName(QStringLiteral("13x18"));
    EXPECT_FALSE(order->isHomogeneous());
    EXPECT_EQ(order->discountLevel(), 0);
    EXPECT_EQ(order->totalPrice(), 9 * 19 + 59) << "while no payment is chosen the larger of FC and FM";

    // Unknown products resolve alike and price at 0.
    for (ETOrderItem *item : *order->orderItems())
        item->setProductName(QStringLiteral("unknown") + QString::number(quintptr(item)));
    EXPECT_TRUE(order->isHomogeneous());
    EXPECT_EQ(order->totalPrice(), 0);
    EXPECT_EQ(order->orderItems()->first()->quality(), 0);
}

TEST(ETOrderTest, MissingPriceIsNeverSummed)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    order->addImage(picture(resources, QStringLiteral("a.jpg")), QStringLiteral("13x18"), 2, 0);
    order->setSubmitMethod(SubmitCD);
    EXPECT_EQ(order->orderItems()->first()->price(), 49) << "the first entry's price also serves CC";
    order->setPaymentType(PaymentBill);
    EXPECT_EQ(order->orderItems()->first()->price(), -1) << "13x18 has no CM price";
    EXPECT_EQ(order->totalPrice(), -1);
    order->orderItems()->first()->setAmount(0);
    EXPECT_EQ(order->totalPrice(), 0) << "a line without prints costs nothing";
    order->setSubmitMethod(SubmitNet);
    order->orderItems()->first()->setAmount(12);
    EXPECT_EQ(order->discountLevel(), 1);
    EXPECT_EQ(order->totalPrice(), -1) << "13x18 has no price at tier 1";
}

// A line without prints, also one whose amount code set below zero, is not ordered: it costs nothing.
TEST(ETOrderTest, ALineWithoutPrintsIsNotOrdered)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    order->addImage(picture(resources, QStringLiteral("a.jpg")), QStringLiteral("10x15"), 2, 0);
    order->addImage(picture(resources, QStringLiteral("b.jpg")), QStringLiteral("10x15"), 1, 0);
    ETOrderItem *first = order->orderItems()->at(0);
    ETOrderItem *line = order->orderItems()->at(1);
    ASSERT_GT(first->price(), 0);
    for (int amount : {0, -3}) {
        SCOPED_TRACE(amount);
        line->setAmount(amount);
        EXPECT_FALSE(line->isOrdered());
        EXPECT_EQ(order->totalPrice(), 2 * first->price());
    }
    line->setAmount(1);
    EXPECT_TRUE(line->isOrdered());
    EXPECT_EQ(order->totalPrice(), 3 * first->price());
}

TEST(ETOrderTest, StoreText)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    auto *store = new ETStore(4, QStringLiteral("Foto & Co"), QStringLiteral("Weg 1"), QStringLiteral("1"),
                              QStringLiteral("Ort"));
    ETStore::storeList()->append(store);
    order->setStoreId(store->label());
    EXPECT_EQ(order->storeId(), store->label());
    EXPECT_EQ(order->storeText(), QStringLiteral("Foto &amp; Co<br>Weg 1<br>1 Ort<br>"));
    ETStore::storeList()->clear();
    EXPECT_TRUE(order->storeText().isEmpty());
}

TEST(ETOrderTest, OptimisedSizes)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    const ETProduct *poster = ETProductList::instance()->product(QStringLiteral("Poster"));
    ASSERT_NE(poster, nullptr);
    const int longSide = poster->widthPixels();
    const int shortSide = poster->heightPixels();
    ASSERT_GT(longSide, shortSide);

    ETImage *landscape = picture(resources, QStringLiteral("l.jpg"), 400, 300);
    ETImage *upright = picture(resources, QStringLiteral("u.bmp"), 100, 300);
    ETImage *unknown = picture(resources, QStringLiteral("x.jpg"), 400, 300);
    order->addImage(landscape, QStringLiteral("Poster"), 1, 0);
    order->addImage(upright, QStringLiteral("Poster"), 1, 0);
    order->addImage(unknown, QStringLiteral("nosuchproduct"), 1, 0);
    EXPECT_EQ(order->optimizedImageSize(landscape), QSize(longSide, shortSide));
    EXPECT_EQ(order->optimizedImageSize(upright), QSize(qMin(100, shortSide), longSide));
    EXPECT_EQ(order->optimizedImageSize(unknown), QSize(400, 300))
        << "unknown products are skipped; without any the picture keeps its size";

    SignalLog log(order);
    const QSize size = order->optimizeImage(landscape, 1, 3);
    EXPECT_EQ(size, QSize(longSide, shortSide));
    EXPECT_EQ(QImageReader(landscape->optimizedCopyPath()).size(),
              QSize(400, 300).scaled(size, Qt::KeepAspectRatioByExpanding));
    EXPECT_EQ(log.take(), QStringList({QStringLiteral("imageOptimized(33)")}));
}

TEST(ETOrderTest, OptimisedSizeOfAProductTooLargeToFit)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    ETImage *large = picture(resources, QStringLiteral("w.jpg"), 2400, 1800);
    order->addImage(large, QStringLiteral("Wand"), 1, 0);
    // Taken as 150 x 100 mm at 254 dpi.
    EXPECT_EQ(order->optimizedImageSize(large), QSize(1500, 1000));
    EXPECT_EQ(order->orderItems()->last()->quality(), 4);
}

TEST(ETOrderTest, ProductWithoutAPrintSizeKeepsThePicture)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    const struct {
        const char *name;
        QStringList products;
    } cases[] = {
        {"zero.jpg", {QStringLiteral("0x0")}},
        {"mixed.jpg", {QStringLiteral("0x0"), QStringLiteral("Poster")}},
        {"zero.png", {QStringLiteral("0x0")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ETImage *image = picture(resources, QString::fromLatin1(c.name), 400, 300);
        for (const QString &product : c.products)
            order->addImage(image, product, 1, 0);
        EXPECT_EQ(order->optimizedImageSize(image), QSize(400, 300));
        order->optimizeImage(image, 1, 1);
        // A JPEG goes as it is; any other picture as a JPEG of its own size, never shrunk to a pixel.
        const QSize sent = QImageReader(image->uploadSource()).size();
        EXPECT_EQ(sent, QSize(400, 300));
    }
}

TEST(ETOrderTest, ImageOptimizedReachesTheGuiThreadQueued)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    for (const char *name : {"a.jpg", "b.jpg", "c.jpg"})
        order->addImage(picture(resources, QString::fromLatin1(name)), QStringLiteral("10x15"), 1, 0);
    order->duplicateOrderItem(order->orderItems()->first(), QStringLiteral("13x18"), 1, 0);

    QList<int> percents;
    QList<QThread *> threads;
    QObject receiver;
    QObject::connect(order, &ETOrder::imageOptimized, &receiver, [&](int percent) {
        percents << percent;
        threads << QThread::currentThread();
    });
    QThread *worker = QThread::create([order] { order->optimizeImages(); });
    worker->start();
    ASSERT_TRUE(waitFor([&] { return percents.size() == 3; }, 20000)) << "imageOptimized three times";
    worker->wait();
    delete worker;
    EXPECT_EQ(percents, QList<int>({33, 66, 100}));
    for (QThread *thread : threads)
        EXPECT_EQ(thread, QThread::currentThread());
}

TEST(ETOrderTest, CustomerBelongsToTheOrder)
{
    OrderResources resources;
    ETOrder *order = ETOrder::instance();
    ASSERT_NE(order->customer(), nullptr);
    EXPECT_EQ(order->customer(), ETOrder::instance()->customer());
    EXPECT_EQ(order->paymentType(), PaymentUnknown);
    EXPECT_EQ(order->submitMethod(), SubmitNet);
}

TEST(ETOrderTest, SampleResourcesGiveAPricedOrder)
{
    ResourceFolder scratch; // temporary folder and settings only
    const QDir top(QStringLiteral(LUMO_RESOURCES_DIR "/.."));
    ASSERT_TRUE(QDir::setCurrent(top.absolutePath()));
    setResourceDir(QStringLiteral("Resources"));
    MessageCapture capture;
    ETOrder *order = ETOrder::instance();
    order->addImages({QStringLiteral("Resources/samples/bilder.txt")});
    ASSERT_EQ(order->orderItems()->size(), 6);
    QList<int> amounts;
    for (const ETOrderItem *item : *order->orderItems()) {
        amounts << item->amount();
        EXPECT_EQ(item->productName(), QStringLiteral("10x15"));
        EXPECT_EQ(item->price(), 19);
    }
    EXPECT_EQ(amounts, QList<int>({1, 1, 1, 1, 1, 0})) << "the unreadable picture comes with amount 0";
    EXPECT_EQ(order->totalPrice(), 95);
    EXPECT_EQ(order->orderItems()->at(0)->quality(), 4);
    EXPECT_LT(order->orderItems()->at(3)->quality(), 4);
    EXPECT_TRUE(hasLine(capture, QStringLiteral("order line ") +
                                     order->orderItems()->at(0)->image()->internalName() +
                                     QStringLiteral(": product 10x15, amount 1, price 0,19 EUR, quality 4")));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("order total: 5 prints, 0,95 EUR")));

    // The sample lists agree with the sample payment rules: no price check fails.
    MessageCapture checks;
    ETProductList::instance()->checkAll();
    ETTransferList::instance()->report();
    for (const QString &line : checks.lines())
        EXPECT_FALSE(line.endsWith(QStringLiteral("fail")) || line.endsWith(QStringLiteral("Fail")))
            << line.toStdString();
    EXPECT_TRUE(hasLine(checks, QStringLiteral("2 Discountlevels. Konsistenzcheck: ok")));
    EXPECT_TRUE(hasLine(checks, QStringLiteral("2 Transferlevels. Konsistenzcheck: ok")));
}

TEST(ETOrderTest, FailedWorkCopyAddsNothing)
{
    OrderResources resources;
    ETImagePathProvider::replace(new TestPathProvider(resources.file(QStringLiteral("work"))));
    ETOrder *order = ETOrder::instance();
    ETImage *image = picture(resources, QStringLiteral("a.jpg"));
    QFile::remove(image->path());
    SignalLog log(order);
    EXPECT_FALSE(order->addImage(image, QStringLiteral("10x15"), 1, 0));
    EXPECT_TRUE(order->orderItems()->isEmpty());
    EXPECT_TRUE(log.take().isEmpty());

    ETImage *good = picture(resources, QStringLiteral("b.jpg"));
    EXPECT_TRUE(order->addImage(good, QStringLiteral("10x15"), 1, 0));
    EXPECT_EQ(good->path(), resources.file(QStringLiteral("work/")) + good->internalName());
}
