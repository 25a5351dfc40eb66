#include "etorderserverdouble.h"
#include "etfaultbuilder.h"
#include "etservercode.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QElapsedTimer>
#include <QString>

namespace
{

const std::string certDir = LUMO_TEST_CERT_DIR;

QString envelope(const QString &body)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + body;
}

class OrderServerDoubleTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(server.isHealthy());
    }

    std::unique_ptr<httplib::SSLClient> secureClient()
    {
        auto client = std::make_unique<httplib::SSLClient>("127.0.0.1", server.httpsPort());
        client->set_ca_cert_path((certDir + "/ca.crt").c_str());
        client->enable_server_certificate_verification(true);
        client->set_read_timeout(5, 0);
        return client;
    }

    // Posts a request document to the HTTPS controller and returns the parsed reply.
    QDomDocument post(const QString &body, int *status = nullptr,
                      const QString &protocol = QStringLiteral("1.5"))
    {
        auto client = secureClient();
        auto res = client->Post(("/xtci" + protocol + "/controller").toStdString(),
                                envelope(body).toStdString(), "text/xml");
        QDomDocument doc;
        if (res) {
            doc.setContent(QByteArray::fromStdString(res->body));
            if (status)
                *status = res->status;
        } else if (status) {
            *status = -1;
        }
        return doc;
    }

    static int code(const QDomDocument &reply)
    {
        return reply.documentElement()
            .firstChildElement("head")
            .firstChildElement("errorcode")
            .text()
            .toInt();
    }
    static QString content(const QDomDocument &reply, const QString &name)
    {
        return reply.documentElement().firstChildElement("content").firstChildElement(name).text();
    }

    QString openSession()
    {
        const auto reply = post("<session_request><keyacc_id>K</keyacc_id></session_request>");
        return content(reply, "ocsid");
    }

    // One order position: the picture's bytes give its declared size and CRC.
    struct Position {
        QString fileName;
        QByteArray data;
        int quantity;
    };
    // Declares the order's positions in the given order (pos 0, 1, ...).
    void declare(const QString &sid, const QList<Position> &positions)
    {
        QString body = QString("<orderdeclaration_request><ocsid>%1</ocsid>").arg(sid);
        for (int i = 0; i < positions.size(); ++i) {
            const Position &p = positions[i];
            body += QString("<orderposition><filename>%1</filename><quantity>%2</quantity><crc>%3</crc>"
                            "<filesize>%4</filesize><pos>%5</pos></orderposition>")
                        .arg(p.fileName)
                        .arg(p.quantity)
                        .arg(ETOrderServerDouble::crc16(p.data))
                        .arg(p.data.size())
                        .arg(i);
        }
        post(body + "</orderdeclaration_request>");
    }

    // Posts a picture as the client does, under an upload id; the parsed reply (null when none came).
    QDomDocument postPicture(const QString &uploadId, const QByteArray &data)
    {
        httplib::MultipartFormDataItems items = {{"uplid", uploadId.toStdString(), "", ""},
                                                 {"upload", data.toStdString(), "a.jpg", "image/jpeg"}};
        auto res = secureClient()->Post("/upload", items);
        QDomDocument reply;
        if (res)
            reply.setContent(QByteArray::fromStdString(res->body));
        return reply;
    }

    ETOrderServerDouble server{QString::fromStdString(certDir)};
};

TEST_F(OrderServerDoubleTest, StopsCleanly)
{
    server.stop();
    EXPECT_FALSE(server.isHealthy());
    ASSERT_TRUE(server.start());
    EXPECT_TRUE(server.isHealthy());
}

