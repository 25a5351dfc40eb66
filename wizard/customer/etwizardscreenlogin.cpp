#include "etwizardscreenlogin.h"

#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etcustomer.h"
#include "etlineedit.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etorderwizard.h"
#include "etservercode.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTextDocumentFragment>

namespace
{

QString plainText(const QString &richText)
{
    return QTextDocumentFragment::fromHtml(richText).toPlainText().simplified();
}

} // namespace

ETWizardScreenLogin::ETWizardScreenLogin(const QString &name, QWidget *parent, ETOrderWizard *wizard)
    : ETWizardScreenNetOrder(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("NetworkLoginScreen"));
    // Only keeps the two choices exclusive; the page owns it.
    m_buttonGroup = new QButtonGroup(page);
    m_buttonGroup->setObjectName(QStringLiteral("registerButtons"));
    m_buttonGroup->setExclusive(true);
    setPage(page);

    auto *emailLabel = new QLabel(tr("eMail Addresse"), page);
    emailLabel->setObjectName(QStringLiteral("email"));
    auto *passwordLabel = new QLabel(tr("Passwort"), page);
    passwordLabel->setObjectName(QStringLiteral("Passwort"));
    auto *accountText = new QLabel(tr("<qt>Ich habe schon ein Benutzerkonto. Deshalb kann ich mich durch "
                                      "Eingabe meiner E-Mail-Adresse und meines Passworts beim System "
                                      "anmelden.</qt>"),
                                   page);
    auto *newText = new QLabel(
        tr("<qt>Ich bin noch nicht registriert und möchte die Vorteile des Online-Print-Service nutzen</qt>"),
        page);

    // Rich text wraps, as it did in the labels of old.
    accountText->setWordWrap(true);
    newText->setWordWrap(true);

    // Made in the order in which the keyboard focus goes through them.
    registeredButton();
    notRegisteredButton();
    forgotPassword();
    emailEdit();
    passwordEdit();

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(25, 25, 25, 25);
    grid->setSpacing(10);
    grid->addWidget(registeredButton(), 0, 0);
    grid->addWidget(accountText, 0, 1, 1, 2);
    grid->addWidget(emailLabel, 1, 1);
    grid->addWidget(emailEdit(), 1, 2, Qt::AlignLeft);
    grid->addWidget(passwordLabel, 2, 1);
    grid->addWidget(passwordEdit(), 2, 2, Qt::AlignLeft);
    grid->addWidget(forgotPassword(), 3, 2);
    grid->addWidget(notRegisteredButton(), 5, 0);
    grid->addWidget(newText, 5, 1, 1, 2);

    emailLabel->setBuddy(emailEdit());
    emailEdit()->setAccessibleName(emailLabel->text());
    passwordLabel->setBuddy(passwordEdit());
    passwordEdit()->setAccessibleName(passwordLabel->text());
    registeredButton()->setAccessibleName(plainText(accountText->text()));
    notRegisteredButton()->setAccessibleName(plainText(newText->text()));

    if (ETApplicationConfig::instance()->enableCoupons()) {
        auto *couponText = new QLabel(tr("<qt>Sofern Sie über einen Gutschein verfügen, geben Sie bitte Ihre "
                                         "Gutscheinnummer ein.</qt>"),
                                      page);
        couponText->setObjectName(QStringLiteral("coupon"));
        couponText->setWordWrap(true);
        auto *couponLabel =
            new QLabel(QStringLiteral("<qt>") + tr("Gutscheinnummer") + QStringLiteral("</qt>"), page);
        couponEdit();
        grid->addWidget(couponText, 7, 1, 1, 2);
        grid->addWidget(couponLabel, 8, 1);
        grid->addWidget(couponEdit(), 8, 2, Qt::AlignLeft);
        couponLabel->setBuddy(couponEdit());
        couponEdit()->setAccessibleName(tr("Gutscheinnummer"));
    }
    grid->setRowStretch(4, 1);
    grid->setRowStretch(6, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 10);

    setTitle(tr("<qt><b>Anmeldung</b> </qt>"));
}

ETLineEdit *ETWizardScreenLogin::couponEdit()
{
    if (!m_couponEdit) {
        m_couponEdit = new ETLineEdit(page(), QStringLiteral("couponEdit"), wizard());
        m_couponEdit->setWidthInDigits(16);
        m_couponEdit->setMaxLength(16);
    }
    return m_couponEdit;
}

QCheckBox *ETWizardScreenLogin::forgotPassword()
{
    if (!m_forgotPassword) {
        m_forgotPassword = new QCheckBox(tr("Passwort vergessen!"), page());
        m_forgotPassword->setObjectName(QStringLiteral("forgotPassword"));
        m_forgotPassword->setChecked(false);
        connect(m_forgotPassword, &QCheckBox::clicked, wizard(), qOverload<>(&ETOrderWizard::checkIntegrity));
    }
    return m_forgotPassword;
}

ETLineEdit *ETWizardScreenLogin::emailEdit()
{
    if (!m_emailEdit) {
        m_emailEdit = new ETLineEdit(page(), QStringLiteral("emailEdit"), wizard());
        m_emailEdit->setWidthInDigits(25);
        m_emailEdit->setMaxLength(129);
        connect(m_emailEdit, &QLineEdit::textChanged, this,
                &ETWizardScreenLogin::enableRegisteredRadioButton);
    }
    return m_emailEdit;
}

