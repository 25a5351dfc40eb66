#include "etnetworkingthread.h"

#include "etconfig.h"
#include "etcustomer.h"
#include "etimage.h"
#include "etnetworking.h"
#include "etnetworkingerror.h"
#include "etnetworkingthreadlistener.h"
#include "etnetworkingtimes.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderxmlbuilder.h"
#include "etservercode.h"
#include "etuploadrun.h"
#include "paymenttype.h"
#include "pipeinplace.h"
#include "submitmethod.h"
#include "transfertestenvironment.h"

#include <gtest/gtest.h>

#include <curl/curl.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace
{

QByteArray article(const char *code, int tier)
{
    return QByteArray("<article transfer_type=\"") + code + "\"><artid>P-" + code + "-" +
           QByteArray::number(tier) + "</artid><name>Poster</name><price>5</price><discount_level>" +
           QByteArray::number(tier) +
           "</discount_level><width>18</width><height>12</height><dots_per_mm>10</dots_per_mm></article>";
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(data);
}

// The send screen as far as the thread sees it: it remembers the steps done
// and starts the next attempt with only the missing ones.
class SendScreenStandIn : public ETNetworkingThreadListener
{
  public:
    struct Attempt {
        bool finished = false;
        bool cancelled = false;
    };

    void setOrderDeclared(bool declared) override
    {
        EXPECT_NE(QThread::currentThread(), qApp->thread());
        m_declared = declared;
    }
    void setImagesOptimized(bool optimized) override
    {
        EXPECT_NE(QThread::currentThread(), qApp->thread());
        m_optimized = optimized;
    }
    bool declared() const { return m_declared; }
    bool optimized() const { return m_optimized; }

    // One attempt as the screen makes it; prepare connects the test's hooks.
    Attempt attempt(bool skipPreparation = false,
                    const std::function<void(ETNetworkingThread *)> &prepare = {})
    {
        ETNetworkingThread *thread =
            ETNetworkingThread::create(this, skipPreparation, ETNetworking::instance(), ETOrder::instance(),
                                       !m_declared, !m_optimized, true);
        if (prepare)
            prepare(thread);
        thread->start();
        thread->waitForFinish();
        // Signals queued just before the end reach the GUI thread now.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        Attempt result{thread->hasFinished(), thread->isCancelled()};
        delete thread;
        return result;
    }

  private:
    std::atomic<bool> m_declared{false};
    std::atomic<bool> m_optimized{false};
};

// What reached the GUI thread, in arrival order.
class SignalRecord : public QObject
{
  public:
    SignalRecord()
    {
        connect(ETOrder::instance(), &ETOrder::imageOptimized, this, [this](int percent) {
            note();
            optimized << percent;
        });
        ETNetworking *net = ETNetworking::instance();
        connect(net, &ETNetworking::uploadOrderData, this, [this] {
            note();
            events << QStringLiteral("orderData");
        });
        connect(net, &ETNetworking::uploadTotalBytes, this, [this](int bytes) {
            note();
            total = bytes;
        });
        connect(net, &ETNetworking::uploadProgress, this, [this](int bytes) {
            note();
            progress << bytes;
        });
        connect(net, &ETNetworking::uploadImage, this, [this](const QString &path) {
            note();
            events << QStringLiteral("image ") + QFileInfo(path).fileName();
        });
    }

    QList<int> optimized;
    QList<int> progress;
    QStringList events;
    int total = 0;
    bool allInGuiThread = true;

  private:
    void note()
    {
        if (QThread::currentThread() != qApp->thread())
            allInGuiThread = false;
    }
};

::testing::AssertionResult risesTo100(const QList<int> &values, int whole)
{
    if (values.isEmpty() || whole <= 0)
        return ::testing::AssertionFailure() << "no values (whole " << whole << ")";
    for (int i = 1; i < values.size(); ++i)
        if (values[i] < values[i - 1])
            return ::testing::AssertionFailure()
                   << "value " << i << " falls from " << values[i - 1] << " to " << values[i];
    if (qint64(values.last()) * 100 / whole != 100)
        return ::testing::AssertionFailure() << "ends at " << values.last() << " of " << whole;
    return ::testing::AssertionSuccess();
}

// Names of the requests the server saw, upload-control requests with their action.
QStringList sequence(const ETOrderServerDouble &server)
{
    QStringList names;
    for (const ETOrderServerRequest &r : server.requests())
        names << r.summary();
    return names;
}

QStringList repeated(const QStringList &part, int times)
{
    QStringList all;
    for (int i = 0; i < times; ++i)
        all << part;
    return all;
}

const QStringList uploadOne{QStringLiteral("uploadctrl_request:start"), QStringLiteral("upload")};
const QStringList finish{QStringLiteral("uploadctrl_request:start"), QStringLiteral("orderfinish_request"),
                         QStringLiteral("endsession_request:normal")};

// An order of three lines on two large pictures and one that needs no
// optimising, with an open session, in front of the double.
class ETNetworkingThreadTest : public ::testing::Test
{
  protected:
    ETNetworkingThreadTest()
    {
        QByteArray articles;
        for (const char *code : {"FC", "FM", "CC", "CM"})
            articles += article(code, 0) + article(code, 1);
        writeFile(env.resources() + QStringLiteral("/productlist.xml"),
                  "<reply><content>" + articles + "</content></reply>");
        writeFile(env.resources() + QStringLiteral("/transferlist.xml"),
                  "<content><homog_min level=\"1\">100</homog_min></content>");
        ETNetworkingTimes::resetWaitLog();
        order = ETOrder::instance();
        order->removeAllOrderItems();
        order->setSubmitMethod(SubmitNet);
        order->setPaymentType(PaymentBill);
        ETImage *first = ETImage::create(paint(QStringLiteral("berge.jpg"), 640, 480, Qt::darkGreen));
        ETImage *second = ETImage::create(paint(QStringLiteral("strand.jpg"), 480, 640, Qt::yellow));
        ETImage *small = ETImage::create(paint(QStringLiteral("klein.jpg"), 120, 80, Qt::blue));
        EXPECT_TRUE(order->addImage(first, QStringLiteral("Poster"), 2, 0));
        EXPECT_TRUE(order->addImage(second, QStringLiteral("Poster"), 1, 1));
        EXPECT_TRUE(order->addImage(first, QStringLiteral("Poster"), 1, 2));
        EXPECT_TRUE(order->addImage(small, QStringLiteral("Poster"), 3, 3));
        images = {first, second, small};
        EXPECT_TRUE(ETNetworking::instance()->startSession()) << net()->errorMessage().toStdString();
        session = ETConfig::instance()->sessionID();
        env.server().clearRequests();
    }

    QString paint(const QString &name, int width, int height, Qt::GlobalColor colour)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        for (int i = 0; i < 40; ++i)
            painter.fillRect((i * 37) % width, (i * 53) % height, width / 5, height / 7,
                             QColor(colour).darker(100 + i * 5));
        painter.end();
        const QString path = env.scratch() + QLatin1Char('/') + name;
        EXPECT_TRUE(image.save(path, "JPEG", 95));
        return path;
    }

    static ETNetworking *net() { return ETNetworking::instance(); }

    TransferTestEnvironment env;
    ETOrder *order = nullptr;
    QList<ETImage *> images;
    QString session;
};

