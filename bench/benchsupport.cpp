#include "benchsupport.h"

#include "etfileutils.h"

#include <QFile>
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
