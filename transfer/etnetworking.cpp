#include "etnetworking.h"

#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etcountrylist.h"
#include "etcoupon.h"
#include "etcreditcardlist.h"
#include "etcustomer.h"
#include "etfileutils.h"
#include "etlistfile.h"
#include "etnetworkingcurl.h"
#include "etnetworkingerror.h"
#include "etnetworkinglog.h"
#include "etnetworkingtimes.h"
#include "etorder.h"
#include "etorderxmlbuilder.h"
#include "etproductlist.h"
#include "etsingleton.h"
#include "etstore.h"
#include "etstorelist.h"
#include "ettransferlist.h"
#include "ettransferrunner.h"
#include "etuploader.h"

#include <QDebug>

#include <memory>

void ETNetworking::setConnectionCheckForTests(ConnectionCheck check)
{
    ETNetworkingCurl::setConnectionCheckForTests(check);
}

ETNetworking *ETNetworking::instance()
{
    static ETSingleton<ETNetworking> networking;
    return networking.get([] { return new ETNetworking; });
}

ETNetworking::ETNetworking(QObject *parent)
    : QObject(parent), m_runner(new ETTransferRunner(this)), m_uploader(new ETUploader(m_runner, this))
{
    // Emitted in the thread that uploads, as the uploader's are: what listens decides how to take them.
    connect(m_uploader, &ETUploader::uploadProgress, this, &ETNetworking::uploadProgress,
            Qt::DirectConnection);
    connect(m_uploader, &ETUploader::uploadTotalBytes, this, &ETNetworking::uploadTotalBytes,
            Qt::DirectConnection);
    connect(m_uploader, &ETUploader::uploadImage, this, &ETNetworking::uploadImage, Qt::DirectConnection);
    connect(m_uploader, &ETUploader::uploadOrderData, this, &ETNetworking::uploadOrderData,
            Qt::DirectConnection);
}

// ---- the runner's: cancel, customer's steps, documents, session -------------------------------

void ETNetworking::abort()
{
    m_runner->abort();
}

void ETNetworking::clearAbort()
{
    m_runner->clearAbort();
}

bool ETNetworking::isAborted() const
{
    return m_runner->isAborted();
}

bool ETNetworking::isWaiting() const
{
    return m_runner->isWaiting();
}

bool ETNetworking::mayStartRequest() const
{
    return m_runner->mayStartRequest();
}

ETNetworking::Step::Step()
{
    ETNetworking::instance()->m_runner->beginStep();
}

ETNetworking::Step::~Step()
{
    ETNetworking::instance()->m_runner->endStep();
}

QString ETNetworking::documentHeader(const QString &root) const
{
    return m_runner->documentHeader(root);
}

QString ETNetworking::requestDocument(const QString &root, const QString &body) const
{
    return m_runner->requestDocument(root, body);
}

ETNetworkingCurl *ETNetworking::createCurlConnection(const QString &url)
{
    return m_runner->createCurlConnection(url);
}

QDomDocument *ETNetworking::sendNetworkRequest(const QString &name, const QString &body, const QString &url)
{
    return m_runner->request(name, body, url).release();
}

void ETNetworking::replyErrorCode(QDomDocument *reply)
{
    m_runner->replyErrorCode(reply);
}

QString ETNetworking::replyErrorText(QDomDocument *reply)
{
    return m_runner->replyErrorText(reply);
}

QDomNode ETNetworking::replyContent(QDomDocument *reply)
{
    return m_runner->replyContent(reply);
}

QString ETNetworking::childText(const QDomNode &node, const QString &name)
{
    return node.firstChildElement(name).text();
}

QDomNode ETNetworking::findChildByAttribute(const QDomNode &parent, const QString &name,
                                            const QString &attribute, const QString &value1,
                                            const QString &value2)
{
    for (QDomElement e = parent.firstChildElement(name); !e.isNull(); e = e.nextSiblingElement()) {
        if (e.tagName() != name)
            continue;
        const QString value = e.attribute(attribute);
        if (value == value1 || (!value2.isNull() && value == value2))
            return e;
    }
    return QDomNode();
}

QString ETNetworking::getServer(int index)
{
    return m_runner->getServer(index);
}

bool ETNetworking::loadBalancing()
{
    return m_runner->loadBalancing();
}

bool ETNetworking::startSession()
{
    return m_runner->startSession();
}

bool ETNetworking::endSession(const QString &kind)
{
    return m_runner->endSession(kind);
}

bool ETNetworking::endSessionAfterCancel()
{
    return m_runner->endSession(
        QStringLiteral("abort"),
        ETTransferRunner::Bounds(ETNetworkingTimes::sessionEndAfterCancelSeconds, true));
}

