#include "etapplicationfactoryplugin.h"

#include "etprogramstarthandler.h"
#include "etwizardfactoryplugin.h"

ETApplicationFactoryPlugin::ETApplicationFactoryPlugin()
    : ETApplicationFactoryAbstract(new ETProgramStartHandler, new ETWizardFactoryPlugin)
{
}

QWidget *ETApplicationFactoryPlugin::mainWidget()
{
    static QWidget *widget = wizardFactory()->createOrderWizard(nullptr);
    return widget;
}
