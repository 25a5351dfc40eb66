#pragma once

#include "etlistsource.h"

#include <QDomDocument>
#include <QDomNode>
#include <QObject>
#include <QString>
#include <QStringList>

class ETCustomer;
class ETNetworkingCurl;
class ETStoreList;
class ETTransferRunner;
class ETUploader;
class QWidget;

// The request layer: the one object through which the client talks to the
// order server (singleton), and the requests of the wizard's screens.
// Requests are synchronous for their caller: the upload thread blocks on
// them; the application's thread waits in its own event loop, where the
// transfer runs too, so the window stays alive and abort() (the Cancel of a
// page or of the progress dialog) ends it at once. Sending is the runner's
// (ETTransferRunner), the pictures the uploader's (ETUploader).
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
    // The application's thread waits for a reply (in its event loop).
    bool isWaiting() const;
    // Whether a customer's action may start now: not while another one runs,
    // nor while a request waits for the server. The one place that decides it.
    bool mayStartRequest() const;
    // A customer's action that may talk to the server (a screen's step, a
    // search on a page) runs while it lives; the first after a cancel lets
    // requests go out again. Application thread only.
    class Step
    {
      public:
        Step();
        ~Step();
        Step(const Step &) = delete;
        Step &operator=(const Step &) = delete;
    };

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
    explicit ETNetworking(QObject *parent = nullptr);
    // Sends a request and reads the reply head only; true when no error is reported.
    bool sendHeadOnlyRequest(const QString &name, const QString &body);
    bool updateList(const QString &name, const QString &body, const char *list, const char *entry,
                    const char *firstChild, int code, const QString &fileName);

    ETTransferRunner *m_runner;
    ETUploader *m_uploader;
};
