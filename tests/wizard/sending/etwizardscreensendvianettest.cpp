#include "etwizardscreensendvianet.h"

#include "etconfig.h"
#include "etimage.h"
#include "etimageloader.h"
#include "etnetworking.h"
#include "etnetworkingtimes.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etservercode.h"
#include "etwizardscreennetfinal.h"
#include "paymenttype.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <memory>

namespace
{

const QString base = QStringLiteral("Senden der Bilder via Netz");

TEST(SendViaNetRateTest, RateAndTimeLeft)
{
    const struct {
        const char *name;
        qint64 bytes, total, ms;
        const char *text;
    } cases[] = {
        {"nothing sent yet", 0, 10240, 1000, ""},
        {"no time elapsed", 1024, 10240, 0, ""},
        {"seconds", 1024, 1024 + 59 * 1024, 1000, "(1.00 KB/s, Geschätzte Dauer: 59 Sek.)"},
        {"minutes", 1024, 1024 + 90 * 1024, 1000, "(1.00 KB/s, Geschätzte Dauer: 1 Min. 30 Sek.)"},
        {"hours", 1024, 1024 + 3725 * 1024, 1000, "(1.00 KB/s, Geschätzte Dauer: 1 Std. 2 Min. 5 Sek.)"},
        {"a day and more", 1024, 1024 + 90000LL * 1024, 1000,
         "(1.00 KB/s, Geschätzte Dauer: 25 Std. 0 Min. 0 Sek.)"},
        {"two decimals", 3072, 3072, 2000, "(1.50 KB/s, Geschätzte Dauer: 0 Sek.)"},
        {"cut towards zero", 1024, 1024 + 1023, 1000, "(1.00 KB/s, Geschätzte Dauer: 0 Sek.)"},
        {"more than announced", 4096, 1024, 1000, "(4.00 KB/s, Geschätzte Dauer: 0 Sek.)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QString::fromUtf8(c.text), ETWizardScreenSendViaNet::rateText(c.bytes, c.total, c.ms));
    }
}

// Notes what the page showed while the upload ran, then answers as scripted.
class WatchingPresenter : public ETRecordingPresenter
{
  public:
    std::function<void()> beforeAnswer;

    QMessageBox::StandardButton messageBox(const ETMessageBoxRequest &request) override
    {
        if (beforeAnswer)
            beforeAnswer();
        return ETRecordingPresenter::messageBox(request);
    }
};

// The send page after a page of the test's own, then the confirmation, with
// an order of three lines on three pictures and a session open at the double.
class SendViaNetTest : public WizardFixture
{
  protected:
    void SetUp() override
    {
        for (const auto &p :
             {std::make_pair("berge.jpg", QSize(1600, 1200)), std::make_pair("strand.jpg", QSize(1200, 1600)),
              std::make_pair("klein.jpg", QSize(300, 200))})
            ASSERT_FALSE(addPicture(QLatin1String(p.first), p.second.width(), p.second.height()).isEmpty());
        ASSERT_TRUE(ETNetworking::instance()->startSession());
        m_session = ETConfig::instance()->sessionID();
        server().clearRequests();

        ETOrderWizard *w = emptyWizard();
        w->setNetOrder(true);
        w->setCustomerPath(true);
        w->addScreen(new StandInScreen(QStringLiteral("agb"), w), true);
        m_screen = new ETWizardScreenSendViaNet(QStringLiteral("sendViaNet"), nullptr, w);
        w->addScreen(m_screen, true);
        w->addScreen(new ETWizardScreenNetFinal(QStringLiteral("finalNetScreen"), nullptr, w, true), true);
        showWizard();
        // Showing the wizard chose the default type.
        ETOrder::instance()->setPaymentType(PaymentBill);
    }

    void TearDown() override { ETWizardScreenSendViaNet::setElapsedForTests({}); }

    template <typename T> T *child(const char *name) const
    {
        return m_screen->page()->findChild<T *>(QLatin1String(name));
    }

    static QStringList uploads(int pictures)
    {
        QStringList names;
        for (int i = 0; i < pictures; ++i)
            names << QStringLiteral("uploadctrl_request:start") << QStringLiteral("upload");
        return names;
    }

    // Optimised copies beside the order's pictures.
    static int optimisedCopies()
    {
        int copies = 0;
        for (ETOrderItem *item : *ETOrder::instance()->orderItems())
            copies += item->image()->hasOptimizedCopy() ? 1 : 0;
        return copies;
    }

    const QStringList finish{QStringLiteral("uploadctrl_request:start"),
                             QStringLiteral("orderfinish_request"),
                             QStringLiteral("endsession_request:normal")};

    ETWizardScreenSendViaNet *m_screen = nullptr;
    QString m_session;
};

TEST_F(SendViaNetTest, PageAndTitle)
{
    EXPECT_EQ(QStringLiteral("sendViaNet"), m_screen->page()->objectName());
    EXPECT_EQ(base, child<QLabel>("progressText")->text());
    EXPECT_NE(nullptr, child<QLabel>("picture"));
    EXPECT_NE(nullptr, child<QProgressBar>("optimizeProgress"));
    EXPECT_NE(nullptr, child<QProgressBar>("networkProgress"));
    EXPECT_TRUE(m_screen->title().startsWith(QStringLiteral("<qt><b>Übertragung des Auftrags</b>")));
}

TEST_F(SendViaNetTest, ProgressReportsShowRateAndTimeLeft)
{
    ETWizardScreenSendViaNet::setElapsedForTests([] { return qint64(1000); });
    m_screen->setTotalSteps(1024 + 90 * 1024);
    m_screen->setProgress(1024);
    EXPECT_EQ(base + QStringLiteral(" (1.00 KB/s, Geschätzte Dauer: 1 Min. 30 Sek.)"),
              child<QLabel>("progressText")->text());
    EXPECT_EQ(1024, child<QProgressBar>("networkProgress")->value());
    m_screen->setProgress(0);
    EXPECT_EQ(base, child<QLabel>("progressText")->text());
    ETWizardScreenSendViaNet::setElapsedForTests([] { return qint64(0); });
    m_screen->setProgress(2048);
    EXPECT_EQ(base, child<QLabel>("progressText")->text()) << "no rate before a millisecond has passed";
}

TEST_F(SendViaNetTest, CancelWithoutUploadChangesNothing)
{
    const QString before = child<QLabel>("picture")->text();
    m_screen->cancel();
    EXPECT_EQ(before, child<QLabel>("picture")->text());
    EXPECT_TRUE(server().requests().isEmpty());
}

// Answers a small picture for any file and notes which it was asked for.
class CountingLoader : public ETImageLoader
{
  public:
    CountingLoader() : ETImageLoader(0) {}
    QImage *load(const QString &path) override
    {
        loaded << QFileInfo(path).fileName();
        auto *image = new QImage(8, 8, QImage::Format_RGB32);
        image->fill(Qt::red);
        return image;
    }
    bool save(const QImage &, const QString &, int) override { return false; }
    QStringList loaded;
};

TEST_F(SendViaNetTest, OnlyTheNewestWaitingThumbnailIsDecoded)
{
    static CountingLoader loader;
    ETImageLoader::registerLoader(QStringLiteral("sendtest"), &loader);
    loader.loaded.clear();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto picture = [&](int i) {
        const QString path = folder.filePath(QString::number(i) + QStringLiteral(".sendtest"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    };

    // Reports queued up while the page was busy: one decode, the last picture's.
    for (int i = 0; i < 10; ++i)
        m_screen->showUploadImage(picture(i));
    QCoreApplication::processEvents();
    EXPECT_EQ(QStringList{QStringLiteral("9.sendtest")}, loader.loaded);
    EXPECT_FALSE(child<QLabel>("picture")->pixmap().isNull());

    // The order data follow the last picture; its waiting thumbnail does not cover their text.
    m_screen->showUploadImage(picture(10));
    m_screen->showUploadOrderData();
    QCoreApplication::processEvents();
    EXPECT_EQ(QStringList{QStringLiteral("9.sendtest")}, loader.loaded);
    EXPECT_EQ(QStringLiteral("<qt>Übertragung der Bestelldaten</qt>"), child<QLabel>("picture")->text());
}

TEST_F(SendViaNetTest, TheWholeOrderGoesThroughAndTheConfirmationFollows)
{
    // An unexpected failure ends the attempts instead of retrying for ever.
    presenter().answerBox(QMessageBox::Cancel);
    // What the page shows while the pictures go.
    bool backEnabled = true;
    bool nextEnabled = true;
    int thumbnails = 0;
    const QMetaObject::Connection watch = QObject::connect(
        ETNetworking::instance(), &ETNetworking::uploadImage, m_screen,
        [&] {
            backEnabled = backEnabled && wizard()->backButton()->isEnabled();
            nextEnabled = nextEnabled && wizard()->nextButton()->isEnabled();
            if (!child<QLabel>("picture")->pixmap().isNull())
                ++thumbnails;
        },
        Qt::QueuedConnection);
    ASSERT_TRUE(pressNext());
    QObject::disconnect(watch);
    ASSERT_TRUE(waitForPage(QStringLiteral("finalNetScreen")));

    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + uploads(3) + finish,
              requestSequence());
    EXPECT_TRUE(everyPictureArrived());
    EXPECT_FALSE(server().hasSession(m_session));
    EXPECT_FALSE(backEnabled);
    EXPECT_FALSE(nextEnabled);
    EXPECT_GE(thumbnails, 2) << "the thumbnail of the picture being sent is shown";
    EXPECT_TRUE(m_screen->check());
    EXPECT_EQ(100, child<QProgressBar>("optimizeProgress")->value());
    const QProgressBar *network = child<QProgressBar>("networkProgress");
    EXPECT_GT(network->maximum(), 0);
    EXPECT_EQ(network->maximum(), network->value());
    EXPECT_TRUE(wizard()->isVisible());
    EXPECT_TRUE(presenter().requests().isEmpty());
    EXPECT_EQ(0, optimisedCopies()) << "the confirmed order leaves no copies among the pictures";
}

// Files of a copy's name that the customer keeps beside his pictures, one of
// them ordered itself: the program's copies go under names of their own, his
// files are neither removed nor sent in a picture's place.
TEST_F(SendViaNetTest, TheCustomersFilesOfACopysNameAreNeitherRemovedNorSent)
{
    presenter().answerBox(QMessageBox::Cancel);
    const QList<ETOrderItem *> items = *ETOrder::instance()->orderItems();
    const QString berge = items[0]->image()->path();
    const QString klein = items[2]->image()->path();
    const QString folder = QFileInfo(berge).path();
    {
        QFile own(berge + QStringLiteral(".opti.jpg"));
        ASSERT_TRUE(own.open(QIODevice::WriteOnly));
        own.write("the customer's");
    }
    const QString orderedOwn = addPicture(QStringLiteral("klein.jpg.opti.jpg"), 300, 200);
    ASSERT_EQ(klein + QStringLiteral(".opti.jpg"), orderedOwn);
    const auto contents = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray orderedBytes = contents(orderedOwn);
    const QStringList before = QDir(folder).entryList(QDir::Files, QDir::Name);

    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("finalNetScreen")));
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + uploads(4) + finish,
              requestSequence());
    EXPECT_TRUE(presenter().requests().isEmpty());
    EXPECT_TRUE(everyPictureArrived());
    QStringList arrived;
    for (const ETOrderServerPicture &picture : server().pictures())
        arrived << picture.fileName;
    EXPECT_FALSE(arrived.contains(berge + QStringLiteral(".opti.jpg"))) << "the customer's file is no copy";
    EXPECT_TRUE(arrived.contains(klein));
    EXPECT_EQ(1, arrived.count(orderedOwn)) << "sent once, as the picture it is";
    EXPECT_EQ(QByteArray("the customer's"), contents(berge + QStringLiteral(".opti.jpg")));
    EXPECT_EQ(orderedBytes, contents(orderedOwn));
    EXPECT_EQ(before, QDir(folder).entryList(QDir::Files, QDir::Name)) << "no copy stays, no file went";
}

