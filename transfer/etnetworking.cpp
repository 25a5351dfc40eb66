#include "etnetworking.h"

#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etcountrylist.h"
#include "etcoupon.h"
#include "etcreditcardlist.h"
#include "etcustomer.h"
#include "etfileutils.h"
#include "etimage.h"
#include "etlistfile.h"
#include "etnetworkingcurl.h"
#include "etnetworkingerror.h"
#include "etnetworkinglog.h"
#include "etnetworkingtimes.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderlog.h"
#include "etorderxmlbuilder.h"
#include "etprocessstate.h"
#include "etproductlist.h"
#include "etservercode.h"
#include "etsingleton.h"
#include "etstore.h"
#include "etstorelist.h"
#include "ettransferlist.h"
#include "etxmlreader.h"

#include <QCursor>
#include <QDebug>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <memory>

namespace
{

// Built-in servers, tried when the server list has no entry at an index.
const char *const builtInControllers[] = {"http://order1.lumo-prints.invalid/xtci%p/controller",
                                          "http://order2.lumo-prints.invalid/xtci%p/controller"};
const char *const builtInDtds[] = {"http://order1.lumo-prints.invalid/xtci%p/dtd",
                                   "http://order2.lumo-prints.invalid/xtci%p/dtd"};
// Appended to a bare host name.
const char defaultDomain[] = ".lumo-prints.invalid";

std::atomic<ETNetworking::ConnectionCheck> connectionCheck{nullptr};

bool connectionDialled()
{
    const ETNetworking::ConnectionCheck check = connectionCheck;
    return check ? check() : ensureInternetConnection();
}

QMutex protocolMutex;
QString protocolText;
std::atomic<int> protocolNumber{-1};

// The wait cursor belongs to the GUI thread; worker-thread requests leave it alone.
bool inGuiThread()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

// The application's own thread never blocks on the network: it waits in an
// event loop. Worker threads simply block.
bool waitsWithEvents()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

void ETNetworking::setConnectionCheckForTests(ConnectionCheck check)
{
    connectionCheck = check;
}

ETNetworking *ETNetworking::instance()
{
    static ETSingleton<ETNetworking> networking;
    return networking.get([] { return new ETNetworking; });
}

ETNetworking::ETNetworking(QObject *parent)
    : QObject(parent), m_builder(new ETOrderXMLBuilder(this)), m_error(new ETNetworkingError(0, this))
{
}

void ETNetworking::setCurrentTransfer(ETNetworkingCurl *transfer, bool afterAbort)
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

void ETNetworking::abort()
{
    QMutexLocker lock(&m_transferMutex);
    m_aborted = true;
    for (const auto &transfer : std::as_const(m_transfers))
        transfer.second->cancel();
}

void ETNetworking::clearAbort()
{
    m_aborted = false;
}

bool ETNetworking::isAborted() const
{
    return m_aborted;
}

bool ETNetworking::isWaiting() const
{
    return m_waits > 0;
}

bool ETNetworking::pause(int seconds)
{
    if (ETNetworkingTimes::waitSeconds(seconds, m_aborted))
        return true;
    m_error->raise(ETNetworkingError::Cancelled);
    return false;
}

int ETNetworking::post(ETNetworkingCurl *transfer, const QString &text)
{
    if (!waitsWithEvents())
        return transfer->postString(text);
    // The transfer goes on in a thread of its own while this thread handles
    // its events: the window stays alive and its Cancel works.
    QEventLoop loop;
    QSemaphore finished;
    std::atomic<bool> done{false};
    int result = 0;
    m_transferThreads.start([&] {
        result = transfer->postString(text);
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        finished.release();
    });
    ++m_waits;
    if (!done)
        loop.exec();
    --m_waits;
    // The loop also ends when the application does: the transfer ends with it.
    if (!done)
        transfer->cancel();
    finished.acquire();
    return result;
}

QString ETNetworking::documentHeader(const QString &root) const
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + QStringLiteral("<!DOCTYPE ") +
           root + QStringLiteral(" SYSTEM \"") + ETConfig::instance()->DTD_URL() + QLatin1Char('/') + root +
           QStringLiteral(".dtd\">") + QStringLiteral("\n\n");
}