TEST_F(OrderServerDoubleTest, ServerChoiceNamesTheHttpsController)
{
    httplib::Client client("127.0.0.1", server.httpPort());
    auto res = client.Post(
        "/xtci1.5/controller",
        envelope("<xtci2_request><server_protocol>1.5</server_protocol></xtci2_request>").toStdString(),
        "text/xml");
    ASSERT_TRUE(res);
    QDomDocument reply;
    ASSERT_TRUE(reply.setContent(QByteArray::fromStdString(res->body)));
    EXPECT_EQ("xtci2", reply.documentElement().tagName());
    EXPECT_EQ(server.controllerUrl(true, "1.5"), content(reply, "url"));
    const QDomElement entry = reply.documentElement()
                                  .firstChildElement("content")
                                  .firstChildElement("xtci_servers")
                                  .firstChildElement();
    EXPECT_EQ("xtci_server", entry.tagName());
    EXPECT_EQ("url", entry.firstChildElement().tagName());
    const auto log = server.requests("xtci2_request");
    ASSERT_EQ(1, log.size());
    EXPECT_FALSE(log[0].https);
    EXPECT_EQ("1.5", log[0].text("server_protocol"));
}

TEST_F(OrderServerDoubleTest, SessionLoginAndEnd)
{
    server.addCustomer("anna@example.com", "geheim", "Haustier?", "Bello");
    const QString sid = openSession();
    ASSERT_FALSE(sid.isEmpty());
    EXPECT_TRUE(server.hasSession(sid));

    struct Case {
        const char *password;
        int code;
    } cases[] = {{"geheim", 0}, {"falsch", ETServerCode::WrongLogin}, {"", ETServerCode::WrongLogin}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.password);
        const auto reply = post(QString("<login_request><ocsid>%1</ocsid><login>anna@example.com</login>"
                                        "<pwd>%2</pwd></login_request>")
                                    .arg(sid, c.password));
        EXPECT_EQ(c.code, code(reply));
    }
    EXPECT_EQ(ETServerCode::SessionUnknown, code(post("<login_request><ocsid>nope</ocsid></login_request>")));
    EXPECT_EQ(
        0,
        code(post(
            QString("<endsession_request mode=\"normal\"><ocsid>%1</ocsid></endsession_request>").arg(sid))));
    EXPECT_FALSE(server.hasSession(sid));
    const auto log = server.requests("login_request");
    ASSERT_EQ(4, log.size());
    EXPECT_EQ((QStringList{"ocsid", "login", "pwd"}), log[0].childNames());
    EXPECT_EQ("text/xml", log[0].header("Content-Type"));
}

TEST_F(OrderServerDoubleTest, SecurityQuestionAndCoupon)
{
    server.addCustomer("anna@example.com", "geheim", "Haustier?", "Bello");
    server.addCoupon("C1", "FM", "A1", "-5.00");
    const QString sid = openSession();
    auto q = post(QString("<secquestion_request><ocsid>%1</ocsid><login>anna@example.com</login>"
                          "</secquestion_request>")
                      .arg(sid));
    EXPECT_EQ("Haustier?", content(q, "question"));
    EXPECT_EQ(
        ETServerCode::UnknownUser,
        code(post(QString("<secquestion_request><ocsid>%1</ocsid><login>x</login></secquestion_request>")
                      .arg(sid))));
    EXPECT_EQ(ETServerCode::WrongSecurityAnswer,
              code(post(QString("<secanswer_request><ocsid>%1</ocsid><login>anna@example.com</login>"
                                "<sec_answer>Rex</sec_answer></secanswer_request>")
                            .arg(sid))));
    EXPECT_EQ(ETServerCode::CouponNeedsLogin,
              code(post(QString("<couponcheck_request><ocsid>%1</ocsid><couponid>C1</couponid>"
                                "</couponcheck_request>")
                            .arg(sid))));
    post(QString("<login_request><ocsid>%1</ocsid><login>anna@example.com</login><pwd>geheim</pwd></"
                 "login_request>")
             .arg(sid));
    auto coupon = post(QString("<couponcheck_request><ocsid>%1</ocsid><couponid>C1</couponid>"
                               "</couponcheck_request>")
                           .arg(sid));
    EXPECT_EQ(0, code(coupon));
    const QDomElement c = coupon.documentElement().firstChildElement("content").firstChildElement("coupon");
    EXPECT_EQ("FM", c.attribute("type"));
    EXPECT_EQ("-5.00", c.firstChildElement("price").text());
    EXPECT_EQ(ETServerCode::CouponUsed,
              code(post(QString("<couponcheck_request><ocsid>%1</ocsid><couponid>XX</couponid>"
                                "</couponcheck_request>")
                            .arg(sid))));
}

