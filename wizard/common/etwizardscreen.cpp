#include "etwizardscreen.h"

#include "etappearancefactory.h"
#include "etapplicationfactoryabstract.h"
#include "etfileutils.h"
#include "etnetworking.h"
#include "etnetworkingerror.h"
#include "etorder.h"
#include "etorderwizard.h"
#include "etproductlist.h"
#include "ettransferlist.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QWidget>

ETWizardScreen::ETWizardScreen(const QString &name, ETOrderWizard *wizard) : m_name(name), m_wizard(wizard) {}

ETWizardScreen::~ETWizardScreen()
{
    closeProgress();
}

bool ETWizardScreen::check()
{
    return true;
}

bool ETWizardScreen::atNext()
{
    return true;
}

bool ETWizardScreen::atBack()
{
    return true;
}

bool ETWizardScreen::atShow()
{
    return true;
}

bool ETWizardScreen::appropriate()
{
    return true;
}

bool ETWizardScreen::run()
{
    return false;
}

void ETWizardScreen::cancel() {}

bool ETWizardScreen::closesOnCancel()
{
    return true;
}

void ETWizardScreen::setProgress(int step)
{
    if (m_progress)
        m_progress->setValue(step);
}

void ETWizardScreen::setPage(QWidget *page)
{
    m_page = page;
    ETAppearanceFactory::instance()->applyWizardElement(page, m_wizard);
}

void ETWizardScreen::openProgress(int steps)
{
    if (m_progress) {
        m_progress->setMaximum(steps);
    } else {
        // A new exchange, which the dialog's Abbrechen ends at once.
        ETNetworking *net = ETNetworking::instance();
        net->clearAbort();
        m_progress = ETApplicationFactoryAbstract::instance()->createProgressDialog(
            tr("Kommunikation mit dem Server ..."), steps);
        connect(m_progress, &QProgressDialog::canceled, net, &ETNetworking::abort);
    }
    m_progress->setValue(0);
}

QProgressDialog *ETWizardScreen::progressDialog() const
{
    return m_progress;
}

void ETWizardScreen::closeProgress()
{
    delete m_progress;
}

void ETWizardScreen::setProgressLabel(const QString &text)
{
    if (m_progress)
        m_progress->setLabelText(text);
}

bool ETWizardScreen::askRetry(bool ok, int)
{
    if (ok)
        return false;
    // What the customer cancelled is neither an error to show nor one to retry.
    if (ETNetworking::instance()->isAborted() ||
        ETNetworking::instance()->errorCode() == ETNetworkingError::Cancelled)
        return false;
    if (!m_progress)
        return ETNetworking::instance()->showError(m_wizard);
    const int steps = m_progress->maximum();
    const int step = m_progress->value();
    const QString label = m_progress->labelText();
    closeProgress();
    const bool retry = ETNetworking::instance()->showError(m_wizard);
    openProgress(steps);
    setProgress(step);
    setProgressLabel(label);
    return retry;
}

bool ETWizardScreen::openSession(bool forceRefresh)
{
    ETNetworking *net = ETNetworking::instance();
    setProgressLabel(tr("Sitzung eröffnen"));
    while (!net->startSession())
        if (!askRetry(false))
            return false;
    setProgress(1);

    if (forceRefresh || !m_wizard->listsFresh()) {
        setProgressLabel(tr("Aktualisierung der Produktliste"));
        QCoreApplication::processEvents();
        while (!ETProductList::instance()->updateFromServer(net))
            if (!askRetry(false))
                return false;
        setProgress(2);
        setProgressLabel(tr("Aktualisierung der Transferpreise"));
        QCoreApplication::processEvents();
        while (!ETTransferList::instance()->reload(net))
            if (!askRetry(false))
                return false;
        setProgress(3);
        QCoreApplication::processEvents();
        sleepSecondsWithEvents(1);
        if (net->isAborted())
            return false;
        ETOrder::instance()->refresh();
        m_wizard->setListsStamp(true);
    }

    setProgress(4);
    QCoreApplication::processEvents();
    sleepSecondsWithEvents(1);
    // A cancel during the pause counts as well.
    return !net->isAborted();
}