TEST_F(SendViaNetTest, ARetriedFailureResumesWithThePicturesAndDeclaresOnce)
{
    server().addFault(fault(QStringLiteral("upload"))
                          .code(ETServerCode::PictureDamaged, QStringLiteral("Bild beschädigt")));
    WatchingPresenter watching;
    watching.answerBox(QMessageBox::Retry);
    watching.answerBox(QMessageBox::Cancel);
    int thumbnailsAtBox = -1;
    int copiesAtBox = -1;
    watching.beforeAnswer = [&] {
        thumbnailsAtBox = server().pictures().size();
        copiesAtBox = optimisedCopies();
    };
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("finalNetScreen")));
    ASSERT_EQ(1, watching.requests().size());
    EXPECT_EQ(QStringLiteral("Ein Fehler ist aufgetreten"), watching.last().box.caption);
    EXPECT_EQ(0, thumbnailsAtBox);
    EXPECT_EQ(2, copiesAtBox) << "the copies stay for the Retry";
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + uploads(1) + uploads(3) + finish,
              requestSequence());
    EXPECT_TRUE(everyPictureArrived());
    EXPECT_EQ(0, optimisedCopies());
}

TEST_F(SendViaNetTest, ADeclinedRetryClosesTheWizardAndEndsTheSession)
{
    server().addFault(fault(QStringLiteral("upload")).code(ETServerCode::PictureDamaged));
    presenter().answerBox(QMessageBox::Cancel);
    ASSERT_TRUE(pressNext());
    EXPECT_FALSE(wizard()->isVisible());
    EXPECT_EQ(QDialog::Rejected, wizard()->result());
    EXPECT_TRUE(m_screen->check());
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + uploads(1) +
                  QStringList{QStringLiteral("endsession_request:abort")},
              requestSequence());
    EXPECT_FALSE(server().hasSession(m_session));
    EXPECT_FALSE(pageNames().isEmpty());
    EXPECT_NE(QStringLiteral("finalNetScreen"), currentPage());
    EXPECT_EQ(0, optimisedCopies()) << "the order given up leaves no copies among the pictures";
}

