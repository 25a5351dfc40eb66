#include "etorderxmlbuilder.h"

#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etcountrylist.h"
#include "etcoupon.h"
#include "etcustomer.h"
#include "etcustomerdescription.h"
#include "etimage.h"
#include "etnetworking.h"
#include "etnetworkinglog.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etproductlist.h"
#include "etprotocollevel.h"
#include "etstore.h"
#include "etstorelist.h"
#include "ettransferlist.h"
#include "paymenttype.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>

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
        root.setAttribute(attributeName, carriableText(attributeValue));
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

// ---- customer and payment data ----------------------------------------------------------------

QString ETOrderXMLBuilder::wireFieldName(const QString &key)
{
    // Filled once, read-only afterwards; the upload thread reads it too.
    static const QMap<QString, QString> names = {
        {QStringLiteral("password"), QStringLiteral("pwd")},
        {QStringLiteral("securityQ"), QStringLiteral("sec_question")},
        {QStringLiteral("securityA"), QStringLiteral("sec_answer")},
        {QStringLiteral("cardowner"), QStringLiteral("cc_holder")},
        {QStringLiteral("cardnumber"), QStringLiteral("cc_number")},
        {QStringLiteral("account"), QStringLiteral("debit_account_number")},
        {QStringLiteral("accountowner"), QStringLiteral("debit_holder")},
        {QStringLiteral("bankleitzahl"), QStringLiteral("debit_bankcode")},
        {QStringLiteral("bankname"), QStringLiteral("debit_bankname")},
        {QStringLiteral("cardvalidationcode"), QStringLiteral("cc_validation_code")},
    };
    return names.value(key, key);
}

QDomElement ETOrderXMLBuilder::addCustomerField(QDomDocument &document, QDomElement &parent,
                                                const QString &key, ETCustomer *customer)
{
    return addTextElement(document, parent, wireFieldName(key), customer->value(key));
}

QDomDocument ETOrderXMLBuilder::buildUserAddRequest2(const QString &rootName, ETCustomer *customer)
{
    const int level = protocolLevel();
    QDomDocument document;
    QDomElement root = document.createElement(rootName);
    document.appendChild(root);
    createRequestDocument(document, root);
    const bool registration = rootName == QLatin1String("useradd_request");
    for (const QString &key : ETCustomerDescription::fieldNames()) {
        if (key == QLatin1String("email") && !registration)
            continue;
        if ((key == QLatin1String("company_name") || key == QLatin1String("state_province")) &&
            level < ETProtocolLevel::V1_5)
            continue;
        if ((key == QLatin1String("title") || key == QLatin1String("city_part")) &&
            level < ETProtocolLevel::V1_8)
            continue;
        addCustomerField(document, root, key, customer);
        if (key == QLatin1String("country"))
            addTextElement(document, root, QStringLiteral("iso_country"),
                           ETCountryList::instance()->isoCode(customer->value(key)));
    }
    return document;
}

QString ETOrderXMLBuilder::buildUserAddRequest(ETCustomer *customer)
{
    QDomDocument document = buildUserAddRequest2(QStringLiteral("useradd_request"), customer);
    const int level = protocolLevel();
    qCDebug(lcNetworking, "buildUserAddRequest: protocol=%d", level);
    if (level >= ETProtocolLevel::V1_6) {
        QDomElement root = document.documentElement();
        for (const char *name : {"customer_card", "fax", "imei", "favorite_loc_id"})
            addTextElement(document, root, QLatin1String(name), QString());
    }
    return document.toString();
}

QString ETOrderXMLBuilder::buildUserChangeRequest(ETCustomer *customer)
{
    return buildUserAddRequest2(QStringLiteral("userchange_request"), customer).toString();
}