TEST_F(ETNetworkingThreadTest, WholeOrderGoesThrough)
{
    SignalRecord record;
    SendScreenStandIn screen;
    const SendScreenStandIn::Attempt attempt = screen.attempt();
    ASSERT_TRUE(attempt.finished) << net()->errorMessage().toStdString();
    EXPECT_FALSE(attempt.cancelled);
    EXPECT_TRUE(screen.declared());
    EXPECT_TRUE(screen.optimized());

    // Two large pictures got optimised copies; the small one goes as it is.
    EXPECT_TRUE(images[0]->hasOptimizedCopy());
    EXPECT_TRUE(images[1]->hasOptimizedCopy());
    EXPECT_FALSE(images[2]->hasOptimizedCopy());

    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + repeated(uploadOne, 3) + finish,
              sequence(env.server()));
    const auto declaration = env.server().requests(QStringLiteral("orderdeclaration_request"));
    ASSERT_EQ(1, declaration.size());
    EXPECT_EQ(session, declaration[0].text(QStringLiteral("ocsid")));

    const auto pictures = env.server().pictures();
    ASSERT_EQ(3, pictures.size());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(images[i]->uploadSource(), pictures[i].fileName);
        EXPECT_TRUE(pictures[i].sizeMatches);
        EXPECT_TRUE(pictures[i].crcMatches);
        QFile file(images[i]->uploadSource());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll() == pictures[i].data);
    }
    const auto posts = env.server().requests(QStringLiteral("upload"));
    ASSERT_EQ(3, posts.size());
    EXPECT_EQ(QStringLiteral("image/jpeg"), posts[0].formContentType);
    EXPECT_TRUE(posts[0].https);

    // The order number goes to the customer; the session is over.
    EXPECT_EQ(env.server().lastOrderId(), order->customer()->value(QStringLiteral("ord_id")));
    EXPECT_FALSE(env.server().hasSession(session));
    EXPECT_TRUE(ETConfig::instance()->sessionID().isEmpty());

    // Everything reached the GUI thread, in order.
    EXPECT_TRUE(record.allInGuiThread);
    EXPECT_EQ((QList<int>{33, 66, 100}), record.optimized);
    EXPECT_EQ((QStringList{QStringLiteral("orderData"), QStringLiteral("image berge.jpg.opti.jpg"),
                           QStringLiteral("image strand.jpg.opti.jpg"), QStringLiteral("image klein.jpg")}),
              record.events);
    qint64 total = 0;
    for (ETImage *image : images)
        total += image->fileSize();
    EXPECT_EQ(total, record.total);
    EXPECT_TRUE(risesTo100(record.progress, record.total));
}

