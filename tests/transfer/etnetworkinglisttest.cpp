#include "etconfig.h"
#include "etcountrylist.h"
#include "etcreditcardlist.h"
#include "etfileutils.h"
#include "etnetworking.h"
#include "etnetworkingerror.h"
#include "etproductlist.h"
#include "etservercode.h"
#include "etstore.h"
#include "etstorelist.h"
#include "ettransferlist.h"
#include "paymenttype.h"
#include "requestcheck.h"
#include "submitmethod.h"
#include "transfertestenvironment.h"

#include "filesizelimit.h"
#include "messagecapture.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>

namespace
{

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

struct ListCase {
    const char *name;
    bool (ETNetworking::*refresh)();
    const char *list;    // the double's list and the reply's root
    const char *request; // request name
    const char *file;
    const char *entry;
    const char *firstChild;
    int code;
    const char *oldEntry; // in the file before the refresh
    const char *newEntry; // what the server now sends; holds a name beyond ASCII
    // What the list shows of the probe name after reading: empty when it does not know it.
    std::function<QString(const QString &)> probe;
    const char *oldName;
    const char *newName;
    const char *newValue;
};

const QList<ListCase> &listCases()
{
    static const QList<ListCase> cases = {
        {"products", &ETNetworking::updateProductList, "articlelist", "articlelist_request",
         "productlist.xml", "article", "artid", ETNetworkingError::ProductListInvalid,
         "<article transfer_type=\"FM\"><artid>P-ALT</artid><name>Alt 9x13</name><price>0,09</price>"
         "<discount_level>0</discount_level></article>",
         "<article transfer_type=\"FM\"><artid>P-GROSS</artid><name>Großformat "
         "20×30</name><price>1,99</price>"
         "<discount_level>0</discount_level></article>",
         [](const QString &name) {
             const ETProduct *product = ETProductList::instance()->product(name);
             return product ? QString::number(product->prices().rawPrice(SubmitNet, PaymentBill, 0))
                            : QString();
         },
         "Alt 9x13", "Großformat 20×30", "199"},
        {"transfer prices", &ETNetworking::updateDiscountInfo, "transferlist", "transferlist_request",
         "transferlist.xml", "transfer", "id", ETNetworkingError::TransferListInvalid,
         "<transfer type=\"FC\" discount=\"0\"><id>T-ALT</id><price>1,00</price></transfer>",
         "<transfer type=\"FM\" discount=\"0\"><id>T-Übertragung</id><price>2,50</price></transfer>",
         [](const QString &name) {
             // Names are the transfer ids of FC and FM at tier 0.
             const ETPriceInfo &prices = ETTransferList::instance()->prices();
             for (int payment : {0, 3})
                 if (prices.transferId(SubmitNet, payment, 0) == name)
                     return QString::number(prices.rawPrice(SubmitNet, payment, 0));
             return QString();
         },
         "T-ALT", "T-Übertragung", "250"},
        {"countries", &ETNetworking::updateCountryList, "countrylist", "countrylist_request",
         "countrylist.xml", "country", "name", ETNetworkingError::CountryListInvalid,
         "<country><name>Altland</name><iso_code>XA</iso_code></country>",
         "<country><name>Österreich</name><iso_code>AT</iso_code></country>",
         [](const QString &name) { return ETCountryList::instance()->isoCode(name); }, "Altland",
         "Österreich", "AT"},
        {"credit cards", &ETNetworking::updateCreditCardList, "creditcards", "creditcards_request",
         "creditcards.xml", "cc", "brand", ETNetworkingError::CreditCardListInvalid,
         "<cc><brand>OLD</brand><display_string>Alte Karte</display_string></cc>",
         "<cc><brand>DINERS</brand><display_string>Diners Clüb</display_string></cc>",
         [](const QString &name) {
             return ETCreditCardList::instance()->displayTexts().contains(name)
                        ? ETCreditCardList::instance()->brand(name)
                        : QString();
         },
         "Alte Karte", "Diners Clüb", "DINERS"},
    };
    return cases;
}

QString oldValue(const ListCase &c)
{
    return QString::fromLatin1(c.list) == QLatin1String("articlelist")    ? QStringLiteral("9")
           : QString::fromLatin1(c.list) == QLatin1String("transferlist") ? QStringLiteral("100")
           : QString::fromLatin1(c.list) == QLatin1String("countrylist")  ? QStringLiteral("XA")
                                                                          : QStringLiteral("OLD");
}

void PrintTo(const ListCase &c, std::ostream *os)
{
    *os << c.name;
}

using ListParam = std::tuple<ListCase, const char *>;

class ETNetworkingListTest : public ::testing::TestWithParam<ListParam>
{
  protected:
    ETNetworkingListTest() : env(options()) {}
    static TransferTestEnvironment::Options options()
    {
        TransferTestEnvironment::Options o;
        o.protocol = QString::fromLatin1(std::get<1>(GetParam()));
        return o;
    }
    const ListCase &list() const { return std::get<0>(GetParam()); }
    QString path() const { return resourcePath(QString::fromLatin1(list().file)); }
    void SetUp() override
    {
        // The shipped list the client starts with, read by its list.
        oldFile = QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<content>\n") + list().oldEntry +
                  "\n</content>\n";
        ASSERT_TRUE(writeFile(path(), oldFile));
        ASSERT_EQ(oldValue(list()), list().probe(QString::fromLatin1(list().oldName)));
        ASSERT_TRUE(net->startSession()) << net->errorMessage().toStdString();
        env.server().clearRequests();
    }
    bool refresh() { return (net->*list().refresh)(); }
    ::testing::AssertionResult keptTheOldList()
    {
        if (readFile(path()) != oldFile)
            return ::testing::AssertionFailure() << "file now holds " << readFile(path()).toStdString();
        const QString shown = list().probe(QString::fromLatin1(list().oldName));
        if (shown != oldValue(list()))
            return ::testing::AssertionFailure() << "list shows " << shown.toStdString();
        if (!list().probe(QString::fromUtf8(list().newName)).isEmpty())
            return ::testing::AssertionFailure() << "list knows the new entry";
        return ::testing::AssertionSuccess();
    }

    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
    QByteArray oldFile;
};

TEST_P(ETNetworkingListTest, RefreshWritesTheFileInItsEncodingAndTheListReadsIt)
{
    env.server().setListContent(QString::fromLatin1(list().list), QString::fromUtf8(list().newEntry));
    MessageCapture lines;
    ASSERT_TRUE(refresh()) << net->errorMessage().toStdString();
    EXPECT_FALSE(net->hasError());
    EXPECT_TRUE(lines.has(QStringLiteral("***** writing XML file ") + QString::fromLatin1(list().file)))
        << lines.all().toStdString();

    ETOrderServerRequest request;
    ASSERT_TRUE(onlyRequest(env.server(), QString::fromLatin1(list().request), request));
    EXPECT_TRUE(childrenAre(request.xml.documentElement(), {{"ocsid", ETConfig::instance()->sessionID()}}));

    // Older protocols answer in Latin-1, newer ones in UTF-8; the file keeps the reply's declaration.
    const bool latin1 = ETNetworking::protocolVersion() < 16;
    const QString declaration = latin1 ? QStringLiteral("version='1.0' encoding='ISO-8859-1'")
                                       : QStringLiteral("version='1.0' encoding='UTF-8'");
    EXPECT_TRUE(lines.has(QStringLiteral("XML processing instruction: target={xml} data={") + declaration +
                          QLatin1Char('}')))
        << lines.all().toStdString();
    const QByteArray written = readFile(path());
    const QByteArray firstLine = "<?xml " + declaration.toLatin1() + " ?>\n";
    EXPECT_TRUE(written.startsWith(firstLine)) << written.toStdString();
    const QString name = QString::fromUtf8(list().newName);
    const QByteArray encodedName = latin1 ? name.toLatin1() : name.toUtf8();
    EXPECT_TRUE(written.contains(encodedName)) << written.toStdString();

    QDomDocument document;
    ASSERT_TRUE(document.setContent(written));
    EXPECT_EQ(QStringLiteral("content"), document.documentElement().tagName());
    const QDomElement entry = document.documentElement().firstChildElement();
    EXPECT_EQ(QString::fromLatin1(list().entry), entry.tagName());
    EXPECT_EQ(QString::fromLatin1(list().firstChild), entry.firstChildElement().tagName());

    // The list now shows the new entry.
    EXPECT_EQ(QString::fromLatin1(list().newValue), list().probe(name));
}

TEST_P(ETNetworkingListTest, MalformedReplyGivesItsCodeAndKeepsTheOldList)
{
    const QString entry = QString::fromLatin1(list().entry);
    const QString first = QString::fromLatin1(list().firstChild);
    const QString malformed[] = {
        // The entry begins with another element.
        QStringLiteral("<%1><other>x</other><%2>y</%2></%1>").arg(entry, first),
        // The entry is empty.
        QStringLiteral("<%1/>").arg(entry),
        // There is no entry at all.
        QStringLiteral("<something><%1>y</%1></something>").arg(first),
    };
    for (const QString &content : malformed) {
        SCOPED_TRACE(content.toStdString());
        env.server().setListContent(QString::fromLatin1(list().list), content);
        MessageCapture lines;
        EXPECT_FALSE(refresh());
        EXPECT_EQ(list().code, net->errorCode());
        EXPECT_TRUE(net->hasError());
        EXPECT_TRUE(lines.has(QStringLiteral("checkXML(%1, %2) FAILED").arg(entry, first)))
            << lines.all().toStdString();
        EXPECT_TRUE(keptTheOldList());
    }
}

TEST_P(ETNetworkingListTest, ServerErrorOrNoReplyKeepsTheOldList)
{
    env.server().addFault(fault(QString::fromLatin1(list().request)).code(ETServerCode::SessionUnknown));
    EXPECT_FALSE(refresh());
    EXPECT_EQ(ETServerCode::SessionUnknown, net->errorCode());
    EXPECT_TRUE(keptTheOldList());

    ETConfig::instance()->setServerURL(
        QStringLiteral("http://127.0.0.1:%1/xtci1.5/controller").arg(TransferTestEnvironment::closedPort()));
    EXPECT_FALSE(refresh());
    EXPECT_EQ(ETNetworkingError::NoConnection, net->errorCode());
    EXPECT_TRUE(keptTheOldList());
}

TEST_P(ETNetworkingListTest, FailedWriteGives2000AndKeepsTheOldList)
{
    env.server().setListContent(QString::fromLatin1(list().list), QString::fromUtf8(list().newEntry));
    bool result = false;
    {
        // Files may not grow beyond a few bytes while the list is written.
        const FileSizeLimit small(16);
        ASSERT_TRUE(small.active());
        result = refresh();
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(ETNetworkingError::ListNotWritten, net->errorCode());
    EXPECT_TRUE(keptTheOldList());
    // No temporary file is left behind.
    EXPECT_EQ(
        QStringList({QString::fromLatin1(list().file)}),
        QDir(env.resources())
            .entryList({QString::fromLatin1(list().file) + QLatin1Char('*')}, QDir::Files | QDir::Hidden));
}

INSTANTIATE_TEST_SUITE_P(Lists, ETNetworkingListTest,
                         ::testing::Combine(::testing::ValuesIn(listCases()),
                                            ::testing::Values("1.5", "1.6")),
                         [](const ::testing::TestParamInfo<ListParam> &info) {
                             std::string name = std::get<0>(info.param).name;
                             for (char &c : name)
                                 if (c == ' ')
                                     c = '_';
                             std::string protocol = std::get<1>(info.param);
                             protocol.replace(protocol.find('.'), 1, "_");
                             return name + "_protocol_" + protocol;
                         });

// ---- replies of unusual shape -------------------------------------------------------------------

class ETNetworkingListReplyTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(net->startSession()) << net->errorMessage().toStdString(); }
    void answer(const QString &request, const QByteArray &body)
    {
        env.server().addFault(fault(request).raw(QString::fromUtf8(body)));
    }

