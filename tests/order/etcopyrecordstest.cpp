#include "etcopyrecords.h"

#include "etimage.h"
#include "etorder.h"
#include "etprocessstate.h"
#include "resourcefolder.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <functional>

namespace
{

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList recordFiles()
{
    return QDir(ETCopyRecords::folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// A picture of the order, as the basket adds one.
ETImage *ordered(const QString &path)
{
    ETImage *image = ETImage::create(path);
    ETOrder *order = ETOrder::instance();
    EXPECT_TRUE(order->addImage(image, QStringLiteral("10x15"), 1, int(order->orderItems()->size())));
    return image;
}

// Nobody but the owner may do anything with it.
bool ownerOnly(const QString &path)
{
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions permissions = QFileInfo(path).permissions();
    return (permissions & others) == 0 && (permissions & QFileDevice::ReadOwner);
}

} // namespace

TEST(ETCopyRecordsTest, ACopyTakesTheNameBesideThePictureOnlyWhenNothingHasIt)
{
    ResourceFolder resources;
    const struct {
        const char *what;
        std::function<void(const QString &name, const QString &picture)> make;
        std::function<bool(const QString &name, const QString &picture)> stayed;
        bool free = false;
    } cases[] = {
        {"nothing", [](const QString &, const QString &) {},
         [](const QString &, const QString &) { return true; }, true},
        {"the customer's file",
         [](const QString &name, const QString &) {
             QFile file(name);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("mine");
         },
         [](const QString &name, const QString &) { return contents(name) == "mine"; }},
        {"a folder", [](const QString &name, const QString &) { ASSERT_TRUE(QDir().mkdir(name)); },
         [](const QString &name, const QString &) { return QFileInfo(name).isDir(); }},
        {"a link to the picture",
         [](const QString &name, const QString &picture) { ASSERT_TRUE(QFile::link(picture, name)); },
         [](const QString &name, const QString &picture) {
             return QFileInfo(name).isSymLink() && QFileInfo(picture).size() > 100 &&
                    !contents(picture).startsWith("copy");
         }},
        {"a link to nowhere",
         [](const QString &name, const QString &) {
             ASSERT_TRUE(QFile::link(name + QStringLiteral("x"), name));
         },
         [](const QString &name, const QString &) { return QFileInfo(name).isSymLink(); }},
    };
    int number = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString picture = resources.paint(QStringLiteral("p%1.jpg").arg(++number), 200, 100);
        const QString name = picture + QStringLiteral(".opti.jpg");
        c.make(name, picture);
        ETImage *image = ordered(picture);
        EXPECT_FALSE(image->hasOptimizedCopy()) << "whatever has the name is no copy of the program's";
        EXPECT_EQ(image->uploadSource(), picture);
        image->removeOptimizedCopy();
        EXPECT_TRUE(c.stayed(name, picture));

        ASSERT_TRUE(image->storeOptimizedCopy("copy"));
        const QString copy = image->optimizedCopyPath();
        EXPECT_EQ(copy, c.free ? name : picture + QStringLiteral("~2.opti.jpg"));
        EXPECT_EQ(contents(copy), QByteArray("copy"));
        EXPECT_TRUE(image->hasOptimizedCopy());
        EXPECT_EQ(image->uploadSource(), copy);
        EXPECT_EQ(image->optiFileName(), image->internalName() + QStringLiteral(".opti.jpg"));
        EXPECT_EQ(image->fileSize(), 4);

        image->removeOptimizedCopy();
        EXPECT_FALSE(QFileInfo::exists(copy) || QFileInfo(copy).isSymLink());
        EXPECT_FALSE(image->hasOptimizedCopy());
        EXPECT_TRUE(c.stayed(name, picture)) << "what had the name is as it was";
    }
}

TEST(ETCopyRecordsTest, ACopyChangedSinceItWasWrittenIsNoLongerTheProgramsOwn)
{
    ResourceFolder resources;
    const struct {
        const char *what;
        std::function<void(const QString &copy)> change;
        bool sent; // still taken for the copy by size and time alone
    } cases[] = {
        {"grown",
         [](const QString &copy) {
             QFile file(copy);
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write("more");
         },
         false},
        {"touched",
         [](const QString &copy) {
             QFile file(copy);
             ASSERT_TRUE(file.open(QIODevice::ReadWrite));
             ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                          QFileDevice::FileModificationTime));
         },
         false},
        {"the same size written again, its time put back",
         [](const QString &copy) {
             const QDateTime time = QFileInfo(copy).lastModified();
             QFile file(copy);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("yopy");
             ASSERT_TRUE(file.flush());
             ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
         },
         true},
        {"replaced by a link",
         [](const QString &copy) {
             ASSERT_TRUE(QFile::remove(copy));
             ASSERT_TRUE(QFile::link(copy + QStringLiteral(".real"), copy));
         },
         false},
    };
    int number = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString picture = resources.paint(QStringLiteral("p%1.png").arg(++number), 20, 10);
        ETImage *image = ordered(picture);
        ASSERT_TRUE(image->storeOptimizedCopy("copy"));
        const QString copy = image->optimizedCopyPath();
        c.change(copy);
        EXPECT_EQ(c.sent, image->hasOptimizedCopy());
        EXPECT_EQ(c.sent ? copy : picture, image->uploadSource());
        ETOrder::instance()->removeOptimizedCopies();
        EXPECT_TRUE(QFileInfo(copy).isSymLink() || QFileInfo(copy).isFile()) << "not removed";
        EXPECT_FALSE(image->hasOptimizedCopy()) << "and forgotten";
        // A new copy goes beside it.
        ASSERT_TRUE(image->storeOptimizedCopy("new"));
        EXPECT_EQ(image->optimizedCopyPath(), picture + QStringLiteral("~2.opti.jpg"));
    }
}