QString ETOrderXMLBuilder::buildUserChangeRequest2(bool withEmail, bool withPassword, bool withSecurity,
                                                   const QString &email, const QString &password,
                                                   const QString &question, const QString &answer)
{
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("userchange_request"));
    document.appendChild(root);
    createRequestDocument(document, root);
    if (withEmail)
        addTextElement(document, root, QStringLiteral("email"), email);
    if (withPassword)
        addTextElement(document, root, QStringLiteral("pwd"), password);
    if (withSecurity) {
        addTextElement(document, root, QStringLiteral("sec_question"), question);
        addTextElement(document, root, QStringLiteral("sec_answer"), answer);
    }
    return document.toString();
}

void ETOrderXMLBuilder::addCreditCardInfo(QDomDocument &document, QDomElement &parent, ETCustomer *customer)
{
    QDomElement info = addElement(document, parent, QStringLiteral("cc_info"));
    addTextElement(document, info, QStringLiteral("cc_brand"), customer->value(QStringLiteral("cardtype")));
    addCustomerField(document, info, QStringLiteral("cardowner"), customer);
    addCustomerField(document, info, QStringLiteral("cardnumber"), customer);
    const QString validUntil = customer->value(QStringLiteral("validuntil"));
    const int slash = validUntil.indexOf(QLatin1Char('/'));
    addTextElement(document, info, QStringLiteral("cc_valid_month"),
                   slash < 0 ? validUntil : validUntil.left(slash));
    addTextElement(document, info, QStringLiteral("cc_valid_year"),
                   slash < 0 ? validUntil : validUntil.mid(slash + 1));
    if (protocolLevel() >= ETProtocolLevel::V1_6)
        addCustomerField(document, info, QStringLiteral("cardvalidationcode"), customer);
}

void ETOrderXMLBuilder::addDebitInfo(QDomDocument &document, QDomElement &parent, ETCustomer *customer)
{
    QDomElement info = addElement(document, parent, QStringLiteral("debit_info"));
    for (const char *key : {"accountowner", "bankname", "bankleitzahl", "account"})
        addCustomerField(document, info, QLatin1String(key), customer);
}

QString ETOrderXMLBuilder::buildCreditCardUpdateRequest(ETCustomer *customer)
{
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("creditcard_update_request"));
    document.appendChild(root);
    createRequestDocument(document, root);
    addCreditCardInfo(document, root, customer);
    return document.toString();
}

QString ETOrderXMLBuilder::buildDebitUpdateRequest(ETCustomer *customer)
{
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("debit_update_request"));
    document.appendChild(root);
    createRequestDocument(document, root);
    addDebitInfo(document, root, customer);
    return document.toString();
}

// ---- order declaration ------------------------------------------------------------------------

QString ETOrderXMLBuilder::buildOrderDeclarationRequest(bool archive)
{
    return buildOrderDeclarationBody(QString(), archive);
}

QString ETOrderXMLBuilder::buildOrderDeclarationBody(const QString &directory, bool archive)
{
    ETOrder *order = ETOrder::instance();
    const int level = protocolLevel();
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("orderdeclaration_request"));
    document.appendChild(root);
    createRequestDocument(document, root);
    addNumberElement(document, root, QStringLiteral("loc_id"),
                     ETStore::storeList()->idByLabel(order->storeId()));
    addTextElement(document, root, QStringLiteral("transfer_id"),
                   ETTransferList::instance()->prices().transferId(
                       order->submitMethod(), order->paymentType(), order->transferLevel()));
    addCouponElements(document, root);
    if (level >= ETProtocolLevel::V1_5)
        addNumberElement(document, root, QStringLiteral("payment_id"), order->paymentType());
    order->updateDiscountLevel();
    QHash<const ETImage *, QString> names;
    for (const DeclaredFile &file : declaredFiles(directory))
        names.insert(file.image, file.name);
    int position = 0;
    for (ETOrderItem *item : *order->orderItems()) {
        if (!item->isOrdered())
            continue;
        addOrderPosition(document, root, item, position, names.value(item->image()), archive,
                         protocolLevel());
        ++position;
    }
    if (level >= ETProtocolLevel::V1_5) {
        if (order->paymentType() == PaymentCreditCard)
            addCreditCardInfo(document, root, order->customer());
        else if (order->paymentType() == PaymentDebit)
            addDebitInfo(document, root, order->customer());
    }
    return document.toString();
}

