#include "etwizardscreenburn.h"
#include "etcheckboxstack.h"
#include "etconfig.h"
#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etordertxtbuilder.h"
#include "etstepcheckbox.h"
#include "ettestwait.h"
#include "fakeburner.h"
#include "messagecapture.h"
#include "wizardfixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <functional>
#include <memory>

namespace
{

const QString choicePage = QStringLiteral("selectBurnerScreen");
const QString burnPage = QStringLiteral("burnCDScreen");
const QString finalPage = QStringLiteral("finalCDscreen");

// Counts the queued slot calls that reach an object.
class QueuedCallCounter : public QObject
{
  public:
    int count = 0;

  protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MetaCall)
            ++count;
        return false;
    }
};

// Polls the condition while the code under test runs its own event loop and
// runs the action once it holds (at most 5 s).
void when(const std::function<bool()> &condition, const std::function<void()> &action)
{
    auto *timer = new QTimer(qApp);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        if (condition()) {
            timer->deleteLater();
            action();
        } else if (started->elapsed() > 5000) {
            timer->deleteLater();
            ADD_FAILURE() << "the awaited state did not come";
        }
    });
    timer->start(5);
}

class ETWizardScreenBurnTest : public WizardFixture
{
  protected:
    ETWizardScreenBurnTest()
    {
        // The order text carries the time; the test builds it again afterwards.
        ETOrderOutputBuilder::setCurrentDateTimeForTests(QDateTime(QDate(2024, 5, 17), QTime(10, 0, 5)));
        ETCDBurner::clearLogForTests();
        ETOrder *order = ETOrder::instance();
        order->removeAllOrderItems();
        m_pictures << picture(QStringLiteral("strand.jpg"), Qt::yellow)
                   << picture(QStringLiteral("berge.jpg"), Qt::darkGreen);
        ETImage *first = ETImage::create(m_pictures.at(0));
        ETImage *second = ETImage::create(m_pictures.at(1));
        EXPECT_TRUE(order->addImage(first, QStringLiteral("10x15"), 2, 0));
        EXPECT_TRUE(order->addImage(second, QStringLiteral("10x15"), 1, 1));
        // The same picture on a second line.
        EXPECT_TRUE(order->addImage(first, QStringLiteral("13x18"), 1, 2));
    }

    ~ETWizardScreenBurnTest() override
    {
        // The order lets go of its lines without deleting them.
        const QList<ETOrderItem *> items = *ETOrder::instance()->orderItems();
        ETOrder::instance()->removeAllOrderItems();
        qDeleteAll(items);
        ETOrderOutputBuilder::setCurrentDateTimeForTests(QDateTime());
        ETCDBurner::clearLogForTests();
    }

    QString picture(const QString &name, Qt::GlobalColor colour)
    {
        QDir().mkpath(environment().scratch() + QStringLiteral("/pictures"));
        const QString path = environment().scratch() + QStringLiteral("/pictures/") + name;
        QImage image(320, 240, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(path, "JPEG", 90));
        return path;
    }