QString ETNetworking::requestDocument(const QString &root, const QString &body) const
{
    return documentHeader(root) + body;
}

ETNetworkingCurl *ETNetworking::createCurlConnection(const QString &url)
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

QDomDocument *ETNetworking::sendNetworkRequest(const QString &name, const QString &body, const QString &url)
{
    return request(name, body, url).release();
}

std::unique_ptr<QDomDocument> ETNetworking::request(const QString &name, const QString &body,
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
    const bool cursor = inGuiThread();
    if (cursor)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    bool dialUpTried = false;
    bool retry = false;
    std::unique_ptr<QDomDocument> reply;
    do {
        retry = false;
        const std::unique_ptr<ETNetworkingCurl> transfer(createCurlConnection(url));
        transfer->setRequestTimeout(bounds.timeoutSeconds);
        setCurrentTransfer(transfer.get(), bounds.afterAbort);
        const int rc = post(transfer.get(), text);
        qCDebug(lcNetworking, "ETNetworking: cURL error = %d", rc);
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
        } else if (rc == CURLE_COULDNT_RESOLVE_PROXY || rc == CURLE_COULDNT_RESOLVE_HOST ||
                   rc == CURLE_COULDNT_CONNECT) {
            if (!dialUpTried) {
                retry = connectionDialled();
                dialUpTried = true;
            }
            if (!retry)
                m_error->raise(ETNetworkingError::fromCurl(rc));
        } else {
            m_error->raise(ETNetworkingError::fromCurl(rc));
        }
        setCurrentTransfer(nullptr);
    } while (retry);
    qCDebug(lcNetworking, "ETNetworking::sendNetworkRequest finished");
    if (cursor)
        QGuiApplication::restoreOverrideCursor();
    return reply;
}

void ETNetworking::replyErrorCode(QDomDocument *reply)
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

QString ETNetworking::replyErrorText(QDomDocument *reply)
{
    if (reply)
        m_lastServerErrorText = reply->documentElement()
                                    .firstChildElement(QStringLiteral("head"))
                                    .firstChildElement(QStringLiteral("errortext"))
                                    .text();
    return m_lastServerErrorText;
}

QDomNode ETNetworking::replyContent(QDomDocument *reply)
{
    if (!reply)
        return QDomNode();
    replyErrorCode(reply);
    replyErrorText(reply);
    return reply->documentElement().firstChildElement(QStringLiteral("content"));
}

QString ETNetworking::childText(const QDomNode &node, const QString &name)
{
    return node.firstChildElement(name).text();
}

QDomNode ETNetworking::findChildByAttribute(const QDomNode &parent, const QString &name,
                                            const QString &attribute, const QString &value1,
                                            const QString &value2)
{
    for (QDomElement e = parent.firstChildElement(name); !e.isNull(); e = e.nextSiblingElement()) {
        if (e.tagName() != name)
            continue;
        const QString value = e.attribute(attribute);
        if (value == value1 || (!value2.isNull() && value == value2))
            return e;
    }
    return QDomNode();
}

QString ETNetworking::getServer(int index)
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

void ETNetworking::writeServerList(const QDomDocument &reply)
{
    const ETListFile list =
        ETListFile::fromReply(reply, {"xtci2", "content", "xtci_servers"}, "xtci_server", "url");
    if (list.isNull())
        return;
    // A failed write keeps the old list; the chosen server is known all the same.
    if (!list.write(QStringLiteral("xtci_servers.xml")))
        qCWarning(lcNetworking, "xtci_servers.xml not written");
}

bool ETNetworking::loadBalancing()
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
        if (hasError())
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

bool ETNetworking::startSession()
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
    if (!hasError()) {
        const QString id = childText(content, QStringLiteral("ocsid"));
        const QString validUntil = childText(content, QStringLiteral("valid_until"));
        const QString protocol = childText(content, QStringLiteral("server_protocol"));
        qCDebug(lcNetworking).noquote()
            << QStringLiteral("ausgelesenes Server-protokoll: >>") + protocol + QStringLiteral("<<");
        ETConfig::instance()->setSessionID(id, validUntil, false);
    }
    return !hasError();
}

bool ETNetworking::endSession(const QString &kind)
{
    return endSession(kind, Bounds());
}