TEST_F(ETNetworkingThreadTest, UploadHostAnsweringInPlainTextTakesTheOrder)
{
    // The post's reply is read by its head only; the upload control tells what arrived.
    env.server().addFault(fault("upload").textAfterHandling(QStringLiteral("OK")).times(3));
    SendScreenStandIn screen;
    ASSERT_TRUE(screen.attempt().finished) << net()->errorMessage().toStdString();
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + repeated(uploadOne, 3) + finish,
              sequence(env.server()));
    EXPECT_EQ(3, env.server().pictures().size());
}

TEST_F(ETNetworkingThreadTest, PictureUploadFailingOnceIsRetried)
{
    env.server().addFault(fault("upload").kind(ETOrderServerFault::DropUnhandled));
    SendScreenStandIn screen;
    ASSERT_TRUE(screen.attempt().finished) << net()->errorMessage().toStdString();

    // The failed post is followed by a stop after 2 seconds; the server hands out the same picture again.
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + uploadOne +
                  QStringList{QStringLiteral("uploadctrl_request:stop")} + repeated(uploadOne, 3) + finish,
              sequence(env.server()));
    const auto posts = env.server().requests(QStringLiteral("upload"));
    ASSERT_EQ(4, posts.size());
    EXPECT_EQ(posts[0].formFileName, posts[1].formFileName);
    EXPECT_EQ(3, env.server().pictures().size());
    EXPECT_EQ(4 * ETNetworkingTimes::picturePauseSeconds + ETNetworkingTimes::failedPostPauseSeconds,
              ETNetworkingTimes::waitedSeconds());
}

TEST_F(ETNetworkingThreadTest, ServerAsksToRepeatAPicture)
{
    env.server().addFault(
        fault("uploadctrl_request").action("start").code(ETServerCode::UploadRestart).times(2));
    SendScreenStandIn screen;
    ASSERT_TRUE(screen.attempt().finished) << net()->errorMessage().toStdString();

    const QStringList stopAndAgain{QStringLiteral("uploadctrl_request:start"),
                                   QStringLiteral("uploadctrl_request:stop")};
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + repeated(stopAndAgain, 2) +
                  repeated(uploadOne, 3) + finish,
              sequence(env.server()));
    EXPECT_EQ(3, env.server().pictures().size());
    // Two waits before the stops, one before each post.
    EXPECT_EQ(2 * ETNetworkingTimes::uploadRestartPauseSeconds + 3 * ETNetworkingTimes::picturePauseSeconds,
              ETNetworkingTimes::waitedSeconds());
}

TEST_F(ETNetworkingThreadTest, StallEndsTheAttemptAndTheNextOrderStartsAfresh)
{
    env.server().addFault(fault("upload").kind(ETOrderServerFault::DropUnhandled).times(100));
    SendScreenStandIn screen;
    const SendScreenStandIn::Attempt stalled = screen.attempt();
    EXPECT_FALSE(stalled.finished);
    EXPECT_FALSE(stalled.cancelled);
    // The first report of the position and three more: the last transfer error (partial reply).
    EXPECT_EQ(ETNetworkingError::fromCurl(CURLE_PARTIAL_FILE), net()->errorCode());
    const QStringList failedPost{QStringLiteral("uploadctrl_request:start"), QStringLiteral("upload"),
                                 QStringLiteral("uploadctrl_request:stop")};
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + repeated(failedPost, 3) +
                  QStringList{QStringLiteral("uploadctrl_request:start")},
              sequence(env.server()));
    EXPECT_TRUE(env.server().hasSession(session)) << "the session stays open after a failure";

    // A new order in the same run is not held to the old one's stalled position.
    env.server().clearFaults();
    env.server().clearRequests();
    SendScreenStandIn nextOrder;
    ASSERT_TRUE(nextOrder.attempt().finished) << net()->errorMessage().toStdString();
    EXPECT_EQ(3, env.server().requests(QStringLiteral("upload")).size());
}

