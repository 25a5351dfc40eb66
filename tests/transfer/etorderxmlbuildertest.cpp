#include "etorderxmlbuilder.h"

#include "etconfig.h"
#include "etcoupon.h"
#include "etcustomer.h"
#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etstore.h"
#include "etstorelist.h"
#include "etuploadrun.h"
#include "paymenttype.h"
#include "transfertestenvironment.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>

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

// Text that XML cannot carry (here a word processor's line break, a NUL, U+FFFF, a
// control character in an attribute) is replaced: every request stays readable.
TEST_F(ETOrderXMLBuilderTest, TextXMLCannotCarryIsReplaced)
{
    ETOrderXMLBuilder builder;
    const QString r(QLatin1Char('_'));
    EXPECT_TRUE(isRequest(builder.buildLoginRequest(QStringLiteral("ada\v@example.com"),
                                                    QStringLiteral("x") + QChar(0) + QChar(0xffff)),
                          QStringLiteral("login_request"), {"ocsid", "login", "pwd"},
                          {QString(), QStringLiteral("ada") + r + QStringLiteral("@example.com"),
                           QStringLiteral("x") + r + r}));
    EXPECT_EQ(QStringLiteral("st") + r + QStringLiteral("art"),
              parse(builder.buildUploadCtrlRequest(QStringLiteral("st\x01"
                                                                  "art")))
                  .documentElement()
                  .attribute(QStringLiteral("action")));
    ETCustomer *customer = ETOrder::instance()->customer();
    customer->setValue(QStringLiteral("street"), QStringLiteral("Haupt\vstr. 1"));
    const QDomDocument change = parse(builder.buildUserChangeRequest(customer));
    EXPECT_EQ(QStringLiteral("Haupt") + r + QStringLiteral("str. 1"),
              change.documentElement().firstChildElement(QStringLiteral("street")).text());
}

// ---- order declaration --------------------------------------------------------------------------

void writeResource(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

// An order at one protocol level: picture A twice (amounts 2 and 1), B with amount 0, C with 5; a
// chosen store and a coupon; payment by bill over the net.
class ETOrderDeclarationTest : public ::testing::TestWithParam<int>
{
  protected:
    ETOrderDeclarationTest() : env(options())
    {
        QByteArray articles;
        for (const char *code : {"FC", "FM", "CC", "CM"})
            articles +=
                QByteArray("<article transfer_type=\"") + code + "\"><artid>A-" + code +
                "</artid><name>10x15</name><price>0,19</price><discount_level>0</discount_level></article>";
        writeResource(env.resources() + QStringLiteral("/productlist.xml"),
                      "<reply><content>" + articles + "</content></reply>");
        writeResource(
            env.resources() + QStringLiteral("/transferlist.xml"),
            "<content><transfer type=\"FM\" discount=\"0\"><id>T-FM0</id><price>3,95</price></transfer>"
            "</content>");
        order = ETOrder::instance();
        order->removeAllOrderItems();
        order->setPaymentType(PaymentBill);
        ETImage *a = ETImage::create(paint(QStringLiteral("a.jpg"), Qt::red));
        ETImage *b = ETImage::create(paint(QStringLiteral("b.jpg"), Qt::green));
        ETImage *c = ETImage::create(paint(QStringLiteral("c.jpg"), Qt::blue));
        order->addImage(a, QStringLiteral("10x15"), 2, 0);
        order->addImage(b, QStringLiteral("10x15"), 0, 1);
        order->addImage(c, QStringLiteral("10x15"), 5, 2);
        order->addImage(a, QStringLiteral("10x15"), 1, 3);
        auto *store = new ETStore(42, QStringLiteral("Foto Mitte"), QStringLiteral("Hauptstr. 5"),
                                  QStringLiteral("10115"), QStringLiteral("Berlin"));
        ETStore::storeList()->append(store);
        order->setStoreId(store->label());
        ETCoupon::instance()->setCouponId(QStringLiteral("C-1"));
        ETCoupon::instance()->setCouponPrice(QStringLiteral("FM"), -100, QStringLiteral("CA-FM"));
    }

    static TransferTestEnvironment::Options options()
    {
        TransferTestEnvironment::Options o;
        o.protocol = QStringLiteral("1.%1").arg(GetParam() % 10);
        return o;
    }

    QString paint(const QString &name, Qt::GlobalColor colour)
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = env.scratch() + QLatin1Char('/') + name;
        EXPECT_TRUE(image.save(path, "JPEG"));
        return path;
    }

    static QList<QDomElement> positions(const QDomDocument &document)
    {
        QList<QDomElement> list;
        for (QDomElement e = document.documentElement().firstChildElement(QStringLiteral("orderposition"));
             !e.isNull(); e = e.nextSiblingElement(QStringLiteral("orderposition")))
            list << e;
        return list;
    }

    TransferTestEnvironment env;
    ETOrder *order = nullptr;
};