bool ETNetworking::endSessionAfterCancel()
{
    return endSession(QStringLiteral("abort"), Bounds(ETNetworkingTimes::sessionEndAfterCancelSeconds, true));
}

bool ETNetworking::endSessionAfterOrder()
{
    const bool ended =
        endSession(QStringLiteral("normal"), Bounds(ETNetworkingTimes::sessionEndAfterOrderSeconds));
    ETConfig::instance()->setSessionID(QString(), QString(), true);
    return ended;
}

bool ETNetworking::endSession(const QString &kind, const Bounds &bounds)
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
    return !hasError();
}

bool ETNetworking::orderFinishRequest()
{
    const std::unique_ptr<QDomDocument> reply =
        request(QStringLiteral("orderfinish_request"), m_builder->buildOrderFinishRequest());
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    const QString id = childText(content, QStringLiteral("ord_id"));
    ETCustomer *customer = ETOrder::instance()->customer();
    if (!id.isEmpty())
        customer->setValue(QStringLiteral("ord_id"), id);
    else
        customer->setValue(QStringLiteral("ord_id"),
                           QStringLiteral("Server ") + ETConfig::instance()->serverURL() +
                               QStringLiteral(" hat Feature orderfinishrequest abgeschaltet!"));
    return !hasError();
}

QString ETNetworking::makeBaseURL(const QString &server, const QString &suffix)
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

QString ETNetworking::controllerURL(const QString &server)
{
    return makeBaseURL(server, QStringLiteral("controller"));
}

QString ETNetworking::dtdURL(const QString &server)
{
    return makeBaseURL(server, QStringLiteral("dtd"));
}

QString ETNetworking::replaceScheme(const QString &url, const QString &scheme)
{
    const int at = url.indexOf(QLatin1String("://"));
    return at < 0 ? scheme + url : scheme + url.mid(at + 3);
}

QString ETNetworking::serverProtocol()
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

int ETNetworking::protocolVersion()
{
    if (protocolNumber < 0) {
        int major = 0;
        int minor = 0;
        std::sscanf(serverProtocol().toLatin1().constData(), "%d.%d", &major, &minor);
        protocolNumber = major * 10 + minor;
    }
    return protocolNumber;
}

bool ETNetworking::versionRequest(bool *upToDate, QString *currentVersion, QString *link)
{
    const std::unique_ptr<QDomDocument> reply =
        request(QStringLiteral("version_request"), m_builder->buildVersionRequest());
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    const QString actual = childText(content, QStringLiteral("act_version"));
    const QString own = ETApplicationConfig::version();
    if (currentVersion)
        *currentVersion = actual;
    if (link)
        *link = childText(content, QStringLiteral("link"));
    if (upToDate)
        *upToDate = actual.isEmpty() || actual == own;
    replyErrorCode(reply.get());
    return !hasError() && (actual == QLatin1String("unknown") || actual.isEmpty() || actual == own);
}

bool ETNetworking::hasError() const
{
    return m_error->hasError();
}

bool ETNetworking::showError(QWidget *parent)
{
    return m_error->showMessage(parent);
}

QString ETNetworking::errorMessage() const
{
    return m_error->message();
}

int ETNetworking::errorCode() const
{
    return m_error->code();
}

void ETNetworking::raiseError(int code)
{
    m_error->raise(code);
}

// ---- account, customer data, lists and stores -------------------------------------------------

bool ETNetworking::sendHeadOnlyRequest(const QString &name, const QString &body)
{
    const std::unique_ptr<QDomDocument> reply = request(name, body);
    if (!reply)
        return false;
    replyErrorCode(reply.get());
    return !hasError();
}

bool ETNetworking::loginRequest(const QString &login, const QString &password)
{
    return sendHeadOnlyRequest(QStringLiteral("login_request"),
                               m_builder->buildLoginRequest(login, password));
}

bool ETNetworking::secQuestionRequest(const QString &login, QString &question)
{
    const std::unique_ptr<QDomDocument> reply =
        request(QStringLiteral("secquestion_request"), m_builder->buildSecQuestionRequest(login));
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError())
        question = childText(content, QStringLiteral("question"));
    return !hasError();
}