    static QByteArray content(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString cdImageDir() { return QFileInfo(ETConfig::instance()->cdImageDir()).absoluteFilePath(); }
    static QString imagePath() { return cdImageDir() + QStringLiteral("/lumo.iso"); }
    static QStringList orderFolders()
    {
        return QDir(cdImageDir()).entryList({QStringLiteral("Order_*")}, QDir::Dirs);
    }

    // The whole wizard on the CD road (the road page itself always takes the
    // internet road), on the burner choice with the burner registered.
    void startOnChoice(FakeBurner &burner)
    {
        ETCDBurner::registerBurner(&burner);
        ETOrderWizard *w = buildWizard();
        showWizard();
        w->setCDOrder(true);
        w->showPage(w->screenByName(choicePage)->page());
    }

    ETWizardScreenBurn *screen() const
    {
        return static_cast<ETWizardScreenBurn *>(wizard()->screenByName(burnPage));
    }

    QStringList boxCaptions()
    {
        QStringList captions;
        for (const ETRecordedRequest &request : presenter().requests())
            if (request.kind == ETRecordedRequest::MessageBox)
                captions << request.box.caption;
        return captions;
    }

    // Rejected: hidden, back on the first page and gone nowhere from there
    // (the CD final screen would have dropped the pages after it).
    ::testing::AssertionResult rejected() const
    {
        if (currentPage() != QLatin1String("orderScreen"))
            return ::testing::AssertionFailure() << "the wizard moved on to " << currentPage().toStdString();
        if (wizard()->isVisible())
            return ::testing::AssertionFailure()
                   << "the wizard is still open on " << currentPage().toStdString();
        if (wizard()->result() != QDialog::Rejected)
            return ::testing::AssertionFailure() << "the wizard was closed, not cancelled";
        if (!pageNames().contains(QStringLiteral("NetworkLoginScreen")))
            return ::testing::AssertionFailure() << "the CD final screen was shown";
        return ::testing::AssertionSuccess();
    }

    // Nothing of the run is left in the CD image folder.
    ::testing::AssertionResult cleanedUp() const
    {
        if (!orderFolders().isEmpty())
            return ::testing::AssertionFailure()
                   << "order folder left: " << orderFolders().join(' ').toStdString();
        if (QFileInfo::exists(imagePath()))
            return ::testing::AssertionFailure() << "image left: " << imagePath().toStdString();
        return ::testing::AssertionSuccess();
    }

    QStringList m_pictures;
};

TEST_F(ETWizardScreenBurnTest, PageAsBuilt)
{
    ETOrderWizard *w = buildWizard();
    ETWizardScreenBurn *burn = screen();
    EXPECT_STREQ("ETWizardScreenBurn", burn->metaObject()->className());
    EXPECT_EQ(burnPage, burn->page()->objectName());
    EXPECT_NE(nullptr, burn->page()->findChild<QProgressBar *>(QStringLiteral("burnProgress")));
    EXPECT_NE(nullptr, burn->page()->findChild<QLabel *>(QStringLiteral("burnLabel")));
    EXPECT_EQ(QStringLiteral("<qt><b>Brennvorgang:</b><br>Die CD wird gebrannt und abgeschlossen.</qt>"),
              w->title(burn->page()));
    EXPECT_FALSE(w->backEnabled(burn->page()));
    w->setCDOrder(false);
    EXPECT_FALSE(burn->appropriate());
    w->setCDOrder(true);
    EXPECT_TRUE(burn->appropriate());
}

// The order folder while the image is made, the burner's calls, its signals
// through the GUI thread, and the CD final screen afterwards.
TEST_F(ETWizardScreenBurnTest, BurnsTheOrderFolderAndEndsOnTheFinalScreen)
{
    FakeBurner burner;
    startOnChoice(burner);
    ASSERT_TRUE(waitForPage(choicePage));
    QueuedCallCounter toBar, toScreen;
    screen()->progressBar()->installEventFilter(&toBar);
    screen()->installEventFilter(&toScreen);
    const int slept = sleptMilliseconds();

    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(finalPage));
    EXPECT_EQ(finalPage, pageNames().last());
    EXPECT_TRUE(wizard()->isVisible());

    // The burner: the chosen speed, an image of the folder, the disc, then released.
    const QList<FakeBurner::Call> calls = burner.calls();
    ASSERT_EQ(
        (QStringList{QStringLiteral("setSpeed"), QStringLiteral("createImage"), QStringLiteral("burnImage"),
                     QStringLiteral("afterBurn"), QStringLiteral("release")}),
        burner.callNames());
    EXPECT_EQ(QStringList{QStringLiteral("8")}, calls.at(0).arguments);
    const QString folder = calls.at(1).arguments.at(0);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^Order_\\d{14}$")).match(QFileInfo(folder).fileName()).hasMatch())
        << folder.toStdString();
    EXPECT_EQ(cdImageDir(), QFileInfo(folder).absolutePath());
    EXPECT_EQ(imagePath(), calls.at(1).arguments.at(1));
    EXPECT_EQ((QStringList{imagePath(), QStringLiteral("false")}), calls.at(2).arguments);
    EXPECT_FALSE(calls.at(1).inGuiThread);
    EXPECT_FALSE(calls.at(2).inGuiThread);
    EXPECT_TRUE(calls.at(4).inGuiThread);

