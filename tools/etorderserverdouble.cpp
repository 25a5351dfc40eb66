#include "etorderserverdouble.h"

#include "crc16.h"
#include "etservercode.h"

#include <httplib.h>

#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace
{

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString element(const QString &name, const QString &text)
{
    return QLatin1Char('<') + name + QLatin1Char('>') + esc(text) + QLatin1String("</") + name +
           QLatin1Char('>');
}

QString randomId(int length)
{
    static const char digits[] = "0123456789abcdef";
    QString id;
    for (int i = 0; i < length; ++i)
        id += QLatin1Char(digits[QRandomGenerator::global()->bounded(16)]);
    return id;
}

QDomElement firstChild(const QDomElement &parent, const QString &name)
{
    return parent.isNull() ? QDomElement() : parent.firstChildElement(name);
}

// Protocol level (major * 10 + minor) from a path such as "/xtci1.4/controller".
int levelFromPath(const std::string &path)
{
    static const QRegularExpression re(QStringLiteral("xtci(\\d+)\\.(\\d+)"));
    const auto m = re.match(QString::fromStdString(path));
    if (!m.hasMatch())
        return 15;
    return m.captured(1).toInt() * 10 + m.captured(2).toInt();
}

// Older protocol levels answer in Latin-1, newer ones in UTF-8.
bool olderLevel(int level)
{
    return level < 16;
}

// A stalled request is held this long, or until the double stops.
const int stallMs = 10 * 60 * 1000;

// The descriptors open in this process.
std::vector<int> openDescriptors()
{
    std::vector<int> fds;
    if (DIR *dir = ::opendir("/proc/self/fd")) {
        const int own = ::dirfd(dir);
        while (const dirent *entry = ::readdir(dir)) {
            const int fd = std::atoi(entry->d_name);
            if (entry->d_name[0] != '.' && fd > 2 && fd != own)
                fds.push_back(fd);
        }
        ::closedir(dir);
    }
    return fds;
}

// The server's socket of the connection a request came on: the one whose
// peer port is the request's remote port and whose own port is local_port.
int connectionSocket(const httplib::Request &req)
{
    for (int fd : openDescriptors()) {
        sockaddr_in peer{}, own{};
        socklen_t peerLength = sizeof peer, ownLength = sizeof own;
        if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLength) != 0 ||
            getsockname(fd, reinterpret_cast<sockaddr *>(&own), &ownLength) != 0 ||
            peer.sin_family != AF_INET)
            continue;
        if (ntohs(peer.sin_port) == req.remote_port && ntohs(own.sin_port) == req.local_port)
            return fd;
    }
    return -1;
}

// Ends the idle keep-alive connections of a server port at once, so that a
// stop need not wait for their time-out.
void shutDownConnections(int port)
{
    for (int fd : openDescriptors()) {
        sockaddr_in own{};
        socklen_t length = sizeof own;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&own), &length) == 0 && own.sin_family == AF_INET &&
            ntohs(own.sin_port) == port)
            ::shutdown(fd, SHUT_RDWR);
    }
}

// Aborts a connection with a TCP reset. The descriptor stays valid (it now
// names /dev/null), so the server's own clean-up of it does no harm.
void resetConnection(int fd)
{
    const linger abortive{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, fd);
        ::close(null);
    }
}

struct Customer {
    QMap<QString, QString> fields; // by wire name: email, pwd, sec_question, ...
};

struct Session {
    QString login;
};

struct Position {
    QString fileName;
    int quantity = 0;
    QString articleId;
    quint16 crc = 0;
    qint64 size = 0;
};

struct Upload {
    QString fileName;
    QString id;
};

struct Coupon {
    QString type, articleId, price;
};

struct Store {
    int id;
    QString name, street, zip, city;
};

struct Reply {
    int code = 0;
    QString text;
    QString content;
};

// What a request needs before its handler runs.
enum class Access {
    Open,     // nothing
    Session,  // a known session id
    Customer, // a session with a logged-in customer
};

} // namespace

