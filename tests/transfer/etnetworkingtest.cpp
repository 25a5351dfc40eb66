#include "etnetworking.h"

#include "etconfig.h"
#include "etcustomer.h"
#include "etnetworkingerror.h"
#include "etnetworkingtimes.h"
#include "etorder.h"
#include "etorderxmlbuilder.h"
#include "etservercode.h"
#include "transfertestenvironment.h"

#include "ettestwait.h"
#include "filesizelimit.h"
#include "messagecapture.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

#include <curl/curl.h>

#include <memory>

namespace
{

::testing::AssertionResult sentWithEnvelope(const ETOrderServerRequest &request, const QString &dtd)
{
    const QString body = QString::fromUtf8(request.body);
    const QString head = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE ") +
                         request.name + QStringLiteral(" SYSTEM \"") + dtd + QLatin1Char('/') + request.name +
                         QStringLiteral(".dtd\">\n\n");
    if (!body.startsWith(head))
        return ::testing::AssertionFailure() << "body starts " << body.left(head.size()).toStdString()
                                             << "\nexpected    " << head.toStdString();
    if (request.header(QStringLiteral("Content-Type")) != QLatin1String("text/xml"))
        return ::testing::AssertionFailure()
               << "content type " << request.header("Content-Type").toStdString();
    return ::testing::AssertionSuccess();
}

// ---- every protocol level ---------------------------------------------------------------------

class ETNetworkingProtocolTest : public ::testing::TestWithParam<const char *>
{
  protected:
    ETNetworkingProtocolTest() : env(options()) {}
    static TransferTestEnvironment::Options options()
    {
        TransferTestEnvironment::Options o;
        o.protocol = QString::fromLatin1(GetParam());
        return o;
    }
    QString protocol() const { return QString::fromLatin1(GetParam()); }