    // What went onto the disc.
    const QMap<QString, QByteArray> disc = burner.snapshot();
    ETOrderItem *firstItem = ETOrder::instance()->orderItems()->at(0);
    ETOrderItem *secondItem = ETOrder::instance()->orderItems()->at(1);
    const QString firstName = firstItem->uploadFileName();
    const QString secondName = secondItem->uploadFileName();
    EXPECT_EQ(
        (QStringList{QStringLiteral("00000000.txt"), firstName, secondName, QStringLiteral("Offline.clt"),
                     QStringLiteral("_debug.txt"), QStringLiteral("order.txt"), QStringLiteral("zzz.pad")}),
        QStringList(disc.keys()));
    EXPECT_TRUE(disc.value(QStringLiteral("Offline.clt")).isEmpty());
    ETOrderTxtBuilder builder;
    const QByteArray orderText = ETOrderTxtBuilder::fileContent(builder.build());
    EXPECT_TRUE(orderText.contains("\r\n"));
    EXPECT_EQ(orderText, disc.value(QStringLiteral("00000000.txt")));
    EXPECT_EQ(orderText, disc.value(QStringLiteral("order.txt")));
    EXPECT_EQ(content(m_pictures.at(0)), disc.value(firstName));
    EXPECT_EQ(content(m_pictures.at(1)), disc.value(secondName));
    EXPECT_EQ(QByteArray(1048576, '\0'), disc.value(QStringLiteral("zzz.pad")));
    EXPECT_EQ(QByteArray("OSName=Linux\r\nOSVersion=0\r\nKeyAccount=KA42\r\nKeyAccountName=LumoTest\r\n"
                         "ProgramName=lumotest\r\nProgramVersion=1.3.0\r\nCDWriterLibrary=fakelib 1.0\r\n"
                         "CDWriterModel=Fake Writer 24x\r\nCDWriterSpeed=8\r\nCDWriterMaxSpeed=24\r\n"),
              disc.value(QStringLiteral("_debug.txt")));

    // The burner spoke from its thread; the page heard it in the GUI thread.
    for (bool inGui : burner.emittedInGuiThread())
        EXPECT_FALSE(inGui);
    EXPECT_GT(toBar.count, 0);
    EXPECT_GT(toScreen.count, 0);
    for (unsigned int step : {1u, 2u, 16u, 32u})
        EXPECT_TRUE(screen()->stepList()->box(step)->isChecked()) << step;
    EXPECT_EQ(QStringLiteral("CD-Brennen beendet."), screen()->statusLabel()->text());

    // Asked for a blank disc, nothing else; all of it gone again.
    EXPECT_EQ(QStringList{QStringLiteral("CD einlegen")}, boxCaptions());
    EXPECT_TRUE(cleanedUp());
    EXPECT_EQ(QString(), wizard()->imageFileName());
    EXPECT_EQ(1000, sleptMilliseconds() - slept);
    EXPECT_EQ(QStringLiteral("Image: lumo.iso"), ETCDBurner::logText());
}

// The files in the order they are written, seen by a burner that makes its
// image in the GUI thread.
TEST_F(ETWizardScreenBurnTest, FilesAreWrittenInTheirOrder)
{
    FakeBurner::Script script;
    script.imageInThread = false;
    FakeBurner burner(script);
    QStringList written;
    QString folder;
    startOnChoice(burner);
    burner.duringImage = [&] {
        written = screen()->files();
        folder = screen()->directory();
    };
    ASSERT_TRUE(waitForPage(choicePage));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(finalPage));

    const QString first = ETOrder::instance()->orderItems()->at(0)->uploadFileName();
    const QString second = ETOrder::instance()->orderItems()->at(1)->uploadFileName();
    // The shared picture is written twice under one name.
    EXPECT_EQ((QStringList{QStringLiteral("Offline.clt"), QStringLiteral("00000000.txt"),
                           QStringLiteral("_debug.txt"), first, second, first, QStringLiteral("order.txt"),
                           QStringLiteral("zzz.pad")}),
              written);
    EXPECT_TRUE(burner.calls().at(1).inGuiThread);
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(screen()->files().isEmpty());
}

// Every way a run can go wrong: what the customer sees and where the wizard goes.
struct FailureCase {
    const char *name;
    bool imageResult = true;
    bool burnResult = true;
    bool folderBlocked = false;
    bool pictureMissing = false;
    QList<QMessageBox::StandardButton> answers;
    QStringList boxes;
    QStringList calls;
    bool backToChoice = false; // else: the wizard is cancelled
};

void PrintTo(const FailureCase &c, std::ostream *out)
{
    *out << c.name;
}

