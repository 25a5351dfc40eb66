#include "etconfig.h"
#include "etcustomer.h"
#include "etfileutils.h"
#include "etnetworking.h"
#include "etservercode.h"
#include "requestcheck.h"
#include "transfertestenvironment.h"

#include <gtest/gtest.h>

#include <QFile>

namespace
{

const QString anna = QStringLiteral("anna@example.com");

// The registration document's fields at a protocol level, as sent.
Fields registration(int level, bool withEmail)
{
    Fields fields;
    for (const char *key : {"email", "password", "securityQ", "securityA", "salutation", "title", "firstname",
                            "lastname", "street", "zip", "city", "city_part", "country", "phone",
                            "cellularphone", "company_name", "state_province"}) {
        const QString k = QLatin1String(key);
        if (k == QLatin1String("email") && !withEmail)
            continue;
        if ((k == QLatin1String("title") || k == QLatin1String("city_part")) && level < 18)
            continue;
        if ((k == QLatin1String("company_name") || k == QLatin1String("state_province")) && level < 15)
            continue;
        fields << qMakePair(wire(k), sample(k));
        if (k == QLatin1String("country"))
            fields << qMakePair(QStringLiteral("iso_country"), QStringLiteral("AT"));
    }
    return fields;
}

class ETNetworkingCustomerTest : public ::testing::TestWithParam<const char *>
{
  protected:
    ETNetworkingCustomerTest() : env(options()) {}
    static TransferTestEnvironment::Options options()
    {
        TransferTestEnvironment::Options o;
        o.protocol = QString::fromLatin1(GetParam());
        return o;
    }
    void SetUp() override
    {
        // The country list that gives the ISO code of the registration.
        QFile countries(resourcePath(QStringLiteral("countrylist.xml")));
        ASSERT_TRUE(countries.open(QIODevice::WriteOnly));
        countries.write(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<content><country><name>\xc3\x96sterreich</name>"
            "<iso_code>AT</iso_code></country></content>\n");
        countries.close();
        ASSERT_TRUE(net->startSession()) << net->errorMessage().toStdString();
        session = ETConfig::instance()->sessionID();
    }
    int level() const { return ETNetworking::protocolVersion(); }
    Fields withSession(const Fields &fields) const
    {
        return Fields{{QStringLiteral("ocsid"), session}} + fields;
    }
    // The stored customer of the double, by wire name.
    QString stored(const QString &email, const QString &key)
    {
        return env.server().customer(email).value(wire(key));
    }

    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    QString session;
};

TEST_P(ETNetworkingCustomerTest, RegistrationSendsEveryFieldAndLogsIn)
{
    ETCustomer customer;
    fillCustomer(customer);
    ASSERT_TRUE(net->userAddRequest(&customer)) << net->errorMessage().toStdString();

    ETOrderServerRequest request;
    ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("useradd_request"), request));
    Fields expected = registration(level(), true);
    if (level() >= 16)
        expected << Fields{{"customer_card", ""}, {"fax", ""}, {"imei", ""}, {"favorite_loc_id", ""}};
    EXPECT_TRUE(childrenAre(request.xml.documentElement(), withSession(expected)));

    // The login follows at once with the new account.
    ETOrderServerRequest login;
    ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("login_request"), login));
    EXPECT_TRUE(childrenAre(login.xml.documentElement(),
                            withSession({{"login", sample("email")}, {"pwd", sample("password")}})));
    EXPECT_EQ(sample("lastname"), stored(sample("email"), QStringLiteral("lastname")));

    // A second registration of the address fails on the server: no login is tried.
    env.server().clearRequests();
    EXPECT_FALSE(net->userAddRequest(&customer));
    EXPECT_EQ(ETServerCode::AlreadyRegistered, net->errorCode());
    EXPECT_TRUE(env.server().requests(QStringLiteral("login_request")).isEmpty());
}

