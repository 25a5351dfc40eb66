#include "etconfig.h"
#include "etcoupon.h"
#include "etnetworking.h"
#include "etnetworkingerror.h"
#include "etservercode.h"
#include "requestcheck.h"
#include "submitmethod.h"
#include "transfertestenvironment.h"

#include <gtest/gtest.h>

namespace
{

const QString anna = QStringLiteral("anna@example.com");

class ETNetworkingAccountTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        env.server().addCustomer(anna, QStringLiteral("geheim"), QStringLiteral("Name des Hundes?"),
                                 QStringLiteral("Bello"));
        ASSERT_TRUE(net->startSession()) << net->errorMessage().toStdString();
        session = ETConfig::instance()->sessionID();
        env.server().clearRequests();
    }
    Fields withSession(const Fields &fields) const
    {
        return Fields{{QStringLiteral("ocsid"), session}} + fields;
    }
    ::testing::AssertionResult sent(const QString &name, const Fields &fields)
    {
        ETOrderServerRequest request;
        const auto found = onlyRequest(env.server(), name, request);
        env.server().clearRequests();
        return found ? childrenAre(request.xml.documentElement(), withSession(fields)) : found;
    }

    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    QString session;
};

TEST_F(ETNetworkingAccountTest, Login)
{
    struct Case {
        const char *login;
        const char *password;
        bool result;
        int code;
    } cases[] = {
        {"anna@example.com", "geheim", true, ETNetworkingError::NoError},
        {"anna@example.com", "Geheim", false, ETServerCode::WrongLogin},
        {"anna@example.com", "", false, ETServerCode::WrongLogin},
        {"bert@example.com", "geheim", false, ETServerCode::WrongLogin},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.login) + " / " + c.password);
        EXPECT_EQ(c.result, net->loginRequest(QString::fromLatin1(c.login), QString::fromLatin1(c.password)));
        EXPECT_EQ(c.code, net->errorCode());
        EXPECT_TRUE(sent(QStringLiteral("login_request"), {{"login", QString::fromLatin1(c.login)},
                                                           {"pwd", QString::fromLatin1(c.password)}}));
    }
}

TEST_F(ETNetworkingAccountTest, RedirectsAreNotFollowed)
{
    // The login asked for HTTPS; a redirect must not take the password to plain
    // HTTP or to another host, whatever the method of the redirect.
    const QString plain = env.server().controllerUrl(false);
    const QString elsewhere =
        QStringLiteral("https://localhost:%1/xtci1.5/controller").arg(env.server().httpsPort());
    const struct {
        int status;
        QString location;
    } cases[] = {{302, plain}, {307, plain}, {308, plain}, {301, elsewhere}, {307, elsewhere}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.status) + " to " + c.location.toStdString());
        env.server().addFault(fault(QStringLiteral("login_request")).redirect(c.location).status(c.status));
        EXPECT_FALSE(net->loginRequest(anna, QStringLiteral("geheim")));
        EXPECT_EQ(ETNetworkingError::fromHttpStatus(c.status), net->errorCode());
        const QList<ETOrderServerRequest> logins = env.server().requests(QStringLiteral("login_request"));
        ASSERT_EQ(1, logins.size()) << "the login was posted once, to the server asked for";
        EXPECT_TRUE(logins[0].https);
        EXPECT_EQ(QStringLiteral("127.0.0.1:%1").arg(env.server().httpsPort()),
                  logins[0].header(QStringLiteral("Host")));
        env.server().clearRequests();
    }
}

TEST_F(ETNetworkingAccountTest, CodesOfClassZeroAreSuccess)
{
    for (int code : {int(ETServerCode::UploadStopped), 49, int(ETServerCode::UploadComplete)}) {
        SCOPED_TRACE(code);
        env.server().addFault(fault("login_request").code(code));
        EXPECT_TRUE(net->loginRequest(anna, QStringLiteral("falsch")));
        EXPECT_EQ(code, net->errorCode());
    }
}

TEST_F(ETNetworkingAccountTest, SecurityQuestion)
{
    QString question = QStringLiteral("unchanged");
    EXPECT_TRUE(net->secQuestionRequest(anna, question));
    EXPECT_EQ(QStringLiteral("Name des Hundes?"), question);
    EXPECT_TRUE(sent(QStringLiteral("secquestion_request"), {{"login", anna}}));

    question = QStringLiteral("unchanged");
    EXPECT_FALSE(net->secQuestionRequest(QStringLiteral("bert@example.com"), question));
    EXPECT_EQ(ETServerCode::UnknownUser, net->errorCode());
    EXPECT_EQ(QStringLiteral("unchanged"), question);
}