QString ETOrderServerRequest::header(const QString &name) const
{
    for (const auto &h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return QString();
}

QString ETOrderServerRequest::text(const QString &name) const
{
    return xml.documentElement().firstChildElement(name).text();
}

QString ETOrderServerRequest::summary() const
{
    if (name.isEmpty())
        return method + QLatin1Char(' ') + path;
    QString line = name;
    const QDomElement root = xml.documentElement();
    if (!root.attribute(QStringLiteral("action")).isEmpty())
        line += QLatin1Char(':') + root.attribute(QStringLiteral("action"));
    if (name == QLatin1String("endsession_request"))
        line += QLatin1Char(':') + root.attribute(QStringLiteral("mode"));
    return line;
}

QStringList ETOrderServerRequest::childNames() const
{
    QStringList names;
    for (QDomElement e = xml.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        names << e.tagName();
    return names;
}

struct ETOrderServerDouble::Private {
    QString certDir;
    QString certName = QStringLiteral("server");
    std::unique_ptr<httplib::Server> http;
    std::unique_ptr<httplib::SSLServer> https;
    std::thread httpThread, httpsThread;
    int httpPort = 0, httpsPort = 0;

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;

    QList<ETOrderServerFault> faults;
    QList<ETOrderServerRequest> log;
    QString chosenController;
    bool serverListInReply = true;
    int validity = 3600;
    QString currentVersion = QStringLiteral("unknown");
    QString versionLink;
    QMap<QString, QString> lists;
    QMap<QString, Customer> customers;
    QMap<QString, Session> sessions;
    QMap<QString, QList<Coupon>> coupons;
    QStringList expiredCoupons;
    QList<Store> stores;
    // The one order in flight: declared positions, upload ids handed out, pictures received.
    QList<Position> positions;
    QMap<QString, Upload> uploads;
    QMap<QString, QByteArray> received;
    QList<ETOrderServerPicture> pictures;
    int orderCount = 0;
    QString lastOrderId;
    QString uploadFileName;
    bool keepPictureData = true;
    // An AlternatePositions fault plays on the upload control being handled; the turns it took.
    bool alternatePositions = false;
    int alternations = 0;

    // One request on its way to its handler.
    struct Call {
        const ETOrderServerRequest &r;
        QString protocol; // of the controller path, "1.5"
        bool tls;
        Session *session;   // null for requests outside a session
        Customer *customer; // the session's logged-in customer, or null
    };
    struct Route;
    static const Route routes[];
    static const Route *findRoute(const QString &name);

    // A request in named steps: read, logged (with the fault it meets), a
    // fault that answers in place of the server, the handler, the reply.
    void serve(const httplib::Request &req, httplib::Response &res, bool tls);
    void serve(const ETOrderServerRequest &r, const httplib::Request &req, httplib::Response &res, bool tls);
    static ETOrderServerRequest readRequest(const httplib::Request &req, bool tls);
    // A post's body as it streams in; false when it did not arrive whole.
    bool readPost(const httplib::Request &req, const httplib::ContentReader &content,
                  ETOrderServerRequest &r);
    // Logs the request; true with the fault to play on it, if any.
    bool logRequest(const ETOrderServerRequest &r, ETOrderServerFault &fault);
    // Whether the request still reaches its handler under a fault of this kind.
    static bool handlesRequest(ETOrderServerFault::Kind kind);
    // The reply of the handler, or the error a fault names instead; false for
    // a request nothing handles.
    bool handle(const ETOrderServerRequest &r, int level, bool tls, const ETOrderServerFault *fault,
                Reply &reply);
    std::string replyBody(const ETOrderServerRequest &r, int level, const Reply &reply) const;
    // Answers as the fault says, with the reply it spoils (if it needs one);
    // false for the kinds that let the reply go as it is.
    bool answerFault(const ETOrderServerFault &fault, const httplib::Request &req, httplib::Response &res,
                     const std::string &reply);
    Reply dispatch(const ETOrderServerRequest &r, int level, bool tls);
    bool takeFault(const QString &name, const QString &action, ETOrderServerFault &fault);
    bool waitMs(int ms); // false when stopped meanwhile
    // The reply body, at once or at the fault's rate.
    void send(httplib::Response &res, const std::string &body, const char *type,
              const ETOrderServerFault *fault);
    QString replyText(const QString &root, const Reply &reply) const;
    QString controller(bool tls, const QString &protocol) const;

    // One handler a request; callers hold the mutex.
    Reply nothing(const Call &call);
    Reply serverChoice(const Call &call);
    Reply openSession(const Call &call);
    Reply versionCheck(const Call &call);
    Reply endSession(const Call &call);
    Reply login(const Call &call);
    Reply securityQuestion(const Call &call);
    Reply securityAnswer(const Call &call);
    Reply couponCheck(const Call &call);
    Reply addUser(const Call &call);
    Reply userInfo(const Call &call);
    Reply changeUser(const Call &call);
    Reply changeCard(const Call &call);
    Reply debitData(const Call &call);
    Reply cardData(const Call &call);
    Reply list(const Call &call);
    Reply storeSearch(const Call &call);
    Reply declareOrder(const Call &call);
    Reply uploadControl(const Call &call);
    Reply finishOrder(const Call &call);
    Reply pictureUpload(const Call &call);
};

ETOrderServerDouble::ETOrderServerDouble(const QString &certificateDir) : d(std::make_unique<Private>())
{
    d->certDir = certificateDir;
    d->lists[QStringLiteral("articlelist")] =
        QStringLiteral("<article><artid>A10x15</artid><name>10x15</name><price>0.19</price></article>");
    d->lists[QStringLiteral("transferlist")] =
        QStringLiteral("<transfer><id>T1</id><price>2.50</price></transfer>");
    d->lists[QStringLiteral("countrylist")] =
        QStringLiteral("<country><name>Deutschland</name><iso>DE</iso></country>");
    d->lists[QStringLiteral("creditcards")] =
        QStringLiteral("<cc><brand>VISA</brand><display_string>Visa</display_string></cc>"
                       "<cc><brand>MASTERCARD</brand><display_string>Mastercard</display_string></cc>");
}

ETOrderServerDouble::~ETOrderServerDouble()
{
    stop();
}

void ETOrderServerDouble::setCertificate(const QString &name)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->certName = name;
}

bool ETOrderServerDouble::start(quint16 httpPort, quint16 httpsPort)
{
    stop();
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = false;
    }
    const std::string cert =
        (d->certDir + QLatin1Char('/') + d->certName + QLatin1String(".crt")).toStdString();
    const std::string key = (d->certDir + QLatin1String("/server.key")).toStdString();
    d->http = std::make_unique<httplib::Server>();
    d->https = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
    if (!d->https->is_valid()) {
        d->http.reset();
        d->https.reset();
        return false;
    }
    auto setUp = [this](httplib::Server &server, bool tls) {
        server.set_keep_alive_max_count(100000);
        server.set_tcp_nodelay(true);
        // A picture's declared size is a 32-bit number.
        server.set_payload_max_length(size_t(4) * 1024 * 1024 * 1024);
        // The accept loop polls instead of blocking in accept(), so a stop that
        // races with the loop still ends it within the interval.
        server.set_idle_interval(0, 100000);
        server.Get("/health", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("ok", "text/plain");
        });
        // What came so far, one request a line: a client run from outside can
        // wait for the exchange to reach a step.
        server.Get("/requests", [this](const httplib::Request &, httplib::Response &res) {
            std::string lines;
            for (const ETOrderServerRequest &r : requests())
                lines += (r.summary() + QLatin1Char('\n')).toStdString();
            res.set_content(lines, "text/plain");
        });
        server.Get("/uploads", [this](const httplib::Request &, httplib::Response &res) {
            std::string lines;
            for (const auto &upload : openUploads())
                lines += (upload.first + QLatin1Char('\t') + upload.second + QLatin1Char('\n')).toStdString();
            res.set_content(lines, "text/plain");
        });
        // For a benchmark in another process: the connections (client ports) the named requests
        // came on since the last question, which starts the count afresh.
        server.Get("/connections", [this](const httplib::Request &req, httplib::Response &res) {
            QSet<int> ports;
            for (const ETOrderServerRequest &r :
                 requests(QString::fromStdString(req.get_param_value("name"))))
                ports.insert(r.remotePort);
            clearRequests();
            res.set_content(std::to_string(ports.size()), "text/plain");
        });
        // A bare sink: takes a post as it streams in and keeps nothing, the
        // floor of what a post costs the transport.
        server.Post("/sink", [](const httplib::Request &req, httplib::Response &res,
                                const httplib::ContentReader &content) {
            if (req.is_multipart_form_data())
                content([](const httplib::MultipartFormData &) { return true; },
                        [](const char *, size_t) { return true; });
            else
                content([](const char *, size_t) { return true; });
            res.set_content("<upload><head><errorcode>0</errorcode><errortext/></head><content/></upload>",
                            "text/xml; charset=UTF-8");
        });
        auto handler = [this, tls](const httplib::Request &req, httplib::Response &res) {
            d->serve(req, res, tls);
        };
        server.Post(".*", [this, tls](const httplib::Request &req, httplib::Response &res,
                                      const httplib::ContentReader &content) {
            ETOrderServerRequest r = Private::readRequest(req, tls);
            if (!d->readPost(req, content, r)) {
                res.status = 400;
                return;
            }
            d->serve(r, req, res, tls);
        });
        server.Get(".*", handler);
    };
    setUp(*d->http, false);
    setUp(*d->https, true);
    const char *host = "127.0.0.1";
    d->httpPort =
        httpPort ? (d->http->bind_to_port(host, httpPort) ? httpPort : -1) : d->http->bind_to_any_port(host);
    d->httpsPort = httpsPort ? (d->https->bind_to_port(host, httpsPort) ? httpsPort : -1)
                             : d->https->bind_to_any_port(host);
    if (d->httpPort <= 0 || d->httpsPort <= 0) {
        d->http.reset();
        d->https.reset();
        return false;
    }
    // The sockets listen already; connections wait in the backlog until accepted.
    d->httpThread = std::thread([this] { d->http->listen_after_bind(); });
    d->httpsThread = std::thread([this] { d->https->listen_after_bind(); });
    // stop() only reaches a server whose accept loop runs already.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((!d->http->is_running() || !d->https->is_running()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return d->http->is_running() && d->https->is_running();
}

