#pragma once

#include <QObject>

class QWidget;

// What the application factory asks of the wizard library above it: the order
// wizard that becomes the main window. The wizard's factories implement it; the
// program's application factory hands one to the base factory (GUI thread).
class ETWizardFactoryInterface : public QObject
{
    Q_OBJECT

  public:
    using QObject::QObject;

    // The caller owns the returned window.
    virtual QWidget *createOrderWizard(QWidget *parent = nullptr) = 0;
};