    TransferTestEnvironment env;
};

TEST_P(ETNetworkingProtocolTest, SessionStartAndEnd)
{
    ETNetworking *net = ETNetworking::instance();
    ASSERT_TRUE(net->startSession()) << net->errorMessage().toStdString();
    EXPECT_FALSE(net->hasError());

    const auto choice = env.server().requests(QStringLiteral("xtci2_request"));
    ASSERT_EQ(1, choice.size());
    EXPECT_FALSE(choice[0].https);
    EXPECT_EQ(QStringList({"client_name", "client_version", "server_protocol"}), choice[0].childNames());
    EXPECT_EQ(protocol(), choice[0].text(QStringLiteral("server_protocol")));
    EXPECT_EQ(QStringLiteral("/xtci%1/controller").arg(protocol()), choice[0].path);

    EXPECT_EQ(env.server().controllerUrl(true, protocol()), ETConfig::instance()->serverURL());
    const QString dtd = env.server().httpUrl(QStringLiteral("/xtci%1/dtd").arg(protocol()));
    EXPECT_EQ(dtd, ETConfig::instance()->DTD_URL());

    const auto session = env.server().requests(QStringLiteral("session_request"));
    ASSERT_EQ(1, session.size());
    EXPECT_TRUE(session[0].https);
    EXPECT_TRUE(sentWithEnvelope(session[0], dtd));
    EXPECT_EQ(QStringList({"keyacc_id", "client_name", "client_version", "server_protocol"}),
              session[0].childNames());
    EXPECT_EQ(QStringLiteral("KA42"), session[0].text(QStringLiteral("keyacc_id")));
    const QString id = ETConfig::instance()->sessionID();
    EXPECT_FALSE(id.isEmpty());
    EXPECT_TRUE(env.server().hasSession(id));

    // The server list now holds what the server handed out, behind the reply's declaration.
    const QString list = env.readResource(QStringLiteral("xtci_servers.xml"));
    EXPECT_TRUE(list.startsWith(QStringLiteral("<?xml version="))) << list.toStdString();
    QDomDocument written;
    ASSERT_TRUE(written.setContent(list));
    EXPECT_EQ(QStringLiteral("xtci_servers"), written.documentElement().tagName());
    EXPECT_EQ(env.server().controllerUrl(false, protocol()),
              written.documentElement().firstChildElement().firstChildElement(QStringLiteral("url")).text());

    // A valid session is kept.
    EXPECT_TRUE(net->startSession());
    EXPECT_EQ(1, env.server().requests(QStringLiteral("session_request")).size());

    ASSERT_TRUE(net->endSession(QStringLiteral("normal")));
    const auto end = env.server().requests(QStringLiteral("endsession_request"));
    ASSERT_EQ(1, end.size());
    EXPECT_EQ(QStringLiteral("normal"), end[0].xml.documentElement().attribute(QStringLiteral("mode")));
    EXPECT_EQ(id, end[0].text(QStringLiteral("ocsid")));
    EXPECT_FALSE(env.server().hasSession(id));
    EXPECT_TRUE(ETConfig::instance()->sessionID().isEmpty());

    // Without a session nothing is sent.
    EXPECT_TRUE(net->endSession(QStringLiteral("abort")));
    EXPECT_EQ(1, env.server().requests(QStringLiteral("endsession_request")).size());
}

TEST_P(ETNetworkingProtocolTest, EveryRequestDocumentReachesTheServer)
{
    env.server().addCustomer(QStringLiteral("anna@example.com"), QStringLiteral("geheim"),
                             QStringLiteral("Tier?"), QStringLiteral("Bello"));
    env.server().addCoupon(QStringLiteral("C1"), QStringLiteral("FM"), QStringLiteral("A1"),
                           QStringLiteral("-1"));
    env.server().addStore(7, QStringLiteral("Foto Mitte"), QStringLiteral("Hauptstr. 5"),
                          QStringLiteral("10115"), QStringLiteral("Berlin"));
    ETNetworking *net = ETNetworking::instance();
    ASSERT_TRUE(net->startSession());
    const QString id = ETConfig::instance()->sessionID();
    ETOrderXMLBuilder builder;

    struct Case {
        QString name;
        QString body;
        QStringList children;
        QString content; // a content child the reply must hold
        int code = 0;    // the server's answer
    } cases[] = {
        {"version_request",
         builder.buildVersionRequest(),
         {"client_name", "client_version", "keyacc_id", "os"},
         "act_version"},
        {"login_request",
         builder.buildLoginRequest("anna@example.com", "geheim"),
         {"ocsid", "login", "pwd"},
         {}},
        {"secquestion_request",
         builder.buildSecQuestionRequest("anna@example.com"),
         {"ocsid", "login"},
         "question"},
        {"secanswer_request",
         builder.buildSecAnswerRequest("anna@example.com", "Bello"),
         {"ocsid", "login", "sec_answer"},
         {}},
        {"couponcheck_request", builder.buildCouponCheckRequest("C1"), {"ocsid", "couponid"}, "coupon"},
        {"locationlist_request", builder.buildLocationListRequestByZip("101"), {"ocsid", "zip"}, "location"},
        {"locationlist_request",
         builder.buildLocationListRequestByCity("Berlin"),
         {"ocsid", "city"},
         "location"},
        {"config_request", builder.buildConfigRequest(), {"ocsid"}, {}},
        {"userinfo_request", builder.buildUserInfoRequest(), {"ocsid"}, "email"},
        {"countrylist_request", builder.buildCountryListRequest(), {"ocsid"}, "country"},
        {"articlelist_request", builder.buildArticleListRequest(), {"ocsid"}, "article"},
        {"transferlist_request", builder.buildTransferListRequest(), {"ocsid"}, "transfer"},
        {"creditcards_request", builder.buildCreditCardsRequest(), {"ocsid"}, "cc"},
        {"creditcard_data_request",
         builder.createSimpleRequest("creditcard_data_request"),
         {"ocsid"},
         "cc_info"},
        {"debit_data_request", builder.createSimpleRequest("debit_data_request"), {"ocsid"}, "debit_info"},
        {"uploadctrl_request",
         builder.buildUploadCtrlRequest("stop"),
         {"ocsid"},
         {},
         ETServerCode::UploadStopped},
        // Nothing declared yet: the server has nothing to upload.
        {"uploadctrl_request",
         builder.buildUploadCtrlRequest("start"),
         {"ocsid"},
         {},
         ETServerCode::ServerUnavailable},
        {"orderfinish_request", builder.buildOrderFinishRequest(), {"ocsid"}, "ord_id"},
        {"endsession_request", builder.buildEndSessionRequest("abort"), {"ocsid"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString() + " " + c.body.toStdString());
        env.server().clearRequests();
        QDomDocument *reply = net->sendNetworkRequest(c.name, c.body, QString());
        ASSERT_NE(nullptr, reply);
        const QDomNode content = net->replyContent(reply);
        EXPECT_EQ(c.code, net->errorCode());
        if (!c.content.isEmpty()) {
            EXPECT_FALSE(content.firstChildElement(c.content).isNull());
        }
        delete reply;
        const auto log = env.server().requests();
        ASSERT_EQ(1, log.size());
        EXPECT_EQ(c.name, log[0].name);
        EXPECT_TRUE(log[0].https);
        EXPECT_EQ(QStringLiteral("/xtci%1/controller").arg(protocol()), log[0].path);
        EXPECT_TRUE(sentWithEnvelope(log[0], ETConfig::instance()->DTD_URL()));
        EXPECT_EQ(c.children, log[0].childNames());
        if (c.children.value(0) == QLatin1String("ocsid")) {
            EXPECT_EQ(id, log[0].text(QStringLiteral("ocsid")));
        }
    }
}

TEST_P(ETNetworkingProtocolTest, LoginWithRightAndWrongPassword)
{
    env.server().addCustomer(QStringLiteral("anna@example.com"), QStringLiteral("geheim"), QString(),
                             QString());
    ETNetworking *net = ETNetworking::instance();
    ASSERT_TRUE(net->startSession());
    ETOrderXMLBuilder builder;
    struct Case {
        const char *password;
        int code;
    } cases[] = {{"geheim", ETNetworkingError::NoError},
                 {"Geheim", ETServerCode::WrongLogin},
                 {"", ETServerCode::WrongLogin}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.password);
        QDomDocument *reply = net->sendNetworkRequest(
            QStringLiteral("login_request"),
            builder.buildLoginRequest(QStringLiteral("anna@example.com"), QString::fromLatin1(c.password)),
            QString());
        ASSERT_NE(nullptr, reply);
        net->replyContent(reply);
        delete reply;
        EXPECT_EQ(c.code, net->errorCode());
        EXPECT_EQ(c.code != 0, net->hasError());
    }
    EXPECT_EQ(QStringLiteral("<qt>Falsches Login oder Password</qt> [2]"), net->errorMessage());
}

TEST_P(ETNetworkingProtocolTest, VersionCheck)
{
    ETNetworking *net = ETNetworking::instance();
    ASSERT_TRUE(net->startSession());
    struct Case {
        const char *serverVersion;
        bool result;
        bool upToDate;
    } cases[] = {{"unknown", true, false}, {"", true, true}, {"1.3.0", true, true}, {"1.4.0", false, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.serverVersion);
        env.server().setCurrentVersion(QString::fromLatin1(c.serverVersion),
                                       QStringLiteral("http://dl/lumo"));
        bool upToDate = !c.upToDate;
        QString current, link;
        EXPECT_EQ(c.result, net->versionRequest(&upToDate, &current, &link));
        EXPECT_EQ(c.upToDate, upToDate);
        EXPECT_EQ(QString::fromLatin1(c.serverVersion), current);
        EXPECT_EQ(QStringLiteral("http://dl/lumo"), link);
    }
    env.server().setCurrentVersion(QStringLiteral("unknown"), QString());
    EXPECT_TRUE(net->versionRequest());
    env.server().addFault(fault("version_request").code(ETServerCode::Maintenance));
    EXPECT_FALSE(net->versionRequest());
    EXPECT_EQ(ETServerCode::Maintenance, net->errorCode());
    const auto log = env.server().requests(QStringLiteral("version_request"));
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(QStringLiteral("win32"), log[0].text(QStringLiteral("os")));
}

INSTANTIATE_TEST_SUITE_P(Levels, ETNetworkingProtocolTest,
                         ::testing::Values("1.4", "1.5", "1.6", "1.7", "1.8"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             std::string name = info.param;
                             name.replace(name.find('.'), 1, "_");
                             return "protocol_" + name;
                         });

// ---- error paths --------------------------------------------------------------------------------

struct ErrorCase {
    const char *name;
    ETOrderServerFault::Kind kind;
    int status;
    bool https;
    int code;
    int posts; // how often the request reached the server
};

void PrintTo(const ErrorCase &c, std::ostream *os)
{
    *os << c.name;
}

class ETNetworkingErrorPathTest : public ::testing::TestWithParam<ErrorCase>
{
  protected:
    TransferTestEnvironment env;
};

TEST_P(ETNetworkingErrorPathTest, GivesTheCodeAndRetriesAsPlanned)
{
    const ErrorCase &c = GetParam();
    env.server().addFault(fault("version_request").kind(c.kind).status(c.status).times(10));
    ETNetworking *net = ETNetworking::instance();
    ETOrderXMLBuilder builder;
    QDomDocument *reply =
        net->sendNetworkRequest(QStringLiteral("version_request"), builder.buildVersionRequest(),
                                env.server().controllerUrl(c.https));
    EXPECT_EQ(nullptr, reply);
    delete reply;
    EXPECT_EQ(c.code, net->errorCode());
    EXPECT_TRUE(net->hasError());
    EXPECT_TRUE(net->errorMessage().endsWith(QStringLiteral(" [%1]").arg(c.code)));
    EXPECT_EQ(c.posts, env.server().requests(QStringLiteral("version_request")).size());
    EXPECT_EQ(nullptr, QGuiApplication::overrideCursor());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ETNetworkingErrorPathTest,
    ::testing::Values(
        ErrorCase{"http_404", ETOrderServerFault::Reply, 404, true, ETNetworkingError::fromHttpStatus(404),
                  1},
        ErrorCase{"http_500", ETOrderServerFault::Reply, 500, false, ETNetworkingError::fromHttpStatus(500),
                  1},
        ErrorCase{"not_xml", ETOrderServerFault::NotXml, 0, true, ETNetworkingError::ReplyNotXml, 1},
        ErrorCase{"dropped_http", ETOrderServerFault::DropMidReply, 0, false,
                  ETNetworkingError::fromCurl(CURLE_PARTIAL_FILE), 1},
        ErrorCase{"dropped_https", ETOrderServerFault::DropMidReply, 0, true,
                  ETNetworkingError::fromCurl(CURLE_PARTIAL_FILE), 1},
        ErrorCase{"reset", ETOrderServerFault::ResetMidReply, 0, true,
                  ETNetworkingError::fromCurl(CURLE_RECV_ERROR), ETNetworkingTimes::transferAttempts},
        ErrorCase{"stalled", ETOrderServerFault::Stall, 0, true,
                  ETNetworkingError::fromCurl(CURLE_OPERATION_TIMEDOUT), 1}),
    [](const ::testing::TestParamInfo<ErrorCase> &info) { return std::string(info.param.name); });

TEST(ETNetworkingErrorPaths, ConnectionRefused)
{
    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    MessageCapture lines;
    QDomDocument *reply = net->sendNetworkRequest(
        QStringLiteral("version_request"), QStringLiteral("<version_request/>"),
        QStringLiteral("http://127.0.0.1:%1/xtci1.5/controller").arg(TransferTestEnvironment::closedPort()));
    EXPECT_EQ(nullptr, reply);
    EXPECT_EQ(ETNetworkingError::NoConnection, net->errorCode());
    EXPECT_EQ(ETNetworkingError::ErrorClass::TryAgain,
              ETNetworkingError(ETNetworkingError::NoConnection).errorClass());
    EXPECT_EQ(1,
              lines.all().count(QStringLiteral("ETNetworking: cURL error = %1").arg(CURLE_COULDNT_CONNECT)));
    EXPECT_TRUE(lines.has(QStringLiteral("ETNetworking::sendNetworkRequest finished")));
}

int dialUps = 0;

TEST(ETNetworkingErrorPaths, NoConnectionIsPostedOnceMoreAfterADialUp)
{
    TransferTestEnvironment env;
    dialUps = 0;
    ETNetworking::setConnectionCheckForTests([] {
        ++dialUps;
        return true;
    });
    ETNetworking *net = ETNetworking::instance();
    MessageCapture lines;
    QDomDocument *reply = net->sendNetworkRequest(
        QStringLiteral("version_request"), QStringLiteral("<version_request/>"),
        QStringLiteral("http://127.0.0.1:%1/xtci1.5/controller").arg(TransferTestEnvironment::closedPort()));
    ETNetworking::setConnectionCheckForTests(nullptr);
    EXPECT_EQ(nullptr, reply);
    EXPECT_EQ(1, dialUps);
    EXPECT_EQ(2,
              lines.all().count(QStringLiteral("ETNetworking: cURL error = %1").arg(CURLE_COULDNT_CONNECT)));
    EXPECT_EQ(ETNetworkingError::NoConnection, net->errorCode());
}

struct CertificateCase {
    const char *name;
    const char *certificate;
    bool caBundle;
};

class ETNetworkingCertificateTest : public ::testing::TestWithParam<CertificateCase>
{
};

TEST_P(ETNetworkingCertificateTest, WrongCertificateIsATransferError)
{
    TransferTestEnvironment::Options options;
    options.certificate = QString::fromLatin1(GetParam().certificate);
    options.caBundle = GetParam().caBundle;
    TransferTestEnvironment env(options);
    ETNetworking *net = ETNetworking::instance();
    EXPECT_FALSE(net->startSession());
    EXPECT_EQ(ETNetworkingError::fromCurl(CURLE_PEER_FAILED_VERIFICATION), net->errorCode());
    EXPECT_TRUE(env.server().requests(QStringLiteral("session_request")).isEmpty());
    EXPECT_EQ(1, env.server().requests(QStringLiteral("xtci2_request")).size());
}

INSTANTIATE_TEST_SUITE_P(Certificates, ETNetworkingCertificateTest,
                         ::testing::Values(CertificateCase{"other_authority", "otherserver", true},
                                           CertificateCase{"wrong_host", "wronghost", true},
                                           CertificateCase{"system_store_only", "server", false}),
                         [](const ::testing::TestParamInfo<CertificateCase> &info) {
                             return std::string(info.param.name);
                         });

// ---- server choice ------------------------------------------------------------------------------

TEST(ETNetworkingServerChoice, UnreachableServerIsSkipped)
{
    TransferTestEnvironment env;
    env.writeServerList(
        {QStringLiteral("http://127.0.0.1:%1/xtci1.5/controller").arg(TransferTestEnvironment::closedPort()),
         env.server().controllerUrl(false)});
    ETNetworking *net = ETNetworking::instance();
    MessageCapture lines;
    ASSERT_TRUE(net->startSession());
    EXPECT_TRUE(lines.has(QStringLiteral("getServer(0)")));
    EXPECT_TRUE(lines.has(QStringLiteral("getServer(1)")));
    EXPECT_EQ(1, env.server().requests(QStringLiteral("xtci2_request")).size());
    EXPECT_TRUE(lines.has(QStringLiteral("loadBalancing: server=") + env.server().controllerUrl(true)));
}

TEST(ETNetworkingServerChoice, ServerWithoutControllerIsSkipped)
{
    TransferTestEnvironment env;
    env.writeServerList({env.server().controllerUrl(false), env.server().controllerUrl(false)});
    // An error-free reply whose content names no controller.
    ETOrderServerFault empty = fault("xtci2_request");
    empty.errorText = QStringLiteral("no controller today");
    env.server().addFault(empty);
    ASSERT_TRUE(ETNetworking::instance()->startSession());
    EXPECT_EQ(2, env.server().requests(QStringLiteral("xtci2_request")).size());
}

TEST(ETNetworkingServerChoice, ListExhausted)
{
    TransferTestEnvironment env;
    const QString dead =
        QStringLiteral("http://127.0.0.1:%1/xtci1.5/controller").arg(TransferTestEnvironment::closedPort());
    env.writeServerList({dead, dead, dead});
    ETNetworking *net = ETNetworking::instance();
    MessageCapture lines;
    EXPECT_FALSE(net->startSession());
    EXPECT_TRUE(lines.has(QStringLiteral("getServer(3)")));
    EXPECT_TRUE(lines.has(QStringLiteral("server list exhausted")));
    EXPECT_EQ(ETNetworkingError::NoConnection, net->errorCode());
    EXPECT_TRUE(env.server().requests().isEmpty());
}

TEST(ETNetworkingServerChoice, ServerErrorStopsTheChoice)
{
    TransferTestEnvironment env;
    env.server().addFault(fault("xtci2_request").code(ETServerCode::ServerUnavailable));
    EXPECT_FALSE(ETNetworking::instance()->startSession());
    EXPECT_EQ(ETServerCode::ServerUnavailable, ETNetworking::instance()->errorCode());
}

TEST(ETNetworkingServerChoice, EntryWithoutSchemeIsContactedOverHttpAndTheControllerOverHttps)
{
    TransferTestEnvironment env;
    env.writeServerList({QStringLiteral("127.0.0.1:%1/xtci1.5/controller").arg(env.server().httpPort())});
    // The server names its controller with http://; the client goes there with https://.
    env.server().setChosenControllerUrl(
        QStringLiteral("http://127.0.0.1:%1/xtci1.5/controller").arg(env.server().httpsPort()));
    ASSERT_TRUE(ETNetworking::instance()->startSession());
    EXPECT_EQ(env.server().controllerUrl(true), ETConfig::instance()->serverURL());
    EXPECT_TRUE(env.server().requests(QStringLiteral("session_request")).value(0).https);
}

TEST(ETNetworkingServerChoice, ExpiredSessionOpensANewOne)
{
    TransferTestEnvironment env;
    env.server().setSessionValiditySeconds(-60);
    ASSERT_TRUE(ETNetworking::instance()->startSession());
    ASSERT_TRUE(ETNetworking::instance()->startSession());
    EXPECT_EQ(2, env.server().requests(QStringLiteral("xtci2_request")).size());
    EXPECT_EQ(2, env.server().requests(QStringLiteral("session_request")).size());
}

TEST(ETNetworkingServerChoice, BuiltInServersWithoutList)
{
    TransferTestEnvironment env;
    QFile::remove(env.resources() + QStringLiteral("/xtci_servers.xml"));
    ETNetworking *net = ETNetworking::instance();
    MessageCapture lines;
    EXPECT_EQ(QStringLiteral("http://order1.lumo-prints.invalid/xtci1.5/controller"), net->getServer(0));
    EXPECT_EQ(QStringLiteral("http://order1.lumo-prints.invalid/xtci1.5/dtd"),
              ETConfig::instance()->DTD_URL());
    EXPECT_EQ(QStringLiteral("http://order2.lumo-prints.invalid/xtci1.5/controller"), net->getServer(1));
    EXPECT_EQ(QString(), net->getServer(2));
    EXPECT_TRUE(lines.has(QStringLiteral("xtci_servers.xml not found, using default")));
}

// ---- addresses and protocol ---------------------------------------------------------------------

TEST(ETNetworkingAddresses, BaseUrls)
{
    TransferTestEnvironment env;
    struct Case {
        const char *server;
        const char *suffix;
        const char *url;
    } cases[] = {
        {"order", "controller", "http://order.lumo-prints.invalid/xtci1.5/controller"},
        {"order.example.com", "dtd", "http://order.example.com/xtci1.5/dtd"},
        {"https://h.example.com/xtci%p/controller", "dtd", "https://h.example.com/xtci1.5/controller"},
        {"http://h.example.com/a", "controller", "http://h.example.com/a"},
        {"HTTP://h.example.com/xtci%p/x", "controller",
         "http://HTTP://h.example.com/xtci1.5/x/xtci1.5/controller"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.server);
        EXPECT_EQ(QString::fromLatin1(c.url),
                  ETNetworking::makeBaseURL(QString::fromLatin1(c.server), QString::fromLatin1(c.suffix)));
    }
    EXPECT_EQ(QStringLiteral("http://o.lumo-prints.invalid/xtci1.5/controller"),
              ETNetworking::controllerURL("o"));
    EXPECT_EQ(QStringLiteral("http://o.lumo-prints.invalid/xtci1.5/dtd"), ETNetworking::dtdURL("o"));
    EXPECT_EQ(QStringLiteral("https://a/b"), ETNetworking::replaceScheme("http://a/b", "https://"));
    EXPECT_EQ(QStringLiteral("http://a/b"), ETNetworking::replaceScheme("a/b", "http://"));
    EXPECT_EQ(QStringLiteral("http://x://y"), ETNetworking::replaceScheme("ftp://x://y", "http://"));
}

TEST(ETNetworkingAddresses, ThreePartProtocol)
{
    TransferTestEnvironment::Options options;
    options.protocol = QStringLiteral("2.10.3");
    TransferTestEnvironment env(options);
    EXPECT_EQ(30, ETNetworking::protocolVersion());
    EXPECT_EQ(QStringLiteral("2.10.3"), ETNetworking::serverProtocol());
    EXPECT_EQ(QStringLiteral("http://o.lumo-prints.invalid/xtci2.10/controller"),
              ETNetworking::controllerURL("o"));
}

TEST(ETNetworkingAddresses, ProtocolLevel)
{
    TransferTestEnvironment::Options options;
    options.protocol = QStringLiteral("1.7");
    TransferTestEnvironment env(options);
    EXPECT_EQ(17, ETNetworking::protocolVersion());
    EXPECT_EQ(17, ETOrderXMLBuilder::protocolLevel());
}

TEST(ETNetworkingAbort, LaterRequestsFailAtOnceUntilTheNextStep)
{
    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    ASSERT_TRUE(net->startSession());
    env.server().clearRequests();
    net->abort();
    EXPECT_EQ(0, net->errorCode());
    EXPECT_TRUE(net->isAborted());
    // What the cancelled step would still send fails without going out.
    EXPECT_FALSE(net->versionRequest());
    EXPECT_EQ(ETNetworkingError::Cancelled, net->errorCode());
    EXPECT_FALSE(net->endSession(QStringLiteral("abort")));
    EXPECT_TRUE(env.server().requests().isEmpty()) << "an abort sends nothing";
    // The next step goes through.
    net->clearAbort();
    env.server().setCurrentVersion(QStringLiteral("1.3.0"), QString());
    EXPECT_TRUE(net->versionRequest());
    EXPECT_EQ(0, net->errorCode());
    EXPECT_EQ(1, env.server().requests(QStringLiteral("version_request")).size());
}

TEST(ETNetworkingAbort, TheApplicationsThreadHandlesEventsWhileARequestWaits)
{
    TransferTestEnvironment env;
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    ETNetworking *net = ETNetworking::instance();
    ETOrderXMLBuilder builder;
    const QString body = builder.buildVersionRequest();
    const QString url = env.server().controllerUrl(true);

    // A reply that takes a while: the event loop turns meanwhile.
    env.server().addFault(fault("version_request").rate(200));
    {
        EventLoopWatch watch;
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<QDomDocument> reply(
            net->sendNetworkRequest(QStringLiteral("version_request"), body, url));
        EXPECT_NE(nullptr, reply);
        EXPECT_GE(clock.elapsed(), 500) << "the reply came slowly";
        EXPECT_LT(watch.longestGapMs(), 400);
    }

    // A reply that would take minutes: an abort from the event loop ends it at once.
    env.server().addFault(fault("version_request").rate(1));
    QElapsedTimer sinceAbort;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!sinceAbort.isValid() && env.server().requests(QStringLiteral("version_request")).size() == 2) {
            sinceAbort.start();
            net->abort();
        }
    });
    poll.start(5);
    std::unique_ptr<QDomDocument> reply(
        net->sendNetworkRequest(QStringLiteral("version_request"), body, url));
    ASSERT_TRUE(sinceAbort.isValid()) << "the loop never turned";
    EXPECT_LT(sinceAbort.elapsed(), 500);
    EXPECT_EQ(nullptr, reply);
    EXPECT_EQ(ETNetworkingError::Cancelled, net->errorCode());
}

