#pragma once

#include <QObject>

class ETProgramStartHandler;
class ETWizardFactory;
class QWidget;

// The one object the client gets its main window and wizard factory from
// (singleton, GUI thread).
class ETApplicationFactoryAbstract : public QObject
{
    Q_OBJECT

public:
    // The first call creates the client's concrete factory.
    static ETApplicationFactoryAbstract *instance();

    // Takes ownership of both.
    ETApplicationFactoryAbstract(ETProgramStartHandler *startHandler, ETWizardFactory *wizardFactory);
    ~ETApplicationFactoryAbstract() override;

    virtual QWidget *mainWidget() = 0;
    virtual ETWizardFactory *wizardFactory();
    // Builds and shows the main window; quits when the last window closes.
    virtual void start();
    virtual QWidget *startWidget();

private:
    ETWizardFactory *m_wizardFactory;
    ETProgramStartHandler *m_startHandler;
};