// The server answers the first upload control with its wait code and then
// takes its time over the stop that follows: all the while the page says that
// the client waits for the server.
TEST_F(SendViaNetTest, WhileTheServerLetsItWaitThePageSaysSo)
{
    server().addFault(fault(QStringLiteral("uploadctrl_request"))
                          .action(QStringLiteral("start"))
                          .code(ETServerCode::UploadRestart));
    server().addFault(
        fault(QStringLiteral("uploadctrl_request")).action(QStringLiteral("stop")).delay(60000));
    presenter().answerBox(QMessageBox::Cancel);
    QString shown;
    QTimer look;
    look.setInterval(10);
    const QDeadlineTimer deadline(10000);
    QObject::connect(&look, &QTimer::timeout, [&] {
        const bool waiting = requestSequence().contains(QStringLiteral("uploadctrl_request:stop"));
        if (!waiting && !deadline.hasExpired())
            return;
        look.stop();
        EXPECT_TRUE(waiting) << "the client never asked to stop";
        shown = child<QLabel>("progressText")->text();
        EXPECT_TRUE(pressCancel());
    });
    look.start();
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(base + QStringLiteral(" (Warten auf Antwort des Servers ...)"), shown);
    EXPECT_FALSE(wizard()->isVisible());
}

TEST_F(SendViaNetTest, CancelDuringTheUploadStopsItEndsTheSessionAndClosesTheWizard)
{
    // The server takes its time over the first picture: Cancel finds the post running.
    server().addFault(fault(QStringLiteral("upload")).delay(60000));
    presenter().answerBox(QMessageBox::Cancel);
    QString labelAtCancel;
    auto reports = std::make_shared<int>(0);
    QObject::connect(
        ETNetworking::instance(), &ETNetworking::uploadProgress, m_screen,
        [&, reports] {
            if (++*reports == 2) {
                EXPECT_TRUE(pressCancel());
                labelAtCancel = child<QLabel>("picture")->text();
            }
        },
        Qt::QueuedConnection);
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("Abbrechen..."), labelAtCancel);
    EXPECT_FALSE(wizard()->isVisible());
    EXPECT_EQ(QDialog::Rejected, wizard()->result());
    // Whether the cut post reached the double's log depends on how far it got.
    const QStringList sent = requestSequence();
    EXPECT_EQ(
        (QStringList{QStringLiteral("orderdeclaration_request"), QStringLiteral("uploadctrl_request:start")}),
        sent.mid(0, 2));
    EXPECT_EQ(QStringLiteral("endsession_request:abort"), sent.last());
    EXPECT_FALSE(sent.contains(QStringLiteral("orderfinish_request")));
    EXPECT_EQ(1, sent.count(QStringLiteral("endsession_request:abort")));
    EXPECT_TRUE(server().pictures().isEmpty());
    EXPECT_FALSE(server().hasSession(m_session));
    EXPECT_TRUE(presenter().requests().isEmpty()) << "a cancel is no error";
}

