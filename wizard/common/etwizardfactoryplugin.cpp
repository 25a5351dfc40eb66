#include "etwizardfactoryplugin.h"

#include "etwizardscreennetorcd.h"
#include "etwizardscreenorder.h"

ETWizardFactoryPlugin::ETWizardFactoryPlugin(QObject *parent) : ETWizardFactory(parent) {}

ETOrderWizard *ETWizardFactoryPlugin::createOrderWizard(QWidget *parent)
{
    auto *wizard = new ETOrderWizard(this, parent, QStringLiteral("PluginOrderWizard"));
    wizard->setWindowTitle(tr("Assistent für die Bestellung von Abzügen"));
    wizard->addScreen(new ETWizardScreenOrder(QStringLiteral("orderScreen"), parent, wizard), true);
    wizard->addScreen(new ETWizardScreenNetOrCD(QStringLiteral("netOrCDscreen"), parent, wizard), true);
    addCDScreens(parent, wizard);
    addNetworkScreens(parent, wizard);
    addSendScreens(parent, wizard, true);
    finalizeWizard(wizard);
    return wizard;
}