// The request runs in the application's own event loop: a Cancel pressed
// there (the dialog's, the page's) ends it within a tenth of a second,
// wherever the request is.
TEST(ETNetworkingAbort, CancelEndsARequestOfTheApplicationsThreadWithinATenthOfASecond)
{
    TransferTestEnvironment env;
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    ETNetworking *net = ETNetworking::instance();
    struct Case {
        const char *name;
        ETOrderServerFault fault;
        int afterMs; // from the request's arrival to the cancel
    } cases[] = {
        {"the server holds the request", fault("version_request").kind(ETOrderServerFault::Stall), 0},
        {"the server thinks it over", fault("version_request").delay(60000), 0},
        // The head at once, then ten bytes a tenth of a second.
        {"in the middle of the reply", fault("version_request").rate(100), 300},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        net->clearAbort();
        env.server().clearRequests();
        env.server().addFault(c.fault);
        QElapsedTimer sinceAbort;
        QElapsedTimer sinceRequest;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (sinceAbort.isValid() || env.server().requests(QStringLiteral("version_request")).isEmpty())
                return;
            if (!sinceRequest.isValid())
                sinceRequest.start();
            if (sinceRequest.elapsed() < c.afterMs)
                return;
            sinceAbort.start();
            net->abort();
        });
        poll.start(2);
        const std::unique_ptr<QDomDocument> reply(
            net->sendNetworkRequest(QStringLiteral("version_request"), QStringLiteral("<version_request/>"),
                                    env.server().controllerUrl(true)));
        const qint64 elapsed = sinceAbort.isValid() ? sinceAbort.elapsed() : -1;
        poll.stop();
        EXPECT_EQ(nullptr, reply);
        ASSERT_GE(elapsed, 0) << "the loop never turned";
        EXPECT_LT(elapsed, 100);
        EXPECT_EQ(ETNetworkingError::Cancelled, net->errorCode());
    }
}

