#pragma once

#include "etwizardscreen.h"

// The screens of the internet road: shown while the order goes over the internet.
// Only appropriate() differs from the base (GUI thread).
class ETWizardScreenNetOrder : public ETWizardScreen
{
  public:
    ETWizardScreenNetOrder(const QString &name, ETOrderWizard *wizard);

    bool appropriate() override;
};
