#pragma once

#include "etwizardscreenpasswordforgotten.h"

class ETLineEdit;
class QLabel;

// A customer who forgot his password answers his security question; the
// server then mails a new password (GUI thread).
class ETWizardScreenSecurityQuestion : public ETWizardScreenPasswordForgotten
{
    Q_OBJECT

  public:
    ETWizardScreenSecurityQuestion(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool check() override;
    bool atNext() override;
    // Fetches the question anew each time.
    bool atShow() override;

  private:
    QLabel *m_securityQLabel;
    ETLineEdit *m_securityAEdit;
};
