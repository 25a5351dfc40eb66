#include "etwizardfactoryplugin.h"

#include "etwizardscreenplaceholder.h"

ETWizardFactoryPlugin::ETWizardFactoryPlugin(QObject *parent) : ETWizardFactory(parent) {}

ETOrderWizard *ETWizardFactoryPlugin::createOrderWizard(QWidget *parent)
{
    auto *wizard = new ETOrderWizard(this, parent, QStringLiteral("PluginOrderWizard"));
    wizard->setWindowTitle(tr("Assistent für die Bestellung von Abzügen"));
    using Placeholder = ETWizardScreenPlaceholder;
    wizard->addScreen(new Placeholder(QStringLiteral("orderScreen"), parent, wizard, Placeholder::Always),
                      true);
    wizard->addScreen(
        new Placeholder(QStringLiteral("netOrCDscreen"), parent, wizard, Placeholder::ChoosesNetOrder), true);
    addCDScreens(parent, wizard);
    addNetworkScreens(parent, wizard);
    addSendScreens(parent, wizard, true);
    finalizeWizard(wizard);
    return wizard;
}
