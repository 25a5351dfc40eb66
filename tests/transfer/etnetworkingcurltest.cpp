#include "etnetworkingcurl.h"

#include "etnetworkingtimes.h"
#include "pipeinplace.h"
#include "transfertestenvironment.h"

#include "ettestwait.h"
#include "messagecapture.h"

#include <gtest/gtest.h>

#include <curl/curl.h>

#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace
{

const QString versionRequest =
    QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<version_request><client_name>lumo</client_name></version_request>");

class ETNetworkingCurlTest : public ::testing::Test
{
  protected:
    TransferTestEnvironment env;
};

TEST_F(ETNetworkingCurlTest, PostsTheRequestTextOverHttpAndHttps)
{
    for (bool https : {false, true}) {
        SCOPED_TRACE(https ? "https" : "http");
        env.server().clearRequests();
        ETNetworkingCurl curl(env.server().controllerUrl(https));
        ASSERT_EQ(0, curl.postString(versionRequest));
        EXPECT_EQ(200, curl.httpCode());
        EXPECT_EQ(CURLE_OK, curl.curlError());
        bool parsed = false;
        const QDomDocument reply = curl.replyDocument(&parsed);
        EXPECT_TRUE(parsed);
        EXPECT_EQ(QStringLiteral("version"), reply.documentElement().tagName());

        const auto log = env.server().requests();
        ASSERT_EQ(1, log.size());
        EXPECT_EQ(https, log[0].https);
        EXPECT_EQ(QStringLiteral("POST"), log[0].method);
        EXPECT_EQ(QStringLiteral("text/xml"), log[0].header(QStringLiteral("Content-Type")));
        EXPECT_EQ(QStringLiteral("Varnok"), log[0].header(QStringLiteral("User-Agent")));
        EXPECT_EQ(versionRequest.toUtf8(), log[0].body);
        EXPECT_EQ(QStringLiteral("version_request"), log[0].name);
    }
}

TEST_F(ETNetworkingCurlTest, LaterTransfersReuseTheConnection)
{
    for (int i = 0; i < 3; ++i) {
        ETNetworkingCurl curl(env.server().controllerUrl(true));
        ASSERT_EQ(0, curl.postString(versionRequest));
    }
    const auto log = env.server().requests();
    ASSERT_EQ(3, log.size());
    EXPECT_EQ(log[0].remotePort, log[1].remotePort);
    EXPECT_EQ(log[0].remotePort, log[2].remotePort);
}

TEST_F(ETNetworkingCurlTest, HttpStatusIsNoTransferError)
{
    for (int status : {404, 500, 299}) {
        SCOPED_TRACE(status);
        env.server().addFault(fault().status(status));
        ETNetworkingCurl curl(env.server().controllerUrl(true));
        EXPECT_EQ(CURLE_OK, curl.postString(versionRequest));
        EXPECT_EQ(status, curl.httpCode());
    }
}

TEST_F(ETNetworkingCurlTest, TransferFailuresGiveTheLibraryCode)
{
    struct Case {
        const char *name;
        ETOrderServerFault::Kind kind;
        bool https;
        int expected;
    } cases[] = {
        {"dropped over http", ETOrderServerFault::DropMidReply, false, CURLE_PARTIAL_FILE},
        {"stalled", ETOrderServerFault::Stall, true, CURLE_OPERATION_TIMEDOUT},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        env.server().addFault(fault("version_request").kind(c.kind));
        ETNetworkingCurl curl(env.server().controllerUrl(c.https));
        EXPECT_EQ(c.expected, curl.postString(versionRequest));
        EXPECT_FALSE(curl.errorText().isEmpty());
    }
    ETNetworkingCurl refused(
        QStringLiteral("http://127.0.0.1:%1/xtci1.5/controller").arg(TransferTestEnvironment::closedPort()));
    EXPECT_EQ(CURLE_COULDNT_CONNECT, refused.postString(versionRequest));
}

TEST_F(ETNetworkingCurlTest, ReceiveFailuresAreRetriedWithAnEmptyBuffer)
{
    // A connection reset mid-reply is a receive error; the last attempt goes through.
    const int resets = ETNetworkingTimes::transferAttempts - 1;
    ETNetworkingTimes::resetWaitLog();
    env.server().addFault(fault("version_request").kind(ETOrderServerFault::ResetMidReply).times(resets));
    ETNetworkingCurl curl(env.server().controllerUrl(true));
    EXPECT_EQ(CURLE_OK, curl.postString(versionRequest));
    EXPECT_EQ(resets, ETNetworkingTimes::waitCount());
    EXPECT_EQ(resets * ETNetworkingTimes::transferRetryPauseSeconds, ETNetworkingTimes::waitedSeconds());
    EXPECT_EQ(ETNetworkingTimes::transferAttempts,
              env.server().requests(QStringLiteral("version_request")).size());
    bool parsed = false;
    curl.replyDocument(&parsed);
    EXPECT_TRUE(parsed) << curl.replyBytes().constData();
}

TEST_F(ETNetworkingCurlTest, ReceiveFailuresGiveUpAfterFiveAttempts)
{
    ETNetworkingTimes::resetWaitLog();
    env.server().addFault(fault("version_request").kind(ETOrderServerFault::ResetMidReply).times(10));
    ETNetworkingCurl curl(env.server().controllerUrl(true));
    EXPECT_EQ(CURLE_RECV_ERROR, curl.postString(versionRequest));
    EXPECT_EQ(ETNetworkingTimes::transferAttempts - 1, ETNetworkingTimes::waitCount());
    EXPECT_EQ(ETNetworkingTimes::transferAttempts,
              env.server().requests(QStringLiteral("version_request")).size());
}

TEST_F(ETNetworkingCurlTest, EachTransferStartsWithAnEmptyReply)
{
    ETNetworkingCurl curl(env.server().controllerUrl(true));
    ASSERT_EQ(0, curl.postString(versionRequest));
    const QByteArray first = curl.replyBytes();
    ASSERT_EQ(0, curl.postString(versionRequest));
    EXPECT_EQ(first, curl.replyBytes());
}

TEST_F(ETNetworkingCurlTest, NonXmlReplyIsReported)
{
    env.server().addFault(fault("version_request").kind(ETOrderServerFault::NotXml));
    ETNetworkingCurl curl(env.server().controllerUrl(true));
    EXPECT_EQ(CURLE_OK, curl.postString(versionRequest));
    bool parsed = true;
    EXPECT_TRUE(curl.replyDocument(&parsed).isNull());
    EXPECT_FALSE(parsed);
}

TEST_F(ETNetworkingCurlTest, NoProxyAlsoIgnoresTheEnvironment)
{
    const QByteArray deadProxy =
        QStringLiteral("http://127.0.0.1:%1").arg(TransferTestEnvironment::closedPort()).toLatin1();
    qputenv("http_proxy", deadProxy);
    ETNetworkingCurl viaEnvironment(env.server().controllerUrl(false));
    EXPECT_EQ(CURLE_COULDNT_CONNECT, viaEnvironment.postString(versionRequest));
    ETNetworkingCurl direct(env.server().controllerUrl(false));
    direct.setProxy(QString());
    EXPECT_EQ(CURLE_OK, direct.postString(versionRequest));
    qunsetenv("http_proxy");
}

TEST_F(ETNetworkingCurlTest, PostsAPictureAsMultipartWithProgress)
{
    const QString path = env.scratch() + QStringLiteral("/bild.opti.jpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray data(200000, 'j');
    file.write(data);
    file.close();

    ETNetworkingCurl curl(env.server().httpsUrl(QStringLiteral("/upload")));
    curl.enableProgress(1000);
    QList<int> steps;
    QObject::connect(&curl, &ETNetworkingCurl::progress, [&steps](int step) { steps << step; });
    EXPECT_EQ(CURLE_OK, curl.postFile(QStringLiteral("UP-1"), path, QStringLiteral("image/jpeg")));
    EXPECT_EQ(200, curl.httpCode());

    const auto log = env.server().requests(QStringLiteral("upload"));
    ASSERT_EQ(1, log.size());
    EXPECT_EQ(QByteArray("UP-1"), log[0].formFields.value(QStringLiteral("uplid")));
    EXPECT_EQ(data, log[0].formFields.value(QStringLiteral("upload")));
    EXPECT_EQ(QStringLiteral("image/jpeg"), log[0].formContentType);
    EXPECT_EQ(QStringLiteral("bild.opti.jpg"), log[0].formFileName);
    ASSERT_FALSE(steps.isEmpty());
    EXPECT_EQ(1000, steps.last());
    for (int step : steps)
        EXPECT_TRUE(step >= 0 && step <= 1000) << step;
}

TEST_F(ETNetworkingCurlTest, ProgressIsReportedAFewTimesASecond)
{
    // Large enough that libcurl calls back hundreds of times.
    const QString path = env.scratch() + QStringLiteral("/gross.jpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8 * 1024 * 1024, 'j'));
    file.close();

    ETNetworkingCurl curl(env.server().httpsUrl(QStringLiteral("/upload")));
    curl.enableProgress(1000000);
    QList<int> steps;
    QObject::connect(&curl, &ETNetworkingCurl::progress, [&steps](int step) { steps << step; });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(CURLE_OK, curl.postFile(QStringLiteral("UP-1"), path, QStringLiteral("image/jpeg")));
    const qint64 elapsed = clock.elapsed();

    ASSERT_FALSE(steps.isEmpty());
    EXPECT_EQ(1000000, steps.last());
    // One report every 50 ms at most, besides the first and the last; none repeated.
    EXPECT_LE(steps.size(), 3 + elapsed / 50) << steps.size() << " reports in " << elapsed << " ms";
    for (int i = 1; i < steps.size(); ++i)
        EXPECT_LT(steps[i - 1], steps[i]);
}

TEST_F(ETNetworkingCurlTest, ATransferKeepsNothingOfTheOneBefore)
{
    const QString path = env.scratch() + QStringLiteral("/bild.jpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100000, 'j'));
    file.close();
    const QString deadProxy = QStringLiteral("127.0.0.1:%1").arg(TransferTestEnvironment::closedPort());

    // Each first transfer leaves settings behind on its libcurl handle, which
    // the next transfer may get again; a plain picture post must then go through.
    const QString upload = env.server().httpsUrl(QStringLiteral("/upload"));
    struct Case {
        const char *name;
        QString url;
        std::function<int(ETNetworkingCurl &)> first;
        int firstResult;
    } cases[] = {
        {"cancelled picture post", upload,
         [&](ETNetworkingCurl &curl) {
             curl.enableProgress(100);
             curl.cancel();
             return curl.postFile(QStringLiteral("UP-1"), path, QStringLiteral("image/jpeg"));
         },
         CURLE_ABORTED_BY_CALLBACK},
        {"dead proxy", upload,
         [&](ETNetworkingCurl &curl) {
             curl.setProxy(deadProxy);
             return curl.postString(versionRequest);
         },
         CURLE_COULDNT_CONNECT},
        {"download", env.server().httpUrl(QStringLiteral("/health")),
         [&](ETNetworkingCurl &curl) { return curl.download(env.scratch() + QStringLiteral("/health.txt")); },
         CURLE_OK},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        {
            // Gone before the next is made: nothing of it may be called back later.
            ETNetworkingCurl first(c.url);
            EXPECT_EQ(c.firstResult, c.first(first));
        }
        env.server().clearRequests();
        ETNetworkingCurl next(env.server().httpsUrl(QStringLiteral("/upload")));
        EXPECT_EQ(CURLE_OK, next.postFile(QStringLiteral("UP-2"), path, QStringLiteral("image/jpeg")));
        EXPECT_EQ(200, next.httpCode());
        EXPECT_TRUE(next.replyBytes().contains("<errorcode>")) << next.replyBytes().constData();
        const auto posts = env.server().requests(QStringLiteral("upload"));
        ASSERT_EQ(1, posts.size());
        EXPECT_EQ(QByteArray(100000, 'j'), posts[0].formFields.value(QStringLiteral("upload")));
        // The request text of a post that follows goes as text/xml, without the form.
        ETNetworkingCurl request(env.server().controllerUrl(true));
        EXPECT_EQ(CURLE_OK, request.postString(versionRequest));
        EXPECT_EQ(QStringLiteral("text/xml"), env.server()
                                                  .requests(QStringLiteral("version_request"))
                                                  .value(0)
                                                  .header(QStringLiteral("Content-Type")));
    }
}

TEST_F(ETNetworkingCurlTest, CancelAbortsAPictureUpload)
{
    const QString path = env.scratch() + QStringLiteral("/bild.jpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1000, 'j'));
    file.close();
    ETNetworkingCurl curl(env.server().httpsUrl(QStringLiteral("/upload")));
    curl.enableProgress(100);
    curl.cancel();
    EXPECT_EQ(CURLE_ABORTED_BY_CALLBACK,
              curl.postFile(QStringLiteral("UP-1"), path, QStringLiteral("image/jpeg")));
}

TEST_F(ETNetworkingCurlTest, CancelEndsARunningRequestAtOnce)
{
    ETNetworkingTimes::setMillisecondsPerSecond(100); // a time-out of 12 s
    struct Case {
        const char *name;
        ETOrderServerFault fault;
    } cases[] = {
        {"stalled", fault("version_request").kind(ETOrderServerFault::Stall)},
        {"a byte a second", fault("version_request").rate(1)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        env.server().clearRequests();
        env.server().addFault(c.fault);
        ETNetworkingCurl curl(env.server().controllerUrl(true));
        std::atomic<int> result{-1};
        // The transfer runs in its own thread; the cancel comes from this one.
        std::thread worker([&] { result = curl.postString(versionRequest); });
        EXPECT_TRUE(waitFor([&] { return !env.server().requests().isEmpty(); }));
        QElapsedTimer clock;
        clock.start();
        curl.cancel();
        worker.join();
        EXPECT_LT(clock.elapsed(), 500);
        EXPECT_EQ(CURLE_ABORTED_BY_CALLBACK, result);
    }
}

TEST_F(ETNetworkingCurlTest, MissingPictureIsAReadError)
{
    ETNetworkingCurl curl(env.server().httpsUrl(QStringLiteral("/upload")));
    EXPECT_EQ(CURLE_READ_ERROR,
              curl.postFile(QStringLiteral("UP-1"), env.scratch() + QStringLiteral("/gone.jpg"),
                            QStringLiteral("image/jpeg")));
    // So is a pipe: it is not even opened, it might never end.
    PipeInPlace pipe(env.scratch() + QStringLiteral("/pipe.jpg"));
    ASSERT_TRUE(pipe.made());
    EXPECT_EQ(CURLE_READ_ERROR,
              curl.postFile(QStringLiteral("UP-2"), env.scratch() + QStringLiteral("/pipe.jpg"),
                            QStringLiteral("image/jpeg")));
    EXPECT_EQ(0, pipe.readers());
    EXPECT_TRUE(env.server().requests(QStringLiteral("upload")).isEmpty());
}

TEST_F(ETNetworkingCurlTest, SecretsAreMaskedInDebugOutput)
{
    QString all;
    {
        MessageCapture lines;
        ETNetworkingCurl curl(env.server().controllerUrl(true));
        curl.postString(QStringLiteral("<login_request><ocsid/><login>a@b.de</login><pwd>Geheim99</pwd>"
                                       "<cc_number>4111111111111111</cc_number>"
                                       "<cc_validation_code>123</cc_validation_code>"
                                       "<sec_answer>Bello</sec_answer>"
                                       "<debit_account_number>9876543210</debit_account_number>"
                                       "<debit_bankcode>37040044</debit_bankcode></login_request>"));
        all = lines.all();
    }
    EXPECT_TRUE(all.contains(QStringLiteral("<pwd>****</pwd>"))) << all.toStdString();
    for (const char *secret : {"Geheim99", "4111111111111111", ">123<", "Bello", "9876543210", "37040044"}) {
        SCOPED_TRACE(secret);
        EXPECT_FALSE(all.contains(QString::fromLatin1(secret))) << all.toStdString();
    }
    EXPECT_TRUE(all.contains(QStringLiteral(">> ETNetworkingCurl::perform()")));
}

struct CertificateCase {
    const char *name;
    QString certificate;
    bool caBundle;
    int expected;
};

class ETNetworkingCurlCertificateTest : public ::testing::TestWithParam<CertificateCase>
{
};

TEST_P(ETNetworkingCurlCertificateTest, ChecksTheServerCertificate)
{
    TransferTestEnvironment::Options options;
    options.certificate = GetParam().certificate;
    options.caBundle = GetParam().caBundle;
    TransferTestEnvironment env(options);
    ETNetworkingCurl curl(env.server().controllerUrl(true));
    EXPECT_EQ(GetParam().expected, curl.postString(versionRequest)) << curl.errorText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, ETNetworkingCurlCertificateTest,
    ::testing::Values(
        CertificateCase{"trusted", QStringLiteral("server"), true, CURLE_OK},
        CertificateCase{"other authority", QStringLiteral("otherserver"), true,
                        CURLE_PEER_FAILED_VERIFICATION},
        CertificateCase{"wrong host", QStringLiteral("wronghost"), true, CURLE_PEER_FAILED_VERIFICATION},
        // Without the bundle the system's store decides, which knows no test authority.
        CertificateCase{"no bundle", QStringLiteral("server"), false, CURLE_PEER_FAILED_VERIFICATION}),
    [](const ::testing::TestParamInfo<CertificateCase> &info) {
        std::string name = info.param.name;
        for (char &ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

// Older servers wrote Latin-1 under any declaration; a reply whose bytes are
// in the encoding it declares is read in it, one that declares none as Latin-1.
TEST(ETNetworkingCurlParseTest, OldProtocolRepliesFollowADeclarationTheirBytesFit)
{
    TransferTestEnvironment::Options options;
    options.protocol = QStringLiteral("1.4");
    TransferTestEnvironment env(options);
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"UTF-8 declared, UTF-8 bytes", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>Gr\xc3\xbcn</a>"},
        {"UTF-8 declared, Latin-1 bytes", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>Gr\xfcn</a>"},
        {"single quotes, lower case", "<?xml version='1.0' encoding='utf-8'?><a>Gr\xc3\xbcn</a>"},
        {"Latin-1 declared", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>Gr\xfcn</a>"},
        {"Windows-1252 declared", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>Gr\xfcn</a>"},
        {"no encoding declared", "<?xml version=\"1.0\"?><a>Gr\xfcn</a>"},
        {"no declaration", "<a>Gr\xfcn</a>"},
        {"unknown encoding", "<?xml version=\"1.0\" encoding=\"x-lumo\"?><a>Gr\xfcn</a>"},
        {"UTF-8 byte-order mark", "\xef\xbb\xbf<?xml version=\"1.0\"?><a>Gr\xc3\xbcn</a>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ETNetworkingCurl curl(env.server().controllerUrl(true));
        curl.replyBytes() = c.bytes;
        bool parsed = false;
        EXPECT_EQ(QString::fromUtf8("Grün"), curl.replyDocument(&parsed).documentElement().text());
        EXPECT_TRUE(parsed);
    }
}

TEST(ETNetworkingCurlParseTest, NewerProtocolRepliesFollowTheirDeclaration)
{
    TransferTestEnvironment::Options options;
    options.protocol = QStringLiteral("1.6");
    TransferTestEnvironment env(options);
    ETNetworkingCurl curl(env.server().controllerUrl(true));
    curl.replyBytes() = QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>Gr\xc3\xbcn</a>");
    EXPECT_EQ(QString::fromUtf8("Grün"), curl.replyDocument().documentElement().text());
}

} // namespace

namespace
{

TEST(ETNetworkingCurlFetchTest, GetAndDownload)
{
    TransferTestEnvironment env;
    ETNetworkingCurl curl(env.server().httpsUrl(QStringLiteral("/health")));
    EXPECT_EQ(CURLE_OK, curl.get(QString()));
    EXPECT_EQ(QByteArray("ok"), curl.replyBytes());

    const QString path = env.scratch() + QStringLiteral("/health.txt");
    EXPECT_EQ(CURLE_OK, curl.download(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray("ok"), file.readAll());

    // A missing file on the server is a transfer error of its own.
    curl.setURL(env.server().httpsUrl(QStringLiteral("/nothing/here")));
    EXPECT_EQ(ETNetworkingCurl::RemoteFileMissing,
              curl.download(env.scratch() + QStringLiteral("/missing.txt")));
    EXPECT_EQ(404, curl.httpCode());
    EXPECT_EQ(ETNetworkingCurl::RemoteFileMissing,
              curl.download(env.scratch() + QStringLiteral("/no/folder/file.txt")));
}

TEST(ETNetworkingCurlFetchTest, DialUpIsAskedOnceWhenThereIsNoConnection)
{
    TransferTestEnvironment env;
    ETNetworkingCurl curl{QString()};
    const QString dead = QStringLiteral("http://127.0.0.1:%1/").arg(TransferTestEnvironment::closedPort());
    EXPECT_EQ(CURLE_COULDNT_CONNECT, curl.performWithDialUp(&ETNetworkingCurl::get, dead));
    EXPECT_TRUE(curl.replyBytes().isEmpty());
    EXPECT_EQ(CURLE_OK, curl.performWithDialUp(&ETNetworkingCurl::get,
                                               env.server().httpsUrl(QStringLiteral("/health"))));
    EXPECT_EQ(QByteArray("ok"), curl.replyBytes());
}

} // namespace