TEST(ETCopyRecordsTest, APictureOfTheOrderIsNeverRemovedAsACopy)
{
    ResourceFolder resources;
    ETImage *image = ordered(resources.paint(QStringLiteral("a.png"), 20, 10));
    ASSERT_TRUE(image->storeOptimizedCopy(ETImage::encodeJpeg(QImage(20, 10, QImage::Format_RGB32))));
    const QString copy = image->optimizedCopyPath();
    const QByteArray written = contents(copy);
    ETImage *picture = ordered(copy);
    EXPECT_EQ(picture->uploadSource(), copy);
    ETOrder::instance()->removeOptimizedCopies();
    EXPECT_EQ(contents(copy), written) << "the picture of the order stays";
    EXPECT_FALSE(image->hasOptimizedCopy());
}

TEST(ETCopyRecordsTest, EachCopyIsRecordedInAnOwnerOnlyFileBeforeItAppears)
{
    ResourceFolder resources;
    const QString picture = resources.paint(QStringLiteral("a.png"), 20, 10);
    ETImage *image = ordered(picture);
    ASSERT_TRUE(image->storeOptimizedCopy("copy"));
    const QString folder = ETCopyRecords::folder();
    EXPECT_TRUE(ownerOnly(folder));
    const QStringList files = recordFiles();
    ASSERT_EQ(2, files.size()) << files.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(files[0].endsWith(QStringLiteral(".lock")));
    EXPECT_TRUE(files[1].endsWith(QStringLiteral(".records")));
    const QString records = folder + QLatin1Char('/') + files[1];
    EXPECT_TRUE(ownerOnly(records));
    EXPECT_TRUE(ownerOnly(folder + QLatin1Char('/') + files[0]));
    EXPECT_TRUE(contents(records).contains(image->optimizedCopyPath().toUtf8()));

    // Nothing left to record: neither records nor lock stay.
    image->removeOptimizedCopy();
    EXPECT_TRUE(recordFiles().isEmpty()) << recordFiles().join(QLatin1Char(' ')).toStdString();

    // Where nothing can be recorded, no copy is written.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    {
        QFile inTheWay(folder);
        ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(image->storeOptimizedCopy("copy"));
    EXPECT_FALSE(QFileInfo::exists(picture + QStringLiteral(".opti.jpg")));
    EXPECT_EQ(image->uploadSource(), picture);
}

TEST(ETCopyRecordsTest, TheNextStartRemovesOnlyTheCopiesAnEndedRunLeftAsItWroteThem)
{
    ResourceFolder resources;
    QStringList pictures;
    QStringList copies;
    for (int i = 1; i <= 4; ++i) {
        pictures << resources.paint(QStringLiteral("p%1.png").arg(i), 20, 10);
        ETImage *image = ordered(pictures.last());
        ASSERT_TRUE(image->storeOptimizedCopy("copy " + QByteArray::number(i)));
        copies << image->optimizedCopyPath();
    }
    // The run ends as a killed one does: records and copies stay, the lock is let go.
    ETProcessState::resetForTests();
    ASSERT_EQ(2, recordFiles().size());

    {
        QFile file(copies[1]);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(" changed");
    }
    ASSERT_TRUE(QFile::remove(copies[2]));
    resources.writeFile(QFileInfo(copies[2]).fileName(), "the customer's");
    const QString own = resources.writeFile(QStringLiteral("p5.png.opti.jpg"), "the customer's");

    // The next run: one leftover is a picture of its order now, and it has a copy of its own.
    ordered(copies[3]);
    ETImage *running = ordered(pictures[0]);
    ASSERT_TRUE(running->storeOptimizedCopy("the running one's"));
    const QString runningCopy = running->optimizedCopyPath();
    ASSERT_EQ(pictures[0] + QStringLiteral("~2.opti.jpg"), runningCopy) << "the leftover has the name yet";
    ASSERT_EQ(4, recordFiles().size());

    EXPECT_EQ(1, ETCopyRecords::removeLeftovers());
    EXPECT_FALSE(QFileInfo::exists(copies[0])) << "as it was written";
    EXPECT_EQ(contents(copies[1]), QByteArray("copy 2 changed"));
    EXPECT_EQ(contents(copies[2]), QByteArray("the customer's"));
    EXPECT_EQ(contents(copies[3]), QByteArray("copy 4")) << "a picture of the order";
    EXPECT_EQ(contents(own), QByteArray("the customer's"));
    EXPECT_EQ(contents(runningCopy), QByteArray("the running one's"))
        << "a run that goes on keeps its copies";
    EXPECT_TRUE(running->hasOptimizedCopy());
    EXPECT_EQ(2, recordFiles().size()) << "the ended run's records are gone, the running one's stay";

    EXPECT_EQ(0, ETCopyRecords::removeLeftovers()) << "settled once";
    EXPECT_EQ(contents(copies[1]), QByteArray("copy 2 changed"));
}