namespace
{

QString uploadFile(const ETImage *image, const QString &directory)
{
    const QString file = image->uploadSource();
    return directory.isNull() ? file : QDir(directory).absoluteFilePath(QFileInfo(file).fileName());
}

// The name with a number before the extension of its last part: "a.jpg" becomes "a~2.jpg".
QString numbered(const QString &name, int number)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype at = dot > name.lastIndexOf(QLatin1Char('/')) ? dot : name.size();
    return name.left(at) + QStringLiteral("~%1").arg(number) + name.mid(at);
}

} // namespace

QList<ETOrderXMLBuilder::DeclaredFile> ETOrderXMLBuilder::declaredFiles(const QString &directory)
{
    QList<DeclaredFile> files;
    QSet<const ETImage *> seen;
    QSet<QString> taken;
    for (const ETOrderItem *item : *ETOrder::instance()->orderItems()) {
        if (!item->isOrdered() || seen.contains(item->image()))
            continue;
        seen.insert(item->image());
        const QString path = uploadFile(item->image(), directory);
        files.append({item->image(), path, path});
        taken.insert(path);
    }
    // Files whose names XML carries keep them; the others take what is left.
    for (DeclaredFile &file : files) {
        const QString name = carriableText(file.path);
        if (name == file.path)
            continue;
        file.name = name;
        for (int number = 2; taken.contains(file.name); ++number)
            file.name = numbered(name, number);
        taken.insert(file.name);
    }
    return files;
}

void ETOrderXMLBuilder::addOrderPosition(QDomDocument &document, QDomElement &parent, ETOrderItem *item,
                                         int position, const QString &directory, bool archive)
{
    QString fileName;
    for (const DeclaredFile &file : declaredFiles(directory))
        if (file.image == item->image())
            fileName = file.name;
    // A line that is not sent has a name of its own only.
    if (fileName.isNull())
        fileName = carriableText(uploadFile(item->image(), directory));
    addOrderPosition(document, parent, item, position, fileName, archive, protocolLevel());
}

void ETOrderXMLBuilder::addOrderPosition(QDomDocument &document, QDomElement &parent, ETOrderItem *item,
                                         int position, const QString &fileName, bool archive, int level)
{
    ETOrder *order = ETOrder::instance();
    QDomElement element = document.createElement(QStringLiteral("orderposition"));
    element.setAttribute(QStringLiteral("archive"), archive ? QStringLiteral("yes") : QStringLiteral("no"));
    if (level >= ETProtocolLevel::V1_6)
        element.setAttribute(QStringLiteral("ignore_image_size"), QStringLiteral("yes"));
    parent.appendChild(element);

    ETImage *image = item->image();
    const ETProduct *product = ETProductList::instance()->product(item->productName());
    // A product missing from the list has no article: an empty identifier the server refuses.
    const QString article =
        product ? product->transferId(order->discountLevel(), order->submitMethod(), order->paymentType())
                : QString();
    addTextElement(document, element, QStringLiteral("filename"), fileName);
    addNumberElement(document, element, QStringLiteral("quantity"), item->amount());
    addTextElement(document, element, QStringLiteral("art_id"), article);
    addNumberElement(document, element, QStringLiteral("crc"), image->metaData()->calcCrc16(true));
    addNumberElement(document, element, QStringLiteral("filesize"), qint32(image->fileSize()));
    addNumberElement(document, element, QStringLiteral("pos"), position);
    if (level >= ETProtocolLevel::V1_7)
        addTextElement(document, element, QStringLiteral("name"), image->metaData()->fileName());
}

void ETOrderXMLBuilder::addCouponElements(QDomDocument &document, QDomElement &parent)
{
    ETCoupon *coupon = ETCoupon::instance();
    if (!coupon->isValid())
        return;
    addTextElement(document, parent, QStringLiteral("couponid"), coupon->couponId());
    addTextElement(document, parent, QStringLiteral("coupon_artid"), coupon->transferId(0));
}
