#include "etorderxmlbuilder.h"

#include "etconfig.h"
#include "transfertestenvironment.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <functional>

namespace
{

QDomDocument parse(const QString &text)
{
    QDomDocument document;
    document.setContent(text);
    return document;
}

QStringList childNames(const QDomDocument &document)
{
    QStringList names;
    for (QDomElement e = document.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement())
        names << e.tagName();
    return names;
}

::testing::AssertionResult isRequest(const QString &text, const QString &root, const QStringList &children,
                                     const QStringList &values)
{
    if (text.contains(QLatin1String("<?xml")) || text.contains(QLatin1String("<!DOCTYPE")))
        return ::testing::AssertionFailure() << "declaration or document type in " << text.toStdString();
    const QDomDocument document = parse(text);
    if (document.documentElement().tagName() != root)
        return ::testing::AssertionFailure() << "root " << document.documentElement().tagName().toStdString()
                                             << ", expected " << root.toStdString();
    if (childNames(document) != children)
        return ::testing::AssertionFailure() << "children " << childNames(document).join(',').toStdString()
                                             << ", expected " << children.join(',').toStdString();
    int i = 0;
    for (QDomElement e = document.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement(), ++i)
        if (e.text() != values.value(i))
            return ::testing::AssertionFailure()
                   << e.tagName().toStdString() << " holds \"" << e.text().toStdString() << "\", expected \""
                   << values.value(i).toStdString() << "\"";
    return ::testing::AssertionSuccess();
}

struct RequestCase {
    const char *name;
    std::function<QString(ETOrderXMLBuilder &)> build;
    QString root;
    QStringList children; // after ocsid when withSession
    QStringList values;
    bool withSession;
    QString attribute;
    QString attributeValue;
};

std::vector<RequestCase> requestCases()
{
    using B = ETOrderXMLBuilder;
    return {
        {"session",
         [](B &b) { return b.buildSessionRequest("1.7"); },
         "session_request",
         {"keyacc_id", "client_name", "client_version", "server_protocol"},
         {"KA42", "lumotest", "1.3.0", "1.7"},
         false,
         {},
         {}},
        {"xtci2",
         [](B &b) { return b.buildXtci2Request("1.4.4"); },
         "xtci2_request",
         {"client_name", "client_version", "server_protocol"},
         {"lumotest", "1.3.0", "1.4.4"},
         false,
         {},
         {}},
        {"version",
         [](B &b) { return b.buildVersionRequest(); },
         "version_request",
         {"client_name", "client_version", "keyacc_id", "os"},
         {"lumotest", "1.3.0", "KA42", "win32"},
         false,
         {},
         {}},
        {"login",
         [](B &b) { return b.buildLoginRequest("anna@example.com", "geheim"); },
         "login_request",
         {"login", "pwd"},
         {"anna@example.com", "geheim"},
         true,
         {},
         {}},
        {"login without password",
         [](B &b) { return b.buildLoginRequest("anna@example.com", ""); },
         "login_request",
         {"login", "pwd"},
         {"anna@example.com", ""},
         true,
         {},
         {}},
        {"security question",
         [](B &b) { return b.buildSecQuestionRequest("anna@example.com"); },
         "secquestion_request",
         {"login"},
         {"anna@example.com"},
         true,
         {},
         {}},
        {"security answer",
         [](B &b) { return b.buildSecAnswerRequest("anna@example.com", "Bello & Co"); },
         "secanswer_request",
         {"login", "sec_answer"},
         {"anna@example.com", "Bello & Co"},
         true,
         {},
         {}},
        {"coupon",
         [](B &b) { return b.buildCouponCheckRequest(" C-1 "); },
         "couponcheck_request",
         {"couponid"},
         {" C-1 "},
         true,
         {},
         {}},
        {"stores by zip",
         [](B &b) { return b.buildLocationListRequestByZip("10115"); },
         "locationlist_request",
         {"zip"},
         {"10115"},
         true,
         {},
         {}},
        {"stores by city",
         [](B &b) { return b.buildLocationListRequestByCity(QString::fromUtf8("München")); },
         "locationlist_request",
         {"city"},
         {QString::fromUtf8("München")},
         true,
         {},
         {}},
        {"config", [](B &b) { return b.buildConfigRequest(); }, "config_request", {}, {}, true, {}, {}},
        {"user info",
         [](B &b) { return b.buildUserInfoRequest(); },
         "userinfo_request",
         {},
         {},
         true,
         {},
         {}},
        {"countries",
         [](B &b) { return b.buildCountryListRequest(); },
         "countrylist_request",
         {},
         {},
         true,
         {},
         {}},
        {"articles",
         [](B &b) { return b.buildArticleListRequest(); },
         "articlelist_request",
         {},
         {},
         true,
         {},
         {}},
        {"transfers",
         [](B &b) { return b.buildTransferListRequest(); },
         "transferlist_request",
         {},
         {},
         true,
         {},
         {}},
        {"credit cards",
         [](B &b) { return b.buildCreditCardsRequest(); },
         "creditcards_request",
         {},
         {},
         true,
         {},
         {}},
        {"end session",
         [](B &b) { return b.buildEndSessionRequest("abort"); },
         "endsession_request",
         {},
         {},
         true,
         "mode",
         "abort"},
        {"order finish",
         [](B &b) { return b.buildOrderFinishRequest(); },
         "orderfinish_request",
         {},
         {},
         true,
         "mode",
         "normal"},
        {"upload start",
         [](B &b) { return b.buildUploadCtrlRequest("start"); },
         "uploadctrl_request",
         {},
         {},
         true,
         "action",
         "start"},
        {"card data",
         [](B &b) { return b.createSimpleRequest("creditcard_data_request"); },
         "creditcard_data_request",
         {},
         {},
         true,
         {},
         {}},
        {"bank data",
         [](B &b) { return b.createSimpleRequest("debit_data_request"); },
         "debit_data_request",
         {},
         {},
         true,
         {},
         {}},
    };
}

class ETOrderXMLBuilderTest : public ::testing::Test
{
  protected:
    void checkAll(const QString &session)
    {
        ETOrderXMLBuilder builder;
        for (const RequestCase &c : requestCases()) {
            SCOPED_TRACE(c.name);
            const QString text = c.build(builder);
            QStringList children = c.children;
            QStringList values = c.values;
            if (c.withSession) {
                children.prepend(QStringLiteral("ocsid"));
                values.prepend(session);
            }
            EXPECT_TRUE(isRequest(text, c.root, children, values));
            const QDomElement root = parse(text).documentElement();
            EXPECT_EQ(c.attribute.isEmpty() ? 0 : 1, root.attributes().count());
            EXPECT_EQ(c.attributeValue, root.attribute(c.attribute));
        }
    }

