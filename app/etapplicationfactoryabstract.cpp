#include "etapplicationfactoryabstract.h"

#include "etapplicationfactoryplugin.h"
#include "etprogramstarthandler.h"
#include "etwizardfactory.h"

#include <QApplication>
#include <QWidget>

ETApplicationFactoryAbstract *ETApplicationFactoryAbstract::instance()
{
    static ETApplicationFactoryAbstract *factory = new ETApplicationFactoryPlugin;
    return factory;
}

ETApplicationFactoryAbstract::ETApplicationFactoryAbstract(ETProgramStartHandler *startHandler,
                                                           ETWizardFactory *wizardFactory)
    : QObject(qApp)
    , m_wizardFactory(wizardFactory)
    , m_startHandler(startHandler)
{
    setObjectName(QStringLiteral("The one and only factory"));
}

ETApplicationFactoryAbstract::~ETApplicationFactoryAbstract()
{
    delete m_startHandler;
    delete m_wizardFactory;
}

ETWizardFactory *ETApplicationFactoryAbstract::wizardFactory()
{
    return m_wizardFactory;
}

void ETApplicationFactoryAbstract::start()
{
    QWidget *widget = startWidget();
    connect(qApp, &QGuiApplication::lastWindowClosed, qApp, &QCoreApplication::quit);
    widget->show();
    if (m_startHandler) {
        m_startHandler->handleStart();
        delete m_startHandler;
        m_startHandler = nullptr;
    }
}

QWidget *ETApplicationFactoryAbstract::startWidget()
{
    return mainWidget();
}