TEST_F(OrderServerDoubleTest, EachRequestMeetsTheRulesOfItsRoute)
{
    server.addCustomer("anna@example.com", "geheim", "Haustier?", "Bello");
    const QString sid = openSession();
    const struct {
        const char *what;
        const char *body; // %1: the session
        bool loggedIn;
        int code;
    } cases[] = {
        {"version needs no session", "<version_request/>", false, 0},
        {"unknown request outside a session", "<nonsense_request><ocsid>x</ocsid></nonsense_request>", false,
         ETServerCode::SessionUnknown},
        {"list outside a session", "<articlelist_request/>", false, ETServerCode::SessionUnknown},
        {"unknown request in a session", "<nonsense_request><ocsid>%1</ocsid></nonsense_request>", false,
         ETServerCode::ServerUnavailable},
        {"configuration", "<config_request><ocsid>%1</ocsid></config_request>", false, 0},
        {"card brands need no login", "<creditcards_request><ocsid>%1</ocsid></creditcards_request>", false,
         0},
        {"customer data need a login", "<debit_data_request><ocsid>%1</ocsid></debit_data_request>", false,
         ETServerCode::UnknownUser},
        {"unknown customer request", "<userfoo_request><ocsid>%1</ocsid></userfoo_request>", false,
         ETServerCode::UnknownUser},
        {"unknown customer request after login", "<userfoo_request><ocsid>%1</ocsid></userfoo_request>", true,
         ETServerCode::ServerUnavailable},
        {"customer data after login", "<debit_data_request><ocsid>%1</ocsid></debit_data_request>", true, 0},
    };
    bool loggedIn = false;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.loggedIn && !loggedIn) {
            ASSERT_EQ(0, code(post(QString("<login_request><ocsid>%1</ocsid><login>anna@example.com</login>"
                                           "<pwd>geheim</pwd></login_request>")
                                       .arg(sid))));
            loggedIn = true;
        }
        QString body = QString::fromLatin1(c.body);
        if (body.contains(QLatin1String("%1")))
            body = body.arg(sid);
        int status = 0;
        EXPECT_EQ(c.code, code(post(body, &status)));
        EXPECT_EQ(200, status);
    }
}