// One place tells whether a customer's action may start a request: not
// while a request waits in the event loop, nor while another action runs.
TEST(ETNetworkingAbort, OneCustomersActionAtATime)
{
    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    EXPECT_TRUE(net->mayStartRequest());
    env.server().addFault(fault("version_request").delay(200));
    bool whileWaiting = true;
    QTimer::singleShot(50, [&] { whileWaiting = net->mayStartRequest(); });
    delete net->sendNetworkRequest(QStringLiteral("version_request"), QStringLiteral("<version_request/>"),
                                   env.server().controllerUrl(true));
    EXPECT_FALSE(whileWaiting) << "a request waits";
    EXPECT_TRUE(net->mayStartRequest());
    {
        const ETNetworking::Step step;
        EXPECT_FALSE(net->mayStartRequest()) << "an action runs";
        {
            const ETNetworking::Step inner;
            EXPECT_FALSE(net->mayStartRequest());
        }
        EXPECT_FALSE(net->mayStartRequest());
    }
    EXPECT_TRUE(net->mayStartRequest());
    // A new action lets requests go out again after a cancel; one inside a
    // cancelled action does not.
    {
        const ETNetworking::Step step;
        net->abort();
        {
            const ETNetworking::Step inner;
            EXPECT_TRUE(net->isAborted());
        }
    }
    {
        const ETNetworking::Step next;
        EXPECT_FALSE(net->isAborted());
    }
}

