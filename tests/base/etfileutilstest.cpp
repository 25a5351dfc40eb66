#include "etfileutils.h"
#include "ettestwait.h"
#include "qtprinters.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace
{

::testing::AssertionResult writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return ::testing::AssertionFailure() << "cannot write " << qPrintable(path);
    if (file.write(content) != content.size())
        return ::testing::AssertionFailure() << "short write to " << qPrintable(path);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult hasContent(const QString &path, const QByteArray &expected)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ::testing::AssertionFailure() << qPrintable(path) << " is missing";
    const QByteArray actual = file.readAll();
    if (actual != expected)
        return ::testing::AssertionFailure()
               << qPrintable(path) << " holds " << actual.size() << " bytes, expected " << expected.size();
    return ::testing::AssertionSuccess();
}

QByteArray pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

TEST(ResourcePath, JoinsWithOneSlashAsGiven)
{
    struct Case {
        const char *folder; // nullptr: untouched
        const char *name;
        const char *expected;
    } cases[] = {
        {nullptr, "default.xml", "Resources/default.xml"},
        {"D:/skin", "default.xml", "D:/skin/default.xml"},
        {"D:/skin/", "default.xml", "D:/skin//default.xml"},
        {"/res", "/abs/name", "/res//abs/name"},
        {"/res", "international/qt_", "/res/international/qt_"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        if (c.folder)
            setResourceDir(QString::fromLatin1(c.folder));
        EXPECT_EQ(QString::fromLatin1(c.expected), resourcePath(QString::fromLatin1(c.name)));
    }
    setResourceDir(QStringLiteral("Resources"));
}

std::unique_ptr<QApplication> makeApplication()
{
    static int argc = 1;
    static char name[] = "etfileutilstest";
    static char *argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

unsigned sleptFor = 0;

TEST(Sleep, GoesThroughTheTestHook)
{
    sleptFor = 0;
    setSleepHookForTests([](unsigned ms) { sleptFor += ms; });
    sleepSeconds(3);
    sleepMilliseconds(20);
    sleepSecondsWithEvents(2);
    setSleepHookForTests(nullptr);
    EXPECT_EQ(5020u, sleptFor);
}

TEST(Sleep, WithEventsTheEventLoopGoesOn)
{
    auto app = makeApplication();
    EventLoopWatch watch;
    QElapsedTimer clock;
    clock.start();
    sleepSecondsWithEvents(1);
    EXPECT_GE(clock.elapsed(), 1000);
    EXPECT_LT(watch.longestGapMs(), 400);
}

TEST(Connection, NothingToDial)
{
    EXPECT_FALSE(ensureInternetConnection());
}

TEST(AbsoluteFilePath, TakesTheNameRelativeToTheFolder)
{
    EXPECT_EQ(QStringLiteral("/a/b/c.txt"),
              absoluteFilePath(QStringLiteral("/a/b"), QStringLiteral("c.txt")));
    EXPECT_EQ(QStringLiteral("/x/c.txt"),
              absoluteFilePath(QDir(QStringLiteral("/a/b")), QStringLiteral("/x/c.txt")));
    EXPECT_EQ(QDir::current().absoluteFilePath(QStringLiteral("rel/c.txt")),
              absoluteFilePath(QStringLiteral("rel"), QStringLiteral("c.txt")));
}

class CopyTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(CopyTest, CopyFileCases)
{
    struct Case {
        const char *name;
        int size;
    } cases[] = {{"empty", 0}, {"small", 10}, {"oneBlock", 16384}, {"threeBlocksAndABit", 3 * 16384 + 5}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString source = path(QString::fromLatin1(c.name));
        const QString target = source + QStringLiteral(".copy");
        ASSERT_TRUE(writeFile(source, pattern(c.size)));
        ASSERT_TRUE(writeFile(target, "longer old content that must go away"));
        EXPECT_TRUE(copyFile(source, target));
        EXPECT_TRUE(hasContent(target, pattern(c.size)));
    }
}

TEST_F(CopyTest, CopyFileFailures)
{
    EXPECT_FALSE(copyFile(path(QStringLiteral("missing")), path(QStringLiteral("target"))));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("target"))));

    ASSERT_TRUE(writeFile(path(QStringLiteral("source")), "abc"));
    EXPECT_FALSE(copyFile(path(QStringLiteral("source")), path(QStringLiteral("no/such/folder/target"))));
    EXPECT_FALSE(copyFile(path(QStringLiteral("source")), QStringLiteral("/dev/full")));
}

TEST_F(CopyTest, OnlyRegularFilesAreRead)
{
    ASSERT_TRUE(writeFile(path(QStringLiteral("abc")), "abc"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));
    // Opened without a writer, a pipe would hold the reader for ever.
    ASSERT_EQ(0, mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0600));
    const struct {
        const char *name;
        QString file;
        qint64 maxBytes;
        bool read;
        bool readable;
    } cases[] = {
        {"regular", path(QStringLiteral("abc")), 3, true, true},
        {"longer than allowed", path(QStringLiteral("abc")), 2, false, true},
        {"missing", path(QStringLiteral("missing")), 100, false, false},
        {"folder", path(QStringLiteral("folder")), 100, false, false},
        {"pipe", path(QStringLiteral("pipe")), 100, false, false},
        {"device without end", QStringLiteral("/dev/zero"), 100, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray data("old");
        EXPECT_EQ(c.read, readRegularFile(c.file, data, c.maxBytes));
        EXPECT_EQ(c.read ? QByteArray("abc") : QByteArray(), data);
        EXPECT_EQ(c.readable, isReadableRegularFile(c.file));
    }
}