bool ETNetworking::endSessionAfterOrder()
{
    const bool ended = m_runner->endSession(
        QStringLiteral("normal"), ETTransferRunner::Bounds(ETNetworkingTimes::sessionEndAfterOrderSeconds));
    ETConfig::instance()->setSessionID(QString(), QString(), true);
    return ended;
}

bool ETNetworking::orderFinishRequest()
{
    const std::unique_ptr<QDomDocument> reply = m_runner->request(
        QStringLiteral("orderfinish_request"), m_runner->builder()->buildOrderFinishRequest());
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    const QString id = childText(content, QStringLiteral("ord_id"));
    ETCustomer *customer = ETOrder::instance()->customer();
    if (!id.isEmpty())
        customer->setValue(QStringLiteral("ord_id"), id);
    else
        customer->setValue(QStringLiteral("ord_id"),
                           QStringLiteral("Server ") + ETConfig::instance()->serverURL() +
                               QStringLiteral(" hat Feature orderfinishrequest abgeschaltet!"));
    return !hasError();
}

QString ETNetworking::makeBaseURL(const QString &server, const QString &suffix)
{
    return ETTransferRunner::makeBaseURL(server, suffix);
}

QString ETNetworking::controllerURL(const QString &server)
{
    return ETTransferRunner::controllerURL(server);
}

QString ETNetworking::dtdURL(const QString &server)
{
    return ETTransferRunner::dtdURL(server);
}

QString ETNetworking::replaceScheme(const QString &url, const QString &scheme)
{
    return ETTransferRunner::replaceScheme(url, scheme);
}

QString ETNetworking::serverProtocol()
{
    return ETTransferRunner::serverProtocol();
}

int ETNetworking::protocolVersion()
{
    return ETTransferRunner::protocolVersion();
}

bool ETNetworking::versionRequest(bool *upToDate, QString *currentVersion, QString *link)
{
    const std::unique_ptr<QDomDocument> reply =
        m_runner->request(QStringLiteral("version_request"), m_runner->builder()->buildVersionRequest());
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    const QString actual = childText(content, QStringLiteral("act_version"));
    const QString own = ETApplicationConfig::version();
    if (currentVersion)
        *currentVersion = actual;
    if (link)
        *link = childText(content, QStringLiteral("link"));
    if (upToDate)
        *upToDate = actual.isEmpty() || actual == own;
    replyErrorCode(reply.get());
    return !hasError() && (actual == QLatin1String("unknown") || actual.isEmpty() || actual == own);
}

bool ETNetworking::hasError() const
{
    return m_runner->error()->hasError();
}

bool ETNetworking::showError(QWidget *parent)
{
    return m_runner->error()->showMessage(parent);
}

QString ETNetworking::errorMessage() const
{
    return m_runner->error()->message();
}

int ETNetworking::errorCode() const
{
    return m_runner->error()->code();
}

void ETNetworking::raiseError(int code)
{
    m_runner->error()->raise(code);
}

// ---- account, customer data, lists and stores -------------------------------------------------

bool ETNetworking::sendHeadOnlyRequest(const QString &name, const QString &body)
{
    const std::unique_ptr<QDomDocument> reply = m_runner->request(name, body);
    if (!reply)
        return false;
    replyErrorCode(reply.get());
    return !hasError();
}

bool ETNetworking::loginRequest(const QString &login, const QString &password)
{
    return sendHeadOnlyRequest(QStringLiteral("login_request"),
                               m_runner->builder()->buildLoginRequest(login, password));
}

bool ETNetworking::secQuestionRequest(const QString &login, QString &question)
{
    const std::unique_ptr<QDomDocument> reply = m_runner->request(
        QStringLiteral("secquestion_request"), m_runner->builder()->buildSecQuestionRequest(login));
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError())
        question = childText(content, QStringLiteral("question"));
    return !hasError();
}

bool ETNetworking::secAnswerRequest(const QString &login, const QString &answer, QString &message)
{
    const std::unique_ptr<QDomDocument> reply = m_runner->request(
        QStringLiteral("secanswer_request"), m_runner->builder()->buildSecAnswerRequest(login, answer));
    if (!reply)
        return false;
    replyContent(reply.get());
    message = m_runner->lastServerErrorText();
    return !hasError();
}

bool ETNetworking::couponCheckRequest(const QString &couponId)
{
    const std::unique_ptr<QDomDocument> reply = m_runner->request(
        QStringLiteral("couponcheck_request"), m_runner->builder()->buildCouponCheckRequest(couponId));
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError()) {
        ETCoupon *coupon = ETCoupon::instance();
        const QString coupons = QStringLiteral("coupon");
        const QString type = QStringLiteral("type");
        for (const auto &kind : {qMakePair(QStringLiteral("FM"), QStringLiteral("OM")),
                                 qMakePair(QStringLiteral("FC"), QStringLiteral("OC"))}) {
            QDomNode found = findChildByAttribute(content, coupons, type, kind.first);
            if (found.isNull())
                found = findChildByAttribute(content, coupons, type, kind.second);
            if (found.isNull())
                continue;
            coupon->setCouponPrice(kind.first,
                                   ETCoupon::priceCents(childText(found, QStringLiteral("price"))),
                                   childText(found, QStringLiteral("coupon_artid")));
        }
        coupon->setCouponId(couponId);
    }
    return !hasError();
}