    TransferTestEnvironment env;
    ETNetworking *net = ETNetworking::instance();
};

TEST_F(ETNetworkingListReplyTest, ReplyUnderAnotherRootIsNotDescendedInto)
{
    const QByteArray old = "<content><article><artid>P1</artid></article></content>\n";
    ASSERT_TRUE(writeFile(resourcePath(QStringLiteral("productlist.xml")), old));
    answer(QStringLiteral("articlelist_request"),
           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<reply><head><errorcode>0</errorcode></head>"
           "<content><article><artid>P2</artid></article></content></reply>");
    EXPECT_FALSE(net->updateProductList());
    EXPECT_EQ(ETNetworkingError::ProductListInvalid, net->errorCode());
    EXPECT_EQ(old, readFile(resourcePath(QStringLiteral("productlist.xml"))));
}

TEST_F(ETNetworkingListReplyTest, ReplyWithoutDeclarationGivesAFileWithout)
{
    answer(QStringLiteral("countrylist_request"),
           "<countrylist><head><errorcode>0</errorcode></head>"
           "<content><country><name>Polen</name><iso_code>PL</iso_code></country></content></countrylist>");
    ASSERT_TRUE(net->updateCountryList()) << net->errorMessage().toStdString();
    const QByteArray written = readFile(resourcePath(QStringLiteral("countrylist.xml")));
    EXPECT_FALSE(written.contains("<?xml")) << written.toStdString();
    QDomDocument document;
    ASSERT_TRUE(document.setContent(written));
    EXPECT_EQ(QStringLiteral("content"), document.documentElement().tagName());
    EXPECT_EQ(QStringLiteral("PL"), ETCountryList::instance()->isoCode(QStringLiteral("Polen")));
}

