#pragma once

#include "etlistsource.h"
#include "etnetworkingtimes.h"
#include "etuploadrun.h"

#include <QDomDocument>
#include <QDomNode>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <memory>

class ETCustomer;
class ETNetworkingCurl;
class ETNetworkingError;
class ETOrderXMLBuilder;
class ETStoreList;
class QThread;
class QWidget;

// The request layer: the one object through which the client talks to the
// order server (singleton). Requests are synchronous for their caller: the
// upload thread blocks on them; the GUI thread waits in a local event loop
// while the transfer runs in a thread of its own, so the window stays alive
// and abort() (the Cancel of a page or of the progress dialog) ends it at once.
class ETNetworking : public QObject, public ETListSource
{
    Q_OBJECT

  public:
    static ETNetworking *instance();

    // Common request machinery. The caller owns the reply; null after a failure.
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
    // Ends the session ("abort") after the customer cancelled: goes out even
    // though the requests were aborted, and waits a few seconds at most.
    bool endSessionAfterCancel();
    // Ends the session ("normal") of a finished order, briefly and at most
    // once: the session is forgotten whatever the answer, so that nothing
    // later ends it as cancelled.
    bool endSessionAfterOrder();
    bool orderFinishRequest();

    // Server addresses and protocol.
    static QString makeBaseURL(const QString &server, const QString &suffix);
    static QString controllerURL(const QString &server);
    static QString dtdURL(const QString &server);
    static QString replaceScheme(const QString &url, const QString &scheme);
    static QString serverProtocol();
    static int protocolVersion();
    bool versionRequest(bool *upToDate = nullptr, QString *currentVersion = nullptr, QString *link = nullptr);

    // Account: login, security question, coupon.
    bool loginRequest(const QString &login, const QString &password);
    bool secQuestionRequest(const QString &login, QString &question);
    bool secAnswerRequest(const QString &login, const QString &answer, QString &message);
    bool couponCheckRequest(const QString &couponId);

    // Customer data.
    bool userInfoRequest(ETCustomer *customer);
    // accountCreated (when given) tells whether the server made the account,
    // also when the login that follows failed.
    bool userAddRequest(ETCustomer *customer, bool *accountCreated = nullptr);
    bool userChangeRequest(bool changeEmail, bool changePassword, bool changeSecurity, const QString &email,
                           const QString &password, const QString &question, const QString &answer);
    bool userChangeRequest2(ETCustomer *customer);
    bool debitDataRequest(ETCustomer *customer);
    bool creditCardDataRequest(ETCustomer *customer);
    bool debitUpdateRequest(ETCustomer *customer);
    bool creditCardUpdateRequest(ETCustomer *customer);

    // Store search: the refilled store list, nullptr when no reply came.
    ETStoreList *locationListRequestByZip(const QString &zip);
    ETStoreList *locationListRequestByCity(const QString &city);
    ETStoreList *sendLocationListRequest(const QString &body);

    // Sending an order (upload thread): declaration and picture upload steps.
    // Every picture to be sent can be read; else the error names those that cannot.
    bool checkOrderPictures();
    bool orderDeclarationRequest(const QString &directory, bool archive);
    bool upload();
    bool stopUpload();

    // Tests stand in for the dial-up check (nullptr: the real one).
    using ConnectionCheck = bool (*)();
    static void setConnectionCheckForTests(ConnectionCheck check);

    // After abort(): a new step of the customer's lets requests go out again.
    void clearAbort();
    bool isAborted() const;
    // The application's thread waits for a reply (in its event loop): what
    // the customer clicks meanwhile must not start another request.
    bool isWaiting() const;

    // The last failure.
    bool hasError() const;
    bool showError(QWidget *parent);
    QString errorMessage() const;
    int errorCode() const;
    void raiseError(int code);

    // Fetch and store one list without reading it (its list reads it).
    bool fetchProductList() override;
    bool fetchTransferList() override;
    bool fetchCreditCardList() override;

  public slots:
    // List refreshes: true when the list file was written (and read back by its list).
    bool updateProductList();
    bool updateCountryList();
    bool updateDiscountInfo();
    bool updateCreditCardList();
    void curlProgress(int bytes);
    // Ends every running request at once, and fails every later one (and the
    // upload's waits) without sending until clearAbort(). Any thread.
    void abort();

  signals:
    void progress(int step);
    void uploadProgress(int bytes);
    void uploadTotalBytes(int bytes);
    void uploadImage(const QString &path);
    void uploadOrderData();

  private:
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

    explicit ETNetworking(QObject *parent = nullptr);
    // Every request goes through here: the parsed reply, or null after a
    // failure that the error holder keeps.
    std::unique_ptr<QDomDocument> request(const QString &name, const QString &body,
                                          const QString &url = QString(), const Bounds &bounds = Bounds());
    // Posts the text; in the application's thread without blocking its events.
    int post(ETNetworkingCurl *transfer, const QString &text);
    bool endSession(const QString &kind, const Bounds &bounds);
    // A transfer of the calling thread starts (its object) or ends (null).
    void setCurrentTransfer(ETNetworkingCurl *transfer, bool afterAbort = false);
    // The upload's waits; false, with the error raised, when aborted meanwhile.
    bool pause(int seconds);
    void writeServerList(const QDomDocument &reply);
    bool uploadControlStep();
    bool uploadStep(const QDomDocument &control);
    // Sends a request and reads the reply head only; true when no error is reported.
    bool sendHeadOnlyRequest(const QString &name, const QString &body);
    bool updateList(const QString &name, const QString &body, const char *list, const char *entry,
                    const char *firstChild, int code, const QString &fileName);

    ETOrderXMLBuilder *m_builder = nullptr;
    int m_lastServerErrorCode = 0;
    QString m_lastServerErrorText;
    ETNetworkingError *m_error = nullptr;
    // Added and removed by the threads that send, read by abort() from any thread.
    QMutex m_transferMutex;
    QList<QPair<QThread *, ETNetworkingCurl *>> m_transfers;
    std::atomic<bool> m_aborted{false};
    int m_waits = 0; // the application's thread only
    // Where the application thread's transfers run while it waits; a few
    // threads kept, so that a request does not pay for a new one.
    QThreadPool m_transferThreads;
    ETUploadRun m_uploadRun;
};