void ETOrderServerDouble::stop()
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_all();
    // Only a running double owns its ports: after a stop they may belong to others.
    if (d->http) {
        d->http->stop();
        if (d->httpPort > 0)
            shutDownConnections(d->httpPort);
    }
    if (d->https) {
        d->https->stop();
        if (d->httpsPort > 0)
            shutDownConnections(d->httpsPort);
    }
    if (d->httpThread.joinable())
        d->httpThread.join();
    if (d->httpsThread.joinable())
        d->httpsThread.join();
    d->http.reset();
    d->https.reset();
}

bool ETOrderServerDouble::isHealthy() const
{
    if (!d->http || d->httpPort <= 0)
        return false;
    httplib::Client client("127.0.0.1", d->httpPort);
    // A stuck double must make the check fail, not hang it.
    client.set_connection_timeout(2);
    client.set_read_timeout(2);
    client.set_write_timeout(2);
    auto res = client.Get("/health");
    return res && res->status == 200 && res->body == "ok";
}

quint16 ETOrderServerDouble::httpPort() const
{
    return quint16(qMax(0, d->httpPort));
}
quint16 ETOrderServerDouble::httpsPort() const
{
    return quint16(qMax(0, d->httpsPort));
}

QString ETOrderServerDouble::httpUrl(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(httpPort()) + path;
}

QString ETOrderServerDouble::httpsUrl(const QString &path) const
{
    return QStringLiteral("https://127.0.0.1:%1").arg(httpsPort()) + path;
}

QString ETOrderServerDouble::controllerUrl(bool https, const QString &protocol) const
{
    return d->controller(https, protocol);
}

QString ETOrderServerDouble::Private::controller(bool tls, const QString &protocol) const
{
    return QStringLiteral("%1://127.0.0.1:%2/xtci%3/controller")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(tls ? httpsPort : httpPort)
        .arg(protocol);
}

void ETOrderServerDouble::addFault(const ETOrderServerFault &fault)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults << fault;
}

void ETOrderServerDouble::clearFaults()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults.clear();
}

void ETOrderServerDouble::setChosenControllerUrl(const QString &url)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->chosenController = url;
}

void ETOrderServerDouble::setServerListInReply(bool on)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->serverListInReply = on;
}

void ETOrderServerDouble::setSessionValiditySeconds(int seconds)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->validity = seconds;
}

void ETOrderServerDouble::setCurrentVersion(const QString &version, const QString &link)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->currentVersion = version;
    d->versionLink = link;
}

void ETOrderServerDouble::setListContent(const QString &list, const QString &xml)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->lists[list] = xml;
}