TEST_P(ETNetworkingCustomerTest, FailingLoginAfterRegistrationGivesTheLoginsError)
{
    ETCustomer customer;
    fillCustomer(customer);
    env.server().addFault(fault("login_request").code(ETServerCode::WrongLogin));
    EXPECT_FALSE(net->userAddRequest(&customer));
    EXPECT_EQ(ETServerCode::WrongLogin, net->errorCode());
    EXPECT_FALSE(env.server().customer(sample("email")).isEmpty());
}

TEST_P(ETNetworkingCustomerTest, AddressChangeFromTheRecord)
{
    env.server().addCustomer(anna, QStringLiteral("geheim"), QString(), QString());
    ASSERT_TRUE(net->loginRequest(anna, QStringLiteral("geheim")));
    ETCustomer customer;
    fillCustomer(customer);
    ASSERT_TRUE(net->userChangeRequest2(&customer)) << net->errorMessage().toStdString();

    ETOrderServerRequest request;
    ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("userchange_request"), request));
    // Never the e-mail address, never the registration's extra elements.
    EXPECT_TRUE(childrenAre(request.xml.documentElement(), withSession(registration(level(), false))));
    EXPECT_EQ(sample("street"), stored(anna, QStringLiteral("street")));
    EXPECT_EQ(anna, stored(anna, QStringLiteral("email")));
}

TEST_P(ETNetworkingCustomerTest, AccessDataChangeSendsWhatItsFlagsSay)
{
    env.server().addCustomer(anna, QStringLiteral("geheim"), QString(), QString());
    ASSERT_TRUE(net->loginRequest(anna, QStringLiteral("geheim")));
    struct Case {
        bool email, password, security;
        Fields fields;
    } cases[] = {
        {false, false, false, {}},
        {true, false, false, {{"email", "neu@example.com"}}},
        {false, true, false, {{"pwd", "neu&geheim"}}},
        {false, false, true, {{"sec_question", "Lieblingsfarbe?"}, {"sec_answer", "Grün"}}},
        {true,
         true,
         true,
         {{"email", "neu@example.com"},
          {"pwd", "neu&geheim"},
          {"sec_question", "Lieblingsfarbe?"},
          {"sec_answer", "Grün"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.email << c.password << c.security);
        env.server().clearRequests();
        EXPECT_TRUE(net->userChangeRequest(c.email, c.password, c.security, QStringLiteral("neu@example.com"),
                                           QStringLiteral("neu&geheim"), QStringLiteral("Lieblingsfarbe?"),
                                           QStringLiteral("Grün")));
        ETOrderServerRequest request;
        ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("userchange_request"), request));
        EXPECT_TRUE(childrenAre(request.xml.documentElement(), withSession(c.fields)));
    }
    EXPECT_EQ(QStringLiteral("Grün"), env.server().customer(anna).value(QStringLiteral("sec_answer")));
}

TEST_P(ETNetworkingCustomerTest, UserInfoFillsTheRecord)
{
    QMap<QString, QString> fields;
    for (const char *key : {"salutation", "firstname", "lastname", "street", "zip", "city", "country",
                            "phone", "cellularphone", "city_part", "company_name", "state_province"})
        fields[QLatin1String(key)] = sample(QLatin1String(key));
    // No title on the server.
    env.server().addCustomer(anna, QStringLiteral("geheim"), QStringLiteral("Farbe?"), QStringLiteral("Grün"),
                             fields);
    ASSERT_TRUE(net->loginRequest(anna, QStringLiteral("geheim")));
    ETCustomer customer;
    customer.setValue(QStringLiteral("title"), QStringLiteral("Prof."));
    customer.setValue(QStringLiteral("account"), QStringLiteral("kept"));
    ASSERT_TRUE(net->userInfoRequest(&customer)) << net->errorMessage().toStdString();

    for (const char *key : {"salutation", "firstname", "lastname", "street", "zip", "city", "country",
                            "phone", "cellularphone", "city_part", "company_name", "state_province"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(sample(QLatin1String(key)), customer.value(QLatin1String(key)));
    }
    EXPECT_EQ(anna, customer.value(QStringLiteral("email")));
    EXPECT_EQ(QStringLiteral("Farbe?"), customer.value(QStringLiteral("securityQ")));
    EXPECT_EQ(QStringLiteral("Grün"), customer.value(QStringLiteral("securityA")));
    EXPECT_EQ(QString(), customer.value(QStringLiteral("title")));
    EXPECT_EQ(QStringLiteral("kept"), customer.value(QStringLiteral("account")));
    ETOrderServerRequest request;
    ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("userinfo_request"), request));
    EXPECT_TRUE(childrenAre(request.xml.documentElement(), withSession({})));
}

