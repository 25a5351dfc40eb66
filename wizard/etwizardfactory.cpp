#include "etwizardfactory.h"

ETWizardFactory::ETWizardFactory(QObject *parent)
    : QObject(parent)
{
}
