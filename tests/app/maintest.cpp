#include "etcopyrecords.h"
#include "etimage.h"
#include "etprocessstate.h"
#include "ettestsandbox.h"
#include "qtprinters.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

const QString lumo = QStringLiteral(LUMO_BINARY_DIR "/app/lumo");

struct LumoRun {
    int exitCode = -1;
    QStringList errorLines;
};

// Runs the client and waits at most 30 s for it to end.
::testing::AssertionResult runLumo(const QStringList &arguments, LumoRun &run)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(lumo, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return ::testing::AssertionFailure() << "lumo did not end";
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return ::testing::AssertionFailure() << "lumo crashed";
    run.exitCode = process.exitCode();
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    for (const QString &line : errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.startsWith(QLatin1String("QStandardPaths:")))
            run.errorLines << line;
    }
    return ::testing::AssertionSuccess();
}

TEST(Lumo, UnknownOptionPrintsTheUsageAndEndsWithZero)
{
    struct Case {
        QStringList arguments;
        QString unknown;
    } cases[] = {
        {{QStringLiteral("-X")}, QStringLiteral("-X")},
        {{QStringLiteral("-S"), QStringLiteral("host")}, QStringLiteral("-S")},
        {{QStringLiteral("-P")}, QStringLiteral("-P")},
        {{QStringLiteral("-K"), QStringLiteral("x1")}, QStringLiteral("-K")},
        {{QStringLiteral("-Nname")}, QStringLiteral("-Nname")},
        {{QStringLiteral("-Lde"), QStringLiteral("-")}, QStringLiteral("-")},
        {{QStringLiteral("-R"), QStringLiteral("/nowhere"), QStringLiteral("-xyz"), QStringLiteral("a.txt")},
         QStringLiteral("-xyz")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.arguments.join(QLatin1Char(' '))));
        LumoRun run;
        ASSERT_TRUE(runLumo(c.arguments, run));
        EXPECT_EQ(0, run.exitCode);
        const QStringList expected = {
            QStringLiteral("unknown option: ") + c.unknown,
            QStringLiteral(": ") + lumo +
                QStringLiteral(" [-L lang] [-R resdir] [-S server] [-P proto] [-K keyacc] [-N name]"),
            QStringLiteral("\t-L   language: DE, NL, FR,... (language file must exist)"),
            QStringLiteral("\t-R   use this directory instead of \"Resources\""),
        };
        EXPECT_EQ(expected, run.errorLines);
    }
}

TEST(Lumo, ResourceFolderAndLanguageDecideTheTranslationFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile settings(dir.filePath(QStringLiteral("default.xml")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("<r><keyaccount>x1</keyaccount><qtlanguage>de</qtlanguage></r>");
    settings.close();

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(lumo, {QStringLiteral("-R"), dir.path(), QStringLiteral("-LNL")});
    ASSERT_TRUE(process.waitForStarted(30000));
    const QStringList expected = {
        QStringLiteral("langfile=") + dir.filePath(QStringLiteral("international/x1_nl.qm")),
        QStringLiteral("loading default language file"),
        QStringLiteral("no language file found"),
    };
    // The client keeps running with its window open; read until the lines
    // are there, then end it.
    QString errors;
    QElapsedTimer clock;
    clock.start();
    while (!errors.contains(expected.last()) && !clock.hasExpired(30000) &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(1000);
        errors += QString::fromLocal8Bit(process.readAllStandardError());
    }
    const bool running = process.state() == QProcess::Running;
    process.kill();
    process.waitForFinished();

    // Only the translators' lines: the bare resource folder has no skin, which
    // the skin reports on lines of its own.
    QStringList lines;
    for (const QString &line : errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("langfile=")) ||
            line.startsWith(QLatin1String("loading default")) ||
            line.startsWith(QLatin1String("no language file")))
            lines << line;
    }
    EXPECT_EQ(expected, lines);
    EXPECT_TRUE(running) << "lumo ended instead of showing its window";
}

// A run killed while it had copies (records and copies stay, the lock is let
// go): the next start of the program removes those still as written, and
// only those; SIGTERM then ends it as a quit, with status 0.
TEST(Lumo, TheStartRemovesTheCopiesAKilledRunLeftAsItWroteThem)
{
    ETTestSandbox sandbox;
    sandbox.write(QStringLiteral("default.xml"), "<r><keyaccount>x1</keyaccount><keyaccountname>LumoTest"
                                                 "</keyaccountname><programname>lumotest</programname></r>");
    QStringList copies;
    for (const char *name : {"a.png", "b.png"}) {
        ETImage *image = ETImage::create(sandbox.paint(QLatin1String(name), 20, 10));
        ASSERT_TRUE(image->storeOptimizedCopy("copy of " + QByteArray(name)));
        copies << image->optimizedCopyPath();
    }
    ETProcessState::resetForTests();
    {
        QFile changed(copies[1]);
        ASSERT_TRUE(changed.open(QIODevice::Append));
        changed.write(", changed since");
    }
    const QString own = sandbox.writeFile(QStringLiteral("c.png.opti.jpg"), "the customer's");

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), sandbox.settings());
    process.setProcessEnvironment(environment);
    process.start(lumo, {QStringLiteral("-R"), sandbox.resources()});
    ASSERT_TRUE(process.waitForStarted(30000));
    const QString removed = QStringLiteral("removed 1 optimised copies an earlier run left");
    QString errors;
    QElapsedTimer clock;
    clock.start();
    while (!errors.contains(removed) && !clock.hasExpired(30000) && process.state() == QProcess::Running) {
        process.waitForReadyRead(1000);
        errors += QString::fromLocal8Bit(process.readAllStandardError());
    }
    process.terminate();
    const bool ended = process.waitForFinished(30000);
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    EXPECT_TRUE(errors.contains(removed)) << errors.toStdString();
    EXPECT_TRUE(ended);
    EXPECT_EQ(QProcess::NormalExit, process.exitStatus()) << "SIGTERM quits";
    EXPECT_EQ(0, process.exitCode());

    EXPECT_FALSE(QFileInfo::exists(copies[0]));
    QFile changed(copies[1]);
    ASSERT_TRUE(changed.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray("copy of b.png, changed since"), changed.readAll());
    QFile kept(own);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray("the customer's"), kept.readAll());
    EXPECT_TRUE(QDir(ETCopyRecords::folder()).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "the records settled";
}

} // namespace
