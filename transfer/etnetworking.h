#pragma once

#include <QDomDocument>
#include <QDomNode>
#include <QMutex>
#include <QObject>
#include <QString>

class ETNetworkingCurl;
class ETNetworkingError;
class ETOrderXMLBuilder;
class QWidget;

// The request layer: the one object through which the client talks to the
// order server (singleton). Requests run synchronously in the calling
// thread: the GUI thread, or the upload thread while the GUI waits.
class ETNetworking : public QObject
{
    Q_OBJECT

  public:
    static ETNetworking *instance();

    // Common request machinery.
    QDomDocument *sendNetworkRequest(const QString &name, const QString &body, const QString &url);
    ETNetworkingCurl *createCurlConnection(const QString &url);
    QDomNode replyContent(QDomDocument *reply);
    void replyErrorCode(QDomDocument *reply);
    QString replyErrorText(QDomDocument *reply);
    static QString childText(const QDomNode &node, const QString &name);
    static QDomNode findChildByAttribute(const QDomNode &parent, const QString &name,
                                         const QString &attribute, const QString &value1,
                                         const QString &value2 = QString());
    QString documentHeader(const QString &root) const;
    QString requestDocument(const QString &root, const QString &body) const;

    // Server choice and session.
    bool loadBalancing();
    QString getServer(int index);
    bool startSession();
    bool endSession(const QString &kind);
    bool orderFinishRequest();
    bool writeOrderLog(const QString &text);

    // Server addresses and protocol.
    static QString makeBaseURL(const QString &server, const QString &suffix);
    static QString controllerURL(const QString &server);
    static QString dtdURL(const QString &server);
    static QString replaceScheme(const QString &url, const QString &scheme);
    static QString serverProtocol();
    static int protocolVersion();
    bool versionRequest(bool *upToDate = nullptr, QString *currentVersion = nullptr, QString *link = nullptr);

    // Tests stand in for the dial-up check (nullptr: the real one).
    using ConnectionCheck = bool (*)();
    static void setConnectionCheckForTests(ConnectionCheck check);

    // The last failure.
    bool hasError() const;
    bool showError(QWidget *parent);
    QString errorMessage() const;
    int errorCode() const;
    void raiseError(int code);

  public slots:
    void abort();

  signals:
    void progress(int step);
    void uploadProgress(int bytes);
    void uploadTotalBytes(int bytes);
    void uploadImage(const QString &path);
    void uploadOrderData();

  private:
    explicit ETNetworking(QObject *parent = nullptr);
    void setCurrentTransfer(ETNetworkingCurl *transfer);
    void writeServerList(QDomDocument *reply);

    ETOrderXMLBuilder *m_builder = nullptr;
    int m_lastServerErrorCode = 0;
    QString m_lastServerErrorText;
    int m_uploadTotalBytes = 1;
    int m_uploadSubmittedBytes = 1;
    ETNetworkingError *m_error = nullptr;
    // Set and cleared by the sending thread, read by abort() from the GUI thread.
    QMutex m_transferMutex;
    ETNetworkingCurl *m_currentTransfer = nullptr;
};
