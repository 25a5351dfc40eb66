#include "etwizardscreennet.h"

#include "etorderwizard.h"

ETWizardScreenNet::ETWizardScreenNet(const QString &name, ETOrderWizard *wizard)
    : ETWizardScreenNetOrder(name, wizard)
{
}

bool ETWizardScreenNet::appropriate()
{
    return wizard()->customerPath();
}
