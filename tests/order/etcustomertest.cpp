#include "etcustomer.h"
#include "etconfig.h"
#include "etcustomerconfig.h"
#include "etcustomerdescription.h"

#include "resourcefolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

TEST(ETCustomerDescriptionTest, GroupsAndLabels)
{
    EXPECT_EQ(ETCustomerDescription::fieldNames().size(), 17);
    EXPECT_EQ(ETCustomerDescription::bankFields().size(), 4);
    EXPECT_EQ(ETCustomerDescription::cardFields().size(), 5);
    const QStringList all = ETCustomerDescription::allFields();
    ASSERT_EQ(all.size(), 26);
    EXPECT_EQ(all.first(), QStringLiteral("email"));
    EXPECT_EQ(all[2], QStringLiteral("securityQ"));
    EXPECT_EQ(all[17], QStringLiteral("account"));
    EXPECT_EQ(all.last(), QStringLiteral("cardvalidationcode"));

    ETCustomerDescription description;
    struct Case {
        const char *key;
        const char *label; // nullptr: no label
    };
    const Case cases[] = {{"email", "E-Mail-Adresse"}, {"passwordCheck", "Passwort bestätigen"},
                          {"passwordcheck", nullptr},  {"fax", "Fax"},
                          {"city_part", "Stadteil"},   {"nosuchkey", nullptr}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        const QString label = description.label(QString::fromLatin1(c.key));
        if (c.label) {
            EXPECT_EQ(label, QString::fromUtf8(c.label));
        } else {
            EXPECT_TRUE(label.isNull());
        }
    }
}

TEST(ETCustomerConfigTest, MustFieldsAndPrimaryCountry)
{
    ResourceFolder resources;
    resources.write(QStringLiteral("customer.xml"),
                    "<config><customer><mustfield>email</mustfield><other>x</other><mustfield>zip</mustfield>"
                    "<mustfield>nokey</mustfield></customer><countries primaryCountry=\"DE\"/></config>");
    const ETCustomerConfig config;
    EXPECT_EQ(config.mustFields(),
              QStringList({QStringLiteral("email"), QStringLiteral("zip"), QStringLiteral("nokey")}));
    EXPECT_EQ(config.primaryCountry(), QStringLiteral("DE"));

    resources.write(QStringLiteral("other.xml"), "<config><countries/></config>");
    const ETCustomerConfig bare(QStringLiteral("other.xml"));
    EXPECT_TRUE(bare.mustFields().isEmpty());
    EXPECT_TRUE(bare.primaryCountry().isNull());
}

TEST(ETCustomerTest, KeysAreCaseInsensitive)
{
    ResourceFolder resources;
    ETCustomer customer;
    for (const QString &key : ETCustomerDescription::allFields())
        EXPECT_TRUE(customer.value(key).isEmpty()) << key.toStdString();
    customer.setValue(QStringLiteral("EMAIL"), QStringLiteral("a@b.de"));
    EXPECT_EQ(customer.value(QStringLiteral("email")), QStringLiteral("a@b.de"));
    EXPECT_EQ(customer.value(QStringLiteral("eMail")), QStringLiteral("a@b.de"));
    customer.setValue(QStringLiteral("securityQ"), QStringLiteral("Name?"));
    EXPECT_EQ(customer.value(QStringLiteral("securityQ")), QStringLiteral("Name?"));
    EXPECT_EQ(customer.value(QStringLiteral("securityq")), QStringLiteral("Name?"));
    customer.setValue(QStringLiteral("fax"), QStringLiteral("123"));
    EXPECT_EQ(customer.value(QStringLiteral("FAX")), QStringLiteral("123"));
    customer.clear();
    EXPECT_TRUE(customer.value(QStringLiteral("securityQ")).isEmpty())
        << "clear reaches the one securityQ entry";
    EXPECT_TRUE(customer.value(QStringLiteral("email")).isEmpty());
    EXPECT_EQ(customer.value(QStringLiteral("fax")), QStringLiteral("123")) << "keys outside the groups stay";
    EXPECT_TRUE(customer.value(QStringLiteral("unknown")).isEmpty());
}

TEST(ETCustomerTest, SaveAndLoadRoundTrip)
{
    ResourceFolder resources;
    {
        ETCustomer customer;
        int n = 0;
        for (const QString &key : ETCustomerDescription::allFields())
            customer.setValue(key, key + QStringLiteral(" value ") + QString::number(n++));
        customer.setValue(QStringLiteral("fax"), QStringLiteral("not saved"));
        customer.save();
    }
    const QFileInfo file(ETConfig::instance()->settingsFileName());
    ASSERT_TRUE(file.exists());
    EXPECT_EQ(file.permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions())
        << "personal data only for its owner";
    ETCustomer loaded;
    loaded.load();
    int n = 0;
    for (const QString &key : ETCustomerDescription::allFields()) {
        SCOPED_TRACE(key.toStdString());
        const QString saved = key + QStringLiteral(" value ") + QString::number(n++);
        EXPECT_EQ(loaded.value(key), key == QLatin1String("cardvalidationcode") ? QString() : saved);
    }
    EXPECT_TRUE(loaded.value(QStringLiteral("fax")).isEmpty());
    EXPECT_EQ(loaded.value(QStringLiteral("securityA")), QStringLiteral("securityA value 3"));
}

