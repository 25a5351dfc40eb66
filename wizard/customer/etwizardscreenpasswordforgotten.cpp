#include "etwizardscreenpasswordforgotten.h"

#include "etorderwizard.h"

ETWizardScreenPasswordForgotten::ETWizardScreenPasswordForgotten(const QString &name, ETOrderWizard *wizard)
    : ETWizardScreenNetOrder(name, wizard)
{
}

bool ETWizardScreenPasswordForgotten::appropriate()
{
    return wizard()->passwordForgotten();
}
