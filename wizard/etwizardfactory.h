#pragma once

#include "etwizardfactoryinterface.h"

// Base of the factories that build the order wizard that is the client's main window.
class ETWizardFactory : public ETWizardFactoryInterface
{
    Q_OBJECT

public:
    explicit ETWizardFactory(QObject *parent = nullptr);
};
