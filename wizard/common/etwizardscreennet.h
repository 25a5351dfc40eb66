#pragma once

#include "etwizardscreennetorder.h"

// The screens of a customer who logged in or registers on the internet road.
// Only appropriate() differs from the base (GUI thread).
class ETWizardScreenNet : public ETWizardScreenNetOrder
{
  public:
    ETWizardScreenNet(const QString &name, ETOrderWizard *wizard);

    bool appropriate() override;
};
