#include "etwizardscreenchangepassword.h"

#include "etcustomer.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etorderwizard.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

ETWizardScreenChangePassword::ETWizardScreenChangePassword(const QString &name, QWidget *parent,
                                                           ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("changePasswordScreen"));
    auto *intro =
        new QLabel(QStringLiteral("<qt>") +
                       tr("Auf diesem Bildschirm können Sie Login und Passwort ändern. Wählen Sie aus, "
                          "was Sie ändern wollen und tragen Sie entsprechende neue Werte ein. Falls ein "
                          "Punkt angekreuzt ist, müssen die entsprechenden Felder ausgefüllt sein.") +
                       QStringLiteral("</qt>"),
                   page);
    intro->setWordWrap(true);
    m_changeLogin = new QCheckBox(tr("Login ändern"), page);
    m_changePassword = new QCheckBox(tr("Passwort ändern"), page);
    m_changeSecurity = new QCheckBox(tr("Sicherheitsfrage ändern"), page);

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(15, 15, 15, 15);
    grid->setSpacing(8);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(8, 2);
    grid->addWidget(intro, 0, 1, 1, 4);
    grid->addWidget(m_changeLogin, 1, 1, 1, 3, Qt::AlignLeft);
    grid->addWidget(m_changePassword, 3, 1, 1, 3, Qt::AlignLeft);
    grid->addWidget(m_changeSecurity, 6, 1, 1, 3, Qt::AlignLeft);
    ETCustomer *customer = ETOrder::instance()->customer();
    const struct {
        const char *key;
        int row;
    } fields[] = {{"email", 2}, {"password", 4}, {"passwordCheck", 5}, {"securityQ", 7}, {"securityA", 8}};
    for (const auto &field : fields)
        customer->addField(page, QLatin1String(field.key), wizard, grid, field.row, 2, false, false);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 4);
    grid->setColumnStretch(3, 5);
    grid->setColumnStretch(4, 5);
    grid->setColumnStretch(5, 1);

    setPage(page);
    setTitle(tr("<qt><b>Logindaten:</b><br>Bitte ändern Sie ihre Logindaten</qt>"));

    connect(m_changeLogin, &QCheckBox::toggled, this, &ETWizardScreenChangePassword::enableLogin);
    connect(m_changePassword, &QCheckBox::toggled, this, &ETWizardScreenChangePassword::enablePassword);
    connect(m_changeSecurity, &QCheckBox::toggled, this, &ETWizardScreenChangePassword::enableSecurity);
}

void ETWizardScreenChangePassword::activateThisScreen(bool on)
{
    m_active = on;
}

bool ETWizardScreenChangePassword::appropriate()
{
    return m_active && (wizard()->customerPath() || wizard()->localOrder());
}

void ETWizardScreenChangePassword::enableGroup(const QString &key, bool on)
{
    for (const char *suffix : {"Description", "Edit"})
        if (QWidget *widget = page()->findChild<QWidget *>(key + QLatin1String(suffix)))
            widget->setEnabled(on);
    wizard()->checkIntegrity();
}

void ETWizardScreenChangePassword::enableLogin(bool on)
{
    enableGroup(QStringLiteral("email"), on);
}

void ETWizardScreenChangePassword::enablePassword(bool on)
{
    enableGroup(QStringLiteral("password"), on);
    enableGroup(QStringLiteral("passwordCheck"), on);
}

void ETWizardScreenChangePassword::enableSecurity(bool on)
{
    enableGroup(QStringLiteral("securityQ"), on);
    enableGroup(QStringLiteral("securityA"), on);
}

QString ETWizardScreenChangePassword::text(const QString &key) const
{
    const auto *edit = page()->findChild<QLineEdit *>(key + QLatin1String("Edit"));
    return edit ? edit->text() : QString();
}

bool ETWizardScreenChangePassword::loginCorrect()
{
    return !m_changeLogin->isChecked() || !text(QStringLiteral("email")).isEmpty();
}

bool ETWizardScreenChangePassword::passwordCorrect()
{
    if (!m_changePassword->isChecked())
        return true;
    const QString password = text(QStringLiteral("password"));
    return !password.isEmpty() && password == text(QStringLiteral("passwordCheck"));
}

bool ETWizardScreenChangePassword::securityCorrect()
{
    return !m_changeSecurity->isChecked() ||
           (!text(QStringLiteral("securityQ")).isEmpty() && !text(QStringLiteral("securityA")).isEmpty());
}

bool ETWizardScreenChangePassword::check()
{
    return loginCorrect() && passwordCorrect() && securityCorrect();
}

bool ETWizardScreenChangePassword::atShow()
{
    for (QCheckBox *box : {m_changeLogin, m_changePassword, m_changeSecurity})
        box->setChecked(false);
    enableLogin(false);
    enablePassword(false);
    enableSecurity(false);
    return true;
}

bool ETWizardScreenChangePassword::atNext()
{
    const bool login = m_changeLogin->isChecked();
    const bool password = m_changePassword->isChecked();
    const bool security = m_changeSecurity->isChecked();
    if (!login && !password && !security)
        return true;
    ETNetworking *net = ETNetworking::instance();
    for (;;) {
        openProgress(1);
        const bool result = net->userChangeRequest(
            login, password, security, text(QStringLiteral("email")), text(QStringLiteral("password")),
            text(QStringLiteral("securityQ")), text(QStringLiteral("securityA")));
        setProgress(1);
        closeProgress();
        if (result)
            return true;
        if (!askRetry(false))
            return false;
    }
}