TEST_P(ETNetworkingCustomerTest, BankDataUpdateAndRead)
{
    env.server().addCustomer(anna, QStringLiteral("geheim"), QString(), QString());
    ASSERT_TRUE(net->loginRequest(anna, QStringLiteral("geheim")));
    ETCustomer customer;
    fillCustomer(customer);
    ASSERT_TRUE(net->debitUpdateRequest(&customer)) << net->errorMessage().toStdString();
    ETOrderServerRequest update;
    ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("debit_update_request"), update));
    EXPECT_EQ(QStringList({"ocsid", "debit_info"}), update.childNames());
    EXPECT_TRUE(childrenAre(update.xml.documentElement().firstChildElement(QStringLiteral("debit_info")),
                            {{wire("accountowner"), sample("accountowner")},
                             {wire("bankname"), sample("bankname")},
                             {wire("bankleitzahl"), sample("bankleitzahl")},
                             {wire("account"), sample("account")}}));

    ETCustomer fresh;
    fresh.setValue(QStringLiteral("lastname"), QStringLiteral("kept"));
    ASSERT_TRUE(net->debitDataRequest(&fresh)) << net->errorMessage().toStdString();
    for (const char *key : {"account", "bankleitzahl", "bankname", "accountowner"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(sample(QLatin1String(key)), fresh.value(QLatin1String(key)));
    }
    EXPECT_EQ(QStringLiteral("kept"), fresh.value(QStringLiteral("lastname")));
    ETOrderServerRequest read;
    ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("debit_data_request"), read));
    EXPECT_TRUE(read.xml.documentElement().attributes().isEmpty());
    EXPECT_TRUE(childrenAre(read.xml.documentElement(), withSession({})));
}

TEST_P(ETNetworkingCustomerTest, BankFieldsAreReadFromAnyWrapperButNotFromTheContentItself)
{
    env.server().addCustomer(anna, QStringLiteral("geheim"), QString(), QString());
    ASSERT_TRUE(net->loginRequest(anna, QStringLiteral("geheim")));
    struct Case {
        const char *content;
        const char *account;
    } cases[] = {
        {"<konto><debit_account_number>42</debit_account_number></konto>", "42"},
        {"<debit_account_number>42</debit_account_number>", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.content);
        const QString reply = QStringLiteral("<debit_data><head><errorcode>0</errorcode><errortext/></head>"
                                             "<content>%1</content></debit_data>")
                                  .arg(QString::fromLatin1(c.content));
        env.server().addFault(fault("debit_data_request").raw(reply));
        ETCustomer customer;
        customer.setValue(QStringLiteral("account"), QStringLiteral("old"));
        EXPECT_TRUE(net->debitDataRequest(&customer));
        EXPECT_EQ(QString::fromLatin1(c.account), customer.value(QStringLiteral("account")));
    }
}

