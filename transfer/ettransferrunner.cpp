#include "ettransferrunner.h"

#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etcurleventloop.h"
#include "etfileutils.h"
#include "etlistfile.h"
#include "etnetworkingcurl.h"
#include "etnetworkingerror.h"
#include "etnetworkinglog.h"
#include "etorderxmlbuilder.h"
#include "etprocessstate.h"
#include "etxmlreader.h"

#include <QCursor>
#include <QDebug>
#include <QGuiApplication>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QThread>

#include <cstdio>

namespace
{

// Built-in servers, tried when the server list has no entry at an index.
const char *const builtInControllers[] = {"http://order1.lumo-prints.invalid/xtci%p/controller",
                                          "http://order2.lumo-prints.invalid/xtci%p/controller"};
const char *const builtInDtds[] = {"http://order1.lumo-prints.invalid/xtci%p/dtd",
                                   "http://order2.lumo-prints.invalid/xtci%p/dtd"};
// Appended to a bare host name.
const char defaultDomain[] = ".lumo-prints.invalid";

QMutex protocolMutex;
QString protocolText;
std::atomic<int> protocolNumber{-1};

// The wait cursor belongs to the GUI thread; worker-thread requests leave it alone.
bool inGuiThread()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) &&
           ETCurlEventLoop::inApplicationThread();
}

} // namespace

ETTransferRunner::ETTransferRunner(QObject *parent)
    : QObject(parent), m_builder(new ETOrderXMLBuilder(this)), m_error(new ETNetworkingError(0, this))
{
}

ETTransferRunner::~ETTransferRunner() = default;

// ---- cancel and the customer's steps ----------------------------------------------------------

void ETTransferRunner::setCurrentTransfer(ETNetworkingCurl *transfer, bool afterAbort)
{
    QMutexLocker lock(&m_transferMutex);
    QThread *thread = QThread::currentThread();
    if (transfer) {
        m_transfers.append({thread, transfer});
        // An abort that came before the transfer was known still reaches it.
        if (m_aborted && !afterAbort)
            transfer->cancel();
        return;
    }
    for (qsizetype i = m_transfers.size() - 1; i >= 0; --i) {
        if (m_transfers.at(i).first == thread) {
            m_transfers.removeAt(i);
            return;
        }
    }
}

void ETTransferRunner::abort()
{
    QMutexLocker lock(&m_transferMutex);
    m_aborted = true;
    for (const auto &transfer : std::as_const(m_transfers))
        transfer.second->cancel();
}

void ETTransferRunner::clearAbort()
{
    m_aborted = false;
}

bool ETTransferRunner::pause(int seconds)
{
    if (ETNetworkingTimes::waitSeconds(seconds, m_aborted))
        return true;
    m_error->raise(ETNetworkingError::Cancelled);
    return false;
}

void ETTransferRunner::beginStep()
{
    // The customer's new action may talk to the server again after a cancel;
    // one that runs inside a cancelled one (a page shown on the way out) may not.
    if (m_steps++ == 0)
        clearAbort();
}

void ETTransferRunner::endStep()
{
    --m_steps;
}

// ---- documents and replies --------------------------------------------------------------------

QString ETTransferRunner::documentHeader(const QString &root) const
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + QStringLiteral("<!DOCTYPE ") +
           root + QStringLiteral(" SYSTEM \"") + ETConfig::instance()->DTD_URL() + QLatin1Char('/') + root +
           QStringLiteral(".dtd\">") + QStringLiteral("\n\n");
}

QString ETTransferRunner::requestDocument(const QString &root, const QString &body) const
{
    return documentHeader(root) + body;
}

ETNetworkingCurl *ETTransferRunner::createCurlConnection(const QString &url)
{
    const QString baseServerURL = url.isEmpty() ? ETConfig::instance()->serverURL() : url;
    qCDebug(lcNetworking).noquote() << QStringLiteral("ETNetworking::createCurlConnection: baseServerURL=") +
                                           baseServerURL;
    auto *transfer = new ETNetworkingCurl(baseServerURL);
    const QString proxy = ETConfig::instance()->httpProxyAddress();
    // "No proxy" must also keep libcurl away from the proxy variables of the environment.
    if (!proxy.isEmpty() || ETConfig::instance()->httpProxyChoice() == QLatin1String("no"))
        transfer->setProxy(proxy);
    return transfer;
}

