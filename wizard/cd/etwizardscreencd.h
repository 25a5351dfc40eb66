#pragma once

#include "etwizardscreen.h"

// Base of the screens of the CD road: shown only on that road.
class ETWizardScreenCD : public ETWizardScreen
{
  public:
    ETWizardScreenCD(const QString &name, ETOrderWizard *wizard);

    // The wizard's CD-order flag.
    bool appropriate() override;
};