    TransferTestEnvironment env;
};

TEST_F(ETOrderXMLBuilderTest, WithoutSessionTheSessionElementIsEmpty)
{
    checkAll(QString());
}

TEST_F(ETOrderXMLBuilderTest, ValidSessionIsSent)
{
    const QString future =
        QDateTime::currentDateTime().addSecs(600).toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
    ETConfig::instance()->setSessionID(QStringLiteral("S-77"), future, false);
    checkAll(QStringLiteral("S-77"));
}

TEST_F(ETOrderXMLBuilderTest, ExpiredSessionIsNotSent)
{
    const QString past =
        QDateTime::currentDateTime().addSecs(-600).toString(QStringLiteral("yyyy-MM-ddThh:mm:ss"));
    ETConfig::instance()->setSessionID(QStringLiteral("S-77"), past, false);
    checkAll(QString());
}

TEST_F(ETOrderXMLBuilderTest, EndSessionModeAttribute)
{
    ETOrderXMLBuilder builder;
    EXPECT_FALSE(parse(builder.buildEndSessionRequest(QString())).documentElement().hasAttribute("mode"));
    const QDomElement empty = parse(builder.buildEndSessionRequest(QLatin1String(""))).documentElement();
    EXPECT_TRUE(empty.hasAttribute("mode"));
    EXPECT_EQ(QString(), empty.attribute("mode"));
}

TEST_F(ETOrderXMLBuilderTest, MarkupInValuesIsEscaped)
{
    ETOrderXMLBuilder builder;
    const QString text =
        builder.buildLoginRequest(QStringLiteral("a<b>@example.com"), QStringLiteral("x&y\"z"));
    EXPECT_TRUE(isRequest(text, QStringLiteral("login_request"), {"ocsid", "login", "pwd"},
                          {QString(), "a<b>@example.com", "x&y\"z"}));
}

} // namespace