const QString isoFailed = QStringLiteral("CD IsoImage");
const QString burnFailed = QStringLiteral("CD Burn");
const QString insertDisc = QStringLiteral("CD einlegen");

const FailureCase failureCases[] = {
    {"ImageFailsRetry",
     false,
     true,
     false,
     false,
     {QMessageBox::Ok, QMessageBox::Retry},
     {isoFailed, burnFailed},
     {QStringLiteral("setSpeed"), QStringLiteral("createImage"), QStringLiteral("release")},
     true},
    {"ImageFailsCancel",
     false,
     true,
     false,
     false,
     {QMessageBox::Ok, QMessageBox::Cancel},
     {isoFailed, burnFailed},
     {QStringLiteral("setSpeed"), QStringLiteral("createImage"), QStringLiteral("release")},
     false},
    {"BurnFailsRetry",
     true,
     false,
     false,
     false,
     {QMessageBox::Ok, QMessageBox::Retry},
     {insertDisc, burnFailed},
     {QStringLiteral("setSpeed"), QStringLiteral("createImage"), QStringLiteral("burnImage"),
      QStringLiteral("afterBurn"), QStringLiteral("release")},
     true},
    {"BurnFailsCancel",
     true,
     false,
     false,
     false,
     {QMessageBox::Ok, QMessageBox::Cancel},
     {insertDisc, burnFailed},
     {QStringLiteral("setSpeed"), QStringLiteral("createImage"), QStringLiteral("burnImage"),
      QStringLiteral("afterBurn"), QStringLiteral("release")},
     false},
    {"NoBlankDisc",
     true,
     true,
     false,
     false,
     {QMessageBox::Cancel},
     {insertDisc},
     {QStringLiteral("setSpeed"), QStringLiteral("createImage"), QStringLiteral("release")},
     false},
    {"FolderCannotBeMade",
     true,
     true,
     true,
     false,
     {},
     {QStringLiteral("Schreibfehler")},
     {QStringLiteral("setSpeed"), QStringLiteral("release")},
     true},
    {"PictureCannotBeWritten",
     true,
     true,
     false,
     true,
     {},
     {QStringLiteral("Schreibfehler")},
     {QStringLiteral("setSpeed"), QStringLiteral("release")},
     true},
};

