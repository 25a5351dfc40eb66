#include "qtprinters.h"

#include <QElapsedTimer>
#include <QFile>
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

} // namespace