TEST_F(ETNetworkingThreadTest, RetryAfterAFailureDoesNotDeclareTwice)
{
    env.server().addFault(fault("upload").code(ETServerCode::PictureDamaged, "Bild beschädigt"));
    SignalRecord record;
    SendScreenStandIn screen;
    const SendScreenStandIn::Attempt first = screen.attempt();
    EXPECT_FALSE(first.finished);
    EXPECT_EQ(ETServerCode::PictureDamaged, net()->errorCode());
    EXPECT_TRUE(screen.declared());
    EXPECT_TRUE(screen.optimized());
    EXPECT_EQ(3, record.optimized.size());

    const SendScreenStandIn::Attempt retry = screen.attempt();
    ASSERT_TRUE(retry.finished) << net()->errorMessage().toStdString();
    EXPECT_EQ(1, env.server().requests(QStringLiteral("orderdeclaration_request")).size());
    EXPECT_EQ(3, record.optimized.size()) << "the pictures are not optimised again";
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + repeated(uploadOne, 1) +
                  repeated(uploadOne, 3) + finish,
              sequence(env.server()));
}

TEST_F(ETNetworkingThreadTest, SkippedPreparationOnlyUploads)
{
    ASSERT_TRUE(net()->orderDeclarationRequest(QString(), false));
    env.server().clearRequests();
    SignalRecord record;
    SendScreenStandIn screen;
    ASSERT_TRUE(screen.attempt(true).finished) << net()->errorMessage().toStdString();
    EXPECT_FALSE(screen.declared());
    EXPECT_FALSE(screen.optimized());
    EXPECT_TRUE(record.optimized.isEmpty());
    EXPECT_EQ(repeated(uploadOne, 3) + finish, sequence(env.server()));
}

TEST_F(ETNetworkingThreadTest, DeclaredElsewhereTheOrdersOwnFilesAreSent)
{
    // The server knows the order from an earlier run of the declaration that this process did not see.
    ETOrderXMLBuilder builder;
    QDomDocument *reply = net()->sendNetworkRequest(QStringLiteral("orderdeclaration_request"),
                                                    builder.buildOrderDeclarationRequest(false), QString());
    ASSERT_NE(nullptr, reply);
    delete reply;
    env.server().clearRequests();
    SendScreenStandIn screen;
    ASSERT_TRUE(screen.attempt(true).finished) << net()->errorMessage().toStdString();
    EXPECT_EQ(3, env.server().pictures().size());
}

TEST_F(ETNetworkingThreadTest, AllReceivedAtOnceFinishesTheOrder)
{
    for (ETOrderItem *item : *order->orderItems())
        item->setAmount(0);
    env.server().addFault(fault("uploadctrl_request").code(ETServerCode::UploadComplete));
    SendScreenStandIn screen;
    ASSERT_TRUE(screen.attempt().finished) << net()->errorMessage().toStdString();
    EXPECT_EQ((QStringList{QStringLiteral("orderdeclaration_request")} + finish), sequence(env.server()));
    const auto declaration = env.server().requests(QStringLiteral("orderdeclaration_request"));
    ASSERT_EQ(1, declaration.size());
    EXPECT_FALSE(declaration[0].childNames().contains(QStringLiteral("orderposition")));
}

TEST_F(ETNetworkingThreadTest, CancelDuringOptimising)
{
    SendScreenStandIn screen;
    const SendScreenStandIn::Attempt attempt = screen.attempt(false, [](ETNetworkingThread *thread) {
        // Cancelled right after the first picture, as a click would land there.
        QObject::connect(ETOrder::instance(), &ETOrder::imageOptimized, thread, &ETNetworkingThread::cancel,
                         Qt::DirectConnection);
    });
    EXPECT_TRUE(attempt.cancelled);
    EXPECT_FALSE(attempt.finished);
    EXPECT_FALSE(screen.optimized());
    EXPECT_FALSE(screen.declared());
    EXPECT_TRUE(images[0]->hasOptimizedCopy());
    EXPECT_FALSE(images[1]->hasOptimizedCopy());
    EXPECT_TRUE(env.server().requests().isEmpty());

    // The screen then ends the session.
    ASSERT_TRUE(net()->endSessionAfterCancel());
    EXPECT_EQ(QStringList{QStringLiteral("endsession_request:abort")}, sequence(env.server()));
    EXPECT_FALSE(env.server().hasSession(session));
}

TEST_F(ETNetworkingThreadTest, CancelDuringUpload)
{
    // The server takes its time over the first picture: the cancel finds the post running.
    env.server().addFault(fault("upload").delay(60000));
    SignalRecord record;
    SendScreenStandIn screen;
    const SendScreenStandIn::Attempt attempt = screen.attempt(false, [](ETNetworkingThread *thread) {
        // The second progress report comes from the running post; the cancel is the GUI's.
        auto reports = std::make_shared<int>(0);
        QObject::connect(ETNetworking::instance(), &ETNetworking::uploadProgress, thread, [thread, reports] {
            if (++*reports == 2)
                thread->cancel();
        });
    });
    EXPECT_TRUE(attempt.cancelled);
    EXPECT_FALSE(attempt.finished);
    EXPECT_FALSE(net()->hasError()) << "a cancel is no error";
    EXPECT_TRUE(screen.declared());
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + uploadOne, sequence(env.server()));
    EXPECT_TRUE(env.server().pictures().isEmpty());

    ASSERT_TRUE(net()->endSessionAfterCancel());
    EXPECT_EQ(QStringLiteral("endsession_request:abort"), sequence(env.server()).last());
    EXPECT_FALSE(env.server().hasSession(session));
}

