#include "etupdateserverdouble.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace
{

class UpdateServerDoubleTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(m_double.start()); }

    httplib::Result get(const std::string &target)
    {
        httplib::Client client("127.0.0.1", m_double.port());
        client.set_read_timeout(5);
        return client.Get(target.c_str());
    }

    httplib::Result script(const std::string &target)
    {
        httplib::Client client("127.0.0.1", m_double.scriptPort());
        client.set_read_timeout(5);
        return client.Get(target.c_str());
    }

    // Sends raw bytes to a port and returns the reply; empty when refused.
    std::string sendRaw(uint16_t port, const std::string &bytes, bool &refused)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        refused = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0;
        std::string reply;
        if (!refused) {
            ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            char buffer[256];
            for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
                reply.append(buffer, static_cast<size_t>(n));
        }
        ::close(fd);
        return reply;
    }

    ETUpdateServerDouble m_double;
};

struct DownloadCase {
    const char *options;
    int status;
    size_t bodySize;
};

TEST_F(UpdateServerDoubleTest, UpdateScriptAnswersAndDownloads)
{
    // The raw script port takes the query as the updater sends it.
    bool refused = true;
    const std::string raw =
        sendRaw(m_double.scriptPort(),
                "GET /update/a/version=3.0/u.php?ProgVers=?.?.?.?&getversion=1 HTTP/1.1\r\n"
                "Host: x\r\n\r\n",
                refused);
    ASSERT_FALSE(refused);
    EXPECT_EQ(0u, raw.find("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(raw.size() - 5, raw.find("3.0\r\n"));
    auto version = script("/update/a/version=3.0/u.php?ProgVers=1&getversion=1");
    ASSERT_TRUE(version);
    EXPECT_EQ("3.0\r\n", version->body);
    auto size = script("/update/a/length=100/u.php?ProgVers=1&getfilesize=1");
    ASSERT_TRUE(size);
    EXPECT_EQ("100\r\n", size->body);
    auto sizeText = script("/update/a/size=;length=100/u.php?getfilesize=1");
    ASSERT_TRUE(sizeText);
    EXPECT_EQ("\r\n", sizeText->body);

    const DownloadCase cases[] = {
        {"length=100", 200, 100},  {"download=202", 202, 2048}, {"download=204", 204, 0},
        {"download=404", 404, 42}, {"download=500", 500, 61},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.options);
        auto download = script(std::string("/update/a/") + c.options + "/u.php?ProgVers=1");
        ASSERT_TRUE(download);
        EXPECT_EQ(c.status, download->status);
        EXPECT_EQ(c.bodySize, download->body.size());
    }
    auto full = script("/update/a/x=1/u.php?ProgVers=1");
    ASSERT_TRUE(full);
    EXPECT_EQ(ETUpdateServerDouble::updaterBytes(2048), full->body);
    EXPECT_EQ("2048", full->get_header_value("Content-Length"));
}

TEST_F(UpdateServerDoubleTest, TruncatedDownloadBreaksOff)
{
    auto download = script("/update/t/download=truncate/u.php?ProgVers=1");
    EXPECT_FALSE(download && download->body.size() == 2048);
}

TEST_F(UpdateServerDoubleTest, TrickleSendsUntilTheClientGoes)
{
    httplib::Client client("127.0.0.1", m_double.scriptPort());
    size_t received = 0;
    auto result = client.Get("/update/s/download=trickle/u.php?q", [&](const char *, size_t length) {
        received += length;
        return received < 3000;
    });
    EXPECT_FALSE(result);
    EXPECT_GE(received, 3000u);
}

TEST_F(UpdateServerDoubleTest, StallHoldsHalfTheFileUntilItsTimeIsOver)
{
    bool refused = true;
    const auto start = std::chrono::steady_clock::now();
    const std::string reply = sendRaw(m_double.scriptPort(),
                                      "GET /update/s/length=1000;download=stall;stall=1/u.php?q HTTP/1.1\r\n"
                                      "Host: x\r\n\r\n",
                                      refused);
    const auto waited = std::chrono::steady_clock::now() - start;
    ASSERT_FALSE(refused);
    EXPECT_EQ(0u, reply.find("HTTP/1.1 200 OK\r\n"));
    EXPECT_NE(std::string::npos, reply.find("Content-Length: 1000\r\n"));
    EXPECT_EQ(ETUpdateServerDouble::updaterBytes(1000).substr(0, 500),
              reply.substr(reply.find("\r\n\r\n") + 4));
    EXPECT_GE(waited, std::chrono::milliseconds(900)) << "the rest never comes; the connection stays a while";
}

TEST_F(UpdateServerDoubleTest, StallEndsWhenTheClientGoes)
{
    httplib::Client client("127.0.0.1", m_double.scriptPort());
    size_t received = 0;
    const auto start = std::chrono::steady_clock::now();
    auto result = client.Get("/update/s/download=stall;stall=60/u.php?q", [&](const char *, size_t length) {
        received += length;
        return false;
    });
    EXPECT_FALSE(result);
    EXPECT_GT(received, 0u);
    // The double's stop waits for the stalled connection.
    m_double.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(UpdateServerDoubleTest, SilentRequestIsHeldWithoutAnAnswer)
{
    const std::string options = "/update/q/silent=size;stall=1/u.php?ProgVers=1";
    auto version = script(options + "&getversion=1");
    ASSERT_TRUE(version);
    EXPECT_EQ("2.0\r\n", version->body);
    for (const char *query : {"&getfilesize=1", ""}) {
        SCOPED_TRACE(query);
        const std::string target =
            std::string(query).empty() ? "/update/q/silent=download;stall=1/u.php?x" : options + query;
        bool refused = true;
        const auto start = std::chrono::steady_clock::now();
        const std::string reply =
            sendRaw(m_double.scriptPort(), "GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n", refused);
        ASSERT_FALSE(refused);
        EXPECT_EQ("", reply);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900))
            << "the request is held for its seconds, then dropped";
    }
    EXPECT_EQ(3u, m_double.requests("q").size());
}