TEST_P(ETOrderDeclarationTest, CarriesTheOrderAsTheLevelWants)
{
    const int level = GetParam();
    ETOrderXMLBuilder builder;
    const QDomDocument document = parse(builder.buildOrderDeclarationRequest(false));
    EXPECT_EQ(QStringLiteral("orderdeclaration_request"), document.documentElement().tagName());
    QStringList expected{"ocsid", "loc_id", "transfer_id", "couponid", "coupon_artid"};
    if (level >= 15)
        expected << "payment_id";
    expected << "orderposition"
             << "orderposition"
             << "orderposition";
    EXPECT_EQ(expected, childNames(document));
    const QDomElement root = document.documentElement();
    EXPECT_EQ(QStringLiteral("42"), root.firstChildElement(QStringLiteral("loc_id")).text());
    EXPECT_EQ(QStringLiteral("T-FM0"), root.firstChildElement(QStringLiteral("transfer_id")).text());
    EXPECT_EQ(QStringLiteral("C-1"), root.firstChildElement(QStringLiteral("couponid")).text());
    EXPECT_EQ(QStringLiteral("CA-FM"), root.firstChildElement(QStringLiteral("coupon_artid")).text());
    if (level >= 15) {
        EXPECT_EQ(QStringLiteral("3"), root.firstChildElement(QStringLiteral("payment_id")).text());
    }

    // Amounts 2, 0, 5, 1: the line with 0 is left out and the numbering has no gap.
    const QList<QDomElement> lines = positions(document);
    ASSERT_EQ(3, lines.size());
    QStringList children{"filename", "quantity", "art_id", "crc", "filesize", "pos"};
    if (level >= 17)
        children << "name";
    const QStringList quantities{"2", "5", "1"};
    for (int i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        const QDomElement line = lines[i];
        QStringList names;
        for (QDomElement e = line.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            names << e.tagName();
        EXPECT_EQ(children, names);
        EXPECT_EQ(QStringLiteral("no"), line.attribute(QStringLiteral("archive")));
        EXPECT_EQ(level >= 16, line.hasAttribute(QStringLiteral("ignore_image_size")));
        if (level >= 16) {
            EXPECT_EQ(QStringLiteral("yes"), line.attribute(QStringLiteral("ignore_image_size")));
        }
        EXPECT_EQ(quantities[i], line.firstChildElement(QStringLiteral("quantity")).text());
        EXPECT_EQ(QString::number(i), line.firstChildElement(QStringLiteral("pos")).text());
        EXPECT_EQ(QStringLiteral("A-FM"), line.firstChildElement(QStringLiteral("art_id")).text());
        const QString file = line.firstChildElement(QStringLiteral("filename")).text();
        QFile picture(file);
        ASSERT_TRUE(picture.open(QIODevice::ReadOnly)) << file.toStdString();
        const QByteArray data = picture.readAll();
        EXPECT_EQ(QString::number(data.size()), line.firstChildElement(QStringLiteral("filesize")).text());
        EXPECT_EQ(QString::number(ETOrderServerDouble::crc16(data)),
                  line.firstChildElement(QStringLiteral("crc")).text());
        if (level >= 17) {
            EXPECT_EQ(QFileInfo(file).fileName(), line.firstChildElement(QStringLiteral("name")).text());
        }
    }
    // Two lines of one picture send the same file.
    for (const char *child : {"filename", "crc", "filesize"})
        EXPECT_EQ(lines[0].firstChildElement(QLatin1String(child)).text(),
                  lines[2].firstChildElement(QLatin1String(child)).text());
}

TEST_P(ETOrderDeclarationTest, DirectoryAndArchiveGoIntoThePositions)
{
    ETOrderXMLBuilder builder;
    const QString directory = env.scratch() + QStringLiteral("/cd/images");
    const QDomDocument document = parse(builder.buildOrderDeclarationBody(directory, true));
    const QList<QDomElement> lines = positions(document);
    ASSERT_EQ(3, lines.size());
    EXPECT_EQ(directory + QStringLiteral("/a.jpg"),
              lines[0].firstChildElement(QStringLiteral("filename")).text());
    EXPECT_EQ(directory + QStringLiteral("/c.jpg"),
              lines[1].firstChildElement(QStringLiteral("filename")).text());
    EXPECT_EQ(QStringLiteral("yes"), lines[0].attribute(QStringLiteral("archive")));
}

TEST_P(ETOrderDeclarationTest, NoStoreNoCouponNoLines)
{
    for (ETOrderItem *item : *order->orderItems())
        item->setAmount(0);
    order->setStoreId(QStringLiteral("nowhere"));
    ETCoupon::instance()->setCouponPrice(QStringLiteral("FM"), 0, QStringLiteral("0"));
    ETOrderXMLBuilder builder;
    const QDomDocument document = parse(builder.buildOrderDeclarationRequest(false));
    QStringList expected{"ocsid", "loc_id", "transfer_id"};
    if (GetParam() >= 15)
        expected << "payment_id";
    EXPECT_EQ(expected, childNames(document));
    EXPECT_EQ(QStringLiteral("0"),
              document.documentElement().firstChildElement(QStringLiteral("loc_id")).text());
}

TEST_P(ETOrderDeclarationTest, PaymentBlockFollowsThePaymentType)
{
    ETCustomer *customer = order->customer();
    customer->setValue(QStringLiteral("cardtype"), QStringLiteral("VISA"));
    customer->setValue(QStringLiteral("cardnumber"), QStringLiteral("4111111111111111"));
    customer->setValue(QStringLiteral("validuntil"), QStringLiteral("03/2029"));
    customer->setValue(QStringLiteral("account"), QStringLiteral("1234567"));
    const struct {
        int type;
        const char *block; // the last child from level 15 on
    } cases[] = {{0, "orderposition"}, {1, "cc_info"}, {2, "debit_info"}, {3, "orderposition"}};
    ETOrderXMLBuilder builder;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.type);
        order->setPaymentType(c.type);
        const QStringList names = childNames(parse(builder.buildOrderDeclarationRequest(false)));
        const bool block = GetParam() >= 15;
        EXPECT_EQ(block ? QLatin1String(c.block) : QLatin1String("orderposition"), names.last());
        EXPECT_EQ(block && c.type == 1 ? 1 : 0, names.count(QStringLiteral("cc_info")));
        EXPECT_EQ(block && c.type == 2 ? 1 : 0, names.count(QStringLiteral("debit_info")));
    }
}

