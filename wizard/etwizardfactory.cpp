#include "etwizardfactory.h"

ETWizardFactory::ETWizardFactory(QObject *parent)
    : ETWizardFactoryInterface(parent)
{
}
