#pragma once

#include "etorderserverdouble.h"

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// The world of one transfer test: a scratch folder as working directory
// (holding the test authority as "ca-bundle.crt" unless told otherwise), a
// resource folder with default.xml and a server list, private per-user
// settings, waits shrunk to milliseconds and the order-server double running.
class TransferTestEnvironment
{
  public:
    struct Options {
        QString protocol = QStringLiteral("1.5");
        bool caBundle = true;
        QString certificate = QStringLiteral("server");
    };

    TransferTestEnvironment();
    explicit TransferTestEnvironment(const Options &options);
    ~TransferTestEnvironment();

    ETOrderServerDouble &server() { return *m_server; }
    QString scratch() const { return m_dir.path(); }
    QString resources() const { return m_dir.path() + QStringLiteral("/Resources"); }
    // Rewrites the server list with these controller URLs (the double's HTTP DTD base for each).
    void writeServerList(const QStringList &urls);
    QString readResource(const QString &name) const;
    // A free loopback port where nothing listens.
    static quint16 closedPort();

  private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<ETOrderServerDouble> m_server;
};
