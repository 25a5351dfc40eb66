#pragma once

#include "etwizardscreennet.h"

// Opens an account for a new customer: login data, person and address in one
// form of customer field editors; Next sends them and logs the customer in
// (GUI thread).
class ETWizardScreenRegistration : public ETWizardScreenNet
{
    Q_OBJECT

  public:
    ETWizardScreenRegistration(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool check() override;
    bool atNext() override;
    bool atShow() override;
    // A new customer on the customer path, until the account exists.
    bool appropriate() override;

  private:
    // The account the server created for this e-mail address; a later
    // attempt only logs in.
    QString m_createdAccount;
};
