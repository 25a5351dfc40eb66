#include "etwizardscreencopy.h"

#include "etfileutils.h"
#include "etorderwizard.h"
#include "etrequestercontroller.h"

#include <QPushButton>

ETWizardScreenCopy::ETWizardScreenCopy(const QString &name, QWidget *parent, ETOrderWizard *wizard)
    : ETWizardScreenCollectData(name, parent, wizard)
{
}

bool ETWizardScreenCopy::check()
{
    return m_done;
}

bool ETWizardScreenCopy::atShow()
{
    // No step list for a copy; but a cancel of an earlier run must not
    // stop this one.
    clearRun();
    m_done = false;
    return true;
}

bool ETWizardScreenCopy::appropriate()
{
    return wizard()->localOrder();
}

bool ETWizardScreenCopy::run()
{
    wizard()->setNextEnabled(page(), false);
    wizard()->setBackEnabled(page(), false);

    const bool ok = beginCollect() && copyOrderFiles() && endCollect();
    sleepSeconds(1);

    bool aborted = false;
    if (isCancelled()) {
        aborted = true;
        cleanupOrderDirectory();
    } else if (!ok) {
        // A retry shows this screen again below, as every failure does.
        aborted = !ETRequesterController::instance()->copyFailed();
        cleanupOrderDirectory();
    }
    m_done = true;

    // A cancelled screen means the wizard has been rejected already.
    if (isCancelled())
        return false;
    if (aborted) {
        wizard()->reject();
        return false;
    }
    if (!ok) {
        wizard()->cancelButton()->setEnabled(true);
        wizard()->setNextScreen(name());
        return true;
    }
    wizard()->setNextEnabled(page(), true);
    wizard()->cancelButton()->setEnabled(false);
    return true;
}