TEST_F(ETNetworkingThreadTest, CancelEndsTheUploadsWaitsAtOnce)
{
    ETNetworkingTimes::setMillisecondsPerSecond(500);
    struct Case {
        const char *name;
        ETOrderServerFault fault;
        int wait;           // the number of the wait the cancel finds running
        QStringList before; // what went out before it
    } cases[] = {
        {"before the repeat the server asked for",
         fault("uploadctrl_request").action("start").code(ETServerCode::UploadRestart),
         1,
         {QStringLiteral("uploadctrl_request:start")}},
        {"after a failed post", fault("upload").kind(ETOrderServerFault::DropUnhandled), 2, uploadOne},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        env.server().clearRequests();
        env.server().addFault(c.fault);
        ETNetworkingTimes::resetWaitLog();
        net()->clearAbort();
        QElapsedTimer sinceCancel;
        std::thread canceller;
        SendScreenStandIn screen;
        const SendScreenStandIn::Attempt attempt = screen.attempt(false, [&](ETNetworkingThread *thread) {
            // Cancels as soon as the wait has begun, as a click would land in it.
            canceller = std::thread([&c, &sinceCancel, thread] {
                const QDeadlineTimer deadline(20000);
                while (ETNetworkingTimes::waitCount() < c.wait && !deadline.hasExpired())
                    QThread::msleep(1);
                sinceCancel.start();
                thread->cancel();
            });
        });
        const qint64 elapsed = sinceCancel.elapsed();
        canceller.join();
        EXPECT_TRUE(attempt.cancelled);
        EXPECT_FALSE(attempt.finished);
        EXPECT_LT(elapsed, 400) << "waits of " << ETNetworkingTimes::waitedSeconds() << " s";
        EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + c.before, sequence(env.server()));
    }
}

TEST_F(ETNetworkingThreadTest, CancelEndsAPostOrTheStepBeforeItWithinATenthOfASecond)
{
    ETNetworkingTimes::setMillisecondsPerSecond(1000); // a whole second before each picture
    struct Case {
        const char *name;
        QList<ETOrderServerFault> faults;
        std::function<bool()> reached; // where the cancel lands
    } cases[] = {
        {"in the pause before the picture", {}, [] { return ETNetworkingTimes::waitCount() >= 1; }},
        {"while the picture is posted",
         {fault("upload").delay(60000)},
         [this] { return !env.server().requests(QStringLiteral("upload")).isEmpty(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        net()->clearAbort();
        ASSERT_TRUE(net()->orderDeclarationRequest(QString(), false)) << net()->errorMessage().toStdString();
        env.server().clearRequests();
        for (const ETOrderServerFault &f : c.faults)
            env.server().addFault(f);
        ETNetworkingTimes::resetWaitLog();
        QElapsedTimer sinceCancel;
        std::thread canceller;
        SendScreenStandIn screen;
        const SendScreenStandIn::Attempt attempt = screen.attempt(true, [&](ETNetworkingThread *thread) {
            canceller = std::thread([&c, &sinceCancel, thread] {
                const QDeadlineTimer deadline(20000);
                while (!c.reached() && !deadline.hasExpired())
                    QThread::msleep(1);
                sinceCancel.start();
                thread->cancel();
            });
        });
        const qint64 elapsed = sinceCancel.elapsed();
        canceller.join();
        EXPECT_TRUE(attempt.cancelled);
        EXPECT_FALSE(attempt.finished);
        EXPECT_LT(elapsed, 100);
        EXPECT_TRUE(env.server().pictures().isEmpty());
        env.server().clearFaults();
    }
}

TEST_F(ETNetworkingThreadTest, OnlyDeclaredFilesAreSent)
{
    const QString secret = env.scratch() + QStringLiteral("/secret.txt");
    writeFile(secret, "not for the server");
    env.server().setUploadFileName(secret);
    SendScreenStandIn screen;
    EXPECT_FALSE(screen.attempt().finished);
    EXPECT_TRUE(net()->hasError());
    EXPECT_EQ(ETNetworkingError::UndeclaredFile, net()->errorCode());
    EXPECT_TRUE(env.server().requests(QStringLiteral("upload")).isEmpty());
    EXPECT_EQ(
        (QStringList{QStringLiteral("orderdeclaration_request"), QStringLiteral("uploadctrl_request:start")}),
        sequence(env.server()));
}

TEST_F(ETNetworkingThreadTest, UnreadablePicturesAreNamedBeforeAnythingIsSent)
{
    const QString gone = images[0]->path();
    const QString pipePath = images[1]->path();
    SendScreenStandIn screen;
    {
        QFile::remove(gone);
        PipeInPlace pipe(pipePath);
        ASSERT_TRUE(pipe.made());
        const SendScreenStandIn::Attempt attempt = screen.attempt();
        EXPECT_FALSE(attempt.finished);
        EXPECT_EQ(0, pipe.readers()) << "nothing reads a pipe in a picture's place";
    }
    EXPECT_EQ(ETNetworkingError::PicturesUnreadable, net()->errorCode());
    const QString message = net()->errorMessage();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(gone))) << message.toStdString();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(pipePath))) << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("klein.jpg"))) << message.toStdString();
    EXPECT_TRUE(env.server().requests().isEmpty()) << "no declaration with size and checksum 0";
    EXPECT_FALSE(screen.optimized());
    EXPECT_FALSE(screen.declared());

    // The pictures back in their place, a Retry sends the order.
    paint(QStringLiteral("berge.jpg"), 640, 480, Qt::darkGreen);
    paint(QStringLiteral("strand.jpg"), 480, 640, Qt::yellow);
    ASSERT_TRUE(screen.attempt().finished) << net()->errorMessage().toStdString();
    EXPECT_EQ(3, env.server().pictures().size());
}

