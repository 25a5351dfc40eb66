#pragma once

#include "etwizardscreen.h"

class QCheckBox;

// Changes the login data of a logged-in customer on the server: e-mail,
// password, security question, each chosen by its own box. The address
// screen's "changeLoginDataCheck" switches the page on and off (GUI thread).
class ETWizardScreenChangePassword : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenChangePassword(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    // Every checked group is complete.
    bool check() override;
    // Sends the checked groups; nothing when none is checked.
    bool atNext() override;
    // Starts with every group unchecked and disabled.
    bool atShow() override;
    bool appropriate() override;

    QCheckBox *changeLogin() const { return m_changeLogin; }
    QCheckBox *changePassword() const { return m_changePassword; }
    QCheckBox *changeSecurity() const { return m_changeSecurity; }
    bool isActive() const { return m_active; }

  public slots:
    void enableSecurity(bool on);
    void enableLogin(bool on);
    void enablePassword(bool on);
    bool loginCorrect();
    bool passwordCorrect();
    bool securityCorrect();
    void activateThisScreen(bool on);

  private:
    void enableGroup(const QString &key, bool on);
    QString text(const QString &key) const;

    QCheckBox *m_changeLogin;
    QCheckBox *m_changePassword;
    QCheckBox *m_changeSecurity;
    bool m_active = false;
};
