#include "etapplicationfactoryplugin.h"

#include "etappearancefactory.h"
#include "etorderlineqix.h"
#include "etprogramstarthandler.h"
#include "etwizardfactoryplugin.h"

void ETApplicationFactoryPlugin::install()
{
    setMaker([]() -> ETApplicationFactoryAbstract * { return new ETApplicationFactoryPlugin; });
}

ETApplicationFactoryPlugin::ETApplicationFactoryPlugin()
    : ETApplicationFactoryAbstract(new ETProgramStartHandler, new ETWizardFactoryPlugin)
{
    // Picture buttons are flat and round here; order lines show no pixel size.
    appearanceFactory()->setShowPixelSize(false);
    appearanceFactory()->setFlatButtons(true);
}

QWidget *ETApplicationFactoryPlugin::mainWidget()
{
    static QWidget *widget = wizardFactory()->createOrderWizard(nullptr);
    return widget;
}

ETOrderLine *ETApplicationFactoryPlugin::createOrderLine(ETOrderItem *item, int row, int column,
                                                        ETOrderTable *table, const QString &name)
{
    return new ETOrderLineQIX(item, row, column, table, name);
}