TEST_F(ETNetworkingThreadTest, PictureChangedAfterTheDeclarationIsNamedAndTheRetryDeclaresAnew)
{
    // The small picture goes as it is; it is replaced while the first picture is on its way.
    const QString small = images[2]->path();
    QObject context;
    QObject::connect(
        net(), &ETNetworking::uploadTotalBytes, &context,
        [&, done = false](int) mutable {
            if (done)
                return;
            done = true;
            QFile::remove(small);
            paint(QStringLiteral("klein.jpg"), 120, 80, Qt::red);
        },
        Qt::DirectConnection);
    SendScreenStandIn screen;
    EXPECT_FALSE(screen.attempt().finished);
    EXPECT_EQ(ETNetworkingError::PictureChanged, net()->errorCode());
    EXPECT_TRUE(net()->errorMessage().contains(QDir::toNativeSeparators(small)))
        << net()->errorMessage().toStdString();
    EXPECT_EQ(2, env.server().pictures().size()) << "the changed picture is not posted";
    EXPECT_FALSE(screen.declared()) << "the declaration no longer holds";
    EXPECT_FALSE(screen.optimized());

    ASSERT_TRUE(screen.attempt().finished) << net()->errorMessage().toStdString();
    EXPECT_EQ(2, env.server().requests(QStringLiteral("orderdeclaration_request")).size());
    const auto pictures = env.server().pictures();
    for (const ETOrderServerPicture &picture : pictures) {
        SCOPED_TRACE(picture.fileName.toStdString());
        EXPECT_TRUE(picture.sizeMatches && picture.crcMatches);
    }
    QFile file(small);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll() == pictures.last().data);
}

TEST_F(ETNetworkingThreadTest, ServerAskingToStartAnewAgainAndAgainIsBusy)
{
    env.server().addFault(
        fault("uploadctrl_request").action("start").code(ETServerCode::UploadRestart).times(3));
    SendScreenStandIn screen;
    EXPECT_FALSE(screen.attempt().finished);
    EXPECT_EQ(ETNetworkingError::ServerBusy, net()->errorCode());
    EXPECT_TRUE(net()->errorMessage().contains(QStringLiteral("ausgelastet")))
        << net()->errorMessage().toStdString();
    EXPECT_TRUE(env.server().requests(QStringLiteral("upload")).isEmpty());

    // Retry is offered; the server has time again.
    ASSERT_TRUE(screen.attempt().finished) << net()->errorMessage().toStdString();
    EXPECT_EQ(3, env.server().pictures().size());
}

TEST_F(ETNetworkingThreadTest, ServerSwitchingPositionsWithoutEndIsStopped)
{
    // Every post fails and the control names another picture each time: no position repeats in a row.
    env.server().addFault(fault("uploadctrl_request").action("start").alternatePositions().times(1000));
    env.server().addFault(fault("upload").kind(ETOrderServerFault::DropUnhandled).times(30));
    SendScreenStandIn screen;
    EXPECT_FALSE(screen.attempt().finished);
    EXPECT_EQ(ETNetworkingError::UploadRunaway, net()->errorCode());
    QMap<QString, int> postsPerFile;
    for (const ETOrderServerRequest &post : env.server().requests(QStringLiteral("upload")))
        ++postsPerFile[post.formFileName];
    EXPECT_EQ(3, postsPerFile.size());
    for (int posts : std::as_const(postsPerFile))
        EXPECT_EQ(ETUploadRun::maxPostsPerFile, posts);
    EXPECT_FALSE(sequence(env.server()).contains(QStringLiteral("orderfinish_request")));

    // A Retry may post each picture again.
    env.server().clearFaults();
    ASSERT_TRUE(screen.attempt().finished) << net()->errorMessage().toStdString();
    EXPECT_EQ(3, env.server().pictures().size());
}