ETLineEdit *ETWizardScreenLogin::passwordEdit()
{
    if (!m_passwordEdit) {
        m_passwordEdit = new ETLineEdit(page(), QStringLiteral("PasswordEdit"), wizard());
        m_passwordEdit->setEchoMode(QLineEdit::Password);
        m_passwordEdit->setWidthInDigits(8);
        m_passwordEdit->setMaxLength(32);
        connect(m_passwordEdit, &QLineEdit::textChanged, this,
                &ETWizardScreenLogin::enableRegisteredRadioButton);
    }
    return m_passwordEdit;
}

QRadioButton *ETWizardScreenLogin::registeredButton()
{
    if (!m_registered) {
        m_registered = new QRadioButton(page());
        m_registered->setObjectName(QStringLiteral("registered"));
        m_registered->setChecked(false);
        m_buttonGroup->addButton(m_registered, 1);
        connect(m_registered, &QRadioButton::clicked, wizard(), qOverload<>(&ETOrderWizard::checkIntegrity));
    }
    return m_registered;
}

QRadioButton *ETWizardScreenLogin::notRegisteredButton()
{
    if (!m_notRegistered) {
        m_notRegistered = new QRadioButton(page());
        m_notRegistered->setObjectName(QStringLiteral("notregistered"));
        m_buttonGroup->addButton(m_notRegistered, 0);
        m_notRegistered->setChecked(true);
        connect(m_notRegistered, &QRadioButton::clicked, wizard(),
                qOverload<>(&ETOrderWizard::checkIntegrity));
    }
    return m_notRegistered;
}

bool ETWizardScreenLogin::isRegistered()
{
    return registeredButton()->isChecked();
}

bool ETWizardScreenLogin::wantToRegister()
{
    return notRegisteredButton()->isChecked();
}

bool ETWizardScreenLogin::forgotten()
{
    return page() && forgotPassword()->isChecked();
}

void ETWizardScreenLogin::enableRegisteredRadioButton(const QString &text)
{
    if (text.isEmpty())
        return;
    registeredButton()->setChecked(true);
    wizard()->checkIntegrity();
}

bool ETWizardScreenLogin::check()
{
    if (wantToRegister())
        return true;
    return !emailEdit()->text().isEmpty() &&
           (forgotPassword()->isChecked() || !passwordEdit()->text().isEmpty());
}

bool ETWizardScreenLogin::atShow()
{
    ETCustomer *customer = ETOrder::instance()->customer();
    customer->load();
    emailEdit()->setText(customer->value(QStringLiteral("email")));
    ETNetworking::instance()->endSession(QStringLiteral("abort"));
    return true;
}

bool ETWizardScreenLogin::atBack()
{
    wizard()->setNetOrder(false);
    return true;
}

bool ETWizardScreenLogin::atNext()
{
    qDebug().noquote() << QStringLiteral("ETWizardScreenLogin::atNext()  forgotten=") +
                              (forgotten() ? QStringLiteral("true") : QStringLiteral("false")) +
                              QStringLiteral(" wantToReg=") +
                              (wantToRegister() ? QStringLiteral("true") : QStringLiteral("false"));
    openProgress(6);
    bool result = openSession(false);
    if (result) {
        wizard()->setEmail(emailEdit()->text());
        if (isRegistered() && !forgotten()) {
            wizard()->setCustomerPath(true);
            wizard()->setPasswordForgotten(false);
            wizard()->setNewCustomer(false);
            result = login();
            while (!result && askRetry(false))
                result = login();
            setProgress(5);
        } else if (isRegistered()) {
            wizard()->setCustomerPath(false);
            wizard()->setPasswordForgotten(true);
        } else {
            wizard()->setNewCustomer(true);
            wizard()->setCustomerPath(true);
            wizard()->setPasswordForgotten(false);
        }
        if (result && ETApplicationConfig::instance()->enableCoupons())
            result = checkCoupon();
    }
    if (!result)
        forgetDeadSession();
    setProgress(6);
    QCoreApplication::processEvents();
    closeProgress();
    return result;
}

bool ETWizardScreenLogin::login()
{
    const QString email = emailEdit()->text();
    const QString password = passwordEdit()->text();
    ETCustomer *customer = ETOrder::instance()->customer();
    customer->load();
    customer->setValue(QStringLiteral("email"), email);
    customer->setValue(QStringLiteral("password"), password);
    customer->save();
    wizard()->setEmail(email);
    if (QProgressDialog *progress = progressDialog())
        progress->setLabelText(tr("Einloggen"));
    return ETNetworking::instance()->loginRequest(email, password);
}

bool ETWizardScreenLogin::checkCoupon()
{
    bool result = true;
    const QString code = couponEdit()->text().trimmed();
    if (!code.isEmpty()) {
        if (QProgressDialog *progress = progressDialog())
            progress->setLabelText(tr("Gutschein prüfen"));
        result = ETNetworking::instance()->couponCheckRequest(code);
        while (!result && askRetry(false))
            result = ETNetworking::instance()->couponCheckRequest(code);
    }
    return result;
}

// A session the server has dropped would fail every later Next as well: the
// next attempt opens a new one.
void ETWizardScreenLogin::forgetDeadSession()
{
    if (ETNetworking::instance()->errorCode() == ETServerCode::SessionUnknown)
        ETConfig::instance()->setSessionID(QString(), QString(), true);
}
