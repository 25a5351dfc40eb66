#pragma once

#include "etwizardscreenpasswordforgotten.h"

class QLabel;

// The end of the forgotten-password road: where the new password was sent.
// Only Finish leaves it (GUI thread).
class ETWizardScreenSecurityQuestionInfo : public ETWizardScreenPasswordForgotten
{
    Q_OBJECT

  public:
    ETWizardScreenSecurityQuestionInfo(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool check() override;
    bool atShow() override;

  private:
    QLabel *m_securityReplyLabel;
};