TEST(ETNetworkingAbort, SessionEndAfterCancelGoesOutBriefly)
{
    TransferTestEnvironment env;
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    ETNetworking *net = ETNetworking::instance();
    struct Case {
        const char *name;
        int rate; // of the session end's reply; 0: at once
        bool ended;
        int code;
    } cases[] = {
        {"prompt server", 0, true, ETNetworkingError::NoError},
        {"a byte a second", 1, false, ETNetworkingError::fromCurl(CURLE_OPERATION_TIMEDOUT)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        net->clearAbort();
        ETConfig::instance()->setSessionID(QString(), QString(), true);
        ASSERT_TRUE(net->startSession());
        const QString session = ETConfig::instance()->sessionID();
        if (c.rate > 0)
            env.server().addFault(fault("endsession_request").rate(c.rate));
        net->abort();
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(c.ended, net->endSessionAfterCancel());
        EXPECT_LT(clock.elapsed(), 3000) << "a few seconds at most";
        EXPECT_EQ(c.code, net->errorCode());
        EXPECT_EQ(c.ended, ETConfig::instance()->sessionID().isEmpty());
        EXPECT_FALSE(env.server().hasSession(session)) << "the server has ended it";
        EXPECT_EQ(QStringLiteral("abort"), env.server()
                                               .requests(QStringLiteral("endsession_request"))
                                               .last()
                                               .xml.documentElement()
                                               .attribute(QStringLiteral("mode")));
    }
}

} // namespace