TEST_F(ETNetworkingListReplyTest, CharactersBeyondTheDeclaredEncodingSurviveAsReferences)
{
    // Łódź in a reply that declares Latin-1: "Ł" and "ź" do not fit in it.
    answer(
        QStringLiteral("countrylist_request"),
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<countrylist><head><errorcode>0</errorcode></head>"
        "<content><country><name>&#321;&#243;d&#378; &#128247;</name><iso_code>PL</iso_code></country>"
        "</content></countrylist>");
    ASSERT_TRUE(net->updateCountryList()) << net->errorMessage().toStdString();
    const QByteArray written = readFile(resourcePath(QStringLiteral("countrylist.xml")));
    EXPECT_TRUE(written.startsWith("<?xml version='1.0' encoding='ISO-8859-1' ?>\n"))
        << written.toStdString();
    EXPECT_TRUE(written.contains("&#321;\xf3"
                                 "d&#378; &#128247;"))
        << written.toStdString();
    const QString name = QStringLiteral("Łódź ") + QString::fromUcs4(U"\U0001F4F7");
    EXPECT_EQ(QStringLiteral("PL"), ETCountryList::instance()->isoCode(name));
}

TEST_F(ETNetworkingListReplyTest, RefreshesAreSlots)
{
    const int before = env.server().requests(QStringLiteral("creditcards_request")).size();
    env.server().setListContent(
        QStringLiteral("creditcards"),
        QStringLiteral("<cc><brand>VISA</brand><display_string>Visa</display_string></cc>"));
    EXPECT_TRUE(QMetaObject::invokeMethod(net, "updateCreditCardList", Qt::DirectConnection));
    EXPECT_EQ(before + 1, env.server().requests(QStringLiteral("creditcards_request")).size());
    EXPECT_EQ(QStringLiteral("VISA"), ETCreditCardList::instance()->brand(QStringLiteral("Visa")));
}