bool ETNetworking::secAnswerRequest(const QString &login, const QString &answer, QString &message)
{
    const std::unique_ptr<QDomDocument> reply =
        request(QStringLiteral("secanswer_request"), m_builder->buildSecAnswerRequest(login, answer));
    if (!reply)
        return false;
    replyContent(reply.get());
    message = m_lastServerErrorText;
    return !hasError();
}

bool ETNetworking::couponCheckRequest(const QString &couponId)
{
    const std::unique_ptr<QDomDocument> reply =
        request(QStringLiteral("couponcheck_request"), m_builder->buildCouponCheckRequest(couponId));
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError()) {
        ETCoupon *coupon = ETCoupon::instance();
        const QString coupons = QStringLiteral("coupon");
        const QString type = QStringLiteral("type");
        for (const auto &kind : {qMakePair(QStringLiteral("FM"), QStringLiteral("OM")),
                                 qMakePair(QStringLiteral("FC"), QStringLiteral("OC"))}) {
            QDomNode found = findChildByAttribute(content, coupons, type, kind.first);
            if (found.isNull())
                found = findChildByAttribute(content, coupons, type, kind.second);
            if (found.isNull())
                continue;
            coupon->setCouponPrice(kind.first,
                                   ETCoupon::priceCents(childText(found, QStringLiteral("price"))),
                                   childText(found, QStringLiteral("coupon_artid")));
        }
        coupon->setCouponId(couponId);
    }
    return !hasError();
}

bool ETNetworking::userInfoRequest(ETCustomer *customer)
{
    const std::unique_ptr<QDomDocument> reply =
        request(QStringLiteral("userinfo_request"), m_builder->buildUserInfoRequest());
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError()) {
        static const char *const fields[][2] = {{"email", "email"},
                                                {"salutation", "salutation"},
                                                {"firstname", "firstname"},
                                                {"lastname", "lastname"},
                                                {"street", "street"},
                                                {"zip", "zip"},
                                                {"city", "city"},
                                                {"country", "country"},
                                                {"sec_question", "securityQ"},
                                                {"sec_answer", "securityA"},
                                                {"phone", "phone"},
                                                {"cellularphone", "cellularphone"},
                                                {"title", "title"},
                                                {"city_part", "city_part"},
                                                {"company_name", "company_name"},
                                                {"state_province", "state_province"}};
        for (const auto &field : fields)
            customer->setValue(QLatin1String(field[1]), childText(content, QLatin1String(field[0])));
    }
    return !hasError();
}

bool ETNetworking::userAddRequest(ETCustomer *customer, bool *accountCreated)
{
    const bool created =
        sendHeadOnlyRequest(QStringLiteral("useradd_request"), m_builder->buildUserAddRequest(customer));
    if (accountCreated)
        *accountCreated = created;
    if (!created)
        return false;
    return loginRequest(customer->value(QStringLiteral("email")),
                        customer->value(QStringLiteral("password")));
}

bool ETNetworking::userChangeRequest(bool changeEmail, bool changePassword, bool changeSecurity,
                                     const QString &email, const QString &password, const QString &question,
                                     const QString &answer)
{
    return sendHeadOnlyRequest(QStringLiteral("userchange_request"),
                               m_builder->buildUserChangeRequest2(changeEmail, changePassword, changeSecurity,
                                                                  email, password, question, answer));
}

bool ETNetworking::userChangeRequest2(ETCustomer *customer)
{
    return sendHeadOnlyRequest(QStringLiteral("userchange_request"),
                               m_builder->buildUserChangeRequest(customer));
}

bool ETNetworking::debitDataRequest(ETCustomer *customer)
{
    const std::unique_ptr<QDomDocument> reply =
        request(QStringLiteral("debit_data_request"),
                m_builder->createSimpleRequest(QStringLiteral("debit_data_request")));
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError()) {
        const QDomElement data = content.firstChildElement();
        customer->setValue(QStringLiteral("account"),
                           childText(data, QStringLiteral("debit_account_number")));
        customer->setValue(QStringLiteral("bankleitzahl"), childText(data, QStringLiteral("debit_bankcode")));
        customer->setValue(QStringLiteral("bankname"), childText(data, QStringLiteral("debit_bankname")));
        customer->setValue(QStringLiteral("accountowner"), childText(data, QStringLiteral("debit_holder")));
    }
    return !hasError();
}

