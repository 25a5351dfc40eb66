#include "etwizardfactoryplugin.h"

#include "etappearancefactory.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWizard>
#include <QWizardPage>

ETWizardFactoryPlugin::ETWizardFactoryPlugin(QObject *parent)
    : ETWizardFactory(parent)
{
}

QWidget *ETWizardFactoryPlugin::createOrderWizard(QWidget *parent)
{
    // TODO: the order wizard with its screens; a plain wizard with the first
    // two (empty) pages stands in.
    auto *wizard = new QWizard(parent);
    wizard->setObjectName(QStringLiteral("PluginOrderWizard"));
    wizard->setWindowTitle(tr("Assistent für die Bestellung von Abzügen"));
    for (const QString &name : {QStringLiteral("orderScreen"), QStringLiteral("netOrCDscreen")}) {
        auto *page = new QWizardPage;
        page->setObjectName(name);
        auto *layout = new QVBoxLayout(page);
        layout->addWidget(new QLabel(name, page));
        wizard->addPage(page);
    }
    ETAppearanceFactory::instance()->styleWizard(wizard);
    return wizard;
}