class ETWizardScreenBurnFailureTest : public ETWizardScreenBurnTest,
                                      public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(ETWizardScreenBurnFailureTest, EndsWhereTheCustomerSaid)
{
    const FailureCase &c = GetParam();
    FakeBurner::Script script;
    script.imageResult = c.imageResult;
    script.burnResult = c.burnResult;
    FakeBurner burner(script);
    if (c.folderBlocked) {
        // A file where the CD image folder should be.
        const QString path = cdImageDir();
        QDir(path).removeRecursively();
        QFile blocker(path);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    if (c.pictureMissing) {
        ASSERT_TRUE(QFile::remove(m_pictures.at(1)));
    }
    for (QMessageBox::StandardButton answer : c.answers)
        presenter().answerBox(answer);
    startOnChoice(burner);
    ASSERT_TRUE(waitForPage(choicePage));
    ASSERT_TRUE(pressNext());

    EXPECT_EQ(c.boxes, boxCaptions());
    EXPECT_EQ(c.calls, burner.callNames());
    if (c.backToChoice) {
        EXPECT_TRUE(waitForPage(choicePage));
        EXPECT_TRUE(wizard()->isVisible());
        EXPECT_TRUE(wizard()->cancelButton()->isEnabled());
    } else {
        EXPECT_TRUE(rejected());
    }
    EXPECT_EQ(QString(), wizard()->imageFileName());
    if (!c.folderBlocked) {
        EXPECT_TRUE(cleanedUp());
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, ETWizardScreenBurnFailureTest, ::testing::ValuesIn(failureCases),
                         [](const ::testing::TestParamInfo<FailureCase> &info) { return info.param.name; });

// After a failed run the customer comes back to the choice and tries again.
TEST_F(ETWizardScreenBurnTest, RetryFromTheChoiceBurnsAgain)
{
    FakeBurner::Script script;
    script.burnResult = false;
    FakeBurner burner(script);
    presenter().answerBox(QMessageBox::Ok);
    presenter().answerBox(QMessageBox::Retry);
    startOnChoice(burner);
    ASSERT_TRUE(waitForPage(choicePage));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(choicePage));
    burner.script.burnResult = true;
    ASSERT_TRUE(pressNext());
    EXPECT_TRUE(waitForPage(finalPage));
    EXPECT_EQ(2, burner.callNames().count(QStringLiteral("burnImage")));
    EXPECT_TRUE(cleanedUp());
}

// Cancel while the image is made or the disc written: the burner is told, the
// run cleans up and the wizard is cancelled, never on to the final screen.
TEST_F(ETWizardScreenBurnTest, CancelDuringTheImageOrTheBurn)
{
    for (bool duringBurn : {false, true}) {
        SCOPED_TRACE(duringBurn ? "during the burn" : "during the image");
        presenter().clear();
        FakeBurner::Script script;
        script.holdImage = !duringBurn;
        script.holdBurn = duringBurn;
        FakeBurner burner(script);
        startOnChoice(burner);
        ASSERT_TRUE(waitForPage(choicePage));
        when([&] { return duringBurn ? burner.burnStarted() : burner.imageStarted(); },
             [&] { EXPECT_TRUE(pressCancel()); });
        ASSERT_TRUE(pressNext());

        EXPECT_TRUE(rejected());
        const QStringList calls = burner.callNames();
        EXPECT_TRUE(calls.contains(QStringLiteral("cancel")));
        EXPECT_EQ(duringBurn, calls.contains(QStringLiteral("burnImage")));
        EXPECT_EQ(QStringLiteral("release"), calls.last());
        EXPECT_EQ(duringBurn ? QStringList{insertDisc} : QStringList(), boxCaptions());
        EXPECT_TRUE(cleanedUp());
    }
}

// A burner that cannot be stopped: no Cancel while it burns, and Cancel as
// before once the disc is done.
TEST_F(ETWizardScreenBurnTest, CancelIsOffWhileAnUncancellableBurnerBurns)
{
    for (bool cancellable : {true, false}) {
        SCOPED_TRACE(cancellable ? "cancellable" : "not cancellable");
        FakeBurner::Script script;
        script.holdBurn = true;
        script.cancellable = cancellable;
        FakeBurner burner(script);
        startOnChoice(burner);
        ASSERT_TRUE(waitForPage(choicePage));
        bool duringBurn = !cancellable;
        bool atRelease = false;
        when([&] { return burner.burnStarted(); },
             [&] {
                 duringBurn = wizard()->cancelButton()->isEnabled();
                 burner.proceed();
             });
        burner.duringRelease = [&] { atRelease = wizard()->cancelButton()->isEnabled(); };
        ASSERT_TRUE(pressNext());
        EXPECT_EQ(cancellable, duringBurn);
        EXPECT_TRUE(atRelease);
        EXPECT_TRUE(waitForPage(finalPage));
    }
}

// An image writer: the customer places the image, it stays, and a note says to burn it.
TEST_F(ETWizardScreenBurnTest, ImageWriterLeavesTheImageWhereTheCustomerPutIt)
{
    FakeBurner::Script script;
    script.producesImageFile = true;
    script.writesDisc = false;
    script.keepsImage = true;
    script.actions = ETCDBurner::ActionImage;
    FakeBurner burner(script);
    const QString chosen = environment().scratch() + QStringLiteral("/auftrag.iso");
    presenter().answerText(chosen);
    startOnChoice(burner);
    ASSERT_TRUE(waitForPage(choicePage));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(finalPage));

    ASSERT_FALSE(presenter().requests().isEmpty());
    const ETRecordedRequest &request = presenter().requests().first();
    EXPECT_EQ(ETRecordedRequest::SaveFileName, request.kind);
    EXPECT_EQ(QDir::homePath() + QStringLiteral("/lumo.iso"), request.start);
    EXPECT_EQ(QStringLiteral("ISO-Image (*.iso *.ISO)"), request.filter);
    EXPECT_EQ(QStringLiteral("Bitte Filenamen auswählen"), request.caption);
    EXPECT_EQ(1, boxCaptions().size());
    EXPECT_TRUE(presenter().last().box.text.contains(QStringLiteral("ISO-Image erzeugt")))
        << presenter().last().box.text.toStdString();
    EXPECT_EQ(
        (QStringList{QStringLiteral("setSpeed"), QStringLiteral("createImage"), QStringLiteral("release")}),
        burner.callNames());
    EXPECT_EQ(chosen, burner.calls().at(1).arguments.at(1));
    EXPECT_TRUE(QFileInfo::exists(chosen));
    EXPECT_EQ(chosen, wizard()->imageFileName());
    EXPECT_TRUE(cleanedUp());
}