TEST_P(ETNetworkingCustomerTest, CardDataUpdateAndRead)
{
    env.server().addCustomer(anna, QStringLiteral("geheim"), QString(), QString());
    ASSERT_TRUE(net->loginRequest(anna, QStringLiteral("geheim")));
    ETCustomer customer;
    fillCustomer(customer);
    ASSERT_TRUE(net->creditCardUpdateRequest(&customer)) << net->errorMessage().toStdString();
    ETOrderServerRequest update;
    ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("creditcard_update_request"), update));
    EXPECT_EQ(QStringList({"ocsid", "cc_info"}), update.childNames());
    Fields card = {{wire("cardtype"), sample("cardtype")},
                   {wire("cardowner"), sample("cardowner")},
                   {wire("cardnumber"), sample("cardnumber")},
                   {"cc_valid_month", "03"},
                   {"cc_valid_year", "2007"}};
    if (level() >= 16)
        card << qMakePair(wire("cardvalidationcode"), sample("cardvalidationcode"));
    EXPECT_TRUE(childrenAre(update.xml.documentElement().firstChildElement(QStringLiteral("cc_info")), card));

    ETCustomer fresh;
    ASSERT_TRUE(net->creditCardDataRequest(&fresh)) << net->errorMessage().toStdString();
    for (const char *key : {"cardtype", "cardnumber", "validuntil", "cardowner"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(sample(QLatin1String(key)), fresh.value(QLatin1String(key)));
    }
    ETOrderServerRequest read;
    ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("creditcard_data_request"), read));
    EXPECT_TRUE(childrenAre(read.xml.documentElement(), withSession({})));

    // A validity without a slash goes whole into month and year; month and year come back joined.
    customer.setValue(QStringLiteral("validuntil"), QStringLiteral("0307"));
    env.server().clearRequests();
    ASSERT_TRUE(net->creditCardUpdateRequest(&customer));
    ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("creditcard_update_request"), update));
    const QDomElement info = update.xml.documentElement().firstChildElement(QStringLiteral("cc_info"));
    EXPECT_EQ(QStringLiteral("0307"), info.firstChildElement(QStringLiteral("cc_valid_month")).text());
    EXPECT_EQ(QStringLiteral("0307"), info.firstChildElement(QStringLiteral("cc_valid_year")).text());
    ASSERT_TRUE(net->creditCardDataRequest(&fresh));
    EXPECT_EQ(QStringLiteral("0307/0307"), fresh.value(QStringLiteral("validuntil")));
}

TEST_P(ETNetworkingCustomerTest, ErrorsLeaveTheRecordAlone)
{
    // Not logged in: the server refuses every customer request.
    ETCustomer customer;
    customer.setValue(QStringLiteral("lastname"), QStringLiteral("kept"));
    customer.setValue(QStringLiteral("account"), QStringLiteral("kept"));
    customer.setValue(QStringLiteral("cardnumber"), QStringLiteral("kept"));
    EXPECT_FALSE(net->userInfoRequest(&customer));
    EXPECT_EQ(ETServerCode::UnknownUser, net->errorCode());
    EXPECT_FALSE(net->debitDataRequest(&customer));
    EXPECT_FALSE(net->creditCardDataRequest(&customer));
    EXPECT_FALSE(net->userChangeRequest2(&customer));
    EXPECT_FALSE(net->debitUpdateRequest(&customer));
    EXPECT_FALSE(net->creditCardUpdateRequest(&customer));
    EXPECT_FALSE(net->userChangeRequest(true, false, false, anna, {}, {}, {}));
    EXPECT_EQ(ETServerCode::UnknownUser, net->errorCode());
    for (const char *key : {"lastname", "account", "cardnumber"})
        EXPECT_EQ(QStringLiteral("kept"), customer.value(QLatin1String(key)));
}

INSTANTIATE_TEST_SUITE_P(Levels, ETNetworkingCustomerTest, ::testing::Values("1.4", "1.6", "1.8"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             std::string name = info.param;
                             name.replace(name.find('.'), 1, "_");
                             return "protocol_" + name;
                         });

} // namespace