// ---- one upload step --------------------------------------------------------------------------

struct StepCase {
    const char *name;
    QList<ETOrderServerFault> faults;
    bool result;
    int code;
    int posts;
};

TEST_F(ETNetworkingThreadTest, TheDeclarationIsKeptInTheOrderLog)
{
    ASSERT_TRUE(net()->orderDeclarationRequest(QString(), false)) << net()->errorMessage().toStdString();
    const QStringList logs = QDir(env.resources() + QStringLiteral("/orderlog"))
                                 .entryList({QStringLiteral("order_*")}, QDir::Files);
    EXPECT_EQ(1, logs.size()) << logs.join(QLatin1Char(' ')).toStdString();
}

void PrintTo(const StepCase &c, std::ostream *os)
{
    *os << c.name;
}

class ETNetworkingUploadStepTest : public ETNetworkingThreadTest,
                                   public ::testing::WithParamInterface<StepCase>
{
};

TEST_P(ETNetworkingUploadStepTest, GivesTheResultAndCode)
{
    const StepCase &c = GetParam();
    ASSERT_TRUE(net()->orderDeclarationRequest(QString(), false)) << net()->errorMessage().toStdString();
    for (const ETOrderServerFault &f : c.faults)
        env.server().addFault(f);
    EXPECT_EQ(c.result, net()->upload());
    EXPECT_EQ(c.code, net()->errorCode());
    EXPECT_EQ(c.posts, env.server().requests(QStringLiteral("upload")).size());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ETNetworkingUploadStepTest,
    ::testing::Values(
        StepCase{"PictureTaken", {}, true, ETNetworkingError::NoError, 1},
        StepCase{"ControlRefused",
                 {fault("uploadctrl_request").action("start").code(ETServerCode::ServerUnavailable)},
                 false,
                 ETServerCode::ServerUnavailable,
                 0},
        StepCase{"StopRefusedAfterRepeat",
                 {fault("uploadctrl_request").action("start").code(ETServerCode::UploadRestart),
                  fault("uploadctrl_request").action("stop").code(ETServerCode::PicturesMissing)},
                 false,
                 ETServerCode::PicturesMissing,
                 0},
        StepCase{"PostReplyReportsAnError",
                 {fault("upload").code(ETServerCode::PictureDamaged)},
                 false,
                 ETServerCode::PictureDamaged,
                 1},
        // A post the server did not take is no success, whatever its body.
        StepCase{"PostAnsweredWithStatus500",
                 {fault("upload").status(500)},
                 false,
                 ETNetworkingError::fromHttpStatus(500),
                 1},
        // Only the head of a post's reply counts: plain text has none, so the post went through.
        StepCase{"PostReplyNotXml",
                 {fault("upload").kind(ETOrderServerFault::NotXml)},
                 true,
                 ETNetworkingError::NoError,
                 1},
        StepCase{"PostReplyTooDeep",
                 {fault("upload").raw(QStringLiteral("<a>").repeated(1000) +
                                      QStringLiteral("</a>").repeated(1000))},
                 false,
                 ETNetworkingError::ReplyOutOfBounds,
                 1},
        StepCase{"PostFailsAndTheStopIsAccepted",
                 {fault("upload").kind(ETOrderServerFault::DropUnhandled)},
                 true,
                 ETNetworkingError::NoError,
                 1}),
    [](const ::testing::TestParamInfo<StepCase> &info) { return std::string(info.param.name); });

// The picture the server asks for first is changed after the declaration.
struct ChangeCase {
    const char *name;
    std::function<void(const QString &path)> change;
    int code;
};