// A picture whose file name XML cannot carry is declared under a name it can,
// which no other file of the order has; the server's name for it leads back
// to its file.
TEST_P(ETOrderDeclarationTest, FileNamesXMLCannotCarryAreDeclaredUnderNamesOfTheirOwn)
{
    // The order lets go of the fixture's items; they are the test's to delete.
    const QList<ETOrderItem *> fixtureItems = *order->orderItems();
    order->removeAllOrderItems();
    qDeleteAll(fixtureItems);
    const QString r(QLatin1Char('_'));
    const struct {
        QString file;
        QString declared;
    } pictures[] = {
        {QStringLiteral("bild\v1.jpg"), QStringLiteral("bild") + r + QStringLiteral("1.jpg")},
        {QStringLiteral("d\x01.jpg"), QStringLiteral("d") + r + QStringLiteral("~2.jpg")},
        {QStringLiteral("d\x02.jpg"), QStringLiteral("d") + r + QStringLiteral("~3.jpg")},
        // A name XML carries is never changed, though a changed one would be the same.
        {QStringLiteral("d") + r + QStringLiteral(".jpg"), QStringLiteral("d") + r + QStringLiteral(".jpg")},
    };
    int row = 0;
    for (const auto &p : pictures)
        order->addImage(ETImage::create(paint(p.file, Qt::red)), QStringLiteral("10x15"), 1, row++);

    ETOrderXMLBuilder builder;
    const QString text = builder.buildOrderDeclarationRequest(false);
    QDomDocument document;
    QString error;
    ASSERT_TRUE(document.setContent(text, &error)) << error.toStdString();
    ETUploadRun run;
    run.declare(text);
    const QList<QDomElement> lines = positions(document);
    ASSERT_EQ(4, lines.size());
    const QString folder = env.scratch() + QLatin1Char('/');
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QString declared = lines[i].firstChildElement(QStringLiteral("filename")).text();
        EXPECT_EQ(folder + pictures[i].declared, declared);
        EXPECT_EQ(folder + pictures[i].file, run.localFile(declared));
        if (GetParam() >= 17) {
            EXPECT_EQ(ETXMLBuilder::carriableText(pictures[i].file),
                      lines[i].firstChildElement(QStringLiteral("name")).text());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, ETOrderDeclarationTest, ::testing::Values(14, 15, 16, 17),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return "level_" + std::to_string(info.param);
                         });

} // namespace
