#include "etupdateserverdouble.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

namespace
{

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// %XX sequences decoded (some clients escape the ";" of the options).
std::string percentDecoded(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::map<std::string, std::string> options(const std::string &segment)
{
    std::map<std::string, std::string> values;
    for (const std::string &part : split(percentDecoded(segment), ';')) {
        const size_t equals = part.find('=');
        if (equals != std::string::npos)
            values[part.substr(0, equals)] = part.substr(equals + 1);
    }
    return values;
}

std::string option(const std::map<std::string, std::string> &values, const std::string &key,
                   const std::string &fallback)
{
    const auto it = values.find(key);
    return it == values.end() ? fallback : it->second;
}

bool equalNoCase(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// A socket bound to a free loopback port; listening only when asked.
int boundSocket(bool listening, uint16_t &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        (listening && ::listen(fd, 16) != 0) ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A listening socket whose backlog the double fills with connections of its
// own, never accepted; the fillers go to fillers.
int unansweredSocket(uint16_t &port, std::vector<int> &fillers)
{
    const int fd = boundSocket(false, port);
    if (fd < 0 || ::listen(fd, 0) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    const sockaddr_in address = loopback(port);
    // Until a connect no longer completes (a few, whatever the system makes of a backlog of 0).
    for (int tries = 0; tries < 16; ++tries) {
        const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (filler < 0)
            break;
        const bool started =
            ::connect(filler, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 ||
            errno == EINPROGRESS;
        pollfd watch{filler, POLLOUT, 0};
        const int ready = started ? ::poll(&watch, 1, 200) : -1;
        int error = 0;
        socklen_t length = sizeof error;
        if (ready > 0 && ::getsockopt(filler, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) {
            fillers.push_back(filler);
            continue;
        }
        ::close(filler);
        if (ready == 0)
            return fd; // this one waited: the backlog is full
        break;
    }
    ::close(fd);
    return -1;
}

} // namespace

std::string ETUpdateServerDouble::Request::header(const std::string &name) const
{
    for (const auto &h : headers)
        if (equalNoCase(h.first, name))
            return h.second;
    return std::string();
}

struct ETUpdateServerDouble::Private {
    std::unique_ptr<httplib::Server> http;
    std::thread httpThread, scriptThread;
    int httpPort = 0;
    int scriptFd = -1, closedFd = -1, unansweredFd = -1;
    uint16_t scriptPort = 0, closedPort = 0, unansweredPort = 0;
    std::vector<int> fillers;

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::map<std::string, std::vector<Request>> log;
    std::map<std::string, std::string> uploads;
    std::vector<std::thread> connections;
    std::set<int> openConnections;

    void record(const std::string &id, Request request)
    {
        std::lock_guard<std::mutex> lock(mutex);
        log[id].push_back(std::move(request));
    }
    // False when the double stops meanwhile.
    bool waitMs(int ms)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return !wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
    }
    bool isStopping() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return stopping;
    }
    // Reads nothing more and sends nothing until the client goes, the double
    // stops or the seconds are over.
    void hold(int fd, long seconds);
    void redirectScript(const httplib::Request &req, httplib::Response &res);
    void acceptScriptConnections();
    void serveScriptConnection(int fd);
    void updateScript(int fd, const Request &request);
};

namespace
{

bool sendAll(int fd, const std::string &bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string replyHead(int status, const char *reason, const std::string &type, size_t length)
{
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
}

bool sendReply(int fd, int status, const char *reason, const std::string &type, const std::string &body)
{
    return sendAll(fd, replyHead(status, reason, type, body.size()) + body);
}

// True when one "&"-separated part of the query is exactly this.
bool queryHas(const std::string &target, const std::string &part)
{
    const size_t question = target.find('?');
    if (question == std::string::npos)
        return false;
    for (const std::string &p : split(target.substr(question + 1), '&'))
        if (p == part)
            return true;
    return false;
}

} // namespace

void ETUpdateServerDouble::Private::hold(int fd, long seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::max(0L, seconds));
    while (std::chrono::steady_clock::now() < end) {
        pollfd watch{fd, POLLIN, 0};
        const int ready = ::poll(&watch, 1, 100);
        char byte;
        if (ready > 0 && ::recv(fd, &byte, 1, MSG_DONTWAIT) <= 0)
            return; // the client went away
        if (isStopping())
            return;
    }
}

void ETUpdateServerDouble::Private::updateScript(int fd, const Request &request)
{
    // /update/<id>/<options>/<script>?<query>, the target as the client sent it.
    const std::string path = request.target.substr(0, request.target.find('?'));
    const std::vector<std::string> parts = split(path, '/');
    const auto values = options(parts.size() > 3 ? parts[3] : std::string());
    const size_t length = std::strtoul(option(values, "length", "2048").c_str(), nullptr, 10);
    const long stallSeconds = std::strtol(option(values, "stall", "30").c_str(), nullptr, 10);
    const char *kind = queryHas(request.target, "getversion=1")    ? "version"
                       : queryHas(request.target, "getfilesize=1") ? "size"
                                                                   : "download";
    if (option(values, "silent", std::string()) == kind) {
        hold(fd, stallSeconds);
        return;
    }
    if (queryHas(request.target, "getversion=1")) {
        sendReply(fd, 200, "OK", "text/plain", option(values, "version", "2.0") + "\r\n");
        return;
    }
    if (queryHas(request.target, "getfilesize=1")) {
        sendReply(fd, 200, "OK", "text/plain", option(values, "size", std::to_string(length)) + "\r\n");
        return;
    }
    const std::string download = option(values, "download", "ok");
    const std::string bytes = ETUpdateServerDouble::updaterBytes(length);
    const char *binary = "application/octet-stream";
    if (download == "404") {
        sendReply(fd, 404, "Not Found", "text/html", "<html><body>No newer version</body></html>");
    } else if (download == "500") {
        sendReply(fd, 500, "Internal Server Error", "text/html",
                  "<html><body>Internal error of the update script</body></html>");
    } else if (download == "202") {
        sendReply(fd, 202, "Accepted", binary, bytes);
    } else if (download == "204") {
        sendAll(fd, "HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n");
    } else if (download == "trickle") {
        // A large file sent a piece at a time, until the client goes away.
        const size_t total = 1024 * 1024;
        if (!sendAll(fd, replyHead(200, "OK", binary, total)))
            return;
        const std::string piece = ETUpdateServerDouble::updaterBytes(1024);
        for (size_t sent = 0; sent < total; sent += piece.size())
            if ((sent > 0 && !waitMs(50)) || !sendAll(fd, piece))
                return;
    } else if (download == "stall") {
        // Half the file, then silence until the client goes, the double
        // stops or the stall's seconds (stall=, 30) are over; then the
        // connection is dropped.
        const std::string full = ETUpdateServerDouble::updaterBytes(std::max<size_t>(length, 2));
        if (!sendAll(fd, replyHead(200, "OK", binary, full.size()) + full.substr(0, full.size() / 2)))
            return;
        hold(fd, stallSeconds);
    } else if (download == "truncate") {
        sendAll(fd, replyHead(200, "OK", binary, bytes.size()) + bytes.substr(0, bytes.size() / 2));
    } else {
        sendReply(fd, 200, "OK", binary, bytes);
    }
}

void ETUpdateServerDouble::Private::redirectScript(const httplib::Request &req, httplib::Response &res)
{
    const std::vector<std::string> parts = split(req.path, '/');
    const std::string id = parts.size() > 2 ? parts[2] : std::string();
    const auto values = options(parts.size() > 3 ? parts[3] : std::string());
    const std::string to = option(values, "to", "upload");
    std::string reply = "no upload server today";
    if (to == "upload")
        reply = "http://127.0.0.1:" + std::to_string(scriptPort) + "/upload/" + id;
    else if (to == "closed")
        reply = "http://127.0.0.1:" + std::to_string(closedPort) + "/upload/" + id;
    res.set_content(reply + "\r\n", "text/plain");
}

void ETUpdateServerDouble::Private::acceptScriptConnections()
{
    for (;;) {
        const int fd = ::accept4(scriptFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (isStopping())
                return;
            continue;
        }
        std::lock_guard<std::mutex> lock(mutex);
        if (stopping) {
            ::close(fd);
            return;
        }
        openConnections.insert(fd);
        connections.emplace_back([this, fd] {
            serveScriptConnection(fd);
            std::lock_guard<std::mutex> lock(mutex);
            openConnections.erase(fd);
            ::close(fd);
        });
    }
}

void ETUpdateServerDouble::Private::serveScriptConnection(int fd)
{
    // A client that stops sending must not hold its thread for long.
    const timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string raw;
    size_t headEnd = std::string::npos;
    char buffer[4096];
    while (headEnd == std::string::npos) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        raw.append(buffer, static_cast<size_t>(n));
        headEnd = raw.find("\r\n\r\n");
    }
    Request request;
    const std::vector<std::string> lines = split(raw.substr(0, headEnd), '\n');
    const std::vector<std::string> first = split(lines[0], ' ');
    request.method = first[0];
    request.target = first.size() > 1 ? first[1] : std::string();
    for (size_t i = 1; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        size_t valueStart = colon + 1;
        while (valueStart < line.size() && line[valueStart] == ' ')
            ++valueStart;
        request.headers.emplace_back(line.substr(0, colon), line.substr(valueStart));
    }
    const size_t contentLength = std::strtoul(request.header("Content-Length").c_str(), nullptr, 10);
    while (raw.size() < headEnd + 4 + contentLength) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        raw.append(buffer, static_cast<size_t>(n));
    }
    const std::vector<std::string> path = split(request.target.substr(0, request.target.find('?')), '/');
    const std::string kind = path.size() > 1 ? path[1] : std::string();
    const std::string id = path.size() > 2 ? path[2] : std::string();
    if (request.method == "POST" && kind == "upload") {
        {
            std::lock_guard<std::mutex> lock(mutex);
            uploads[id] = raw;
            log[id].push_back(request);
        }
        sendReply(fd, 200, "OK", "text/plain", "ok");
    } else if (request.method == "GET" && kind == "update") {
        record(id, request);
        updateScript(fd, request);
    } else {
        sendReply(fd, 404, "Not Found", "text/plain", "not found");
    }
}

ETUpdateServerDouble::ETUpdateServerDouble() : d(std::make_unique<Private>()) {}

ETUpdateServerDouble::~ETUpdateServerDouble()
{
    stop();
}

std::string ETUpdateServerDouble::updaterBytes(size_t length)
{
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 7 + 3) & 0xff);
    if (length >= 2) {
        bytes[0] = 'M';
        bytes[1] = 'Z';
    }
    return bytes;
}

