#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// The common start of the order benchmarks: checks that at least `needed`
// arguments follow the program name (else prints "usage: <program> <usage>"),
// takes argv[1] as the resource folder and keeps debug lines off the output.
// False when the call is wrong.
bool startBench(int argc, char **argv, int needed, const char *usage);

// The non-empty lines of a list file of pictures.
QStringList listedPaths(const QString &listFile);

// Runs the curl tool with these arguments and times it from start to end.
// Seconds, or -1 when it failed (its error output in *error).
double timedCurl(const QStringList &arguments, QByteArray *error);

// The order-server double as a process of its own; ports 0 have it bind
// free ones, which it names in its first line. Stopped with the object.
class DoubleProcess
{
  public:
    explicit DoubleProcess(const QString &program);
    ~DoubleProcess();
    DoubleProcess(const DoubleProcess &) = delete;
    DoubleProcess &operator=(const DoubleProcess &) = delete;

    // False when it did not start or named no addresses within ten seconds.
    bool start();
    QString http() const;
    QString https() const;

  private:
    QProcess m_process;
    quint16 m_httpPort = 0;
    quint16 m_httpsPort = 0;
};
