#pragma once

#include "etorderwizard.h"
#include "etwizardfactory.h"

// The wizard factory of the client's application factory.
class ETWizardFactoryPlugin : public ETWizardFactory
{
    Q_OBJECT

  public:
    explicit ETWizardFactoryPlugin(QObject *parent = nullptr);

    // The whole wizard, every road; the caller owns it.
    ETOrderWizard *createOrderWizard(QWidget *parent = nullptr) override;
};
