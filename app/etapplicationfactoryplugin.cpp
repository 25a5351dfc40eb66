#include "etapplicationfactoryplugin.h"

#include "etappearancefactory.h"
#include "etorderlineqix.h"
#include "etprogramstarthandler.h"
#include "etwizardfactoryplugin.h"

#include <QWidget>

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

ETApplicationFactoryPlugin::~ETApplicationFactoryPlugin()
{
    delete m_mainWidget;
}

QWidget *ETApplicationFactoryPlugin::mainWidget()
{
    if (!m_mainWidget)
        m_mainWidget = wizardFactory()->createOrderWizard(nullptr);
    return m_mainWidget;
}

ETOrderLine *ETApplicationFactoryPlugin::createOrderLine(ETOrderItem *item, int row, int column,
                                                         ETOrderTable *table, const QString &name)
{
    return new ETOrderLineQIX(item, row, column, table, name);
}