TEST_F(OrderServerDoubleTest, ScriptedFaults)
{
    struct Case {
        const char *name;
        ETOrderServerFault fault;
        int status; // -1: no reply at all
        int code;   // -1: body is not XML
    } cases[] = {
        {"head code", fault("version_request").code(ETServerCode::Maintenance), 200,
         ETServerCode::Maintenance},
        {"http 404", fault("version_request").status(404), 404, 0},
        {"http 500", fault().status(500), 500, 0},
        {"not xml", fault("version_request").kind(ETOrderServerFault::NotXml), 200, -1},
        {"delay", fault("version_request").delay(50), 200, 0},
        {"drop", fault("version_request").kind(ETOrderServerFault::DropMidReply), -1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        server.addFault(c.fault);
        auto client = secureClient();
        auto res =
            client->Post("/xtci1.5/controller", envelope("<version_request/>").toStdString(), "text/xml");
        if (c.status < 0) {
            EXPECT_FALSE(res && res->body.find("</version>") != std::string::npos);
            continue;
        }
        ASSERT_TRUE(res);
        EXPECT_EQ(c.status, res->status);
        QDomDocument reply;
        const bool xml = reply.setContent(QByteArray::fromStdString(res->body));
        EXPECT_EQ(c.code >= 0, xml);
        if (xml) {
            EXPECT_EQ(c.code, code(reply));
        }
        // A fault is played once.
        int status = 0;
        EXPECT_EQ(0, code(post("<version_request/>", &status)));
        EXPECT_EQ(200, status);
    }
}

TEST_F(OrderServerDoubleTest, StallEndsWithTheClientTimeoutOrTheStop)
{
    struct Case {
        const char *name;
        ETOrderServerFault fault;
    } cases[] = {
        {"stall", fault("version_request").kind(ETOrderServerFault::Stall)},
        {"a byte a second", fault("version_request").rate(1)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(server.start());
        server.addFault(c.fault);
        auto client = secureClient();
        client->set_read_timeout(0, 300000);
        auto res =
            client->Post("/xtci1.5/controller", envelope("<version_request/>").toStdString(), "text/xml");
        EXPECT_FALSE(res);
        QElapsedTimer clock;
        clock.start();
        server.stop(); // must not hang on the waiting handler
        EXPECT_LT(clock.elapsed(), 900) << "a reply's pause ends with the stop";
        EXPECT_FALSE(server.isHealthy());
    }
}

TEST_F(OrderServerDoubleTest, SlowRepliesComeAtTheirRate)
{
    server.addFault(fault("version_request").rate(400).always());
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        QElapsedTimer clock;
        clock.start();
        auto res = secureClient()->Post("/xtci1.5/controller", envelope("<version_request/>").toStdString(),
                                        "text/xml");
        const qint64 elapsed = clock.elapsed();
        ASSERT_TRUE(res);
        QDomDocument reply;
        ASSERT_TRUE(reply.setContent(QByteArray::fromStdString(res->body))) << res->body;
        EXPECT_EQ("version", reply.documentElement().tagName());
        // 40 bytes every tenth of a second: the first piece at once.
        const qint64 least = qint64(res->body.size() - 40) * 1000 / 400;
        EXPECT_GE(elapsed, least) << res->body.size() << " bytes";
        EXPECT_LT(elapsed, least + 2000);
    }
    // Other kinds go at once.
    QElapsedTimer clock;
    clock.start();
    const QString sid = openSession();
    EXPECT_LT(clock.elapsed(), 400);
    // A slow request is handled on arrival: a client that gives up has still ended its session.
    server.addFault(fault("endsession_request").rate(1));
    auto client = secureClient();
    client->set_read_timeout(0, 300000);
    EXPECT_FALSE(client->Post(
        "/xtci1.5/controller",
        envelope(
            QString("<endsession_request mode=\"abort\"><ocsid>%1</ocsid></endsession_request>").arg(sid))
            .toStdString(),
        "text/xml"));
    EXPECT_FALSE(server.hasSession(sid));
}

TEST_F(OrderServerDoubleTest, RequestsSoFarAreListed)
{
    const QString sid = openSession();
    post(QString("<uploadctrl_request action=\"start\"><ocsid>%1</ocsid></uploadctrl_request>").arg(sid));
    post(QString("<endsession_request mode=\"abort\"><ocsid>%1</ocsid></endsession_request>").arg(sid));
    httplib::Client client("127.0.0.1", server.httpPort());
    auto res = client.Get("/requests");
    ASSERT_TRUE(res);
    EXPECT_EQ("session_request\nuploadctrl_request:start\nendsession_request:abort\n", res->body);
}

TEST_F(OrderServerDoubleTest, OldProtocolAnswersInLatin1)
{
    const QString sid = openSession();
    server.addCustomer("b@example.com", "x", QString::fromUtf8("Lieblingsfarbe Grün?"), "blau");
    auto client = secureClient();
    auto res =
        client->Post("/xtci1.4/controller",
                     envelope(QString("<secquestion_request><ocsid>%1</ocsid><login>b@example.com</login>"
                                      "</secquestion_request>")
                                  .arg(sid))
                         .toStdString(),
                     "text/xml");
    ASSERT_TRUE(res);
    EXPECT_NE(std::string::npos, res->body.find("ISO-8859-1"));
    EXPECT_NE(std::string::npos, res->body.find("Gr\xfcn"));
}

TEST_F(OrderServerDoubleTest, PictureUploadChecksSizeAndCrc)
{
    const QString sid = openSession();
    const QByteArray a("first picture bytes"), b("second one");
    declare(sid, {{"/w/a.jpg", a, 1}, {"/w/b.jpg", b, 2}});
    const QString start =
        QString("<uploadctrl_request action=\"start\"><ocsid>%1</ocsid></uploadctrl_request>").arg(sid);

    auto sendPicture = [&](const QDomDocument &ctrl, const QByteArray &data) {
        const QDomElement up =
            ctrl.documentElement().firstChildElement("content").firstChildElement("upload");
        EXPECT_EQ(server.httpsUrl("/upload"), up.firstChildElement("uplurl").text());
        return postPicture(up.firstChildElement("uplid").text(), data);
    };

    auto ctrl = post(start);
    const QDomElement up = ctrl.documentElement().firstChildElement("content").firstChildElement("upload");
    EXPECT_EQ("0", up.firstChildElement("pos").text());
    EXPECT_EQ("/w/a.jpg", up.firstChildElement("filename").text());
    EXPECT_EQ(QString::number(a.size() + b.size()), up.firstChildElement("total_bytes").text());
    EXPECT_EQ(ETServerCode::PictureDamaged, code(sendPicture(ctrl, "damaged")));
    ctrl = post(start);
    EXPECT_EQ("0", ctrl.documentElement()
                       .firstChildElement("content")
                       .firstChildElement("upload")
                       .firstChildElement("pos")
                       .text());
    EXPECT_EQ(0, code(sendPicture(ctrl, a)));
    EXPECT_EQ(
        ETServerCode::PicturesMissing,
        code(post(QString("<orderfinish_request mode=\"normal\"><ocsid>%1</ocsid></orderfinish_request>")
                      .arg(sid))));
    ctrl = post(start);
    EXPECT_EQ(QString::number(a.size()), ctrl.documentElement()
                                             .firstChildElement("content")
                                             .firstChildElement("upload")
                                             .firstChildElement("submitted_bytes")
                                             .text());
    EXPECT_EQ(0, code(sendPicture(ctrl, b)));
    EXPECT_EQ(ETServerCode::UploadComplete, code(post(start)));
    EXPECT_EQ(
        ETServerCode::UploadStopped,
        code(post(
            QString("<uploadctrl_request action=\"stop\"><ocsid>%1</ocsid></uploadctrl_request>").arg(sid))));
    auto finish = post(
        QString("<orderfinish_request mode=\"normal\"><ocsid>%1</ocsid></orderfinish_request>").arg(sid));
    EXPECT_EQ(server.lastOrderId(), content(finish, "ord_id"));
    const auto pictures = server.pictures();
    ASSERT_EQ(3, pictures.size());
    EXPECT_FALSE(pictures[0].crcMatches);
    EXPECT_TRUE(pictures[1].sizeMatches && pictures[1].crcMatches);
    EXPECT_EQ(b, pictures[2].data);
    const auto uploads = server.requests("upload");
    ASSERT_EQ(3, uploads.size());
    EXPECT_EQ("image/jpeg", uploads[1].formContentType);
}

TEST_F(OrderServerDoubleTest, UploadControlScripting)
{
    const QString sid = openSession();
    post(QString("<orderdeclaration_request><ocsid>%1</ocsid><orderposition><filename>/w/a.jpg</filename>"
                 "<quantity>1</quantity><crc>0</crc><filesize>0</filesize><pos>0</pos></orderposition>"
                 "</orderdeclaration_request>")
             .arg(sid));
    const QString start =
        QString("<uploadctrl_request action=\"start\"><ocsid>%1</ocsid></uploadctrl_request>").arg(sid);
    const QString stop =
        QString("<uploadctrl_request action=\"stop\"><ocsid>%1</ocsid></uploadctrl_request>").arg(sid);

    // A fault for one action leaves the other alone.
    ETOrderServerFault repeat = fault("uploadctrl_request").code(ETServerCode::UploadRestart);
    repeat.action = "start";
    server.addFault(repeat);
    EXPECT_EQ(ETServerCode::UploadStopped, code(post(stop)));
    EXPECT_EQ(ETServerCode::UploadRestart, code(post(start)));

    // The upload control may name another file than the declared one.
    server.setUploadFileName("/etc/passwd");
    auto ctrl = post(start);
    const QDomElement up = ctrl.documentElement().firstChildElement("content").firstChildElement("upload");
    EXPECT_EQ("/etc/passwd", up.firstChildElement("filename").text());
    server.setUploadFileName(QString());

    // A dropped post leaves no picture behind.
    server.addFault(fault("upload").kind(ETOrderServerFault::DropUnhandled));
    httplib::MultipartFormDataItems items = {
        {"uplid", up.firstChildElement("uplid").text().toStdString(), "", ""},
        {"upload", "", "a.jpg", "image/jpeg"}};
    auto client = secureClient();
    EXPECT_FALSE(client->Post("/upload", items));
    EXPECT_TRUE(server.pictures().isEmpty());
    ctrl = post(start);
    EXPECT_EQ("/w/a.jpg", ctrl.documentElement()
                              .firstChildElement("content")
                              .firstChildElement("upload")
                              .firstChildElement("filename")
                              .text());
}

TEST_F(OrderServerDoubleTest, UploadControlAlternatingPositions)
{
    const QString sid = openSession();
    declare(sid, {{"/w/a.jpg", "a", 1}, {"/w/b.jpg", "b", 1}, {"/w/c.jpg", "c", 1}});
    const QString start =
        QString("<uploadctrl_request action=\"start\"><ocsid>%1</ocsid></uploadctrl_request>").arg(sid);
    const auto position = [&] {
        return post(start)
            .documentElement()
            .firstChildElement("content")
            .firstChildElement("upload")
            .firstChildElement("pos")
            .text();
    };
    // Each answer another picture not received, in turn; without the fault the first of them.
    server.addFault(fault("uploadctrl_request").alternatePositions().times(4));
    QStringList positions;
    for (int i = 0; i < 5; ++i)
        positions << position();
    EXPECT_EQ(QStringList({"0", "1", "2", "0", "0"}), positions);
}

TEST_F(OrderServerDoubleTest, OpenUploadsLetAnotherClientPostTheOrder)
{
    const QString sid = openSession();
    const QByteArray a("first picture bytes"), b("second one");
    // b.jpg is declared twice (two prints of one picture): one upload for it.
    declare(sid, {{"/w/a.jpg", a, 1}, {"/w/b.jpg", b, 1}, {"/w/b.jpg", b, 2}});

    // Over HTTP, one "id<TAB>file" a line, as the program answers the benchmark.
    httplib::Client plain("127.0.0.1", server.httpPort());
    auto listed = plain.Get("/uploads");
    ASSERT_TRUE(listed);
    const QStringList lines = QString::fromStdString(listed->body).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(2, lines.size());
    EXPECT_TRUE(lines[0].endsWith("\t/w/a.jpg")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith("\t/w/b.jpg")) << lines[1].toStdString();

    // The ids work like those of the upload control: size and CRC are checked.
    const auto uploads = server.openUploads();
    ASSERT_EQ(2, uploads.size());
    const struct {
        QString id;
        QByteArray data;
        int code;
    } posts[] = {{uploads[0].first, "damaged", 1003},
                 {uploads[1].first, b, 0},
                 {uploads[1].first, b, 1002}, // an id serves once
                 {"unknown", a, 1002}};
    for (const auto &p : posts) {
        SCOPED_TRACE(p.id.toStdString());
        const QDomDocument reply = postPicture(p.id, p.data);
        ASSERT_FALSE(reply.isNull());
        EXPECT_EQ(p.code, code(reply));
    }
    // Only the damaged picture is still open.
    const auto open = server.openUploads();
    ASSERT_EQ(1, open.size());
    EXPECT_EQ("/w/a.jpg", open[0].second);
    ASSERT_EQ(2, server.pictures().size());
    EXPECT_TRUE(server.pictures()[1].crcMatches);
}

TEST_F(OrderServerDoubleTest, SinkTakesPostsAndKeepsNothing)
{
    auto client = secureClient();
    httplib::MultipartFormDataItems items = {{"uplid", "none", "", ""},
                                             {"upload", std::string(300000, 'x'), "x.jpg", "image/jpeg"}};
    auto multipart = client->Post("/sink", items);
    ASSERT_TRUE(multipart);
    EXPECT_EQ(200, multipart->status);
    auto plain = client->Post("/sink", std::string(100000, 'y'), "application/octet-stream");
    ASSERT_TRUE(plain);
    EXPECT_EQ(200, plain->status);
    QDomDocument reply;
    ASSERT_TRUE(reply.setContent(QByteArray::fromStdString(plain->body)));
    EXPECT_EQ(0, code(reply));
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(server.pictures().isEmpty());
}

TEST_F(OrderServerDoubleTest, PicturesWithoutTheirBytes)
{
    server.setKeepPictureData(false);
    const QString sid = openSession();
    const QByteArray a("first picture bytes");
    declare(sid, {{"/w/a.jpg", a, 1}});
    const auto uploads = server.openUploads();
    ASSERT_EQ(1, uploads.size());
    ASSERT_FALSE(postPicture(uploads[0].first, a).isNull());

    // Checked and counted as received all the same.
    const auto pictures = server.pictures();
    ASSERT_EQ(1, pictures.size());
    EXPECT_TRUE(pictures[0].sizeMatches && pictures[0].crcMatches);
    EXPECT_TRUE(pictures[0].data.isEmpty());
    const auto logged = server.requests("upload");
    ASSERT_EQ(1, logged.size());
    EXPECT_TRUE(logged[0].formFields.value("upload").isEmpty());
    EXPECT_EQ("image/jpeg", logged[0].formContentType);
    EXPECT_TRUE(server.openUploads().isEmpty());
    auto finish = post(
        QString("<orderfinish_request mode=\"normal\"><ocsid>%1</ocsid></orderfinish_request>").arg(sid));
    EXPECT_EQ(0, code(finish));
}

TEST_F(OrderServerDoubleTest, CustomerDataRoundTrip)
{
    const QString sid = openSession();
    const QString reg =
        QString("<useradd_request><ocsid>%1</ocsid><email>neu@example.com</email><pwd>pw</pwd>"
                "<sec_question>Q</sec_question><sec_answer>A</sec_answer><firstname>Nina</firstname>"
                "<city>Köln</city></useradd_request>")
            .arg(sid);
    EXPECT_EQ(0, code(post(reg)));
    EXPECT_EQ(ETServerCode::AlreadyRegistered, code(post(reg)));
    EXPECT_EQ(ETServerCode::UnknownUser,
              code(post(QString("<userinfo_request><ocsid>%1</ocsid></userinfo_request>").arg(sid))));
    post(
        QString("<login_request><ocsid>%1</ocsid><login>neu@example.com</login><pwd>pw</pwd></login_request>")
            .arg(sid));
    auto info = post(QString("<userinfo_request><ocsid>%1</ocsid></userinfo_request>").arg(sid));
    EXPECT_EQ("Nina", content(info, "firstname"));
    EXPECT_EQ(QString::fromUtf8("Köln"), content(info, "city"));
    EXPECT_EQ("Q", content(info, "sec_question"));
    EXPECT_EQ(0, code(post(QString("<userchange_request><ocsid>%1</ocsid><firstname>Nora</firstname>"
                                   "</userchange_request>")
                               .arg(sid))));
    EXPECT_EQ("Nora", server.customer("neu@example.com").value("firstname"));
    post(QString("<creditcard_update_request><ocsid>%1</ocsid><cc_info><cc_brand>VISA</cc_brand>"
                 "<cc_holder>N</cc_holder><cc_number>4111</cc_number><cc_valid_month>07</cc_valid_month>"
                 "<cc_valid_year>2030</cc_valid_year></cc_info></creditcard_update_request>")
             .arg(sid));
    auto card =
        post(QString("<creditcard_data_request><ocsid>%1</ocsid></creditcard_data_request>").arg(sid));
    const QDomElement cc = card.documentElement().firstChildElement("content").firstChildElement("cc_info");
    EXPECT_EQ("4111", cc.firstChildElement("cc_number").text());
    EXPECT_EQ("07", cc.firstChildElement("cc_valid_month").text());
    post(QString("<debit_update_request><ocsid>%1</ocsid><debit_info><debit_holder>N</debit_holder>"
                 "<debit_bankname>B</debit_bankname><debit_bankcode>100</debit_bankcode>"
                 "<debit_account_number>42</debit_account_number></debit_info></debit_update_request>")
             .arg(sid));
    auto bank = post(QString("<debit_data_request><ocsid>%1</ocsid></debit_data_request>").arg(sid));
    const QDomElement debit = bank.documentElement().firstChildElement("content").firstChildElement();
    EXPECT_EQ("debit_info", debit.tagName());
    EXPECT_EQ("42", debit.firstChildElement("debit_account_number").text());
}

TEST_F(OrderServerDoubleTest, ListsAndStores)
{
    server.addStore(1, "Mitte", "Hauptstr. 5", "10115", "Berlin");
    server.addStore(2, "Dom", "Domplatz 1", "50667", QString::fromUtf8("Köln"));
    server.setListContent("articlelist", "<article><artid>X</artid></article>");
    const QString sid = openSession();
    auto list = post(QString("<articlelist_request><ocsid>%1</ocsid></articlelist_request>").arg(sid));
    EXPECT_EQ("articlelist", list.documentElement().tagName());
    EXPECT_EQ("X", list.documentElement().firstChildElement("content").firstChildElement("article").text());
    for (const char *name : {"transferlist", "countrylist", "creditcards"}) {
        SCOPED_TRACE(name);
        auto reply = post(QString("<%1_request><ocsid>%2</ocsid></%1_request>").arg(name, sid));
        EXPECT_EQ(name, reply.documentElement().tagName());
        EXPECT_TRUE(reply.documentElement().firstChildElement("content").hasChildNodes());
    }
    auto byZip = post(
        QString("<locationlist_request><ocsid>%1</ocsid><zip>101</zip></locationlist_request>").arg(sid));
    EXPECT_EQ("1", content(byZip, "location").left(1));
    auto byCity = post(
        QString("<locationlist_request><ocsid>%1</ocsid><city>köln</city></locationlist_request>").arg(sid));
    const QDomElement store =
        byCity.documentElement().firstChildElement("content").firstChildElement("location");
    EXPECT_EQ("2", store.firstChildElement("loc_id").text());
    EXPECT_TRUE(store.nextSiblingElement().isNull());
}

TEST(OrderServerDoubleCrc, Arc)
{
    EXPECT_EQ(0xBB3D, ETOrderServerDouble::crc16("123456789"));
    EXPECT_EQ(0x9738, ETOrderServerDouble::crc16("abc"));
    EXPECT_EQ(0, ETOrderServerDouble::crc16(""));
}

TEST(OrderServerDoubleCrc, EveryLengthAgreesWithTheBitwiseRule)
{
    QByteArray data;
    for (int i = 0; i < 1000; ++i)
        data.append(char((i * 151 + 7) ^ (i >> 3)));
    for (int length : {1, 7, 8, 9, 15, 16, 17, 63, 64, 65, 127, 128, 129, 191, 999, 1000}) {
        SCOPED_TRACE(length);
        quint16 crc = 0;
        for (char ch : data.left(length)) {
            crc ^= quint8(ch);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
        }
        EXPECT_EQ(crc, ETOrderServerDouble::crc16(data.left(length)));
    }
}

TEST(OrderServerDoubleCertificates, WrongCertificatesFailVerification)
{
    for (const char *name : {"otherserver", "wronghost"}) {
        SCOPED_TRACE(name);
        ETOrderServerDouble server(QString::fromStdString(certDir));
        server.setCertificate(name);
        ASSERT_TRUE(server.start());
        httplib::SSLClient client("127.0.0.1", server.httpsPort());
        client.set_ca_cert_path((certDir + "/ca.crt").c_str());
        client.enable_server_certificate_verification(true);
        EXPECT_FALSE(client.Get("/health"));
        httplib::SSLClient lax("127.0.0.1", server.httpsPort());
        lax.enable_server_certificate_verification(false);
        EXPECT_TRUE(lax.Get("/health"));
    }
}

} // namespace