bool ETNetworking::userInfoRequest(ETCustomer *customer)
{
    const std::unique_ptr<QDomDocument> reply =
        m_runner->request(QStringLiteral("userinfo_request"), m_runner->builder()->buildUserInfoRequest());
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError()) {
        static const char *const fields[][2] = {{"email", "email"},
                                                {"salutation", "salutation"},
                                                {"firstname", "firstname"},
                                                {"lastname", "lastname"},
                                                {"street", "street"},
                                                {"zip", "zip"},
                                                {"city", "city"},
                                                {"country", "country"},
                                                {"sec_question", "securityQ"},
                                                {"sec_answer", "securityA"},
                                                {"phone", "phone"},
                                                {"cellularphone", "cellularphone"},
                                                {"title", "title"},
                                                {"city_part", "city_part"},
                                                {"company_name", "company_name"},
                                                {"state_province", "state_province"}};
        for (const auto &field : fields)
            customer->setValue(QLatin1String(field[1]), childText(content, QLatin1String(field[0])));
    }
    return !hasError();
}

bool ETNetworking::userAddRequest(ETCustomer *customer, bool *accountCreated)
{
    const bool created = sendHeadOnlyRequest(QStringLiteral("useradd_request"),
                                             m_runner->builder()->buildUserAddRequest(customer));
    if (accountCreated)
        *accountCreated = created;
    if (!created)
        return false;
    return loginRequest(customer->value(QStringLiteral("email")),
                        customer->value(QStringLiteral("password")));
}

bool ETNetworking::userChangeRequest(bool changeEmail, bool changePassword, bool changeSecurity,
                                     const QString &email, const QString &password, const QString &question,
                                     const QString &answer)
{
    return sendHeadOnlyRequest(QStringLiteral("userchange_request"),
                               m_runner->builder()->buildUserChangeRequest2(changeEmail, changePassword,
                                                                            changeSecurity, email, password,
                                                                            question, answer));
}

bool ETNetworking::userChangeRequest2(ETCustomer *customer)
{
    return sendHeadOnlyRequest(QStringLiteral("userchange_request"),
                               m_runner->builder()->buildUserChangeRequest(customer));
}

bool ETNetworking::debitDataRequest(ETCustomer *customer)
{
    const std::unique_ptr<QDomDocument> reply =
        m_runner->request(QStringLiteral("debit_data_request"),
                          m_runner->builder()->createSimpleRequest(QStringLiteral("debit_data_request")));
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError()) {
        const QDomElement data = content.firstChildElement();
        customer->setValue(QStringLiteral("account"),
                           childText(data, QStringLiteral("debit_account_number")));
        customer->setValue(QStringLiteral("bankleitzahl"), childText(data, QStringLiteral("debit_bankcode")));
        customer->setValue(QStringLiteral("bankname"), childText(data, QStringLiteral("debit_bankname")));
        customer->setValue(QStringLiteral("accountowner"), childText(data, QStringLiteral("debit_holder")));
    }
    return !hasError();
}

bool ETNetworking::creditCardDataRequest(ETCustomer *customer)
{
    const std::unique_ptr<QDomDocument> reply = m_runner->request(
        QStringLiteral("creditcard_data_request"),
        m_runner->builder()->createSimpleRequest(QStringLiteral("creditcard_data_request")));
    if (!reply)
        return false;
    const QDomNode content = replyContent(reply.get());
    if (!hasError()) {
        const QDomElement card = content.firstChildElement(QStringLiteral("cc_info"));
        customer->setValue(QStringLiteral("cardtype"), childText(card, QStringLiteral("cc_brand")));
        customer->setValue(QStringLiteral("cardnumber"), childText(card, QStringLiteral("cc_number")));
        customer->setValue(QStringLiteral("validuntil"),
                           childText(card, QStringLiteral("cc_valid_month")) + QLatin1Char('/') +
                               childText(card, QStringLiteral("cc_valid_year")));
        customer->setValue(QStringLiteral("cardowner"), childText(card, QStringLiteral("cc_holder")));
    }
    return !hasError();
}

bool ETNetworking::debitUpdateRequest(ETCustomer *customer)
{
    return sendHeadOnlyRequest(QStringLiteral("debit_update_request"),
                               m_runner->builder()->buildDebitUpdateRequest(customer));
}

