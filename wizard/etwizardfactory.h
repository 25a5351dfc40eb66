#pragma once

#include <QObject>

class QWidget;

// Builds the order wizard that is the client's main window.
class ETWizardFactory : public QObject
{
    Q_OBJECT

public:
    explicit ETWizardFactory(QObject *parent = nullptr);

    // The caller owns the returned window.
    virtual QWidget *createOrderWizard(QWidget *parent = nullptr) = 0;
};