bool ETUpdateServerDouble::start()
{
    stop();
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = false;
    }
    d->closedFd = boundSocket(false, d->closedPort);
    d->scriptFd = boundSocket(true, d->scriptPort);
    d->unansweredFd = unansweredSocket(d->unansweredPort, d->fillers);
    d->http = std::make_unique<httplib::Server>();
    d->http->set_idle_interval(0, 100000);
    // Idle keep-alive connections must not hold a stop for long.
    d->http->set_keep_alive_timeout(1);
    d->http->Get("/health", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("ok", "text/plain");
    });
    d->http->Get("/connecting", [this](const httplib::Request &, httplib::Response &res) {
        res.set_content(std::to_string(connectsWaiting(d->unansweredPort)), "text/plain");
    });
    d->http->Get("/log/([^/]*)", [this](const httplib::Request &req, httplib::Response &res) {
        std::ostringstream text;
        for (const Request &r : requests(req.matches[1])) {
            text << r.method << ' ' << r.target << '\n';
            for (const auto &h : r.headers)
                text << h.first << ": " << h.second << '\n';
            text << '\n';
        }
        res.set_content(text.str(), "text/plain");
    });
    d->http->Get("/uploaded/([^/]*)", [this](const httplib::Request &req, httplib::Response &res) {
        if (!hasUpload(req.matches[1])) {
            res.status = 404;
            return;
        }
        res.set_content(upload(req.matches[1]), "application/octet-stream");
    });
    d->http->Get(
        "/urlscript/([^/]*)/([^/]*)/.*", [this](const httplib::Request &req, httplib::Response &res) {
            Request request;
            request.method = req.method;
            request.target = req.target;
            d->record(req.matches[1], request);
            if (req.matches[2] == "status=404") {
                res.status = 404;
                res.set_content("[Web]\r\nLANGUAGE_ID=X\r\n", "text/plain");
                return;
            }
            res.set_content(
                "[Web]  \r\nLANGUAGE_ID=D\r\nnote=a=b=c\r\nempty=\r\n=lost\r\n[Extra]\r\nkey=value\r\n",
                "text/plain");
        });
    d->http->Get("/crm/([^/]*)/.*", [this](const httplib::Request &req, httplib::Response &res) {
        Request request;
        request.method = req.method;
        request.target = req.target;
        // The library's own notes on the connection are not the client's headers.
        for (const auto &h : req.headers)
            if (h.first.rfind("LOCAL_", 0) != 0 && h.first.rfind("REMOTE_", 0) != 0)
                request.headers.emplace_back(h.first, h.second);
        d->record(req.matches[1], request);
        d->redirectScript(req, res);
    });
    d->httpPort = d->http->bind_to_any_port("127.0.0.1");
    if (d->closedFd < 0 || d->scriptFd < 0 || d->unansweredFd < 0 || d->httpPort <= 0) {
        stop();
        return false;
    }
    d->httpThread = std::thread([this] { d->http->listen_after_bind(); });
    d->scriptThread = std::thread([this] { d->acceptScriptConnections(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!d->http->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return d->http->is_running();
}

void ETUpdateServerDouble::stop()
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_all();
    if (d->http)
        d->http->stop();
    if (d->scriptFd >= 0)
        ::shutdown(d->scriptFd, SHUT_RDWR);
    if (d->httpThread.joinable())
        d->httpThread.join();
    if (d->scriptThread.joinable())
        d->scriptThread.join();
    std::vector<std::thread> connections;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        for (const int fd : d->openConnections)
            ::shutdown(fd, SHUT_RDWR);
        connections.swap(d->connections);
    }
    for (std::thread &connection : connections)
        connection.join();
    d->http.reset();
    for (int *fd : {&d->scriptFd, &d->closedFd, &d->unansweredFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    for (const int fd : d->fillers)
        ::close(fd);
    d->fillers.clear();
    d->httpPort = 0;
    d->scriptPort = d->closedPort = d->unansweredPort = 0;
}

uint16_t ETUpdateServerDouble::port() const
{
    return static_cast<uint16_t>(std::max(0, d->httpPort));
}

uint16_t ETUpdateServerDouble::scriptPort() const
{
    return d->scriptPort;
}

uint16_t ETUpdateServerDouble::closedPort() const
{
    return d->closedPort;
}

uint16_t ETUpdateServerDouble::unansweredPort() const
{
    return d->unansweredPort;
}

int ETUpdateServerDouble::connectsWaiting(uint16_t port)
{
    // Lines "sl local rem st ...", addresses as hex "ADDR:PORT"; state 02 is SYN_SENT.
    std::ifstream table("/proc/net/tcp");
    if (!table)
        return -1;
    std::string line;
    std::getline(table, line);
    int waiting = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        if (!(fields >> slot >> local >> remote >> state))
            continue;
        const size_t colon = remote.rfind(':');
        if (state == "02" && colon != std::string::npos &&
            std::strtoul(remote.c_str() + colon + 1, nullptr, 16) == port)
            ++waiting;
    }
    return waiting;
}

std::vector<ETUpdateServerDouble::Request> ETUpdateServerDouble::requests(const std::string &id) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    const auto it = d->log.find(id);
    return it == d->log.end() ? std::vector<Request>() : it->second;
}

std::string ETUpdateServerDouble::upload(const std::string &id) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    const auto it = d->uploads.find(id);
    return it == d->uploads.end() ? std::string() : it->second;
}

bool ETUpdateServerDouble::hasUpload(const std::string &id) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->uploads.count(id) != 0;
}