bool ETNetworking::creditCardDataRequest(ETCustomer *customer)
{
    const std::unique_ptr<QDomDocument> reply =
        request(QStringLiteral("creditcard_data_request"),
                m_builder->createSimpleRequest(QStringLiteral("creditcard_data_request")));
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError()) {
        const QDomElement card = content.firstChildElement(QStringLiteral("cc_info"));
        customer->setValue(QStringLiteral("cardtype"), childText(card, QStringLiteral("cc_brand")));
        customer->setValue(QStringLiteral("cardnumber"), childText(card, QStringLiteral("cc_number")));
        customer->setValue(QStringLiteral("validuntil"),
                           childText(card, QStringLiteral("cc_valid_month")) + QLatin1Char('/') +
                               childText(card, QStringLiteral("cc_valid_year")));
        customer->setValue(QStringLiteral("cardowner"), childText(card, QStringLiteral("cc_holder")));
    }
    return !hasError();
}

bool ETNetworking::debitUpdateRequest(ETCustomer *customer)
{
    return sendHeadOnlyRequest(QStringLiteral("debit_update_request"),
                               m_builder->buildDebitUpdateRequest(customer));
}

bool ETNetworking::creditCardUpdateRequest(ETCustomer *customer)
{
    return sendHeadOnlyRequest(QStringLiteral("creditcard_update_request"),
                               m_builder->buildCreditCardUpdateRequest(customer));
}

ETStoreList *ETNetworking::locationListRequestByZip(const QString &zip)
{
    return sendLocationListRequest(m_builder->buildLocationListRequestByZip(zip));
}

ETStoreList *ETNetworking::locationListRequestByCity(const QString &city)
{
    return sendLocationListRequest(m_builder->buildLocationListRequestByCity(city));
}

ETStoreList *ETNetworking::sendLocationListRequest(const QString &body)
{
    ETStoreList *stores = ETStore::storeList();
    stores->clear();
    const std::unique_ptr<QDomDocument> reply = request(QStringLiteral("locationlist_request"), body);
    if (!reply)
        return nullptr;
    const QDomNode content = replyContent(reply.get());
    for (QDomElement e = content.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        bool ok = false;
        int id = childText(e, QStringLiteral("loc_id")).toInt(&ok, 10);
        if (!ok)
            id = 0;
        stores->append(
            new ETStore(id, childText(e, QStringLiteral("name")), childText(e, QStringLiteral("street")),
                        childText(e, QStringLiteral("zip")), childText(e, QStringLiteral("city"))));
    }
    return stores;
}

bool ETNetworking::updateList(const QString &name, const QString &body, const char *list, const char *entry,
                              const char *firstChild, int code, const QString &fileName)
{
    const std::unique_ptr<QDomDocument> reply = request(name, body);
    if (!reply)
        return false;
    replyErrorCode(reply.get());
    if (hasError())
        return false;
    const ETListFile file = ETListFile::fromReply(*reply, {list, "content"}, entry, firstChild);
    if (file.isNull()) {
        m_error->raise(code);
        return false;
    }
    qCDebug(lcNetworking).noquote() << QStringLiteral("***** writing XML file ") + fileName;
    if (!file.write(fileName)) {
        m_error->raise(ETNetworkingError::ListNotWritten);
        return false;
    }
    return true;
}

bool ETNetworking::fetchProductList()
{
    return updateList(QStringLiteral("articlelist_request"), m_builder->buildArticleListRequest(),
                      "articlelist", "article", "artid", ETNetworkingError::ProductListInvalid,
                      QStringLiteral("productlist.xml"));
}

bool ETNetworking::fetchTransferList()
{
    return updateList(QStringLiteral("transferlist_request"), m_builder->buildTransferListRequest(),
                      "transferlist", "transfer", "id", ETNetworkingError::TransferListInvalid,
                      QStringLiteral("transferlist.xml"));
}

bool ETNetworking::updateProductList()
{
    return ETProductList::instance()->updateFromServer(this);
}

