#include "etcustomer.h"
#include "etorderxmlbuilder.h"
#include "requestcheck.h"
#include "transfertestenvironment.h"

#include <gtest/gtest.h>

#include <QDomDocument>

namespace
{

TEST(ETOrderXMLBuilderWireNames, FieldKeysTravelUnderTheirWireNames)
{
    const struct {
        const char *key;
        const char *wire;
    } cases[] = {
        {"password", "pwd"},
        {"securityQ", "sec_question"},
        {"securityA", "sec_answer"},
        {"cardowner", "cc_holder"},
        {"cardnumber", "cc_number"},
        {"account", "debit_account_number"},
        {"accountowner", "debit_holder"},
        {"bankleitzahl", "debit_bankcode"},
        {"bankname", "debit_bankname"},
        {"cardvalidationcode", "cc_validation_code"},
        // Every other key is its own name, and the lookup is exact.
        {"email", "email"},
        {"lastname", "lastname"},
        {"Password", "Password"},
        {"securityq", "securityq"},
        {"", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(QString::fromLatin1(c.wire), ETOrderXMLBuilder::wireFieldName(QString::fromLatin1(c.key)));
    }
}

class ETOrderXMLBuilderCustomerTest : public ::testing::Test
{
  protected:
    TransferTestEnvironment env;
    ETOrderXMLBuilder builder;
};

TEST_F(ETOrderXMLBuilderCustomerTest, UnknownCountryGivesAnEmptyIsoCode)
{
    ETCustomer customer;
    customer.setValue(QStringLiteral("country"), QStringLiteral("Atlantis"));
    QDomDocument document;
    ASSERT_TRUE(document.setContent(builder.buildUserChangeRequest(&customer)));
    const QDomElement country = document.documentElement().firstChildElement(QStringLiteral("country"));
    EXPECT_EQ(QStringLiteral("Atlantis"), country.text());
    const QDomElement iso = country.nextSiblingElement();
    EXPECT_EQ(QStringLiteral("iso_country"), iso.tagName());
    EXPECT_EQ(QString(), iso.text());
}

TEST_F(ETOrderXMLBuilderCustomerTest, EmptyRecordGivesEmptyElements)
{
    ETCustomer customer;
    QDomDocument document;
    ASSERT_TRUE(document.setContent(builder.buildDebitUpdateRequest(&customer)));
    EXPECT_TRUE(childrenAre(document.documentElement().firstChildElement(QStringLiteral("debit_info")),
                            {{"debit_holder", ""},
                             {"debit_bankname", ""},
                             {"debit_bankcode", ""},
                             {"debit_account_number", ""}}));
}

TEST_F(ETOrderXMLBuilderCustomerTest, UserAddDocumentTakesItsRootFromTheCaller)
{
    ETCustomer customer;
    fillCustomer(customer);
    const QDomDocument document = builder.buildUserAddRequest2(QStringLiteral("any_request"), &customer);
    const QDomElement root = document.documentElement();
    EXPECT_EQ(QStringLiteral("any_request"), root.tagName());
    EXPECT_EQ(QStringLiteral("ocsid"), root.firstChildElement().tagName());
    // Only a registration carries the e-mail address.
    EXPECT_TRUE(root.firstChildElement(QStringLiteral("email")).isNull());
    EXPECT_EQ(sample(QStringLiteral("password")), root.firstChildElement(QStringLiteral("pwd")).text());
}

} // namespace
