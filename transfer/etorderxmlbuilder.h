#pragma once

#include "etxmlbuilder.h"

#include <QDomDocument>
#include <QString>

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

    // Appends the session element to the root and returns it.
    QDomElement createRequestDocument(QDomDocument &document, QDomElement &root);
    // A root with at most one attribute (left out when name or value is null) and the session element.
    QString createSimpleRequest(const QString &rootName, const QString &attributeName = QString(),
                                const QString &attributeValue = QString());
    QString osName() const;

    // Protocol level: major * 10 + minor of the protocol in use.
    static int protocolLevel();

  private:
    QString buildLoginLike(const QString &rootName, const QString &firstName, const QString &first,
                           const QString &secondName = QString(), const QString &second = QString());
};