TEST_F(ETNetworkingThreadTest, PictureChangedBeforeItsPostIsNamedAndNotSent)
{
    std::unique_ptr<PipeInPlace> pipe;
    const ChangeCase cases[] = {
        {"rewritten", [](const QString &path) { writeFile(path, "another picture"); },
         ETNetworkingError::PictureChanged},
        {"grown",
         [](const QString &path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write("more");
         },
         ETNetworkingError::PictureChanged},
        // The size is the declared one: only the checksum of the bytes as they go tells.
        {"edited in place to the same size",
         [](const QString &path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_TRUE(file.seek(file.size() / 2));
             const QByteArray byte = file.peek(1);
             ASSERT_EQ(1, byte.size());
             file.write(QByteArray(1, char(byte.at(0) ^ 0x5a)));
         },
         ETNetworkingError::PictureChanged},
        {"removed", [](const QString &path) { QFile::remove(path); }, ETNetworkingError::PicturesUnreadable},
        {"pipe", [&pipe](const QString &path) { pipe = std::make_unique<PipeInPlace>(path); },
         ETNetworkingError::PicturesUnreadable},
    };
    const QString first = images[0]->path();
    const QByteArray original = [&] {
        QFile file(first);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    for (const ChangeCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(net()->orderDeclarationRequest(QString(), false)) << net()->errorMessage().toStdString();
        env.server().clearRequests();
        c.change(first);
        EXPECT_FALSE(net()->upload());
        EXPECT_EQ(c.code, net()->errorCode());
        EXPECT_TRUE(net()->errorMessage().contains(QDir::toNativeSeparators(first)))
            << net()->errorMessage().toStdString();
        // Nothing complete reached the server.
        EXPECT_TRUE(env.server().requests(QStringLiteral("upload")).isEmpty());
        EXPECT_TRUE(env.server().pictures().isEmpty());
        EXPECT_EQ(0, pipe ? pipe->readers() : 0);
        pipe.reset();
        writeFile(first, original);
    }
}

TEST_F(ETNetworkingThreadTest, PictureEmptiedAfterItWasPricedIsRefusedBeforeTheDeclaration)
{
    const QString small = images[2]->path();
    ASSERT_GT(order->totalPrice(), 0) << "the order is priced";
    struct Case {
        const char *name;
        std::function<bool()> send;
    } cases[] = {
        {"the send page's attempt", [] { return SendScreenStandIn().attempt().finished; }},
        {"the declaration alone", [] { return net()->orderDeclarationRequest(QString(), false); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(small, QByteArray());
        env.server().clearRequests();
        EXPECT_FALSE(c.send());
        EXPECT_EQ(ETNetworkingError::PicturesUnreadable, net()->errorCode());
        EXPECT_TRUE(net()->errorMessage().contains(QDir::toNativeSeparators(small)))
            << net()->errorMessage().toStdString();
        EXPECT_TRUE(env.server().requests().isEmpty()) << "no declaration of an empty picture";
    }
}

// Peak resident memory of this process in kB since the last reset.
long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

TEST_F(ETNetworkingThreadTest, TheUploadsMemoryDoesNotGrowWithThePicture)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer holds freed memory back for a while: the peak says nothing here";
#endif
    // A picture beyond what the double once took (256 MB): a small one with
    // zeros after its end, which a reader of pictures ignores (and which the
    // file system keeps without using the disk).
    const qint64 size = 272LL * 1024 * 1024;
    const QString path = paint(QStringLiteral("riesig.jpg"), 64, 48, Qt::cyan);
    {
        QFile file(path);
        ASSERT_TRUE(file.resize(size));
    }
    // The order lets go of the fixture's items; they are the test's to delete.
    const QList<ETOrderItem *> fixtureItems = *order->orderItems();
    order->removeAllOrderItems();
    qDeleteAll(fixtureItems);
    ASSERT_TRUE(order->addImage(ETImage::create(path), QStringLiteral("Poster"), 1, 0));
    env.server().setKeepPictureData(false);
    ASSERT_TRUE(net()->orderDeclarationRequest(QString(), false)) << net()->errorMessage().toStdString();
    if (!resetPeak())
        GTEST_SKIP() << "the peak memory cannot be reset here (/proc/self/clear_refs)";
    const long before = peakKb();
    SendScreenStandIn screen;
    ASSERT_TRUE(screen.attempt(true).finished) << net()->errorMessage().toStdString();
    const long grownKb = peakKb() - before;
    const auto pictures = env.server().pictures();
    ASSERT_EQ(1, pictures.size());
    EXPECT_TRUE(pictures[0].sizeMatches && pictures[0].crcMatches);
    // The double in this process sums the picture as it comes, too.
    EXPECT_LT(grownKb, 32 * 1024) << "for a picture of " << size / 1024 << " kB";
}

TEST_F(ETNetworkingThreadTest, DeclarationNamesAPictureGoneMeanwhile)
{
    QFile::remove(images[2]->path());
    EXPECT_FALSE(net()->orderDeclarationRequest(QString(), false));
    EXPECT_EQ(ETNetworkingError::PicturesUnreadable, net()->errorCode());
    EXPECT_TRUE(net()->errorMessage().contains(QDir::toNativeSeparators(images[2]->path())));
    EXPECT_TRUE(env.server().requests().isEmpty());
}

} // namespace