void ETOrderServerDouble::addCustomer(const QString &email, const QString &password, const QString &question,
                                      const QString &answer, const QMap<QString, QString> &fields)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    Customer c;
    c.fields = fields;
    c.fields[QStringLiteral("email")] = email;
    c.fields[QStringLiteral("pwd")] = password;
    c.fields[QStringLiteral("sec_question")] = question;
    c.fields[QStringLiteral("sec_answer")] = answer;
    d->customers[email] = c;
}

void ETOrderServerDouble::addCoupon(const QString &id, const QString &type, const QString &articleId,
                                    const QString &price)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->coupons[id] << Coupon{type, articleId, price};
}

void ETOrderServerDouble::expireCoupon(const QString &id)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->expiredCoupons << id;
}

void ETOrderServerDouble::addStore(int id, const QString &name, const QString &street, const QString &zip,
                                   const QString &city)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->stores << Store{id, name, street, zip, city};
}

QList<ETOrderServerRequest> ETOrderServerDouble::requests() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->log;
}

QList<ETOrderServerRequest> ETOrderServerDouble::requests(const QString &name) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    QList<ETOrderServerRequest> found;
    for (const auto &r : d->log)
        if (r.name == name)
            found << r;
    return found;
}

void ETOrderServerDouble::clearRequests()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->log.clear();
}

QMap<QString, QString> ETOrderServerDouble::customer(const QString &email) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->customers.value(email).fields;
}

bool ETOrderServerDouble::hasSession(const QString &id) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->sessions.contains(id);
}

void ETOrderServerDouble::setUploadFileName(const QString &path)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->uploadFileName = path;
}

void ETOrderServerDouble::setKeepPictureData(bool on)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->keepPictureData = on;
}

QList<QPair<QString, QString>> ETOrderServerDouble::openUploads()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    QList<QPair<QString, QString>> open;
    QStringList seen;
    for (const Position &p : d->positions) {
        if (seen.contains(p.fileName) || d->received.contains(p.fileName))
            continue;
        seen << p.fileName;
        const Upload upload{p.fileName, randomId(16)};
        d->uploads[upload.id] = upload;
        open << qMakePair(upload.id, upload.fileName);
    }
    return open;
}

QList<ETOrderServerPicture> ETOrderServerDouble::pictures() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->pictures;
}

QString ETOrderServerDouble::lastOrderId() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->lastOrderId;
}

quint16 ETOrderServerDouble::crc16(const QByteArray &data)
{
    CRC16 crc;
    crc.update(data.constData(), 0, data.size());
    return quint16(crc.value());
}

bool ETOrderServerDouble::Private::takeFault(const QString &name, const QString &action,
                                             ETOrderServerFault &fault)
{
    for (int i = 0; i < faults.size(); ++i) {
        if (!faults[i].request.isEmpty() && faults[i].request != name)
            continue;
        if (!faults[i].action.isEmpty() && faults[i].action != action)
            continue;
        fault = faults[i];
        if (faults[i].times != ETOrderServerFault::always && --faults[i].times <= 0)
            faults.removeAt(i);
        return true;
    }
    return false;
}

bool ETOrderServerDouble::Private::waitMs(int ms)
{
    std::unique_lock<std::mutex> lock(mutex);
    return !wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
}

void ETOrderServerDouble::Private::send(httplib::Response &res, const std::string &body, const char *type,
                                        const ETOrderServerFault *fault)
{
    const int rate = fault ? fault->bytesPerSecond : 0;
    if (rate <= 0) {
        res.set_content(body, type);
        return;
    }
    // A tenth of a second's worth at a time, at least a byte.
    const size_t piece = size_t(qMax(1, rate / 10));
    const int pauseMs = int(piece * 1000 / size_t(rate));
    auto text = std::make_shared<std::string>(body);
    res.set_content_provider(
        text->size(), type,
        [this, text, piece, pauseMs](size_t offset, size_t length, httplib::DataSink &sink) {
            // A stop ends the reply; a client that went away ends it at the next write.
            if (offset > 0 && !waitMs(pauseMs))
                return false;
            return sink.write(text->data() + offset, qMin(piece, length));
        });
}

QString ETOrderServerDouble::Private::replyText(const QString &root, const Reply &reply) const
{
    return QLatin1Char('<') + root + QLatin1String("><head>") +
           element(QStringLiteral("errorcode"), QString::number(reply.code)) +
           element(QStringLiteral("errortext"), reply.text) + QLatin1String("</head><content>") +
           reply.content + QLatin1String("</content></") + root + QLatin1Char('>');
}

ETOrderServerRequest ETOrderServerDouble::Private::readRequest(const httplib::Request &req, bool tls)
{
    ETOrderServerRequest r;
    r.method = QString::fromStdString(req.method);
    r.path = QString::fromStdString(req.path);
    r.https = tls;
    r.remotePort = req.remote_port;
    for (const auto &h : req.headers)
        r.headers << qMakePair(QString::fromStdString(h.first), QString::fromStdString(h.second));
    return r;
}