bool ETNetworking::updateDiscountInfo()
{
    return ETTransferList::instance()->reload(this);
}

bool ETNetworking::updateCountryList()
{
    if (!updateList(QStringLiteral("countrylist_request"), m_builder->buildCountryListRequest(),
                    "countrylist", "country", "name", ETNetworkingError::CountryListInvalid,
                    QStringLiteral("countrylist.xml")))
        return false;
    ETCountryList::instance()->readFile(resourcePath(QStringLiteral("countrylist.xml")));
    return true;
}

bool ETNetworking::fetchCreditCardList()
{
    return updateList(QStringLiteral("creditcards_request"), m_builder->buildCreditCardsRequest(),
                      "creditcards", "cc", "brand", ETNetworkingError::CreditCardListInvalid,
                      QStringLiteral("creditcards.xml"));
}

bool ETNetworking::updateCreditCardList()
{
    // Fetched before the list is asked for: a list first made now holds the
    // server's brands only, not those of the file it replaces.
    if (!fetchCreditCardList())
        return false;
    ETCreditCardList::instance()->readFile(resourcePath(QStringLiteral("creditcards.xml")));
    return true;
}

// ---- sending an order -------------------------------------------------------------------------

bool ETNetworking::checkOrderPictures()
{
    const QStringList unreadable = ETOrder::instance()->unreadablePictures();
    if (unreadable.isEmpty())
        return true;
    for (const QString &name : unreadable)
        qCWarning(lcNetworking).noquote() << QStringLiteral("picture missing or unreadable: ") + name;
    m_error->raise(ETNetworkingError::PicturesUnreadable, unreadable.join(QLatin1Char('\n')));
    return false;
}

bool ETNetworking::orderDeclarationRequest(const QString &directory, bool archive)
{
    // A picture that cannot be read would be declared with size and checksum 0.
    if (!checkOrderPictures())
        return false;
    emit uploadOrderData();
    const QString body = m_builder->buildOrderDeclarationBody(directory, archive);
    ETOrderLog::write(body);
    m_uploadRun.declare(body, directory);
    const std::unique_ptr<QDomDocument> reply = request(QStringLiteral("orderdeclaration_request"), body);
    if (!reply)
        return false;
    ETConfig::instance()->saveSessionID();
    replyContent(reply.get());
    return !hasError();
}

bool ETNetworking::stopUpload()
{
    qCDebug(lcNetworking, "retrying upload...");
    const std::unique_ptr<QDomDocument> reply = request(
        QStringLiteral("uploadctrl_request"), m_builder->buildUploadCtrlRequest(QStringLiteral("stop")));
    if (!reply)
        return false;
    replyContent(reply.get());
    if (m_error->code() == ETServerCode::UploadStopped)
        m_error->clear();
    return !hasError();
}

bool ETNetworking::upload()
{
    const bool more = uploadControlStep();
    if (hasError())
        m_uploadRun.endAttempt();
    return more;
}

bool ETNetworking::uploadControlStep()
{
    const QString body = m_builder->buildUploadCtrlRequest(QStringLiteral("start"));
    std::unique_ptr<QDomDocument> control;
    QDomNode node;
    int tries = ETNetworkingTimes::uploadStartTries;
    while (tries > 0) {
        control = request(QStringLiteral("uploadctrl_request"), body);
        node = control ? replyContent(control.get()).firstChildElement(QStringLiteral("upload")) : QDomNode();
        const int code = m_error->code();
        if (code == ETServerCode::UploadRestart) {
            if (!pause(ETNetworkingTimes::uploadRestartPauseSeconds) || !stopUpload())
                return false;
            --tries;
        } else if (code == ETServerCode::UploadComplete) {
            m_uploadRun.complete();
            return false;
        } else {
            break;
        }
    }
    // Every try was sent back to start anew: the server is too busy to take the pictures now.
    if (tries == 0) {
        m_error->raise(ETNetworkingError::ServerBusy);
        return false;
    }
    if (m_error->code() != ETNetworkingError::NoError)
        return false;
    const auto number = [&node](const char *name) {
        return childText(node, QLatin1String(name)).trimmed().toInt();
    };
    m_uploadRun.setByteCounts(number("total_bytes"), number("submitted_bytes"));
    emit uploadTotalBytes(m_uploadRun.totalBytes());
    emit uploadProgress(m_uploadRun.submittedBytes());

    if (!m_uploadRun.advanceTo(number("pos"))) {
        m_error->raise(ETNetworkingError::fromCurl(m_uploadRun.lastPostResult()));
        return false;
    }
    return uploadStep(*control);
}

