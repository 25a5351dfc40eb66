#pragma once

#include "etlistsource.h"
#include "etuploadrun.h"

#include <QDomDocument>
#include <QDomNode>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class ETCustomer;
class ETNetworkingCurl;
class ETNetworkingError;
class ETOrderXMLBuilder;
class ETStoreList;
class QWidget;

// The request layer: the one object through which the client talks to the
// order server (singleton). Requests run synchronously in the calling
// thread: the GUI thread, or the upload thread while the GUI waits.
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

    // Account: login, security question, coupon.
    bool loginRequest(const QString &login, const QString &password);
    bool secQuestionRequest(const QString &login, QString &question);
    bool secAnswerRequest(const QString &login, const QString &answer, QString &message);
    bool couponCheckRequest(const QString &couponId);
    // Whole cents of a coupon price text, rounded to the nearest cent (0 when it is no number).
    static int couponPriceCents(const QString &price);

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
    void abort();

  signals:
    void progress(int step);
    void uploadProgress(int bytes);
    void uploadTotalBytes(int bytes);
    void uploadImage(const QString &path);
    void uploadOrderData();

  private:
    explicit ETNetworking(QObject *parent = nullptr);
    // Every request goes through here: the parsed reply, or null after a
    // failure that the error holder keeps.
    std::unique_ptr<QDomDocument> request(const QString &name, const QString &body,
                                          const QString &url = QString());
    void setCurrentTransfer(ETNetworkingCurl *transfer);
    void writeServerList(const QDomDocument &reply);
    bool uploadControlStep();
    bool uploadStep(const QDomDocument &control);
    // Sends a request and reads the reply head only; true when no error is reported.
    bool sendHeadOnlyRequest(const QString &name, const QString &body);
    bool updateList(const QString &name, const QString &body, const char *list, const char *entry,
                    const char *firstChild, int code, const QString &fileName);
    // A list of the server as a file of the resource folder, in the encoding its declaration names.
    static bool writeListFile(const QString &fileName, QString declaration, const QDomNode &node);

    ETOrderXMLBuilder *m_builder = nullptr;
    int m_lastServerErrorCode = 0;
    QString m_lastServerErrorText;
    ETNetworkingError *m_error = nullptr;
    // Set and cleared by the sending thread, read by abort() from the GUI thread.
    QMutex m_transferMutex;
    ETNetworkingCurl *m_currentTransfer = nullptr;
    ETUploadRun m_uploadRun;
};
