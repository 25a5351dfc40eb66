#pragma once

#include "etnetworkingtimes.h"

#include <QDomDocument>
#include <QDomNode>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <QString>

#include <atomic>
#include <memory>

class ETNetworkingCurl;
class ETNetworkingError;
class ETOrderXMLBuilder;
class QThread;

// Sends the request documents of every thread and reads their replies: the
// envelope, the transfer objects, the one dial-up retry, the session and the
// server choice, the cancel that ends every running transfer. In the
// application's thread a request waits in its event loop (the window goes
// on); other threads block. Also decides whether a customer's action may
// start a request now. Owned by the request layer.
class ETTransferRunner : public QObject
{
    Q_OBJECT

  public:
    // How long one request may take (protocol seconds), and whether it goes
    // out even after an abort.
    struct Bounds {
        explicit Bounds(int timeout = ETNetworkingTimes::requestTimeoutSeconds, bool evenAfterAbort = false)
            : timeoutSeconds(timeout), afterAbort(evenAfterAbort)
        {
        }
        int timeoutSeconds;
        bool afterAbort;
    };

    explicit ETTransferRunner(QObject *parent = nullptr);
    ~ETTransferRunner() override;

    ETNetworkingError *error() const { return m_error; }
    ETOrderXMLBuilder *builder() const { return m_builder; }

    // Documents and replies.
    QString documentHeader(const QString &root) const;
    QString requestDocument(const QString &root, const QString &body) const;
    ETNetworkingCurl *createCurlConnection(const QString &url);
    // Every request goes through here: the parsed reply, or null after a
    // failure that the error holder keeps. An empty url is the chosen server.
    std::unique_ptr<QDomDocument> request(const QString &name, const QString &body,
                                          const QString &url = QString(), const Bounds &bounds = Bounds());
    QDomNode replyContent(QDomDocument *reply);
    void replyErrorCode(QDomDocument *reply);
    QString replyErrorText(QDomDocument *reply);
    QString lastServerErrorText() const { return m_lastServerErrorText; }
    static QString childText(const QDomNode &node, const QString &name);

    // Server choice and session.
    QString getServer(int index);
    bool loadBalancing();
    bool startSession();
    bool endSession(const QString &kind, const Bounds &bounds = Bounds());

    // Server addresses and protocol.
    static QString makeBaseURL(const QString &server, const QString &suffix);
    static QString controllerURL(const QString &server);
    static QString dtdURL(const QString &server);
    static QString replaceScheme(const QString &url, const QString &scheme);
    static QString serverProtocol();
    static int protocolVersion();

    // Cancel: ends every running transfer at once and fails every later
    // request (and wait) without sending until clearAbort(). Any thread.
    void abort();
    void clearAbort();
    bool isAborted() const { return m_aborted; }
    // A wait of the upload's; false, with the error raised, when aborted meanwhile.
    bool pause(int seconds);
    // A transfer of the calling thread starts (its object) or ends (null):
    // abort() reaches the transfers known here.
    void setCurrentTransfer(ETNetworkingCurl *transfer, bool afterAbort = false);

    // Whether a customer's action may start a request now: not while another
    // action runs, nor while a request of the application's thread waits.
    bool mayStartRequest() const { return m_steps == 0 && m_waits == 0; }
    bool isWaiting() const { return m_waits > 0; }
    // A customer's action begins or ends; the first after a cancel lets
    // requests go out again. Application thread only.
    void beginStep();
    void endStep();

  private:
    void writeServerList(const QDomDocument &reply);

    ETOrderXMLBuilder *m_builder = nullptr;
    ETNetworkingError *m_error = nullptr;
    int m_lastServerErrorCode = 0;
    QString m_lastServerErrorText;
    // Added and removed by the threads that send, read by abort() from any thread.
    QMutex m_transferMutex;
    QList<QPair<QThread *, ETNetworkingCurl *>> m_transfers;
    std::atomic<bool> m_aborted{false};
    // The application's thread only.
    int m_waits = 0;
    int m_steps = 0;
};
