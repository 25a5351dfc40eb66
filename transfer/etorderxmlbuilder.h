#pragma once

#include "etxmlbuilder.h"

#include <QDomDocument>
#include <QList>
#include <QString>

class ETCustomer;
class ETImage;
class ETOrderItem;

// Builds every request document sent to the order server, as text without
// declaration and document type (the request layer adds those). Keeps no
// state; called from the GUI thread and the upload thread.
class ETOrderXMLBuilder : public ETXMLBuilder
{
    Q_OBJECT

  public:
    explicit ETOrderXMLBuilder(QObject *parent = nullptr);

    virtual QString buildSessionRequest(const QString &serverProtocol);
    virtual QString buildEndSessionRequest(const QString &mode);
    virtual QString buildXtci2Request(const QString &serverProtocol);
    virtual QString buildConfigRequest();
    virtual QString buildLoginRequest(const QString &login, const QString &password);
    virtual QString buildCouponCheckRequest(const QString &couponId);
    virtual QString buildUserInfoRequest();
    virtual QString buildCountryListRequest();
    virtual QString buildSecQuestionRequest(const QString &login);
    virtual QString buildSecAnswerRequest(const QString &login, const QString &answer);
    virtual QString buildArticleListRequest();
    virtual QString buildTransferListRequest();
    virtual QString buildLocationListRequestByZip(const QString &zip);
    virtual QString buildLocationListRequestByCity(const QString &city);
    virtual QString buildOrderFinishRequest();
    virtual QString buildVersionRequest();
    virtual QString buildUploadCtrlRequest(const QString &action);
    virtual QString buildCreditCardsRequest();

    // Customer and payment data.
    virtual QString buildUserAddRequest(ETCustomer *customer);
    virtual QString buildUserChangeRequest(ETCustomer *customer);
    virtual QString buildCreditCardUpdateRequest(ETCustomer *customer);
    virtual QString buildDebitUpdateRequest(ETCustomer *customer);
    virtual QString buildUserChangeRequest2(bool withEmail, bool withPassword, bool withSecurity,
                                            const QString &email, const QString &password,
                                            const QString &question, const QString &answer);
    virtual QDomDocument buildUserAddRequest2(const QString &rootName, ETCustomer *customer);
    void addCreditCardInfo(QDomDocument &document, QDomElement &parent, ETCustomer *customer);
    void addDebitInfo(QDomDocument &document, QDomElement &parent, ETCustomer *customer);
    QDomElement addCustomerField(QDomDocument &document, QDomElement &parent, const QString &key,
                                 ETCustomer *customer);
    // Element name on the wire for a customer field key.
    static QString wireFieldName(const QString &key);

    // Order declaration.
    QString buildOrderDeclarationBody(const QString &directory, bool archive);
    virtual QString buildOrderDeclarationRequest(bool archive);
    void addOrderPosition(QDomDocument &document, QDomElement &parent, ETOrderItem *item, int position,
                          const QString &directory, bool archive);
    void addCouponElements(QDomDocument &document, QDomElement &parent);

    // The upload file of a picture the declaration names, and the name it has
    // there: the file as it is, unless XML cannot carry it. Such a file is
    // named with those characters replaced and, when another file of the
    // order already has that name, a number, so that the server's name for
    // a picture still leads back to its one file.
    struct DeclaredFile {
        const ETImage *image = nullptr;
        QString path;
        QString name;
    };
    // Every picture of the order that is sent (amount above 0), once, in order.
    static QList<DeclaredFile> declaredFiles(const QString &directory);

    // Appends the session element to the root and returns it.
    QDomElement createRequestDocument(QDomDocument &document, QDomElement &root);
    // A root with at most one attribute (left out when name or value is null) and the session element.
    QString createSimpleRequest(const QString &rootName, const QString &attributeName = QString(),
                                const QString &attributeValue = QString());
    QString osName() const;

    // Protocol level: major * 10 + minor of the protocol in use.
    static int protocolLevel();

  private:
    void addOrderPosition(QDomDocument &document, QDomElement &parent, ETOrderItem *item, int position,
                          const QString &fileName, bool archive, int level);
    QString buildLoginLike(const QString &rootName, const QString &firstName, const QString &first,
                           const QString &secondName = QString(), const QString &second = QString());
};