TEST_F(ETWizardScreenBurnTest, NoImageFileNameCancelsTheWizard)
{
    FakeBurner::Script script;
    script.producesImageFile = true;
    script.writesDisc = false;
    FakeBurner burner(script);
    startOnChoice(burner);
    ASSERT_TRUE(waitForPage(choicePage));
    ASSERT_TRUE(pressNext());
    EXPECT_TRUE(rejected());
    EXPECT_EQ((QStringList{QStringLiteral("setSpeed"), QStringLiteral("release")}), burner.callNames());
    EXPECT_TRUE(boxCaptions().isEmpty());
    EXPECT_TRUE(cleanedUp());
}

// A burner that keeps its image in the CD image folder: the clean-up leaves it.
TEST_F(ETWizardScreenBurnTest, KeptImageStays)
{
    FakeBurner::Script script;
    script.keepsImage = true;
    FakeBurner burner(script);
    startOnChoice(burner);
    ASSERT_TRUE(waitForPage(choicePage));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(finalPage));
    EXPECT_TRUE(QFileInfo::exists(imagePath()));
    EXPECT_EQ(imagePath(), wizard()->imageFileName());
    EXPECT_TRUE(orderFolders().isEmpty());
}

// A burner gone since the choice: back to the choice, nothing written.
TEST_F(ETWizardScreenBurnTest, BurnerGoneSinceTheChoice)
{
    auto burner = std::make_unique<FakeBurner>();
    startOnChoice(*burner);
    ASSERT_TRUE(waitForPage(choicePage));
    ETWizardScreen *choice = wizard()->screenByName(choicePage);
    ASSERT_TRUE(choice->atNext());
    burner.reset();
    wizard()->showPage(screen()->page());
    EXPECT_TRUE(waitForPage(choicePage));
    EXPECT_TRUE(boxCaptions().isEmpty());
    EXPECT_TRUE(orderFolders().isEmpty());
}

// The status texts and progress of the burner's actions.
TEST_F(ETWizardScreenBurnTest, ActionsShowTheirStatus)
{
    ETOrderWizard *w = emptyWizard();
    auto *burn = new ETWizardScreenBurn(burnPage, nullptr, w);
    w->addScreen(burn, false);
    burn->atShow();
    const struct {
        unsigned int action;
        bool begin;
        const char *status; // null: unchanged
        int progress;       // -1: unchanged
    } cases[] = {
        {2, true, "Schreibe ISO-Image", 0},
        {2, false, "ISO-Image geschrieben", 100},
        {4, true, "Kalibrierung des Lasers", -1},
        {4, false, nullptr, -1},
        {16, true, "Schreibe Daten auf CD", 0},
        {16, false, nullptr, 100},
        {32, true, "Schliesse Session. Dieser Vorgang kann einige Minuten dauern.", -1},
        {32, false, nullptr, -1},
        {64, true, "Finalisiere CD. Dieser Vorgang kann einige Minuten dauern.", -1},
        {64, false, nullptr, -1},
        {0, true, nullptr, -1},
        {0, false, nullptr, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.action << (c.begin ? " begins" : " ends"));
        burn->statusLabel()->setText(QStringLiteral("vorher"));
        burn->progressBar()->setValue(42);
        c.begin ? burn->beginAction(c.action) : burn->endAction(c.action);
        EXPECT_EQ(c.status ? QString::fromUtf8(c.status) : QStringLiteral("vorher"),
                  burn->statusLabel()->text());
        EXPECT_EQ(c.progress < 0 ? 42 : c.progress, burn->progressBar()->value());
    }
    burn->beginBurn();
    EXPECT_EQ(QStringLiteral("Starte Brennvorgang..."), burn->statusLabel()->text());
    EXPECT_EQ(0, burn->progressBar()->value());
    burn->endBurn();
    EXPECT_EQ(QStringLiteral("CD-Brennen beendet."), burn->statusLabel()->text());

    MessageCapture capture;
    burn->beginAction(8);
    burn->endAction(128);
    EXPECT_TRUE(hasLine(capture, QStringLiteral("unknown action 8")));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("unknown action 128")));
}

} // namespace
