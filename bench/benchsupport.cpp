#include "benchsupport.h"

#include "etfileutils.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
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

DoubleProcess::DoubleProcess(const QString &program)
{
    m_process.setProgram(program);
    m_process.setArguments({QStringLiteral("--http-port"), QStringLiteral("0"),
                            QStringLiteral("--https-port"), QStringLiteral("0")});
}

DoubleProcess::~DoubleProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000))
        m_process.kill();
    m_process.waitForFinished(10000);
}

// Its first line: "order-server double: http://127.0.0.1:N https://127.0.0.1:M (CA ...)".
bool DoubleProcess::start()
{
    m_process.start();
    QElapsedTimer waited;
    waited.start();
    while (!m_process.canReadLine() && waited.elapsed() < 10000) {
        if (!m_process.waitForReadyRead(int(10000 - waited.elapsed())))
            break;
    }
    static const QRegularExpression urls(
        QStringLiteral("http://127\\.0\\.0\\.1:(\\d+) https://127\\.0\\.0\\.1:(\\d+)"));
    const QRegularExpressionMatch match = urls.match(QString::fromUtf8(m_process.readLine()));
    if (!match.hasMatch())
        return false;
    m_httpPort = match.captured(1).toUShort();
    m_httpsPort = match.captured(2).toUShort();
    return true;
}

QString DoubleProcess::http() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_httpPort);
}

QString DoubleProcess::https() const
{
    return QStringLiteral("https://127.0.0.1:%1").arg(m_httpsPort);
}