bool ETNetworking::uploadStep(const QDomDocument &control)
{
    const QDomNode node = control.documentElement()
                              .firstChildElement(QStringLiteral("content"))
                              .firstChildElement(QStringLiteral("upload"));
    const QString uploadId = childText(node, QStringLiteral("uplid"));
    const QString declaredName = childText(node, QStringLiteral("filename"));
    const QString uploadUrl = childText(node, QStringLiteral("uplurl"));
    // The server names the file to send; only the order's own pictures ever leave the machine.
    const QString fileName = m_uploadRun.localFile(declaredName);
    if (fileName.isEmpty()) {
        qCWarning(lcNetworking).noquote()
            << QStringLiteral("upload of undeclared file refused: ") + declaredName;
        m_error->raise(ETNetworkingError::UndeclaredFile);
        return false;
    }
    // A server that keeps switching between positions escapes the stall rule; the posts stay bounded.
    if (!m_uploadRun.countPost(fileName)) {
        qCWarning(lcNetworking).noquote()
            << QStringLiteral("upload stopped: posted often enough already: ") + fileName;
        m_error->raise(ETNetworkingError::UploadRunaway);
        return false;
    }
    // Exactly the declared bytes go, read once: a picture changed since the
    // declaration would reach the server matching neither size nor checksum.
    QByteArray picture;
    switch (m_uploadRun.readDeclaredFile(declaredName, picture)) {
    case ETUploadRun::Ready:
        break;
    case ETUploadRun::Unreadable:
        qCWarning(lcNetworking).noquote() << QStringLiteral("picture missing or unreadable: ") + fileName;
        m_error->raise(ETNetworkingError::PicturesUnreadable, ETUploadRun::pictureName(fileName));
        return false;
    case ETUploadRun::Changed:
        qCWarning(lcNetworking).noquote()
            << QStringLiteral("picture changed since the declaration: ") + fileName;
        m_error->raise(ETNetworkingError::PictureChanged, ETUploadRun::pictureName(fileName));
        return false;
    }
    emit uploadImage(fileName);
    if (!pause(ETNetworkingTimes::picturePauseSeconds))
        return false;

    std::unique_ptr<ETNetworkingCurl> transfer(createCurlConnection(uploadUrl));
    setCurrentTransfer(transfer.get());
    transfer->enableProgress(int(picture.size()));
    // The transfer reports from this thread; the sum is emitted from here too.
    connect(transfer.get(), &ETNetworkingCurl::progress, this, &ETNetworking::curlProgress,
            Qt::DirectConnection);
    const int rc =
        transfer->postData(uploadId, QFileInfo(fileName).fileName(), picture, QStringLiteral("image/jpeg"));
    setCurrentTransfer(nullptr);
    m_uploadRun.setLastPostResult(rc);
    if (rc == CURLE_OK) {
        // Only the head of the post's reply counts: an upload host that answers
        // in plain text has taken the picture, and the next upload control
        // tells what the server really received.
        QDomDocument document;
        const ETXMLReader::Result read = transfer->readReply(document);
        if (transfer->httpCode() >= 300) {
            m_error->raise(ETNetworkingError::fromHttpStatus(transfer->httpCode()));
        } else if (read == ETXMLReader::TooDeep || read == ETXMLReader::TooLarge) {
            m_error->raise(ETNetworkingError::ReplyOutOfBounds);
        } else {
            replyErrorCode(&document);
            replyErrorText(&document);
        }
        return !hasError();
    }
    if (rc == CURLE_ABORTED_BY_CALLBACK)
        return false;
    transfer.reset();
    if (!pause(ETNetworkingTimes::failedPostPauseSeconds))
        return false;
    return stopUpload();
}

void ETNetworking::curlProgress(int bytes)
{
    emit uploadProgress(m_uploadRun.bytesSent(bytes));
}