bool ETOrderServerDouble::Private::readPost(const httplib::Request &req,
                                            const httplib::ContentReader &content, ETOrderServerRequest &r)
{
    if (!req.is_multipart_form_data()) {
        std::string body;
        if (!content([&body](const char *data, size_t length) {
                body.append(data, length);
                return true;
            }))
            return false;
        r.body = QByteArray::fromStdString(body);
        r.xml.setContent(r.body);
        r.name = r.xml.documentElement().tagName();
        return true;
    }
    // The parts are kept one by one; the picture is summed as it comes and
    // kept only when asked, so that a post of any size takes no memory.
    bool keep = true;
    {
        std::lock_guard<std::mutex> lock(mutex);
        keep = keepPictureData;
    }
    r.name = QStringLiteral("upload");
    QString part;
    bool picture = false;
    CRC16 crc;
    const bool whole = content(
        [&](const httplib::MultipartFormData &file) {
            part = QString::fromStdString(file.name);
            picture = file.name == "upload";
            r.formFields[part];
            if (picture) {
                r.formFileName = QString::fromStdString(file.filename);
                r.formContentType = QString::fromStdString(file.content_type);
            }
            return true;
        },
        [&](const char *data, size_t length) {
            if (picture) {
                crc.update(data, 0, qint64(length));
                r.formFileSize += qint64(length);
                if (!keep)
                    return true;
            }
            r.formFields[part].append(data, qsizetype(length));
            return true;
        });
    r.formFileCrc = quint16(crc.value());
    return whole;
}

bool ETOrderServerDouble::Private::logRequest(const ETOrderServerRequest &r, ETOrderServerFault &fault)
{
    std::lock_guard<std::mutex> lock(mutex);
    log << r;
    // The handler still checks the picture; only the log goes without its bytes.
    if (!keepPictureData && r.formFields.contains(QStringLiteral("upload")))
        log.last().formFields[QStringLiteral("upload")].clear();
    return takeFault(r.name, r.xml.documentElement().attribute(QStringLiteral("action")), fault);
}

bool ETOrderServerDouble::Private::handlesRequest(ETOrderServerFault::Kind kind)
{
    switch (kind) {
    case ETOrderServerFault::Stall:
    case ETOrderServerFault::NotXml:
    case ETOrderServerFault::Raw:
    case ETOrderServerFault::DropUnhandled:
    case ETOrderServerFault::Redirect:
        return false;
    case ETOrderServerFault::Reply:
    case ETOrderServerFault::DropMidReply:
    case ETOrderServerFault::ResetMidReply:
    case ETOrderServerFault::TextAfterHandling:
    case ETOrderServerFault::AlternatePositions:
        break;
    }
    return true;
}

bool ETOrderServerDouble::Private::handle(const ETOrderServerRequest &r, int level, bool tls,
                                          const ETOrderServerFault *fault, Reply &reply)
{
    if (fault && (fault->errorCode != 0 || !fault->errorText.isEmpty())) {
        reply.code = fault->errorCode;
        reply.text = fault->errorText;
        return true;
    }
    if (r.method == QLatin1String("GET") || r.name.isEmpty())
        return false;
    std::lock_guard<std::mutex> lock(mutex);
    alternatePositions = fault && fault->kind == ETOrderServerFault::AlternatePositions;
    reply = dispatch(r, level, tls);
    alternatePositions = false;
    return true;
}