// ---- store search -------------------------------------------------------------------------------

class ETNetworkingStoreTest : public ETNetworkingListReplyTest
{
  protected:
    void SetUp() override
    {
        ETNetworkingListReplyTest::SetUp();
        env.server().addStore(7, QStringLiteral("Foto Mitte"), QStringLiteral("Hauptstraße 5"),
                              QStringLiteral("10115"), QStringLiteral("Berlin"));
        env.server().addStore(8, QStringLiteral("Foto Süd"), QStringLiteral("Ring 1"),
                              QStringLiteral("10117"), QStringLiteral("Berlin"));
        env.server().addStore(9, QStringLiteral("Bild & Rahmen"), QStringLiteral("Markt 2"),
                              QStringLiteral("80331"), QStringLiteral("München"));
        env.server().clearRequests();
    }
    static QStringList stores(const ETStoreList *list)
    {
        QStringList result;
        for (const ETStore *s : list->stores())
            result << QStringLiteral("%1|%2|%3|%4|%5")
                          .arg(s->locId())
                          .arg(s->name(), s->street(), s->zip(), s->city());
        return result;
    }
};

TEST_F(ETNetworkingStoreTest, SearchByPostalCodeAndByTown)
{
    const QString session = ETConfig::instance()->sessionID();
    struct Case {
        bool byZip;
        const char *text;
        QStringList found;
    } cases[] = {
        {true, "101", {"7|Foto Mitte|Hauptstraße 5|10115|Berlin", "8|Foto Süd|Ring 1|10117|Berlin"}},
        {true, "80331", {"9|Bild & Rahmen|Markt 2|80331|München"}},
        {false, "München", {"9|Bild & Rahmen|Markt 2|80331|München"}},
        {false, "berlin", {"7|Foto Mitte|Hauptstraße 5|10115|Berlin", "8|Foto Süd|Ring 1|10117|Berlin"}},
        {true, "99999", {}},
        {false, "Hamburg", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        env.server().clearRequests();
        const QString text = QString::fromUtf8(c.text);
        ETStoreList *list =
            c.byZip ? net->locationListRequestByZip(text) : net->locationListRequestByCity(text);
        ASSERT_EQ(ETStore::storeList(), list);
        EXPECT_FALSE(net->hasError());
        EXPECT_EQ(c.found, stores(list));
        ETOrderServerRequest request;
        ASSERT_TRUE(onlyRequest(env.server(), QStringLiteral("locationlist_request"), request));
        EXPECT_TRUE(childrenAre(request.xml.documentElement(),
                                {{"ocsid", session}, {c.byZip ? "zip" : "city", text}}));
    }
}

TEST_F(ETNetworkingStoreTest, FailuresLeaveTheListEmpty)
{
    ASSERT_EQ(2, net->locationListRequestByCity(QStringLiteral("Berlin"))->count());
    env.server().addFault(fault("locationlist_request").code(ETServerCode::SessionUnknown));
    ETStoreList *list = net->locationListRequestByCity(QStringLiteral("Berlin"));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(0, list->count());
    EXPECT_EQ(ETServerCode::SessionUnknown, net->errorCode());

    ASSERT_EQ(2, net->locationListRequestByCity(QStringLiteral("Berlin"))->count());
    ETConfig::instance()->setServerURL(
        QStringLiteral("http://127.0.0.1:%1/xtci1.5/controller").arg(TransferTestEnvironment::closedPort()));
    EXPECT_EQ(nullptr, net->locationListRequestByZip(QStringLiteral("101")));
    EXPECT_EQ(ETNetworkingError::NoConnection, net->errorCode());
    EXPECT_EQ(0, ETStore::storeList()->count());
}

TEST_F(ETNetworkingStoreTest, OddEntriesAreTakenAsTheyCome)
{
    answer(QStringLiteral("locationlist_request"),
           "<locationlist><head><errorcode>0</errorcode></head><content>"
           "<location><loc_id>x12</loc_id><name>Ohne Nummer</name></location>"
           "<anything><loc_id>0042</loc_id><zip>12345</zip></anything>"
           "</content></locationlist>");
    const ETStoreList *list = net->locationListRequestByZip(QStringLiteral("1"));
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(QStringList({"0|Ohne Nummer|||", "42|||12345|"}), stores(list));
}

} // namespace
