#include "etapplicationfactoryabstract.h"

#include "etappearancefactory.h"
#include "etfactorybuttons.h"
#include "etfatal.h"
#include "etprogramstarthandler.h"
#include "etsingleton.h"
#include "etwizardfactoryinterface.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>

namespace
{

ETApplicationFactoryAbstract::Maker s_maker = nullptr;

ETApplicationFactoryAbstract *makeFactory()
{
    if (!s_maker)
        fatalExit(QStringLiteral("ETApplicationFactoryAbstract::instance() before setMaker()"));
    return s_maker();
}

} // namespace

void ETApplicationFactoryAbstract::setMaker(Maker maker)
{
    s_maker = maker;
}

ETApplicationFactoryAbstract *ETApplicationFactoryAbstract::instance()
{
    static ETSingleton<ETApplicationFactoryAbstract> factory;
    return factory.get(makeFactory);
}

ETApplicationFactoryAbstract::ETApplicationFactoryAbstract(ETProgramStartHandler *startHandler,
                                                           ETWizardFactoryInterface *wizardFactory)
    : QObject(qApp), m_wizardFactory(wizardFactory), m_startHandler(startHandler),
      m_appearanceFactory(ETAppearanceFactory::instance()), m_factoryButtons(new ETFactoryButtons)
{
    setObjectName(QStringLiteral("The one and only factory"));
    m_appearanceFactory->applyApplicationStyle();
    m_appearanceFactory->setFlatButtons(false);
    m_appearanceFactory->setShowPixelSize(true);
    m_appearanceFactory->setFrameColors(QColor(), QColor(), QColor(), QColor(),
                                        QBrush(QColor(), Qt::SolidPattern));
    m_appearanceFactory->setFrameParameters(0, 0, 1, true, true);
}

ETApplicationFactoryAbstract::~ETApplicationFactoryAbstract()
{
    delete m_factoryButtons;
    delete m_startHandler;
    delete m_wizardFactory;
}

ETWizardFactoryInterface *ETApplicationFactoryAbstract::wizardFactory()
{
    return m_wizardFactory;
}

ETFactoryButtons *ETApplicationFactoryAbstract::factoryButtons()
{
    return m_factoryButtons;
}

ETAppearanceFactory *ETApplicationFactoryAbstract::appearanceFactory()
{
    return m_appearanceFactory;
}

void ETApplicationFactoryAbstract::start()
{
    QWidget *widget = startWidget();
    connect(qApp, &QGuiApplication::lastWindowClosed, qApp, &QCoreApplication::quit);
    m_appearanceFactory->styleMainWindow(widget);
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

void ETApplicationFactoryAbstract::setFrameStyle()
{
    fatalExit(QStringLiteral("Die Methode ETApplicationFactoryAbstract::setFrameStyle muß überladen werden "
                             "(oder darf nicht benutzt werden)!"));
}

QWidget *ETApplicationFactoryAbstract::createWidget(QWidget *parent, const QString &name)
{
    auto *widget = new QWidget(parent);
    widget->setObjectName(name);
    return widget;
}

QWidget *ETApplicationFactoryAbstract::createWidget2(QWidget *parent, const QString &name)
{
    return createWidget(parent, name);
}

ETOrderLine *ETApplicationFactoryAbstract::createOrderLine(ETOrderItem *item, int row, int column,
                                                           ETOrderTable *table, const QString &name)
{
    return m_wizardFactory ? m_wizardFactory->createOrderLine(item, row, column, table, name) : nullptr;
}

QPushButton *ETApplicationFactoryAbstract::createButton(const QString &text, QWidget *parent,
                                                        const QString &name, bool withToolTip)
{
    return m_factoryButtons->createButton(text, parent, name, withToolTip);
}

QProgressDialog *ETApplicationFactoryAbstract::createProgressDialog(const QString &label, int totalSteps)
{
    // The old style flag came without its customise flag and so asked for
    // nothing beyond an ordinary dialog frame.
    auto *dialog = new QProgressDialog(label, QString(), 0, totalSteps, mainWidget());
    dialog->setObjectName(QStringLiteral("anyProgressDialog"));
    // No default button: a second Return after the one that started the
    // step (a double Enter) must not cancel it. A click or Escape does.
    auto *cancel = new QPushButton(tr("Abbrechen"), dialog);
    cancel->setAutoDefault(false);
    cancel->setDefault(false);
    dialog->setCancelButton(cancel);
    dialog->setModal(true);
    m_appearanceFactory->applyDialogColors(dialog);
    dialog->setMinimumDuration(1);
    dialog->setWindowTitle(tr("Bitte warten"));
    dialog->setValue(0);
    dialog->setLabelText(label);
    dialog->setMinimumSize(300, 100);
    dialog->setMaximumSize(300, 100);
    dialog->show();
    return dialog;
}
