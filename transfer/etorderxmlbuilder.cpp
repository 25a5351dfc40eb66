#include "etorderxmlbuilder.h"

#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etnetworking.h"

ETOrderXMLBuilder::ETOrderXMLBuilder(QObject *parent) : ETXMLBuilder(parent) {}

int ETOrderXMLBuilder::protocolLevel()
{
    return ETNetworking::protocolVersion();
}

QString ETOrderXMLBuilder::osName() const
{
    return QStringLiteral("win32");
}

QDomElement ETOrderXMLBuilder::createRequestDocument(QDomDocument &document, QDomElement &root)
{
    return addTextElement(document, root, QStringLiteral("ocsid"), ETConfig::instance()->sessionID());
}

QString ETOrderXMLBuilder::createSimpleRequest(const QString &rootName, const QString &attributeName,
                                               const QString &attributeValue)
{
    QDomDocument document;
    QDomElement root = document.createElement(rootName);
    if (!attributeName.isNull() && !attributeValue.isNull())
        root.setAttribute(attributeName, attributeValue);
    document.appendChild(root);
    createRequestDocument(document, root);
    return document.toString();
}

QString ETOrderXMLBuilder::buildLoginLike(const QString &rootName, const QString &firstName,
                                          const QString &first, const QString &secondName,
                                          const QString &second)
{
    QDomDocument document;
    QDomElement root = document.createElement(rootName);
    document.appendChild(root);
    createRequestDocument(document, root);
    addTextElement(document, root, firstName, first);
    if (!secondName.isNull())
        addTextElement(document, root, secondName, second);
    return document.toString();
}

QString ETOrderXMLBuilder::buildSessionRequest(const QString &serverProtocol)
{
    ETApplicationConfig *config = ETApplicationConfig::instance();
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("session_request"));
    document.appendChild(root);
    addTextElement(document, root, QStringLiteral("keyacc_id"), config->keyAccount());
    addTextElement(document, root, QStringLiteral("client_name"), config->programName());
    addTextElement(document, root, QStringLiteral("client_version"), ETApplicationConfig::version());
    addTextElement(document, root, QStringLiteral("server_protocol"), serverProtocol);
    return document.toString();
}

QString ETOrderXMLBuilder::buildXtci2Request(const QString &serverProtocol)
{
    ETApplicationConfig *config = ETApplicationConfig::instance();
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("xtci2_request"));
    document.appendChild(root);
    addTextElement(document, root, QStringLiteral("client_name"), config->programName());
    addTextElement(document, root, QStringLiteral("client_version"), ETApplicationConfig::version());
    addTextElement(document, root, QStringLiteral("server_protocol"), serverProtocol);
    return document.toString();
}

QString ETOrderXMLBuilder::buildVersionRequest()
{
    ETApplicationConfig *config = ETApplicationConfig::instance();
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("version_request"));
    document.appendChild(root);
    addTextElement(document, root, QStringLiteral("client_name"), config->programName());
    addTextElement(document, root, QStringLiteral("client_version"), ETApplicationConfig::version());
    addTextElement(document, root, QStringLiteral("keyacc_id"), config->keyAccount());
    addTextElement(document, root, QStringLiteral("os"), osName());
    return document.toString();
}

QString ETOrderXMLBuilder::buildEndSessionRequest(const QString &mode)
{
    return createSimpleRequest(QStringLiteral("endsession_request"), QStringLiteral("mode"), mode);
}

QString ETOrderXMLBuilder::buildConfigRequest()
{
    return createSimpleRequest(QStringLiteral("config_request"));
}

QString ETOrderXMLBuilder::buildUserInfoRequest()
{
    return createSimpleRequest(QStringLiteral("userinfo_request"));
}

QString ETOrderXMLBuilder::buildCountryListRequest()
{
    return createSimpleRequest(QStringLiteral("countrylist_request"));
}

QString ETOrderXMLBuilder::buildArticleListRequest()
{
    return createSimpleRequest(QStringLiteral("articlelist_request"));
}

QString ETOrderXMLBuilder::buildTransferListRequest()
{
    return createSimpleRequest(QStringLiteral("transferlist_request"));
}

QString ETOrderXMLBuilder::buildCreditCardsRequest()
{
    return createSimpleRequest(QStringLiteral("creditcards_request"));
}

QString ETOrderXMLBuilder::buildOrderFinishRequest()
{
    return createSimpleRequest(QStringLiteral("orderfinish_request"), QStringLiteral("mode"),
                               QStringLiteral("normal"));
}

QString ETOrderXMLBuilder::buildUploadCtrlRequest(const QString &action)
{
    return createSimpleRequest(QStringLiteral("uploadctrl_request"), QStringLiteral("action"), action);
}

QString ETOrderXMLBuilder::buildLoginRequest(const QString &login, const QString &password)
{
    return buildLoginLike(QStringLiteral("login_request"), QStringLiteral("login"), login,
                          QStringLiteral("pwd"), password);
}

QString ETOrderXMLBuilder::buildSecQuestionRequest(const QString &login)
{
    return buildLoginLike(QStringLiteral("secquestion_request"), QStringLiteral("login"), login);
}

QString ETOrderXMLBuilder::buildSecAnswerRequest(const QString &login, const QString &answer)
{
    return buildLoginLike(QStringLiteral("secanswer_request"), QStringLiteral("login"), login,
                          QStringLiteral("sec_answer"), answer);
}

QString ETOrderXMLBuilder::buildCouponCheckRequest(const QString &couponId)
{
    return buildLoginLike(QStringLiteral("couponcheck_request"), QStringLiteral("couponid"), couponId);
}

QString ETOrderXMLBuilder::buildLocationListRequestByZip(const QString &zip)
{
    return buildLoginLike(QStringLiteral("locationlist_request"), QStringLiteral("zip"), zip);
}

QString ETOrderXMLBuilder::buildLocationListRequestByCity(const QString &city)
{
    return buildLoginLike(QStringLiteral("locationlist_request"), QStringLiteral("city"), city);
}