TEST_F(UpdateServerDoubleTest, UnansweredPortNeitherAcceptsNorRefuses)
{
    const uint16_t port = m_double.unansweredPort();
    ASSERT_NE(0, port);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int connected = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    const int error = errno;
    ASSERT_NE(0, connected);
    EXPECT_EQ(EINPROGRESS, error);
    // Neither done nor failed a while later.
    pollfd watch{fd, POLLOUT, 0};
    EXPECT_EQ(0, ::poll(&watch, 1, 300));
    EXPECT_GE(ETUpdateServerDouble::connectsWaiting(port), 1);
    auto waiting = get("/connecting");
    ASSERT_TRUE(waiting);
    EXPECT_GE(std::atoi(waiting->body.c_str()), 1);
    ::close(fd);
}

TEST_F(UpdateServerDoubleTest, RedirectNamesTheUploadReceiverOrTheClosedPort)
{
    auto upload = get("/crm/r1/to=upload/redirects/crm/crm.php3");
    ASSERT_TRUE(upload);
    EXPECT_EQ("http://127.0.0.1:" + std::to_string(m_double.scriptPort()) + "/upload/r1\r\n", upload->body);
    auto closed = get("/crm/r1/to=closed/redirects/crm/crm.php3");
    ASSERT_TRUE(closed);
    EXPECT_EQ("http://127.0.0.1:" + std::to_string(m_double.closedPort()) + "/upload/r1\r\n", closed->body);
    auto none = get("/crm/r1/to=none/redirects/crm/crm.php3");
    ASSERT_TRUE(none);
    EXPECT_EQ(std::string::npos, none->body.find('/'));
}

TEST_F(UpdateServerDoubleTest, UrlScriptServesSettings)
{
    auto settings = get("/urlscript/s1/x=1/redirects/redirect.php");
    ASSERT_TRUE(settings);
    EXPECT_EQ(200, settings->status);
    EXPECT_EQ(0u, settings->body.find("[Web]"));
    auto missing = get("/urlscript/s1/status=404/redirects/redirect.php");
    ASSERT_TRUE(missing);
    EXPECT_EQ(404, missing->status);
    EXPECT_EQ(2u, m_double.requests("s1").size());
}

TEST_F(UpdateServerDoubleTest, UploadKeptAsRawBytes)
{
    const std::string request = "POST /upload/u7 HTTP/1.1\r\nContent-Length: 5\r\nX-Test: 1\r\n\r\na\nb\n\0";
    const std::string raw(request.data(), request.size() + 1);
    bool refused = true;
    const std::string reply = sendRaw(m_double.scriptPort(), raw, refused);
    ASSERT_FALSE(refused);
    EXPECT_EQ(0u, reply.find("HTTP/1.1 200 OK"));
    EXPECT_EQ(raw, m_double.upload("u7"));
    auto served = get("/uploaded/u7");
    ASSERT_TRUE(served);
    EXPECT_EQ(raw, served->body);
    auto missing = get("/uploaded/nobody");
    ASSERT_TRUE(missing);
    EXPECT_EQ(404, missing->status);
    const auto requests = m_double.requests("u7");
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("POST", requests[0].method);
    EXPECT_EQ("1", requests[0].header("x-test"));
}

TEST_F(UpdateServerDoubleTest, ClosedPortRefuses)
{
    bool refused = false;
    sendRaw(m_double.closedPort(), "GET / HTTP/1.0\r\n\r\n", refused);
    EXPECT_TRUE(refused);
}

TEST_F(UpdateServerDoubleTest, RequestsLoggedPerId)
{
    httplib::Client client("127.0.0.1", m_double.scriptPort());
    client.Get("/update/l1/x=1/u.php?a=1", {{"User-Agent", "TestAgent"}});
    client.Get("/update/l2/x=1/u.php?b=2");
    get("/crm/l2/to=none/redirects/crm/crm.php3");
    const auto first = m_double.requests("l1");
    ASSERT_EQ(1u, first.size());
    EXPECT_EQ("/update/l1/x=1/u.php?a=1", first[0].target);
    EXPECT_EQ("TestAgent", first[0].header("User-Agent"));
    auto log = get("/log/l2");
    ASSERT_TRUE(log);
    EXPECT_EQ(0u, log->body.find("GET /update/l2/x=1/u.php?b=2\n"));
    EXPECT_NE(std::string::npos, log->body.find("\n\nGET /crm/l2/to=none/redirects/crm/crm.php3\n"));
    EXPECT_EQ(std::string::npos, log->body.find("REMOTE_ADDR"));
    EXPECT_EQ(log->body.size() - 2, log->body.rfind("\n\n"));
}

} // namespace
