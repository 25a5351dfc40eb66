#include "etwizardscreencd.h"

#include "etorderwizard.h"

ETWizardScreenCD::ETWizardScreenCD(const QString &name, ETOrderWizard *wizard) : ETWizardScreen(name, wizard)
{
}

bool ETWizardScreenCD::appropriate()
{
    return wizard()->cdOrder();
}
