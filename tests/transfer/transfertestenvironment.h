#pragma once

#include "etfaultbuilder.h"
#include "etnetworkingerror.h"
#include "etorderserverdouble.h"
#include "ettestsandbox.h"
#include "qtprinters.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>

// A failure names the error class by its number.
inline void PrintTo(ETNetworkingError::ErrorClass errorClass, std::ostream *os)
{
    *os << "error class " << int(errorClass);
}

// The world of one transfer test: a sandbox whose folder is the working
// directory (holding the test authority as "ca-bundle.crt" unless told
// otherwise) and whose resource folder has default.xml and a server list,
// waits shrunk to milliseconds and the order-server double running.
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
    QString scratch() const { return m_sandbox.path(); }
    QString resources() const { return m_sandbox.resources(); }
    const ETTestSandbox &sandbox() const { return m_sandbox; }
    // Rewrites the server list with these controller URLs (the double's HTTP DTD base for each).
    void writeServerList(const QStringList &urls);
    QString readResource(const QString &name) const;
    // A free loopback port where nothing listens.
    static quint16 closedPort();

  private:
    ETTestSandbox m_sandbox;
    QString m_previousDir;
    std::unique_ptr<ETOrderServerDouble> m_server;
};
