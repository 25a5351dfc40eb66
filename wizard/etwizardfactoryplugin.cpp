#include "etwizardfactoryplugin.h"

#include <QMainWindow>

ETWizardFactoryPlugin::ETWizardFactoryPlugin(QObject *parent)
    : ETWizardFactory(parent)
{
}

QWidget *ETWizardFactoryPlugin::createOrderWizard(QWidget *parent)
{
    // TODO: the order wizard with its screens; a plain window stands in.
    auto *wizard = new QMainWindow(parent);
    wizard->setObjectName(QStringLiteral("PluginOrderWizard"));
    wizard->setWindowTitle(tr("Assistent für die Bestellung von Abzügen"));
    return wizard;
}
