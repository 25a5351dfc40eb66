#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include "etnetworkingtimes.h"
#include "etxmlreader.h"

#include <curl/curl.h>

#include <atomic>

class ETPostedFile;
class QFile;

// One libcurl easy handle for one server exchange: posts a request text or a
// picture, or fetches a URL. Used by one thread at a time: in the
// application's thread the transfer runs in its event loop (ETCurlEventLoop),
// in another thread it blocks it. cancel() may come from any thread and ends
// a running transfer at once.
class ETNetworkingCurl : public QObject
{
    Q_OBJECT

  public:
    // What download() gives for a file the server does not have (HTTP 404):
    // the code the callers have always known for it.
    static constexpr int RemoteFileMissing = CURLE_FILESIZE_EXCEEDED;

    explicit ETNetworkingCurl(const QString &url, QObject *parent = nullptr);
    ~ETNetworkingCurl() override;

    virtual void setURL(const QString &url);
    // "host:port"; an empty text means no proxy at all, not even one from the environment.
    virtual void setProxy(const QString &proxy);
    virtual void setProxyPort(int port);
    virtual void enableProgress(int total);
    // How long a request post may take, in protocol seconds (requestTimeoutSeconds unless set).
    void setRequestTimeout(int seconds);
    virtual int get(const QString &url);
    virtual int download(const QString &path);
    virtual int postString(const QString &text);
    // A picture from a regular file; CURLE_READ_ERROR for anything else.
    virtual int postFile(const QString &uploadId, const QString &path, const QString &contentType);
    // An opened picture under the file name, read as it is posted. When the
    // file turns out not to be what was declared of it, the post ends before
    // its last byte with CURLE_ABORTED_BY_CALLBACK and the file's state tells why.
    int postFile(const QString &uploadId, ETPostedFile &file, const QString &fileName,
                 const QString &contentType);
    // Runs the step; when it found no connection, asks for a dial-up once and
    // runs it again after one was made.
    virtual int performWithDialUp(int (ETNetworkingCurl::*step)(const QString &), const QString &argument);
    // The dial-up rule: after a result that means no connection at all, a
    // dial-up is asked for once (tried remembers it); true when one was just
    // made and the transfer is to go once more.
    static bool dialledUpAfter(int result, bool &tried);
    // Tests stand in for the dial-up check (nullptr: the real one).
    using ConnectionCheck = bool (*)();
    static void setConnectionCheckForTests(ConnectionCheck check);
    virtual int httpCode() const;
    virtual int curlError() const;
    virtual QString errorText() const;
    virtual QByteArray &replyBytes();
    // The reply parsed as XML; parsed (when given) tells whether it was XML at all.
    virtual QDomDocument replyDocument(bool *parsed = nullptr) const;
    // The same with the reason a reply was not read: also too deep or too large.
    ETXMLReader::Result readReply(QDomDocument &document) const;
    // The last transfer stopped because its reply grew beyond any reply that is read.
    bool replyTooLarge() const { return m_replyTooLarge; }

  public slots:
    // For good: the running transfer and every later one end with CURLE_ABORTED_BY_CALLBACK.
    void cancel();

  signals:
    void progress(int step);

  private:
    int perform();
    int transfer();
    static size_t writeToBuffer(char *data, size_t size, size_t count, void *self);
    static size_t writeToFile(char *data, size_t size, size_t count, void *file);
    static size_t readPostedFile(char *buffer, size_t size, size_t count, void *self);
    static int seekPostedFile(void *self, curl_off_t offset, int origin);
    void cancelRunning();
    static int progressCallback(void *self, curl_off_t downloadTotal, curl_off_t downloadNow,
                                curl_off_t uploadTotal, curl_off_t uploadNow);

    double m_progressScale = 0;
    bool m_progressEnabled = false;
    int m_requestTimeoutSeconds = ETNetworkingTimes::requestTimeoutSeconds;
    int m_reportedStep = -1; // the last step reported in this transfer
    QElapsedTimer m_sinceReport;
    std::atomic<bool> m_cancel{false};
    bool m_downloadMode = false;
    bool m_replyTooLarge = false;
    QString m_url;
    QString m_proxy;
    long m_httpCode = 0;
    int m_curlError = 0;
    char m_errorBuffer[CURL_ERROR_SIZE];
    CURL *m_handle = nullptr;
    CURLM *m_multi = nullptr;
    curl_mime *m_form = nullptr;
    QByteArray m_reply;
    QByteArray m_urlBytes;
    QByteArray m_proxyBytes;
    QByteArray m_postBody;
    // The picture a form posts, read as it goes.
    ETPostedFile *m_postedFile = nullptr;
    // Names this object's transfer to the application thread's event loop.
    const quint64 m_serial;
    std::atomic<bool> m_inEventLoop{false};
};