TEST_F(CopyTest, CopyFileInDirsAlwaysRewrites)
{
    const QDir dir(m_dir.path());
    ASSERT_TRUE(writeFile(path(QStringLiteral("a")), "new"));
    ASSERT_TRUE(writeFile(path(QStringLiteral("b")), "old old old"));
    EXPECT_TRUE(copyFileInDirs(dir, QStringLiteral("a"), dir, QStringLiteral("b"), false));
    EXPECT_TRUE(hasContent(path(QStringLiteral("b")), "new"));
}

class TreeTest : public CopyTest
{
  protected:
    void SetUp() override
    {
        CopyTest::SetUp();
        QDir root(m_dir.path());
        for (const char *folder : {"src/sub/deeper", "src/CVS", "src/empty"})
            ASSERT_TRUE(root.mkpath(QString::fromLatin1(folder)));
        for (const char *file :
             {"src/a.jpg", "src/b.txt", "src/sub/c.jpg", "src/sub/deeper/d.JPG", "src/CVS/Entries.jpg"})
            ASSERT_TRUE(writeFile(path(QString::fromLatin1(file)), QByteArray(file)));
    }
    QString src() const { return path(QStringLiteral("src")); }
    QString dst() const { return path(QStringLiteral("dst")); }
};

TEST_F(TreeTest, CopiesMatchingFilesAndLeavesCvsOut)
{
    EXPECT_EQ(3, prepareDirectoryTree(src(), dst(), QStringLiteral("*.jpg")));
    EXPECT_TRUE(copyDirectoryTree(src(), dst(), QStringLiteral("*.jpg"), nullptr));
    struct Expect {
        const char *file;
        bool present;
    } expects[] = {
        {"dst/a.jpg", true}, {"dst/b.txt", false}, {"dst/sub/c.jpg", true}, {"dst/sub/deeper/d.JPG", true},
        {"dst/CVS", false},  {"dst/empty", true},
    };
    for (const Expect &e : expects) {
        SCOPED_TRACE(e.file);
        EXPECT_EQ(e.present, QFileInfo::exists(path(QString::fromLatin1(e.file))));
    }
    EXPECT_TRUE(hasContent(path(QStringLiteral("dst/sub/c.jpg")), "src/sub/c.jpg"));
}

TEST_F(TreeTest, MissingSourceCopiesNothingAndSucceeds)
{
    EXPECT_TRUE(copyDirectoryTree(path(QStringLiteral("nothere")), dst(), QStringLiteral("*"), nullptr));
    EXPECT_FALSE(QFileInfo::exists(dst()));
}

TEST_F(TreeTest, AFailedFileMakesItFalseButTheRestIsCopied)
{
    // A folder where a file should go makes that one copy fail.
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("dst/a.jpg"))));
    EXPECT_FALSE(copyDirectoryTree(src(), dst(), QStringLiteral("*.jpg"), nullptr));
    EXPECT_TRUE(hasContent(path(QStringLiteral("dst/sub/c.jpg")), "src/sub/c.jpg"));
    EXPECT_TRUE(hasContent(path(QStringLiteral("dst/sub/deeper/d.JPG")), "src/sub/deeper/d.JPG"));
}

TEST_F(TreeTest, ProgressDialogCountsEveryFile)
{
    auto app = makeApplication();
    QProgressDialog progress;
    progress.setAutoReset(false);
    progress.setValue(0);
    EXPECT_TRUE(copyDirectoryTree(src(), dst(), QStringLiteral("*"), &progress));
    EXPECT_EQ(4, progress.maximum());
    EXPECT_EQ(4, progress.value());
}

TEST_F(TreeTest, CancelInTheProgressDialogStopsTheCopy)
{
    auto app = makeApplication();
    QProgressDialog progress;
    progress.setAutoReset(false);
    progress.setValue(0);
    // The cancel arrives with the events processed after the first file.
    QTimer::singleShot(0, &progress, &QProgressDialog::cancel);
    EXPECT_FALSE(copyDirectoryTree(src(), dst(), QStringLiteral("*"), &progress));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("dst/a.jpg"))));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("dst/b.txt"))));
}

TEST(Utf16, RoundTripsAndNullTexts)
{
    const QString texts[] = {QStringLiteral("Grüße €"), QStringLiteral(""), QStringLiteral("a")};
    for (const QString &text : texts) {
        SCOPED_TRACE(qPrintable(text));
        char16_t *copy = toUtf16(text);
        ASSERT_NE(nullptr, copy);
        EXPECT_EQ(char16_t(0), copy[text.size()]);
        EXPECT_EQ(text, fromUtf16(copy));
        delete[] copy;
    }
    EXPECT_EQ(nullptr, toUtf16(QString()));
    EXPECT_TRUE(fromUtf16(nullptr).isNull());
}

} // namespace