// Against a server that answers a byte a second, upload control and session
// end alike, Cancel ends the sending and closes the wizard at once, and the
// window never freezes meanwhile.
TEST_F(SendViaNetTest, CancelAgainstASlowServerEndsAtOnce)
{
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    for (const char *request : {"uploadctrl_request", "endsession_request"})
        server().addFault(fault(QLatin1String(request)).rate(1).always());
    const InterruptedStep step = interruptWhenRequested(
        QStringLiteral("uploadctrl_request"), [this] { EXPECT_TRUE(pressNext()); },
        [this] { EXPECT_TRUE(pressCancel()); });
    EXPECT_TRUE(endedPromptly(step, 2000)) << "the session end waits a second at most here";
    EXPECT_FALSE(wizard()->isVisible());
    EXPECT_EQ(
        (QStringList{QStringLiteral("orderdeclaration_request"), QStringLiteral("uploadctrl_request:start"),
                     QStringLiteral("endsession_request:abort")}),
        requestSequence());
    EXPECT_TRUE(presenter().requests().isEmpty()) << "a cancel is no error";
}

// Cancel after the server finished the order, while the session end waits for
// a slow server: the order is placed. The session end is cut short, no session
// end says "abort", and the confirmation with the order's number follows.
TEST_F(SendViaNetTest, CancelAfterTheOrderWasFinishedShowsTheConfirmation)
{
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    server().addFault(fault(QStringLiteral("endsession_request")).rate(1).always());
    const InterruptedStep step = interruptWhenRequested(
        QStringLiteral("endsession_request"), [this] { EXPECT_TRUE(pressNext()); },
        [this] { EXPECT_TRUE(pressCancel()); });
    EXPECT_TRUE(endedPromptly(step, 1000));
    EXPECT_TRUE(wizard()->isVisible());
    EXPECT_EQ(QStringLiteral("finalNetScreen"), currentPage());
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + uploads(3) + finish,
              requestSequence());
    EXPECT_TRUE(ETConfig::instance()->sessionID().isEmpty()) << "nothing later ends it as cancelled";
    ASSERT_FALSE(server().lastOrderId().isEmpty());
    const auto *confirmation =
        wizard()->currentPage()->findChild<QTextEdit *>(QStringLiteral("FinalBonSpace"));
    ASSERT_NE(nullptr, confirmation);
    EXPECT_TRUE(confirmation->toPlainText().contains(server().lastOrderId()));
    EXPECT_TRUE(presenter().requests().isEmpty());
    EXPECT_EQ(0, optimisedCopies());

    // Leaving the confirmation ends nothing more.
    server().clearRequests();
    EXPECT_TRUE(pressFinish());
    EXPECT_TRUE(requestSequence().isEmpty());
}

// The session end after a finished order waits briefly only: against a server
// that answers it at a byte a second the confirmation follows within the bound.
TEST_F(SendViaNetTest, ASlowSessionEndAfterTheFinishIsCutShort)
{
    ETNetworkingTimes::setMillisecondsPerSecond(100); // its bound: a second
    server().addFault(fault(QStringLiteral("endsession_request")).rate(1).always());
    const InterruptedStep step = interruptWhenRequested(
        QStringLiteral("endsession_request"), [this] { EXPECT_TRUE(pressNext()); }, [] {});
    EXPECT_TRUE(endedPromptly(step, 3000));
    EXPECT_EQ(QStringLiteral("finalNetScreen"), currentPage());
    EXPECT_EQ(QStringList{QStringLiteral("orderdeclaration_request")} + uploads(3) + finish,
              requestSequence());
    EXPECT_TRUE(ETConfig::instance()->sessionID().isEmpty());
    EXPECT_TRUE(presenter().requests().isEmpty()) << "the session end is no error of the order";
}

} // namespace