std::string ETOrderServerDouble::Private::replyBody(const ETOrderServerRequest &r, int level,
                                                    const Reply &reply) const
{
    QString root = r.name;
    if (root.endsWith(QLatin1String("_request")))
        root.chop(8);
    if (root.isEmpty())
        root = QStringLiteral("reply");
    const QString text =
        (olderLevel(level) ? QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n")
                           : QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")) +
        replyText(root, reply);
    return olderLevel(level) ? text.toLatin1().toStdString() : text.toUtf8().toStdString();
}

bool ETOrderServerDouble::Private::answerFault(const ETOrderServerFault &fault, const httplib::Request &req,
                                               httplib::Response &res, const std::string &reply)
{
    switch (fault.kind) {
    case ETOrderServerFault::Reply:
    case ETOrderServerFault::AlternatePositions:
        return false;
    case ETOrderServerFault::Stall:
        waitMs(stallMs);
        res.status = 503;
        return true;
    case ETOrderServerFault::DropUnhandled:
        res.status = 200;
        res.set_content_provider(64, "text/xml", [](size_t, size_t, httplib::DataSink &) { return false; });
        return true;
    case ETOrderServerFault::Raw:
        res.status = fault.httpStatus ? fault.httpStatus : 200;
        send(res, fault.body.toUtf8().toStdString(), "text/xml; charset=UTF-8", &fault);
        return true;
    case ETOrderServerFault::Redirect:
        res.status = fault.httpStatus ? fault.httpStatus : 302;
        res.set_header("Location", fault.location.toStdString());
        res.set_content("moved", "text/plain");
        return true;
    case ETOrderServerFault::NotXml:
        res.status = fault.httpStatus ? fault.httpStatus : 200;
        send(res, "Service temporarily unavailable, please try again.", "text/plain", &fault);
        return true;
    case ETOrderServerFault::TextAfterHandling:
        res.status = fault.httpStatus ? fault.httpStatus : 200;
        send(res, fault.body.toUtf8().toStdString(), "text/plain", &fault);
        return true;
    case ETOrderServerFault::DropMidReply:
    case ETOrderServerFault::ResetMidReply: {
        // Promise the whole length, send half of it, then drop the connection.
        res.status = fault.httpStatus ? fault.httpStatus : 200;
        const int fd = fault.kind == ETOrderServerFault::ResetMidReply ? connectionSocket(req) : -1;
        auto half = std::make_shared<std::string>(reply.substr(0, reply.size() / 2));
        res.set_content_provider(reply.size(), "text/xml",
                                 [half, fd](size_t offset, size_t, httplib::DataSink &sink) {
                                     if (offset == 0)
                                         sink.write(half->data(), half->size());
                                     if (fd >= 0)
                                         resetConnection(fd);
                                     return false;
                                 });
        return true;
    }
    }
    return false;
}

void ETOrderServerDouble::Private::serve(const httplib::Request &req, httplib::Response &res, bool tls)
{
    serve(readRequest(req, tls), req, res, tls);
}

void ETOrderServerDouble::Private::serve(const ETOrderServerRequest &r, const httplib::Request &req,
                                         httplib::Response &res, bool tls)
{
    ETOrderServerFault taken;
    const ETOrderServerFault *fault = logRequest(r, taken) ? &taken : nullptr;
    if (fault && fault->delayMs > 0 && !waitMs(fault->delayMs))
        return;
    if (fault && !handlesRequest(fault->kind)) {
        answerFault(*fault, req, res, std::string());
        return;
    }
    const int level = levelFromPath(req.path);
    Reply reply;
    if (!handle(r, level, tls, fault, reply)) {
        res.status = 404;
        res.set_content("not found", "text/plain");
        return;
    }
    const std::string body = replyBody(r, level, reply);
    if (fault && answerFault(*fault, req, res, body))
        return;
    res.status = fault && fault->httpStatus ? fault->httpStatus : 200;
    send(res, body, olderLevel(level) ? "text/xml; charset=ISO-8859-1" : "text/xml; charset=UTF-8", fault);
}

struct ETOrderServerDouble::Private::Route {
    const char *name;
    Access access;
    Reply (Private::*handle)(const Call &);
};

const ETOrderServerDouble::Private::Route ETOrderServerDouble::Private::routes[] = {
    {"upload", Access::Open, &Private::pictureUpload},
    {"xtci2_request", Access::Open, &Private::serverChoice},
    {"session_request", Access::Open, &Private::openSession},
    {"version_request", Access::Open, &Private::versionCheck},
    {"endsession_request", Access::Session, &Private::endSession},
    {"config_request", Access::Session, &Private::nothing},
    {"login_request", Access::Session, &Private::login},
    {"secquestion_request", Access::Session, &Private::securityQuestion},
    {"secanswer_request", Access::Session, &Private::securityAnswer},
    {"couponcheck_request", Access::Session, &Private::couponCheck},
    {"useradd_request", Access::Session, &Private::addUser},
    {"userinfo_request", Access::Customer, &Private::userInfo},
    {"userchange_request", Access::Customer, &Private::changeUser},
    {"debit_update_request", Access::Customer, &Private::changeUser},
    {"creditcard_update_request", Access::Customer, &Private::changeCard},
    {"debit_data_request", Access::Customer, &Private::debitData},
    {"creditcard_data_request", Access::Customer, &Private::cardData},
    {"articlelist_request", Access::Session, &Private::list},
    {"transferlist_request", Access::Session, &Private::list},
    {"countrylist_request", Access::Session, &Private::list},
    {"creditcards_request", Access::Session, &Private::list},
    {"locationlist_request", Access::Session, &Private::storeSearch},
    {"orderdeclaration_request", Access::Session, &Private::declareOrder},
    {"uploadctrl_request", Access::Session, &Private::uploadControl},
    {"orderfinish_request", Access::Session, &Private::finishOrder},
};

const ETOrderServerDouble::Private::Route *ETOrderServerDouble::Private::findRoute(const QString &name)
{
    for (const Route &route : routes)
        if (name == QLatin1String(route.name))
            return &route;
    return nullptr;
}

Reply ETOrderServerDouble::Private::dispatch(const ETOrderServerRequest &r, int level, bool tls)
{
    const Route *route = findRoute(r.name);
    Call call{r, QStringLiteral("%1.%2").arg(level / 10).arg(level % 10), tls, nullptr, nullptr};
    if (!route || route->access != Access::Open) {
        const QString sid = r.text(QStringLiteral("ocsid"));
        if (!sessions.contains(sid))
            return Reply{ETServerCode::SessionUnknown, QStringLiteral("Unbekannte Sitzung"), QString()};
        call.session = &sessions[sid];
        if (customers.contains(call.session->login))
            call.customer = &customers[call.session->login];
    }
    // Requests the double does not know still need a login when their name says so.
    const bool forCustomer = route ? route->access == Access::Customer
                                   : r.name.startsWith(QLatin1String("user")) ||
                                         r.name.startsWith(QLatin1String("debit")) ||
                                         r.name.startsWith(QLatin1String("creditcard_"));
    if (forCustomer && !call.customer)
        return Reply{ETServerCode::UnknownUser, QStringLiteral("Nicht angemeldet"), QString()};
    if (!route)
        return Reply{ETServerCode::ServerUnavailable, QStringLiteral("Unbekannte Anfrage"), QString()};
    return (this->*route->handle)(call);
}

Reply ETOrderServerDouble::Private::nothing(const Call &)
{
    return Reply();
}

Reply ETOrderServerDouble::Private::serverChoice(const Call &call)
{
    const QString asked = call.r.text(QStringLiteral("server_protocol"));
    const QString proto = asked.isEmpty() ? call.protocol : asked;
    const QString url = chosenController.isEmpty() ? controller(true, proto) : chosenController;
    const QString dtd = QStringLiteral("http://127.0.0.1:%1/xtci%2/dtd").arg(httpPort).arg(proto);
    Reply reply;
    reply.content = element(QStringLiteral("url"), url) + element(QStringLiteral("dtd_url"), dtd);
    if (serverListInReply)
        reply.content += QLatin1String("<xtci_servers><xtci_server>") +
                         element(QStringLiteral("url"), controller(false, proto)) +
                         element(QStringLiteral("dtd_url"), dtd) +
                         QLatin1String("</xtci_server></xtci_servers>");
    return reply;
}

Reply ETOrderServerDouble::Private::openSession(const Call &call)
{
    const QString id = randomId(24);
    sessions[id] = Session();
    const QString until =
        QDateTime::currentDateTime().addSecs(validity).toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
    Reply reply;
    reply.content = element(QStringLiteral("ocsid"), id) + element(QStringLiteral("valid_until"), until) +
                    element(QStringLiteral("server_protocol"), call.protocol);
    return reply;
}

Reply ETOrderServerDouble::Private::versionCheck(const Call &)
{
    Reply reply;
    reply.content =
        element(QStringLiteral("act_version"), currentVersion) + element(QStringLiteral("link"), versionLink);
    return reply;
}

Reply ETOrderServerDouble::Private::endSession(const Call &call)
{
    sessions.remove(call.r.text(QStringLiteral("ocsid")));
    return Reply();
}

Reply ETOrderServerDouble::Private::login(const Call &call)
{
    const QString login = call.r.text(QStringLiteral("login"));
    if (!customers.contains(login) ||
        customers[login].fields.value(QStringLiteral("pwd")) != call.r.text(QStringLiteral("pwd")))
        return Reply{ETServerCode::WrongLogin, QStringLiteral("Falsches Login oder Passwort"), QString()};
    call.session->login = login;
    return Reply();
}

Reply ETOrderServerDouble::Private::securityQuestion(const Call &call)
{
    const QString login = call.r.text(QStringLiteral("login"));
    if (!customers.contains(login))
        return Reply{ETServerCode::UnknownUser, QStringLiteral("Unbekannter Benutzer"), QString()};
    Reply reply;
    reply.content =
        element(QStringLiteral("question"), customers[login].fields.value(QStringLiteral("sec_question")));
    return reply;
}

Reply ETOrderServerDouble::Private::securityAnswer(const Call &call)
{
    const QString login = call.r.text(QStringLiteral("login"));
    if (!customers.contains(login))
        return Reply{ETServerCode::UnknownUser, QStringLiteral("Unbekannter Benutzer"), QString()};
    if (customers[login].fields.value(QStringLiteral("sec_answer")) !=
        call.r.text(QStringLiteral("sec_answer")))
        return Reply{ETServerCode::WrongSecurityAnswer, QStringLiteral("Antwort falsch"), QString()};
    return Reply{0, QStringLiteral("Ihr Passwort wurde Ihnen per E-Mail zugeschickt."), QString()};
}

Reply ETOrderServerDouble::Private::couponCheck(const Call &call)
{
    const QString id = call.r.text(QStringLiteral("couponid"));
    if (!call.customer)
        return Reply{ETServerCode::CouponNeedsLogin, QString(), QString()};
    if (!coupons.contains(id))
        return Reply{ETServerCode::CouponUsed, QString(), QString()};
    if (expiredCoupons.contains(id))
        return Reply{ETServerCode::CouponExpired, QStringLiteral("Gutschein abgelaufen"), QString()};
    Reply reply;
    for (const Coupon &c : coupons[id])
        reply.content += QStringLiteral("<coupon type=\"%1\">").arg(esc(c.type)) +
                         element(QStringLiteral("coupon_artid"), c.articleId) +
                         element(QStringLiteral("price"), c.price) + QLatin1String("</coupon>");
    return reply;
}

Reply ETOrderServerDouble::Private::addUser(const Call &call)
{
    const QString email = call.r.text(QStringLiteral("email"));
    if (email.isEmpty() || customers.contains(email))
        return Reply{ETServerCode::AlreadyRegistered, QString(), QString()};
    Customer c;
    const QDomElement root = call.r.xml.documentElement();
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (e.tagName() != QLatin1String("ocsid"))
            c.fields[e.tagName()] = e.text();
    customers[email] = c;
    return Reply();
}

Reply ETOrderServerDouble::Private::userInfo(const Call &call)
{
    Reply reply;
    for (const char *key :
         {"email", "salutation", "firstname", "lastname", "street", "zip", "city", "country", "sec_question",
          "sec_answer", "phone", "cellularphone", "title", "city_part", "company_name", "state_province"})
        reply.content += element(QLatin1String(key), call.customer->fields.value(QLatin1String(key)));
    return reply;
}

// The root's children, and those of its "debit_info", become the customer's fields.
Reply ETOrderServerDouble::Private::changeUser(const Call &call)
{
    const QDomElement root = call.r.xml.documentElement();
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (e.tagName() != QLatin1String("ocsid"))
            call.customer->fields[e.tagName()] = e.text();
    for (QDomElement e = root.firstChildElement(QStringLiteral("debit_info")).firstChildElement();
         !e.isNull(); e = e.nextSiblingElement())
        call.customer->fields[e.tagName()] = e.text();
    return Reply();
}

Reply ETOrderServerDouble::Private::changeCard(const Call &call)
{
    const QDomElement card = call.r.xml.documentElement().firstChildElement(QStringLiteral("cc_info"));
    for (QDomElement e = card.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        call.customer->fields[e.tagName()] = e.text();
    return Reply();
}

Reply ETOrderServerDouble::Private::debitData(const Call &call)
{
    Reply reply;
    reply.content = QLatin1String("<debit_info>");
    for (const char *key : {"debit_account_number", "debit_bankcode", "debit_bankname", "debit_holder"})
        reply.content += element(QLatin1String(key), call.customer->fields.value(QLatin1String(key)));
    reply.content += QLatin1String("</debit_info>");
    return reply;
}

Reply ETOrderServerDouble::Private::cardData(const Call &call)
{
    Reply reply;
    reply.content = QLatin1String("<cc_info>");
    for (const char *key : {"cc_brand", "cc_number", "cc_valid_month", "cc_valid_year", "cc_holder"})
        reply.content += element(QLatin1String(key), call.customer->fields.value(QLatin1String(key)));
    reply.content += QLatin1String("</cc_info>");
    return reply;
}

// "articlelist_request" answers the list "articlelist", and so on.
Reply ETOrderServerDouble::Private::list(const Call &call)
{
    Reply reply;
    reply.content = lists.value(call.r.name.left(call.r.name.size() - 8));
    return reply;
}

// By postal code prefix when the request names one, else by city.
Reply ETOrderServerDouble::Private::storeSearch(const Call &call)
{
    const QDomElement root = call.r.xml.documentElement();
    const bool byZip = !root.firstChildElement(QStringLiteral("zip")).isNull();
    const QString zip = call.r.text(QStringLiteral("zip"));
    const QString city = call.r.text(QStringLiteral("city"));
    Reply reply;
    for (const Store &s : stores) {
        if (byZip ? !s.zip.startsWith(zip) : s.city.compare(city, Qt::CaseInsensitive) != 0)
            continue;
        reply.content += QLatin1String("<location>") +
                         element(QStringLiteral("loc_id"), QString::number(s.id)) +
                         element(QStringLiteral("name"), s.name) +
                         element(QStringLiteral("street"), s.street) + element(QStringLiteral("zip"), s.zip) +
                         element(QStringLiteral("city"), s.city) + QLatin1String("</location>");
    }
    return reply;
}

// A declaration starts a new order: earlier positions, uploads and pictures are forgotten.
Reply ETOrderServerDouble::Private::declareOrder(const Call &call)
{
    positions.clear();
    uploads.clear();
    received.clear();
    const QDomElement root = call.r.xml.documentElement();
    for (QDomElement e = root.firstChildElement(QStringLiteral("orderposition")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("orderposition"))) {
        Position p;
        p.fileName = firstChild(e, QStringLiteral("filename")).text();
        p.quantity = firstChild(e, QStringLiteral("quantity")).text().toInt();
        p.articleId = firstChild(e, QStringLiteral("art_id")).text();
        p.crc = quint16(firstChild(e, QStringLiteral("crc")).text().toInt());
        p.size = firstChild(e, QStringLiteral("filesize")).text().toLongLong();
        positions << p;
    }
    return Reply();
}

Reply ETOrderServerDouble::Private::finishOrder(const Call &)
{
    for (const Position &p : positions)
        if (!received.contains(p.fileName))
            return Reply{ETServerCode::PicturesMissing, QStringLiteral("Bilder fehlen"), QString()};
    lastOrderId = QStringLiteral("ORD-%1").arg(++orderCount, 5, 10, QLatin1Char('0'));
    positions.clear();
    Reply reply;
    reply.content = element(QStringLiteral("ord_id"), lastOrderId);
    return reply;
}

Reply ETOrderServerDouble::Private::uploadControl(const Call &call)
{
    const ETOrderServerRequest &r = call.r;
    const bool tls = call.tls;
    Reply reply;
    if (r.xml.documentElement().attribute(QStringLiteral("action")) == QLatin1String("stop")) {
        reply.code = ETServerCode::UploadStopped;
        return reply;
    }
    if (positions.isEmpty()) {
        reply.code = ETServerCode::ServerUnavailable;
        reply.text = QStringLiteral("Keine Bestellung deklariert");
        return reply;
    }
    qint64 total = 0, submitted = 0;
    QList<int> open;
    QStringList seen;
    for (int i = 0; i < positions.size(); ++i) {
        const Position &p = positions[i];
        if (seen.contains(p.fileName))
            continue;
        seen << p.fileName;
        total += p.size;
        if (received.contains(p.fileName))
            submitted += p.size;
        else
            open << i;
    }
    if (open.isEmpty()) {
        reply.code = ETServerCode::UploadComplete;
        return reply;
    }
    const int next = alternatePositions ? open[alternations++ % open.size()] : open.first();
    Upload u{positions[next].fileName, randomId(16)};
    uploads[u.id] = u;
    reply.content =
        QLatin1String("<upload>") + element(QStringLiteral("total_bytes"), QString::number(total)) +
        element(QStringLiteral("submitted_bytes"), QString::number(submitted)) +
        element(QStringLiteral("pos"), QString::number(next)) + element(QStringLiteral("uplid"), u.id) +
        element(QStringLiteral("filename"), uploadFileName.isEmpty() ? u.fileName : uploadFileName) +
        element(QStringLiteral("uplurl"), tls ? QStringLiteral("https://127.0.0.1:%1/upload").arg(httpsPort)
                                              : QStringLiteral("http://127.0.0.1:%1/upload").arg(httpPort)) +
        QLatin1String("</upload>");
    return reply;
}

Reply ETOrderServerDouble::Private::pictureUpload(const Call &call)
{
    const ETOrderServerRequest &r = call.r;
    Reply reply;
    const QString id = QString::fromUtf8(r.formFields.value(QStringLiteral("uplid")));
    if (!uploads.contains(id) || !r.formFields.contains(QStringLiteral("upload"))) {
        reply.code = ETServerCode::UploadUnknown;
        reply.text = QStringLiteral("Unbekannte Upload-Kennung");
        return reply;
    }
    const QString file = uploads.take(id).fileName;
    ETOrderServerPicture picture{file, r.formFields.value(QStringLiteral("upload")), false, false};
    for (const Position &p : positions)
        if (p.fileName == file) {
            picture.sizeMatches = p.size == r.formFileSize;
            picture.crcMatches = p.crc == r.formFileCrc;
        }
    if (!keepPictureData)
        picture.data.clear();
    pictures << picture;
    if (picture.sizeMatches && picture.crcMatches) {
        received[file] = picture.data;
    } else {
        reply.code = ETServerCode::PictureDamaged;
        reply.text = QStringLiteral("Bild beschädigt");
    }
    return reply;
}
