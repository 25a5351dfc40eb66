#include "etupdateserverdouble.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
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

std::map<std::string, std::string> options(const std::string &segment)
{
    std::map<std::string, std::string> values;
    for (const std::string &part : split(segment, ';')) {
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
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
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
    std::thread httpThread, uploadThread;
    int httpPort = 0;
    int uploadFd = -1, closedFd = -1;
    uint16_t uploadPort = 0, closedPort = 0;

    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::map<std::string, std::vector<Request>> log;
    std::map<std::string, std::string> uploads;

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
    void updateScript(const httplib::Request &req, httplib::Response &res);
    void redirectScript(const httplib::Request &req, httplib::Response &res);
    void receiveUploads();
    void receiveUpload(int fd);
};

void ETUpdateServerDouble::Private::updateScript(const httplib::Request &req, httplib::Response &res)
{
    // /update/<id>/<options>/<script>
    const std::vector<std::string> parts = split(req.path, '/');
    const auto values = options(parts.size() > 3 ? parts[3] : std::string());
    const size_t length = std::stoul(option(values, "length", "2048"));
    if (req.has_param("getversion")) {
        res.set_content(option(values, "version", "2.0") + "\r\n", "text/plain");
        return;
    }
    if (req.has_param("getfilesize")) {
        res.set_content(option(values, "size", std::to_string(length)) + "\r\n", "text/plain");
        return;
    }
    const std::string download = option(values, "download", "ok");
    const std::string bytes = updaterBytes(length);
    if (download == "404") {
        res.status = 404;
        res.set_content("<html><body>No newer version</body></html>", "text/html");
    } else if (download == "500") {
        res.status = 500;
        res.set_content("<html><body>Internal error of the update script</body></html>", "text/html");
    } else if (download == "202") {
        res.status = 202;
        res.set_content(bytes, "application/octet-stream");
    } else if (download == "204") {
        res.status = 204;
    } else if (download == "trickle") {
        // A large file sent a piece at a time, until the client goes away.
        res.set_content_provider(1024 * 1024, "application/octet-stream",
                                 [this](size_t offset, size_t, httplib::DataSink &sink) {
                                     const std::string piece = updaterBytes(1024);
                                     if (offset > 0 && !waitMs(50))
                                         return false;
                                     return sink.write(piece.data(), piece.size());
                                 });
    } else if (download == "truncate") {
        auto half = std::make_shared<std::string>(bytes.substr(0, bytes.size() / 2));
        res.set_content_provider(bytes.size(), "application/octet-stream",
                                 [half](size_t offset, size_t, httplib::DataSink &sink) {
                                     if (offset == 0)
                                         sink.write(half->data(), half->size());
                                     return false;
                                 });
    } else {
        res.set_content(bytes, "application/octet-stream");
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
        reply = "http://127.0.0.1:" + std::to_string(uploadPort) + "/upload/" + id;
    else if (to == "closed")
        reply = "http://127.0.0.1:" + std::to_string(closedPort) + "/upload/" + id;
    res.set_content(reply + "\r\n", "text/plain");
}

void ETUpdateServerDouble::Private::receiveUploads()
{
    for (;;) {
        const int fd = ::accept4(uploadFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (isStopping())
                return;
            continue;
        }
        receiveUpload(fd);
        ::close(fd);
    }
}

void ETUpdateServerDouble::Private::receiveUpload(int fd)
{
    // A client that stops sending must not hold the receiver for long.
    const timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string raw;
    size_t headEnd = std::string::npos;
    char buffer[4096];
    while (headEnd == std::string::npos) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        raw.append(buffer, static_cast<size_t>(n));
        headEnd = raw.find("\r\n\r\n");
    }
    Request request;
    size_t contentLength = 0;
    if (headEnd != std::string::npos) {
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
            const std::string value = line.substr(colon + 1 + (line.size() > colon + 1 && line[colon + 1] == ' '));
            request.headers.emplace_back(line.substr(0, colon), value);
        }
        contentLength = std::strtoul(request.header("Content-Length").c_str(), nullptr, 10);
        while (raw.size() < headEnd + 4 + contentLength) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            raw.append(buffer, static_cast<size_t>(n));
        }
    }
    const std::vector<std::string> path = split(request.target, '/');
    const std::string id = path.size() > 2 ? path[2] : std::string();
    {
        std::lock_guard<std::mutex> lock(mutex);
        uploads[id] = raw;
        log[id].push_back(request);
    }
    static const char reply[] = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n"
                                "Connection: close\r\n\r\nok";
    ::send(fd, reply, sizeof reply - 1, MSG_NOSIGNAL);
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
    d->uploadFd = boundSocket(true, d->uploadPort);
    d->http = std::make_unique<httplib::Server>();
    d->http->set_idle_interval(0, 100000);
    d->http->Get("/health", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("ok", "text/plain");
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
    d->http->Get("/(update|crm)/([^/]*)/.*", [this](const httplib::Request &req, httplib::Response &res) {
        Request request;
        request.method = req.method;
        request.target = req.target;
        // The library's own notes on the connection are not the client's headers.
        for (const auto &h : req.headers)
            if (h.first.rfind("LOCAL_", 0) != 0 && h.first.rfind("REMOTE_", 0) != 0)
                request.headers.emplace_back(h.first, h.second);
        d->record(req.matches[2], request);
        if (req.matches[1] == "update")
            d->updateScript(req, res);
        else
            d->redirectScript(req, res);
    });
    d->httpPort = d->http->bind_to_any_port("127.0.0.1");
    if (d->closedFd < 0 || d->uploadFd < 0 || d->httpPort <= 0) {
        stop();
        return false;
    }
    d->httpThread = std::thread([this] { d->http->listen_after_bind(); });
    d->uploadThread = std::thread([this] { d->receiveUploads(); });
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
    if (d->uploadFd >= 0)
        ::shutdown(d->uploadFd, SHUT_RDWR);
    if (d->httpThread.joinable())
        d->httpThread.join();
    if (d->uploadThread.joinable())
        d->uploadThread.join();
    d->http.reset();
    for (int *fd : {&d->uploadFd, &d->closedFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    d->httpPort = 0;
    d->uploadPort = d->closedPort = 0;
}

uint16_t ETUpdateServerDouble::port() const
{
    return static_cast<uint16_t>(std::max(0, d->httpPort));
}

uint16_t ETUpdateServerDouble::uploadPort() const
{
    return d->uploadPort;
}

uint16_t ETUpdateServerDouble::closedPort() const
{
    return d->closedPort;
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