namespace
{

TEST(ETNetworkingShippedResources, ServerListNamesTheDemoDouble)
{
    TransferTestEnvironment env;
    QFile::remove(env.resources() + QStringLiteral("/xtci_servers.xml"));
    QFile::copy(QStringLiteral(LUMO_RESOURCES_DIR "/xtci_servers.xml"),
                env.resources() + QStringLiteral("/xtci_servers.xml"));
    ETNetworking *net = ETNetworking::instance();
    EXPECT_EQ(QStringLiteral("http://127.0.0.1:47480/xtci1.5/controller"), net->getServer(0));
    EXPECT_EQ(QStringLiteral("http://127.0.0.1:47480/xtci1.5/dtd"), ETConfig::instance()->DTD_URL());
}

} // namespace

namespace
{

// ---- proxy from the per-user settings ----------------------------------------------------------

struct ProxyCase {
    const char *name;
    const char *choice;
    bool environmentNamesTheDouble; // else the environment names a dead proxy
    bool viaProxy;
};

class ETNetworkingProxyTest : public ::testing::TestWithParam<ProxyCase>
{
};

TEST_P(ETNetworkingProxyTest, FollowsTheChoice)
{
    const ProxyCase &c = GetParam();
    TransferTestEnvironment env;
    // The double also answers requests sent to it as a proxy (absolute target), which shows in its log.
    const QString doubleAsProxy = QStringLiteral("127.0.0.1:%1").arg(env.server().httpPort());
    const QString dead = QStringLiteral("127.0.0.1:%1").arg(TransferTestEnvironment::closedPort());
    qputenv("http_proxy",
            (QStringLiteral("http://") + (c.environmentNamesTheDouble ? doubleAsProxy : dead)).toLatin1());
    ETConfig *config = ETConfig::instance();
    config->setHttpProxyChoice(QString::fromLatin1(c.choice));
    config->setHttpProxy(QStringLiteral("127.0.0.1"));
    config->setHttpProxyPort(QString::number(env.server().httpPort()));

    ETNetworking *net = ETNetworking::instance();
    QDomDocument *reply =
        net->sendNetworkRequest(QStringLiteral("version_request"), QStringLiteral("<version_request/>"),
                                env.server().controllerUrl(false));
    qunsetenv("http_proxy");
    ASSERT_NE(nullptr, reply) << net->errorCode();
    delete reply;
    const auto log = env.server().requests(QStringLiteral("version_request"));
    ASSERT_EQ(1, log.size());
    EXPECT_EQ(c.viaProxy, log[0].path.startsWith(QLatin1String("http://"))) << log[0].path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Choices, ETNetworkingProxyTest,
                         ::testing::Values(ProxyCase{"none_ignores_the_environment", "no", false, false},
                                           ProxyCase{"manual", "manual", false, true},
                                           ProxyCase{"system", "sys", true, true}),
                         [](const ::testing::TestParamInfo<ProxyCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(ETNetworkingReplies, Status299StillGivesAReply)
{
    TransferTestEnvironment env;
    env.server().addFault(fault("version_request").status(299));
    QDomDocument *reply = ETNetworking::instance()->sendNetworkRequest(QStringLiteral("version_request"),
                                                                       QStringLiteral("<version_request/>"),
                                                                       env.server().controllerUrl(true));
    ASSERT_NE(nullptr, reply);
    EXPECT_FALSE(ETNetworking::instance()->replyContent(reply).isNull());
    delete reply;
    EXPECT_FALSE(ETNetworking::instance()->hasError());
}

TEST(ETNetworkingReplies, ReplyWithoutHeadIsNoError)
{
    TransferTestEnvironment env;
    QDomDocument reply;
    reply.setContent(QStringLiteral("<x><content><a>1</a></content></x>"));
    ETNetworking *net = ETNetworking::instance();
    net->raiseError(ETNetworkingError::NoConnection);
    EXPECT_EQ(QStringLiteral("1"), ETNetworking::childText(net->replyContent(&reply), QStringLiteral("a")));
    EXPECT_FALSE(net->hasError());
}

TEST(ETNetworkingReplies, FindChildByAttribute)
{
    QDomDocument doc;
    doc.setContent(
        QStringLiteral("<c><x type=\"FM\"/><coupon type=\"OM\" n=\"1\"/><y/><coupon type=\"FM\" n=\"2\"/>"
                       "</c>"));
    const QDomElement c = doc.documentElement();
    EXPECT_EQ(QStringLiteral("2"),
              ETNetworking::findChildByAttribute(c, "coupon", "type", "FM").toElement().attribute("n"));
    // One walk: the first element matching either value wins.
    EXPECT_EQ(QStringLiteral("1"),
              ETNetworking::findChildByAttribute(c, "coupon", "type", "FM", "OM").toElement().attribute("n"));
    EXPECT_EQ(QStringLiteral("1"),
              ETNetworking::findChildByAttribute(c, "coupon", "type", "XX", "OM").toElement().attribute("n"));
    EXPECT_TRUE(ETNetworking::findChildByAttribute(c, "coupon", "type", "XX").isNull());
}

TEST(ETNetworkingThreads, RequestFromAWorkerThreadLeavesTheCursorAlone)
{
    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    ETOrderXMLBuilder builder;
    const QString body = builder.buildVersionRequest();
    bool gotReply = false;
    QThread *worker = QThread::create([&] {
        QDomDocument *reply = net->sendNetworkRequest(QStringLiteral("version_request"), body,
                                                      env.server().controllerUrl(true));
        gotReply = reply != nullptr;
        delete reply;
    });
    worker->start();
    ASSERT_TRUE(worker->wait(QDeadlineTimer(30000)));
    delete worker;
    EXPECT_TRUE(gotReply);
    EXPECT_EQ(nullptr, QGuiApplication::overrideCursor());
}

} // namespace

namespace
{

TEST(ETNetworkingThreads, AbortFromAnotherThreadEndsTheRequestAtOnce)
{
    TransferTestEnvironment env;
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    env.server().addFault(fault("version_request").kind(ETOrderServerFault::Stall));
    ETNetworking *net = ETNetworking::instance();
    QDomDocument *reply = nullptr;
    QThread *worker = QThread::create([&] {
        reply =
            net->sendNetworkRequest(QStringLiteral("version_request"), QStringLiteral("<version_request/>"),
                                    env.server().controllerUrl(true));
    });
    worker->start();
    ASSERT_TRUE(waitFor([&] { return !env.server().requests(QStringLiteral("version_request")).isEmpty(); }));
    QElapsedTimer clock;
    clock.start();
    net->abort();
    EXPECT_TRUE(worker->wait(QDeadlineTimer(20000)));
    EXPECT_LT(clock.elapsed(), 500);
    delete worker;
    EXPECT_EQ(nullptr, reply);
    EXPECT_EQ(ETNetworkingError::Cancelled, net->errorCode());
}

} // namespace

namespace
{

TEST(ETNetworkingOrderFinish, StoresTheOrderNumber)
{
    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    ASSERT_TRUE(net->startSession());
    ASSERT_TRUE(net->orderFinishRequest());
    EXPECT_FALSE(env.server().lastOrderId().isEmpty());
    EXPECT_EQ(env.server().lastOrderId(), ETOrder::instance()->customer()->value(QStringLiteral("ord_id")));
    const auto log = env.server().requests(QStringLiteral("orderfinish_request"));
    ASSERT_EQ(1, log.size());
    EXPECT_EQ(QStringLiteral("normal"), log[0].xml.documentElement().attribute(QStringLiteral("mode")));
    EXPECT_EQ(ETConfig::instance()->sessionID(), log[0].text(QStringLiteral("ocsid")));
}

TEST(ETNetworkingOrderFinish, ServerWithoutOrderNumbers)
{
    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    ASSERT_TRUE(net->startSession());
    ETOrderServerFault noNumber = fault("orderfinish_request");
    noNumber.errorText = QStringLiteral("ok");
    env.server().addFault(noNumber);
    ASSERT_TRUE(net->orderFinishRequest());
    EXPECT_EQ(QStringLiteral("Server ") + env.server().controllerUrl(true) +
                  QStringLiteral(" hat Feature orderfinishrequest abgeschaltet!"),
              ETOrder::instance()->customer()->value(QStringLiteral("ord_id")));
}

TEST(ETNetworkingOrderFinish, FailureIsReported)
{
    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    ASSERT_TRUE(net->startSession());
    env.server().addFault(fault("orderfinish_request").status(500));
    EXPECT_FALSE(net->orderFinishRequest());
    EXPECT_EQ(ETNetworkingError::fromHttpStatus(500), net->errorCode());
}

} // namespace

namespace
{

QByteArray resourceBytes(const TransferTestEnvironment &env, const QString &name)
{
    QFile file(env.resources() + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ETNetworkingServerChoice, ServerListIsWrittenInTheEncodingItsDeclarationNames)
{
    TransferTestEnvironment env;
    const QString controller = env.server().controllerUrl(true);
    const QString dtd = env.server().httpUrl(QStringLiteral("/xtci1.5/dtd"));
    env.server().addFault(
        fault("xtci2_request")
            .raw(QStringLiteral("<?xml version=\"1.0\" encoding=\"latin1\"?><xtci2><head>"
                                "<errorcode>0</errorcode><errortext/></head><content><url>") +
                 controller + QStringLiteral("</url><dtd_url>") + dtd +
                 QStringLiteral("</dtd_url><xtci_servers><xtci_server><url>") + controller +
                 QStringLiteral("</url><dtd_url>") + dtd +
                 QStringLiteral("/Gr&#252;&#223;e</dtd_url></xtci_server></xtci_servers>"
                                "</content></xtci2>")));
    ETNetworking *net = ETNetworking::instance();
    ASSERT_TRUE(net->startSession()) << net->errorMessage().toStdString();

    const QByteArray written = resourceBytes(env, QStringLiteral("xtci_servers.xml"));
    EXPECT_TRUE(written.startsWith("<?xml version='1.0' encoding='latin1' ?>\n")) << written.toStdString();
    EXPECT_TRUE(written.contains("/Gr\xfc\xdf"
                                 "e<"))
        << "Latin-1 bytes, as declared";
    EXPECT_EQ(controller, net->getServer(0));
    EXPECT_EQ(dtd + QString::fromUtf8("/Grüße"), ETConfig::instance()->DTD_URL());
}

TEST(ETNetworkingServerChoice, FailedServerListWriteKeepsTheOldList)
{
    TransferTestEnvironment env;
    const QByteArray before = resourceBytes(env, QStringLiteral("xtci_servers.xml"));
    ASSERT_FALSE(before.isEmpty());
    MessageCapture lines;
    bool started = false;
    {
        // Files may not grow beyond a few bytes while the list is written.
        const FileSizeLimit small(16);
        ASSERT_TRUE(small.active());
        started = ETNetworking::instance()->startSession();
    }
    EXPECT_TRUE(started) << "the chosen server is known all the same";
    EXPECT_TRUE(lines.has(QStringLiteral("xtci_servers.xml not written")));
    EXPECT_EQ(before, resourceBytes(env, QStringLiteral("xtci_servers.xml")));
    EXPECT_EQ(
        QStringList{QStringLiteral("xtci_servers.xml")},
        QDir(env.resources()).entryList({QStringLiteral("xtci_servers.xml*")}, QDir::Files | QDir::Hidden));
}

TEST(ETNetworkingServerChoice, ServerListBeyondTheBoundsCountsAsMissing)
{
    TransferTestEnvironment env;
    const QString path = env.resources() + QStringLiteral("/xtci_servers.xml");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<xtci_servers>" + QByteArray("<a>").repeated(300) + QByteArray("</a>").repeated(300) +
               "</xtci_servers>");
    file.close();
    MessageCapture lines;
    EXPECT_EQ(QStringLiteral("http://order1.lumo-prints.invalid/xtci1.5/controller"),
              ETNetworking::instance()->getServer(0));
    EXPECT_TRUE(lines.has(QStringLiteral("resource file refused: ") + path +
                          QStringLiteral(" is nested deeper than 256 elements")));
    EXPECT_TRUE(lines.has(QStringLiteral("xtci_servers.xml not found, using default")));
}

TEST(ETNetworkingReplies, RepliesBeyondTheBoundsAreRefused)
{
    const struct {
        const char *what;
        QString body;
        int code;
    } cases[] = {
        {"deep",
         QStringLiteral("<version><head/><content>") + QStringLiteral("<a>").repeated(100000) +
             QStringLiteral("</a>").repeated(100000) + QStringLiteral("</content></version>"),
         ETNetworkingError::ReplyOutOfBounds},
        {"huge",
         QStringLiteral("<version><head/><content>") + QString(9 * 1024 * 1024, QLatin1Char('x')) +
             QStringLiteral("</content></version>"),
         ETNetworkingError::ReplyOutOfBounds},
        {"no XML", QStringLiteral("Service unavailable"), ETNetworkingError::ReplyNotXml},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TransferTestEnvironment env;
        // Megabytes take longer than the shrunk time-out of the other tests.
        ETNetworkingTimes::setMillisecondsPerSecond(100);
        env.server().addFault(fault("version_request").raw(c.body));
        ETNetworking *net = ETNetworking::instance();
        const std::unique_ptr<QDomDocument> reply(
            net->sendNetworkRequest(QStringLiteral("version_request"), QStringLiteral("<version_request/>"),
                                    env.server().controllerUrl(true)));
        EXPECT_EQ(nullptr, reply.get());
        EXPECT_EQ(c.code, net->errorCode());
        EXPECT_TRUE(net->hasError());
    }
}

TEST(ETNetworkingServerChoice, ReplyWithoutServerListKeepsTheFile)
{
    TransferTestEnvironment env;
    env.server().setServerListInReply(false);
    const QString before = env.readResource(QStringLiteral("xtci_servers.xml"));
    MessageCapture lines;
    ASSERT_TRUE(ETNetworking::instance()->startSession());
    EXPECT_TRUE(lines.has(QStringLiteral("checkXML(xtci_server, url) FAILED")));
    EXPECT_EQ(before, env.readResource(QStringLiteral("xtci_servers.xml")));
}

} // namespace
