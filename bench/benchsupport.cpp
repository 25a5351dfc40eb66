#include "benchsupport.h"

#include "etfileutils.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTextStream>

#include <cstdio>

namespace
{

void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

bool startBench(int argc, char **argv, int needed, const char *usage)
{
    if (argc < needed + 1) {
        std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
        return false;
    }
    setResourceDir(QString::fromLocal8Bit(argv[1]));
    qInstallMessageHandler(quietMessages);
    return true;
}

QStringList listedPaths(const QString &listFile)
{
    QStringList paths;
    QFile file(listFile);
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream stream(&file);
        QString line;
        while (stream.readLineInto(&line))
            if (!line.isEmpty())
                paths << line;
    }
    return paths;
}

double timedCurl(const QStringList &arguments, QByteArray *error)
{
    QProcess curl;
    curl.setProgram(QStringLiteral("curl"));
    curl.setArguments(arguments);
    QElapsedTimer timer;
    timer.start();
    curl.start();
    const bool ran =
        curl.waitForFinished(600000) && curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0;
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!ran) {
        *error = curl.readAllStandardError();
        return -1;
    }
    return seconds;
}