std::unique_ptr<QDomDocument> ETTransferRunner::request(const QString &name, const QString &body,
                                                        const QString &url, const Bounds &bounds)
{
    qCDebug(lcNetworking).noquote() << QStringLiteral("ETNetworking::sendNetworkRequest (") + name +
                                           QLatin1Char(')');
    m_error->clear();
    // After a cancel nothing more goes out until the next step clears it.
    if (m_aborted && !bounds.afterAbort) {
        m_error->raise(ETNetworkingError::Cancelled);
        return nullptr;
    }
    const QString text = requestDocument(name, body);
    const bool applicationThread = ETCurlEventLoop::inApplicationThread();
    const bool cursor = inGuiThread();
    if (cursor)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const std::unique_ptr<ETNetworkingCurl> transfer(createCurlConnection(url));
    transfer->setRequestTimeout(bounds.timeoutSeconds);
    setCurrentTransfer(transfer.get(), bounds.afterAbort);
    // The application's thread handles its events meanwhile: what the
    // customer clicks then must not start another request.
    if (applicationThread)
        ++m_waits;
    bool dialUpTried = false;
    int rc = 0;
    do {
        rc = transfer->postString(text);
        qCDebug(lcNetworking, "ETNetworking: cURL error = %d", rc);
    } while (ETNetworkingCurl::dialledUpAfter(rc, dialUpTried));
    if (applicationThread)
        --m_waits;
    setCurrentTransfer(nullptr);
    std::unique_ptr<QDomDocument> reply;
    if (rc == 0) {
        const int status = transfer->httpCode();
        if (status < 300) {
            QDomDocument document;
            const ETXMLReader::Result read = transfer->readReply(document);
            if (read == ETXMLReader::Parsed)
                reply = std::make_unique<QDomDocument>(document);
            else
                m_error->raise(read == ETXMLReader::NotXml ? ETNetworkingError::ReplyNotXml
                                                           : ETNetworkingError::ReplyOutOfBounds);
        } else {
            m_error->raise(ETNetworkingError::fromHttpStatus(status));
        }
    } else if (rc == CURLE_WRITE_ERROR && transfer->replyTooLarge()) {
        m_error->raise(ETNetworkingError::ReplyOutOfBounds);
    } else {
        m_error->raise(ETNetworkingError::fromCurl(rc));
    }
    qCDebug(lcNetworking, "ETNetworking::sendNetworkRequest finished");
    if (cursor)
        QGuiApplication::restoreOverrideCursor();
    return reply;
}

void ETTransferRunner::replyErrorCode(QDomDocument *reply)
{
    if (!reply)
        return;
    const QString text = reply->documentElement()
                             .firstChildElement(QStringLiteral("head"))
                             .firstChildElement(QStringLiteral("errorcode"))
                             .text();
    bool ok = false;
    const int code = text.trimmed().toInt(&ok);
    m_lastServerErrorCode = ok ? code : 0;
    m_error->raise(m_lastServerErrorCode);
}

QString ETTransferRunner::replyErrorText(QDomDocument *reply)
{
    if (reply)
        m_lastServerErrorText = reply->documentElement()
                                    .firstChildElement(QStringLiteral("head"))
                                    .firstChildElement(QStringLiteral("errortext"))
                                    .text();
    return m_lastServerErrorText;
}

QDomNode ETTransferRunner::replyContent(QDomDocument *reply)
{
    if (!reply)
        return QDomNode();
    replyErrorCode(reply);
    replyErrorText(reply);
    return reply->documentElement().firstChildElement(QStringLiteral("content"));
}

QString ETTransferRunner::childText(const QDomNode &node, const QString &name)
{
    return node.firstChildElement(name).text();
}

// ---- server choice and session ----------------------------------------------------------------

QString ETTransferRunner::getServer(int index)
{
    qCDebug(lcNetworking, "getServer(%d)", index);
    QDomDocument list;
    if (!ETXMLReader::readResourceFile(list, resourcePath(QStringLiteral("xtci_servers.xml")))) {
        qCWarning(lcNetworking, "xtci_servers.xml not found, using default");
    } else {
        int position = 0;
        for (QDomElement e = list.documentElement().firstChildElement(); !e.isNull();
             e = e.nextSiblingElement(), ++position) {
            if (position == index) {
                ETConfig::instance()->setDTD_URL(childText(e, QStringLiteral("dtd_url")));
                return childText(e, QStringLiteral("url"));
            }
        }
    }
    if (index < 0 || index > 1)
        return QString();
    ETConfig::instance()->setDTD_URL(dtdURL(QString::fromLatin1(builtInDtds[index])));
    return controllerURL(QString::fromLatin1(builtInControllers[index]));
}

void ETTransferRunner::writeServerList(const QDomDocument &reply)
{
    const ETListFile list =
        ETListFile::fromReply(reply, {"xtci2", "content", "xtci_servers"}, "xtci_server", "url");
    if (list.isNull())
        return;
    // A failed write keeps the old list; the chosen server is known all the same.
    if (!list.write(QStringLiteral("xtci_servers.xml")))
        qCWarning(lcNetworking, "xtci_servers.xml not written");
}

