#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

// One fault the double plays on the next request(s) of a name.
struct ETOrderServerFault {
    static constexpr int always = -1;
    // DropMidReply closes the connection in order after half the reply,
    // ResetMidReply aborts it (TCP reset) after half the reply; both after
    // handling the request. Raw answers with body as the whole reply text
    // (UTF-8), as it stands. DropUnhandled closes the connection after the
    // reply's head without handling the request (a picture post then leaves
    // no picture). Redirect answers with a redirect (302 unless httpStatus
    // says otherwise) to location, without handling the request. TextAfterHandling
    // handles the request and then answers with body as plain text.
    // AlternatePositions (upload control) hands out the pictures not received
    // in turn, another one each time, instead of the first of them. Any reply
    // body can go slowly (bytesPerSecond): the head at once, then the body
    // piece by piece.
    enum Kind {
        Reply,
        Stall,
        DropMidReply,
        ResetMidReply,
        NotXml,
        Raw,
        DropUnhandled,
        Redirect,
        TextAfterHandling,
        AlternatePositions
    };
    QString request; // root name ("login_request"), "upload" for picture posts; empty: any
    QString action;  // only requests whose root has this "action" ("start", "stop"); empty: any
    Kind kind = Reply;
    int errorCode = 0; // written into the reply head instead of the normal reply
    QString errorText;
    int httpStatus = 0;     // 0: 200 with the normal (or error) reply
    int delayMs = 0;        // waits before answering
    int bytesPerSecond = 0; // 0: the body goes at once
    int times = 1;          // how many matching requests it applies to; always: every one
    QString body;           // the reply of a Raw or TextAfterHandling fault
    QString location;       // where a Redirect fault sends the client
};

// One request as the double received it.
struct ETOrderServerRequest {
    QString method;
    QString path;
    bool https = false;
    int remotePort = 0; // the client's port: equal ports mean a reused connection
    QList<QPair<QString, QString>> headers;
    QByteArray body;  // empty for a multipart post: its parts are in formFields
    QString name;     // root element, "upload" for a picture post, else empty
    QDomDocument xml; // the parsed body (null for multipart and GET)
    // The parts of a multipart post; the picture's bytes only while the
    // double keeps pictures (setKeepPictureData), its size and checksum always.
    QMap<QString, QByteArray> formFields;
    QString formFileName;    // file name of the "upload" part
    QString formContentType; // content type of the "upload" part
    qint64 formFileSize = 0; // bytes of the "upload" part
    quint16 formFileCrc = 0; // their checksum

    QString header(const QString &name) const;
    // One line for a log: the root name, with the action of an upload
    // control and the mode of a session end ("uploadctrl_request:start",
    // "endsession_request:abort"); method and path when there is no root.
    QString summary() const;
    // Text of the first element of that name below the root.
    QString text(const QString &element) const;
    // Names of the root's child elements, in document order.
    QStringList childNames() const;
};

// A picture the double received through the multipart upload.
struct ETOrderServerPicture {
    QString fileName;
    QByteArray data;
    bool sizeMatches = false;
    bool crcMatches = false;
};

// Plays the order server on 127.0.0.1 over HTTP and HTTPS, for the tests and
// the demo. Requests are served on the double's own threads; every public
// operation is thread-safe. Posts are read as they stream in: a picture of
// any size is summed on the way (and kept only when asked), and a post that
// does not arrive whole is neither logged nor taken.
class ETOrderServerDouble
{
  public:
    // certificateDir holds server.crt/server.key (and otherserver.crt, wronghost.crt).
    explicit ETOrderServerDouble(const QString &certificateDir);
    ~ETOrderServerDouble();
    ETOrderServerDouble(const ETOrderServerDouble &) = delete;
    ETOrderServerDouble &operator=(const ETOrderServerDouble &) = delete;

    // Which certificate HTTPS presents: "server" (default), "otherserver", "wronghost".
    void setCertificate(const QString &name);
    // Port 0 picks a free one. False when a port cannot be bound or TLS fails.
    bool start(quint16 httpPort = 0, quint16 httpsPort = 0);
    void stop();
    bool isHealthy() const;
    quint16 httpPort() const;
    quint16 httpsPort() const;
    QString httpUrl(const QString &path = QString()) const;
    QString httpsUrl(const QString &path = QString()) const;
    // The controller address for a protocol text such as "1.5".
    QString controllerUrl(bool https, const QString &protocol = QStringLiteral("1.5")) const;

    // Scripting.
    void addFault(const ETOrderServerFault &fault);
    void clearFaults();
    // The controller URL the server choice hands out; empty: the double's HTTPS controller.
    void setChosenControllerUrl(const QString &url);
    // Whether the server-choice reply carries a server list (it does by default).
    void setServerListInReply(bool on);
    void setSessionValiditySeconds(int seconds);
    void setCurrentVersion(const QString &version, const QString &link);
    // Children of the reply content of a list request ("articlelist", "transferlist",
    // "countrylist", "creditcards"), as XML text.
    void setListContent(const QString &list, const QString &xml);
    void addCustomer(const QString &email, const QString &password, const QString &question,
                     const QString &answer, const QMap<QString, QString> &fields = {});
    void addCoupon(const QString &id, const QString &type, const QString &articleId, const QString &price);
    // A known coupon whose time is over: its check answers code 71.
    void expireCoupon(const QString &id);
    void addStore(int id, const QString &name, const QString &street, const QString &zip,
                  const QString &city);
    // The path that upload-control replies name instead of the declared picture's; empty: the declared one.
    void setUploadFileName(const QString &path);
    // Whether received pictures keep their bytes (pictures(), the log's form
    // fields); without them the double checks size and CRC all the same.
    void setKeepPictureData(bool on);
    // An upload id for each declared picture not received yet, as upload control
    // would hand them out one by one: (id, file name) in declaration order. Lets
    // another client post the order's pictures with the same checks as the
    // client's (the program answers it to GET /uploads).
    QList<QPair<QString, QString>> openUploads();

    // What happened.
    QList<ETOrderServerRequest> requests() const;
    QList<ETOrderServerRequest> requests(const QString &name) const;
    void clearRequests();
    // A customer's fields by wire name (empty map when unknown).
    QMap<QString, QString> customer(const QString &email) const;
    bool hasSession(const QString &id) const;
    QList<ETOrderServerPicture> pictures() const;
    QString lastOrderId() const;

    static quint16 crc16(const QByteArray &data);

  private:
    struct Private;
    std::unique_ptr<Private> d;
};