bool ETNetworking::creditCardUpdateRequest(ETCustomer *customer)
{
    return sendHeadOnlyRequest(QStringLiteral("creditcard_update_request"),
                               m_runner->builder()->buildCreditCardUpdateRequest(customer));
}

ETStoreList *ETNetworking::locationListRequestByZip(const QString &zip)
{
    return sendLocationListRequest(m_runner->builder()->buildLocationListRequestByZip(zip));
}

ETStoreList *ETNetworking::locationListRequestByCity(const QString &city)
{
    return sendLocationListRequest(m_runner->builder()->buildLocationListRequestByCity(city));
}

ETStoreList *ETNetworking::sendLocationListRequest(const QString &body)
{
    ETStoreList *stores = ETStore::storeList();
    stores->clear();
    const std::unique_ptr<QDomDocument> reply =
        m_runner->request(QStringLiteral("locationlist_request"), body);
    if (!reply)
        return nullptr;
    const QDomNode content = replyContent(reply.get());
    for (QDomElement e = content.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        bool ok = false;
        int id = childText(e, QStringLiteral("loc_id")).toInt(&ok, 10);
        if (!ok)
            id = 0;
        stores->append(
            new ETStore(id, childText(e, QStringLiteral("name")), childText(e, QStringLiteral("street")),
                        childText(e, QStringLiteral("zip")), childText(e, QStringLiteral("city"))));
    }
    return stores;
}

bool ETNetworking::updateList(const QString &name, const QString &body, const char *list, const char *entry,
                              const char *firstChild, int code, const QString &fileName)
{
    const std::unique_ptr<QDomDocument> reply = m_runner->request(name, body);
    if (!reply)
        return false;
    replyErrorCode(reply.get());
    if (hasError())
        return false;
    const ETListFile file = ETListFile::fromReply(*reply, {list, "content"}, entry, firstChild);
    if (file.isNull()) {
        m_runner->error()->raise(code);
        return false;
    }
    qCDebug(lcNetworking).noquote() << QStringLiteral("***** writing XML file ") + fileName;
    if (!file.write(fileName)) {
        m_runner->error()->raise(ETNetworkingError::ListNotWritten);
        return false;
    }
    return true;
}

bool ETNetworking::fetchProductList()
{
    return updateList(QStringLiteral("articlelist_request"), m_runner->builder()->buildArticleListRequest(),
                      "articlelist", "article", "artid", ETNetworkingError::ProductListInvalid,
                      QStringLiteral("productlist.xml"));
}

bool ETNetworking::fetchTransferList()
{
    return updateList(QStringLiteral("transferlist_request"), m_runner->builder()->buildTransferListRequest(),
                      "transferlist", "transfer", "id", ETNetworkingError::TransferListInvalid,
                      QStringLiteral("transferlist.xml"));
}

bool ETNetworking::updateProductList()
{
    return ETProductList::instance()->updateFromServer(this);
}

bool ETNetworking::updateDiscountInfo()
{
    return ETTransferList::instance()->reload(this);
}

bool ETNetworking::updateCountryList()
{
    if (!updateList(QStringLiteral("countrylist_request"), m_runner->builder()->buildCountryListRequest(),
                    "countrylist", "country", "name", ETNetworkingError::CountryListInvalid,
                    QStringLiteral("countrylist.xml")))
        return false;
    ETCountryList::instance()->readFile(resourcePath(QStringLiteral("countrylist.xml")));
    return true;
}

bool ETNetworking::fetchCreditCardList()
{
    return updateList(QStringLiteral("creditcards_request"), m_runner->builder()->buildCreditCardsRequest(),
                      "creditcards", "cc", "brand", ETNetworkingError::CreditCardListInvalid,
                      QStringLiteral("creditcards.xml"));
}

bool ETNetworking::updateCreditCardList()
{
    // Fetched before the list is asked for: a list first made now holds the
    // server's brands only, not those of the file it replaces.
    if (!fetchCreditCardList())
        return false;
    ETCreditCardList::instance()->readFile(resourcePath(QStringLiteral("creditcards.xml")));
    return true;
}

// ---- sending an order: the uploader's ----------------------------------------------------------

bool ETNetworking::checkOrderPictures()
{
    return m_uploader->checkOrderPictures();
}

bool ETNetworking::orderDeclarationRequest(const QString &directory, bool archive)
{
    return m_uploader->orderDeclarationRequest(directory, archive);
}

bool ETNetworking::stopUpload()
{
    return m_uploader->stopUpload();
}

bool ETNetworking::upload()
{
    return m_uploader->upload();
}

void ETNetworking::curlProgress(int bytes)
{
    m_uploader->curlProgress(bytes);
}