bool ETTransferRunner::loadBalancing()
{
    int lastCode = 0;
    QString controller;
    QString dtd;
    const QString body = m_builder->buildXtci2Request(serverProtocol());
    int index = 0;
    std::unique_ptr<QDomDocument> reply;
    while (controller.isEmpty()) {
        while (!reply) {
            QString server = getServer(index);
            if (server.isEmpty()) {
                qCWarning(lcNetworking, "server list exhausted");
                m_error->raise(lastCode);
                return false;
            }
            server = replaceScheme(server, QStringLiteral("http://"));
            reply = request(QStringLiteral("xtci2_request"), body, server);
            ++index;
            lastCode = m_error->code();
            // A cancel ends the search as well: the customer asked for no other server.
            if (lastCode == ETNetworkingError::ProxyNotFound || lastCode == ETNetworkingError::HostNotFound ||
                lastCode == ETNetworkingError::Cancelled)
                return false;
        }
        const QDomNode content = replyContent(reply.get());
        if (m_error->hasError())
            return false;
        controller = childText(content, QStringLiteral("url"));
        dtd = childText(content, QStringLiteral("dtd_url"));
        // A server that names no controller is passed over like an unreachable one.
        if (controller.isEmpty())
            reply.reset();
    }
    writeServerList(*reply);
    const QString server = replaceScheme(controller, QStringLiteral("https://"));
    const QString dtdUrl = replaceScheme(dtd, QStringLiteral("http://"));
    ETConfig::instance()->setServerURL(server);
    ETConfig::instance()->setDTD_URL(dtdUrl);
    qCDebug(lcNetworking).noquote() << QStringLiteral("loadBalancing: server=") + server;
    qCDebug(lcNetworking).noquote() << QStringLiteral("loadBalancing:    dtd=") + dtdUrl;
    return true;
}

bool ETTransferRunner::startSession()
{
    if (!ETConfig::instance()->sessionID().isEmpty())
        return true;
    if (!loadBalancing())
        return false;
    const std::unique_ptr<QDomDocument> reply =
        request(QStringLiteral("session_request"), m_builder->buildSessionRequest(serverProtocol()));
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!m_error->hasError()) {
        const QString id = childText(content, QStringLiteral("ocsid"));
        const QString validUntil = childText(content, QStringLiteral("valid_until"));
        const QString protocol = childText(content, QStringLiteral("server_protocol"));
        qCDebug(lcNetworking).noquote()
            << QStringLiteral("ausgelesenes Server-protokoll: >>") + protocol + QStringLiteral("<<");
        ETConfig::instance()->setSessionID(id, validUntil, false);
    }
    return !m_error->hasError();
}

bool ETTransferRunner::endSession(const QString &kind, const Bounds &bounds)
{
    qCDebug(lcNetworking).noquote() << QStringLiteral("ETNetworking::endSession (") + kind + QLatin1Char(')');
    if (ETConfig::instance()->sessionID().isEmpty())
        return true;
    const std::unique_ptr<QDomDocument> reply = request(
        QStringLiteral("endsession_request"), m_builder->buildEndSessionRequest(kind), QString(), bounds);
    if (!reply)
        return false;
    replyContent(reply.get());
    ETConfig::instance()->setSessionID(QString(), QString(), true);
    return !m_error->hasError();
}

// ---- server addresses and protocol ------------------------------------------------------------

QString ETTransferRunner::makeBaseURL(const QString &server, const QString &suffix)
{
    QString url;
    if (server.startsWith(QLatin1String("http://")) || server.startsWith(QLatin1String("https://")))
        url = server;
    else
        url = QStringLiteral("http://") + server +
              (server.contains(QLatin1Char('.')) ? QString() : QString::fromLatin1(defaultDomain)) +
              QStringLiteral("/xtci%p/") + suffix;
    QString protocol = serverProtocol();
    static const QRegularExpression version(QStringLiteral("(\\d+\\.\\d+)"));
    const QRegularExpressionMatch match = version.match(protocol);
    if (match.hasMatch())
        protocol = match.captured(1);
    url.replace(QLatin1String("%p"), protocol);
    qCDebug(lcNetworking).noquote() << QStringLiteral("makeBaseURL(") + server + QStringLiteral(", ") +
                                           suffix + QStringLiteral(") => ") + url;
    return url;
}

QString ETTransferRunner::controllerURL(const QString &server)
{
    return makeBaseURL(server, QStringLiteral("controller"));
}

QString ETTransferRunner::dtdURL(const QString &server)
{
    return makeBaseURL(server, QStringLiteral("dtd"));
}

QString ETTransferRunner::replaceScheme(const QString &url, const QString &scheme)
{
    const int at = url.indexOf(QLatin1String("://"));
    return at < 0 ? scheme + url : scheme + url.mid(at + 3);
}

QString ETTransferRunner::serverProtocol()
{
    QMutexLocker lock(&protocolMutex);
    if (protocolText.isEmpty()) {
        protocolText = ETApplicationConfig::instance()->protocol();
        // Kept for the run; a test's fresh start asks the dealer settings again.
        ETProcessState::addReset([] {
            QMutexLocker again(&protocolMutex);
            protocolText.clear();
            protocolNumber = -1;
        });
    }
    return protocolText;
}

int ETTransferRunner::protocolVersion()
{
    if (protocolNumber < 0) {
        int major = 0;
        int minor = 0;
        std::sscanf(serverProtocol().toLatin1().constData(), "%d.%d", &major, &minor);
        protocolNumber = major * 10 + minor;
    }
    return protocolNumber;
}
