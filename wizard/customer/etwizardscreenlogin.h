#pragma once

#include "etwizardscreennetorder.h"

class ETLineEdit;
class QButtonGroup;
class QCheckBox;
class QRadioButton;

// The first screen of the internet road: a registered customer logs in with
// e-mail and password or asks for a new password, a new one goes on to the
// registration; everybody may give a coupon. Next opens the session, logs in
// and sets the road (GUI thread).
class ETWizardScreenLogin : public ETWizardScreenNetOrder
{
    Q_OBJECT

  public:
    ETWizardScreenLogin(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool check() override;
    bool atNext() override;
    bool atBack() override;
    bool atShow() override;

    // Each made on its first call.
    virtual ETLineEdit *couponEdit();
    virtual QCheckBox *forgotPassword();
    virtual ETLineEdit *emailEdit();
    virtual ETLineEdit *passwordEdit();
    virtual QRadioButton *registeredButton();
    virtual QRadioButton *notRegisteredButton();

    bool isRegistered();
    bool wantToRegister();
    bool forgotten();
    // Keeps e-mail and password in the per-user settings, then logs in.
    bool login();
    // An empty coupon field needs no check.
    bool checkCoupon();

  public slots:
    // Typing into e-mail or password means the customer has an account.
    void enableRegisteredRadioButton(const QString &text);

  private:
    void forgetDeadSession();

    ETLineEdit *m_couponEdit = nullptr;
    QCheckBox *m_forgotPassword = nullptr;
    ETLineEdit *m_emailEdit = nullptr;
    ETLineEdit *m_passwordEdit = nullptr;
    QRadioButton *m_registered = nullptr;
    QRadioButton *m_notRegistered = nullptr;
    QButtonGroup *m_buttonGroup = nullptr;
};
