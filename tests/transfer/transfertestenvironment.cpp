#include "transfertestenvironment.h"

#include "etfileutils.h"
#include "etnetworkingtimes.h"

#include <QApplication>
#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

TransferTestEnvironment::TransferTestEnvironment() : TransferTestEnvironment(Options()) {}

TransferTestEnvironment::TransferTestEnvironment(const Options &options)
{
    qunsetenv("http_proxy");
    qunsetenv("https_proxy");
    qunsetenv("HTTPS_PROXY");
    qunsetenv("ALL_PROXY");
    qunsetenv("all_proxy");
    m_sandbox.write(QStringLiteral("default.xml"),
                    QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<applicationConfig>"
                                   "<keyaccount>KA42</keyaccount><keyaccountname>LumoTest</keyaccountname>"
                                   "<programname>lumotest</programname><protocol>%1</protocol>"
                                   "</applicationConfig>\n")
                        .arg(options.protocol)
                        .toUtf8());
    if (options.caBundle)
        QFile::copy(QStringLiteral(LUMO_TEST_CERT_DIR "/ca.crt"),
                    m_sandbox.file(QStringLiteral("ca-bundle.crt")));
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(m_sandbox.path());
    ETNetworkingTimes::setMillisecondsPerSecond(10);

    m_server = std::make_unique<ETOrderServerDouble>(QStringLiteral(LUMO_TEST_CERT_DIR));
    m_server->setCertificate(options.certificate);
    EXPECT_TRUE(m_server->start());
    writeServerList({m_server->controllerUrl(false, options.protocol)});
}

TransferTestEnvironment::~TransferTestEnvironment()
{
    m_server->stop();
    QDir::setCurrent(m_previousDir);
}

void TransferTestEnvironment::writeServerList(const QStringList &urls)
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xtci_servers>\n");
    for (const QString &url : urls)
        xml += QStringLiteral(" <xtci_server>\n  <url>%1</url>\n  <dtd_url>%2</dtd_url>\n </xtci_server>\n")
                   .arg(url, m_server->httpUrl(QStringLiteral("/dtd")));
    xml += QStringLiteral("</xtci_servers>\n");
    QFile file(resources() + QStringLiteral("/xtci_servers.xml"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(xml.toUtf8());
}

QString TransferTestEnvironment::readResource(const QString &name) const
{
    QFile file(resources() + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

quint16 TransferTestEnvironment::closedPort()
{
    // Bind an ephemeral port and keep it bound without listening until the
    // test program ends: connections are refused, and no other process (a
    // double of a parallel test) can be given the port meanwhile.
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    return ntohs(address.sin_port);
}
