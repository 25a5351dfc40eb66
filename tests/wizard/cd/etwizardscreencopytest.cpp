#include "etwizardscreencopy.h"
#include "etconfig.h"
#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etordertxtbuilder.h"
#include "ettestwait.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace
{

const QString copyPage = QStringLiteral("copyScreen");

// The copy step of an order kept on the hard disk, between two pages of the test's own.
class ETWizardScreenCopyTest : public WizardFixture
{
  protected:
    ETWizardScreenCopyTest()
    {
        // The order text carries the time; the test builds it again afterwards.
        ETOrderOutputBuilder::setCurrentDateTimeForTests(QDateTime(QDate(2024, 5, 17), QTime(10, 0, 5)));
        ETOrder::instance()->removeAllOrderItems();
        ETWizardScreenCollectData::setClockForTests(
            [] { return QDateTime(QDate(2024, 5, 17), QTime(10, 0, 5)); });
        ETOrderWizard *w = emptyWizard();
        w->addScreen(new StandInScreen(QStringLiteral("addressScreen"), w), true);
        m_copy = new ETWizardScreenCopy(copyPage, nullptr, w);
        w->addScreen(m_copy, false);
        w->addScreen(new StandInScreen(QStringLiteral("nextScreen"), w), true);
        w->setLocalOrder(true);
    }

    ~ETWizardScreenCopyTest() override
    {
        // The order lets go of its lines without deleting them.
        const QList<ETOrderItem *> items = *ETOrder::instance()->orderItems();
        ETOrder::instance()->removeAllOrderItems();
        qDeleteAll(items);
        ETOrderOutputBuilder::setCurrentDateTimeForTests(QDateTime());
        ETWizardScreenCollectData::setClockForTests({});
    }

    void addPictures()
    {
        QDir().mkpath(environment().scratch() + QStringLiteral("/pictures"));
        for (const char *name : {"a.jpg", "b.jpg"}) {
            const QString path = environment().scratch() + QStringLiteral("/pictures/") + QLatin1String(name);
            QImage image(64, 48, QImage::Format_RGB32);
            image.fill(Qt::cyan);
            ASSERT_TRUE(image.save(path, "JPEG"));
            m_pictures << path;
            ASSERT_TRUE(ETOrder::instance()->addImage(ETImage::create(path), QStringLiteral("10x15"), 1,
                                                      int(m_pictures.size()) - 1));
        }
    }

    // Shown as the wizard shows it: the copy runs at once.
    void runCopy()
    {
        if (!wizard()->isVisible())
            showWizard();
        wizard()->showPage(m_copy->page());
    }

    static QString folder()
    {
        return QFileInfo(ETConfig::instance()->cdImageDir()).absoluteFilePath() +
               QStringLiteral("/Order_20240517100005");
    }

    static QStringList folderFiles()
    {
        return QDir(folder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    QStringList boxCaptions()
    {
        QStringList captions;
        for (const ETRecordedRequest &request : presenter().requests())
            captions << request.box.caption;
        return captions;
    }

    ETWizardScreenCopy *m_copy = nullptr;
    QStringList m_pictures;
};

TEST_F(ETWizardScreenCopyTest, KeepsTheOrderFolderAndMovesOn)
{
    addPictures();
    runCopy();
    ASSERT_TRUE(waitForPage(QStringLiteral("nextScreen")));
    const QString first = ETOrder::instance()->orderItems()->at(0)->uploadFileName();
    const QString second = ETOrder::instance()->orderItems()->at(1)->uploadFileName();
    QStringList expected{first, second, QStringLiteral("order.txt")};
    expected.sort();
    EXPECT_EQ(expected, folderFiles());
    ETOrderTxtBuilder builder;
    QFile text(folder() + QStringLiteral("/order.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(ETOrderTxtBuilder::fileContent(builder.build()), text.readAll());
    EXPECT_EQ(QStringLiteral("Daten zusammengestellt."), m_copy->statusLabel()->text());
    EXPECT_EQ(2, m_copy->progressBar()->maximum());
    EXPECT_EQ(2, m_copy->progressBar()->value());
    EXPECT_EQ(nullptr, m_copy->stepList());
    EXPECT_FALSE(wizard()->cancelButton()->isEnabled());
    EXPECT_TRUE(presenter().requests().isEmpty());
}

TEST_F(ETWizardScreenCopyTest, OrderWithoutItemsGetsOnlyTheOrderText)
{
    runCopy();
    ASSERT_TRUE(waitForPage(QStringLiteral("nextScreen")));
    EXPECT_EQ(QStringList{QStringLiteral("order.txt")}, folderFiles());
    EXPECT_EQ(QStringList{QStringLiteral("order.txt")}, m_copy->files());
    EXPECT_EQ(0, m_copy->progressBar()->maximum());
}

// Two runs within one second: the second order gets a folder of its own and
// leaves the first one's files as they are.
TEST_F(ETWizardScreenCopyTest, SecondRunInTheSameSecondGetsAFolderOfItsOwn)
{
    addPictures();
    runCopy();
    ASSERT_TRUE(waitForPage(QStringLiteral("nextScreen")));
    const QStringList first = folderFiles();
    QFile text(folder() + QStringLiteral("/order.txt"));
    ASSERT_TRUE(text.open(QIODevice::Append));
    ASSERT_EQ(5, text.write("kept\n"));
    text.close();
    runCopy();
    ASSERT_TRUE(waitForPage(QStringLiteral("nextScreen")));
    EXPECT_EQ(first, folderFiles());
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(text.readAll().endsWith("kept\n")) << "the first order's text was written over";
    EXPECT_EQ((QStringList{QStringLiteral("Order_20240517100005"), QStringLiteral("Order_20240517100005_2")}),
              QDir(QFileInfo(folder()).absolutePath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot));
    EXPECT_EQ(first, QDir(folder() + QStringLiteral("_2")).entryList(QDir::Files));
}

// A folder of the order's name that the program did not make (a file too) is
// left as it is, even when the order fails and cleans up after itself.
TEST_F(ETWizardScreenCopyTest, AFolderOfTheOrdersNameIsNotTheOrders)
{
    addPictures();
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QString name = ETOrder::instance()->orderItems()->at(0)->uploadFileName();
    QFile own(folder() + QLatin1Char('/') + name);
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    ASSERT_EQ(8, own.write("customer"));
    own.close();
    ASSERT_TRUE(QFile::remove(m_pictures.at(1)));
    presenter().answerBox(QMessageBox::Ok);
    presenter().answerBox(QMessageBox::Cancel);
    runCopy();
    ASSERT_TRUE(waitFor([&] { return !wizard()->isVisible(); }));
    EXPECT_EQ(QStringList{name}, folderFiles());
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray("customer"), own.readAll());
    EXPECT_FALSE(QFileInfo::exists(folder() + QStringLiteral("_2"))) << "the failed order's own folder stays";
}

// A failed copy asks: Retry runs the step again, Cancel ends the wizard; no files stay.
TEST_F(ETWizardScreenCopyTest, FailedCopyAsksAndCleansUp)
{
    addPictures();
    ASSERT_TRUE(QFile::remove(m_pictures.at(1)));
    for (QMessageBox::StandardButton answer :
         {QMessageBox::Ok, QMessageBox::Retry, QMessageBox::Ok, QMessageBox::Cancel})
        presenter().answerBox(answer);
    runCopy();
    EXPECT_EQ((QStringList{QStringLiteral("Schreibfehler"), QStringLiteral("Dateien kopieren"),
                           QStringLiteral("Schreibfehler"), QStringLiteral("Dateien kopieren")}),
              boxCaptions());
    EXPECT_FALSE(wizard()->isVisible());
    EXPECT_EQ(QDialog::Rejected, wizard()->result());
    EXPECT_FALSE(QFileInfo::exists(folder()));
}

TEST_F(ETWizardScreenCopyTest, UnwritableOrderTextIsReportedOnce)
{
    addPictures();
    // A folder where the order text should go, made as soon as the order's
    // folder appears (the copy loop lets events through for each picture).
    const QString parent = QFileInfo(folder()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(parent));
    QFileSystemWatcher watcher({parent});
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [] {
        if (QFileInfo(folder()).isDir())
            QDir().mkpath(folder() + QStringLiteral("/order.txt"));
    });
    presenter().answerBox(QMessageBox::Ok);
    presenter().answerBox(QMessageBox::Cancel);
    runCopy();
    EXPECT_EQ((QStringList{QStringLiteral("Schreibfehler"), QStringLiteral("Dateien kopieren")}),
              boxCaptions());
    EXPECT_TRUE(presenter().requests().first().box.text.contains(QDir::toNativeSeparators(folder())));
    EXPECT_FALSE(wizard()->isVisible());
    // The pictures are gone; the folder stays for what the run did not write.
    EXPECT_EQ(QStringList{QStringLiteral("order.txt")}, folderFiles());
}

// Cancel while the pictures are copied: the loop stops, the folder goes, the
// wizard is cancelled and does not move on; the next visit copies again.
TEST_F(ETWizardScreenCopyTest, CancelStopsTheCopy)
{
    addPictures();
    showWizard();
    QTimer::singleShot(0, qApp, [this] { EXPECT_TRUE(pressCancel()); });
    runCopy();
    EXPECT_FALSE(wizard()->isVisible());
    EXPECT_EQ(QDialog::Rejected, wizard()->result());
    EXPECT_EQ(QStringLiteral("addressScreen"), currentPage());
    EXPECT_TRUE(presenter().requests().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(folder()));

    runCopy();
    EXPECT_TRUE(waitForPage(QStringLiteral("nextScreen")));
    EXPECT_EQ(3, folderFiles().size());
}

TEST_F(ETWizardScreenCopyTest, OnlyForLocalOrders)
{
    wizard()->setLocalOrder(false);
    EXPECT_FALSE(m_copy->appropriate());
    wizard()->setLocalOrder(true);
    EXPECT_TRUE(m_copy->appropriate());
}

} // namespace