TEST(ETCustomerTest, EmptiedFieldIsStoredEmpty)
{
    ResourceFolder resources;
    ETCustomer customer;
    customer.setValue(QStringLiteral("city"), QStringLiteral("Berlin"));
    customer.setValue(QStringLiteral("zip"), QStringLiteral("10115"));
    customer.save();
    customer.setValue(QStringLiteral("city"), QString());
    customer.save();
    ETCustomer other;
    other.load();
    EXPECT_TRUE(other.value(QStringLiteral("city")).isEmpty()) << "the old entry must not come back";
    EXPECT_EQ(other.value(QStringLiteral("zip")), QStringLiteral("10115"));
}

TEST(ETCustomerTest, CardValidationCodeIsNeverKept)
{
    ResourceFolder resources;
    // One an older version stored goes at the next save, and is not read before.
    ETConfig::instance()->writeEntry(QStringLiteral("customer_data/cardvalidationcode"),
                                     QStringLiteral("4711"));
    ETCustomer customer;
    customer.load();
    EXPECT_TRUE(customer.value(QStringLiteral("cardvalidationcode")).isEmpty());
    customer.setValue(QStringLiteral("cardnumber"), QStringLiteral("4111111111111111"));
    customer.setValue(QStringLiteral("cardValidationCode"), QStringLiteral("737"));
    customer.save();
    EXPECT_EQ(customer.value(QStringLiteral("cardvalidationcode")), QStringLiteral("737"))
        << "the order still has it";

    QFile file(ETConfig::instance()->settingsFileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_TRUE(stored.contains("4111111111111111")) << stored.toStdString();
    EXPECT_FALSE(stored.contains("737")) << stored.toStdString();
    EXPECT_FALSE(stored.contains("4711")) << stored.toStdString();
    EXPECT_FALSE(stored.toLower().contains("cardvalidationcode")) << stored.toStdString();
}

TEST(ETCustomerTest, AddressRichText)
{
    ResourceFolder resources;
    ETCustomer customer;
    EXPECT_EQ(customer.addressRichText(), QStringLiteral("  <br><br> <br>"));
    customer.setValue(QStringLiteral("salutation"), QStringLiteral("Herr"));
    customer.setValue(QStringLiteral("firstname"), QStringLiteral("Max <b>"));
    customer.setValue(QStringLiteral("lastname"), QStringLiteral("Müller & Söhne"));
    customer.setValue(QStringLiteral("street"), QStringLiteral("Weg 1"));
    customer.setValue(QStringLiteral("zip"), QStringLiteral("12345"));
    customer.setValue(QStringLiteral("city"), QStringLiteral("Ort"));
    EXPECT_EQ(customer.addressRichText(),
              QStringLiteral("Herr Max &lt;b&gt; Müller &amp; Söhne<br>Weg 1<br>12345 Ort<br>"));
}

TEST(ETCustomerTest, LabelsAndMustFields)
{
    ResourceFolder resources;
    resources.write(
        QStringLiteral("customer.xml"),
        "<config><customer><mustfield>email</mustfield><mustfield>securityQ</mustfield></customer></config>");
    ETCustomer customer;
    EXPECT_EQ(ETCustomer::fieldLabel(QStringLiteral("zip")), QStringLiteral("Postleitzahl"));
    EXPECT_EQ(ETCustomer::fieldLabel(QStringLiteral("passwordcheck")), QStringLiteral("passwordcheck"));
    EXPECT_TRUE(ETCustomer::isMustField(QStringLiteral("email")));
    EXPECT_TRUE(ETCustomer::isMustField(QStringLiteral("securityQ")));
    EXPECT_FALSE(ETCustomer::isMustField(QStringLiteral("EMAIL")));
    EXPECT_FALSE(ETCustomer::isMustField(QStringLiteral("zip")));
}

TEST(ETCustomerTest, SalutationsByCountry)
{
    {
        ResourceFolder resources(7);
        EXPECT_EQ(ETCustomer::salutations(),
                  QStringList({QStringLiteral("Mr"), QStringLiteral("Mrs"), QStringLiteral("Miss"),
                               QStringLiteral("Ms"), QStringLiteral("Dr"), QStringLiteral("Prof"),
                               QStringLiteral("Rev"), QStringLiteral("Sir"), QStringLiteral("Lady")}));
    }
}

TEST(ETCustomerTest, SalutationsElsewhere)
{
    ResourceFolder resources(0);
    EXPECT_EQ(ETCustomer::salutations(),
              QStringList({QStringLiteral("Herr"), QStringLiteral("Frau"), QStringLiteral("Dr.")}));
}
