#pragma once

#include "etwizardfactory.h"

// The wizard factory of the client's application factory.
class ETWizardFactoryPlugin : public ETWizardFactory
{
    Q_OBJECT

public:
    explicit ETWizardFactoryPlugin(QObject *parent = nullptr);

    QWidget *createOrderWizard(QWidget *parent = nullptr) override;
};
