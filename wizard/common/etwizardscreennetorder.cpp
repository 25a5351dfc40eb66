#include "etwizardscreennetorder.h"

#include "etorderwizard.h"

ETWizardScreenNetOrder::ETWizardScreenNetOrder(const QString &name, ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard)
{
}

bool ETWizardScreenNetOrder::appropriate()
{
    return wizard()->netOrder();
}