TEST_F(ETNetworkingAccountTest, SecurityAnswerHandsBackTheServersText)
{
    struct Case {
        const char *answer;
        bool result;
        int code;
        const char *message;
    } cases[] = {
        {"Bello", true, ETNetworkingError::NoError, "Ihr Passwort wurde Ihnen per E-Mail zugeschickt."},
        {"bello", false, ETServerCode::WrongSecurityAnswer, "Antwort falsch"},
        {"", false, ETServerCode::WrongSecurityAnswer, "Antwort falsch"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.answer);
        QString message = QStringLiteral("unchanged");
        EXPECT_EQ(c.result, net->secAnswerRequest(anna, QString::fromLatin1(c.answer), message));
        EXPECT_EQ(c.code, net->errorCode());
        EXPECT_EQ(QString::fromUtf8(c.message), message);
        EXPECT_TRUE(sent(QStringLiteral("secanswer_request"),
                         {{"login", anna}, {"sec_answer", QString::fromLatin1(c.answer)}}));
    }

    // A head without text gives an empty message, also on success.
    env.server().addFault(
        fault("secanswer_request")
            .raw(QStringLiteral("<secanswer><head><errorcode>0</errorcode></head><content/></secanswer>")));
    QString message = QStringLiteral("unchanged");
    EXPECT_TRUE(net->secAnswerRequest(anna, QStringLiteral("Bello"), message));
    EXPECT_EQ(QString(), message);

    // No reply: the message stays.
    ETConfig::instance()->setServerURL(
        QStringLiteral("http://127.0.0.1:%1/xtci1.5/controller").arg(TransferTestEnvironment::closedPort()));
    message = QStringLiteral("unchanged");
    EXPECT_FALSE(net->secAnswerRequest(anna, QStringLiteral("Bello"), message));
    EXPECT_EQ(ETNetworkingError::NoConnection, net->errorCode());
    EXPECT_EQ(QStringLiteral("unchanged"), message);
}

struct CouponEntry {
    const char *type;
    const char *article;
    const char *price;
};

// Price in cents and article of the coupon for one kind; -1 when unset.
QPair<int, QString> couponPrice(const char *kind)
{
    const int payment = QLatin1String(kind) == QLatin1String("FM") ? 3 : 0;
    const ETPriceInfo &prices = ETCoupon::instance()->prices();
    return qMakePair(prices.rawPrice(SubmitNet, payment, 0), prices.transferId(SubmitNet, payment, 0));
}

void resetCoupon()
{
    ETCoupon *coupon = ETCoupon::instance();
    coupon->setCouponPrice(QStringLiteral("FM"), 0, QStringLiteral("0"));
    coupon->setCouponPrice(QStringLiteral("FC"), 0, QStringLiteral("0"));
    coupon->setCouponId(QStringLiteral("none"));
}

TEST_F(ETNetworkingAccountTest, CouponCheck)
{
    struct Case {
        const char *name;
        const char *code;
        QList<CouponEntry> entries;
        bool expired;
        bool loggedIn;
        bool result;
        int errorCode;
        QPair<int, QString> fm, fc;
        const char *id;
    } cases[] = {
        {"valid",
         "C1",
         {{"FM", "A1", "-5.00"}, {"FC", "A2", "-2.49"}},
         false,
         true,
         true,
         0,
         {-500, "A1"},
         {-249, "A2"},
         "C1"},
        {"whole prices stay whole",
         "C2",
         {{"FM", "A3", "10.00"}, {"FC", "A4", "10"}},
         false,
         true,
         true,
         0,
         {1000, "A3"},
         {1000, "A4"},
         "C2"},
        {"outlet kinds stand in",
         "C3",
         {{"OM", "A5", "1.5"}, {"OC", "A6", "0.285"}},
         false,
         true,
         true,
         0,
         {150, "A5"},
         {29, "A6"},
         "C3"},
        {"own kind wins",
         "C4",
         {{"OM", "A7", "-1"}, {"FM", "A8", "-2"}},
         false,
         true,
         true,
         0,
         {-200, "A8"},
         {0, "0"},
         "C4"},
        {"no prices", "C5", {{"XX", "A9", "-1"}}, false, true, true, 0, {0, "0"}, {0, "0"}, "C5"},
        {"invalid", "NOPE", {}, false, true, false, ETServerCode::CouponUsed, {0, "0"}, {0, "0"}, "none"},
        {"expired",
         "OLD",
         {{"FM", "A1", "-5.00"}},
         true,
         true,
         false,
         ETServerCode::CouponExpired,
         {0, "0"},
         {0, "0"},
         "none"},
        {"not logged in",
         "C1",
         {},
         false,
         false,
         false,
         ETServerCode::CouponNeedsLogin,
         {0, "0"},
         {0, "0"},
         "none"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString code = QString::fromLatin1(c.code);
        for (const CouponEntry &e : c.entries)
            env.server().addCoupon(code, QString::fromLatin1(e.type), QString::fromLatin1(e.article),
                                   QString::fromLatin1(e.price));
        if (c.expired)
            env.server().expireCoupon(code);
        ASSERT_TRUE(net->endSession(QStringLiteral("normal")));
        ASSERT_TRUE(net->startSession());
        session = ETConfig::instance()->sessionID();
        if (c.loggedIn) {
            ASSERT_TRUE(net->loginRequest(anna, QStringLiteral("geheim")));
        }
        env.server().clearRequests();
        resetCoupon();

        EXPECT_EQ(c.result, net->couponCheckRequest(code));
        EXPECT_EQ(c.errorCode, net->errorCode());
        EXPECT_EQ(c.fm, couponPrice("FM"));
        EXPECT_EQ(c.fc, couponPrice("FC"));
        EXPECT_EQ(QString::fromLatin1(c.id), ETCoupon::instance()->couponId());
        EXPECT_TRUE(sent(QStringLiteral("couponcheck_request"), {{"couponid", code}}));
    }
}

} // namespace
