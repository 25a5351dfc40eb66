#pragma once

#include "etwizardscreennetorder.h"

// The screens of a customer who asked for a new password on the internet road.
// Only appropriate() differs from the base (GUI thread).
class ETWizardScreenPasswordForgotten : public ETWizardScreenNetOrder
{
  public:
    ETWizardScreenPasswordForgotten(const QString &name, ETOrderWizard *wizard);

    bool appropriate() override;
};
