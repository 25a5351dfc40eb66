#include "etwizardscreenordersummary.h"

#include "etrequestercontroller.h"

#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QTextEdit>

namespace
{

ETWizardScreenOrderSummary::PrintSetup s_printSetup;

bool askPrintSetup(QPrinter *printer)
{
    if (s_printSetup)
        return s_printSetup(printer);
    QPrintDialog dialog(printer);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

ETWizardScreenOrderSummary::ETWizardScreenOrderSummary(const QString &name, ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard)
{
}

void ETWizardScreenOrderSummary::setPrintSetupForTests(PrintSetup setup)
{
    s_printSetup = std::move(setup);
}

bool ETWizardScreenOrderSummary::atShow()
{
    if (m_textView)
        m_textView->setText(buildText());
    return true;
}

void ETWizardScreenOrderSummary::printBon()
{
    if (!m_textView)
        return;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setResolution(300);
    if (!askPrintSetup(&printer))
        return;

    QProgressDialog progress(tr("Drucke Bon"), tr("OK"), 0, 8);
    progress.setModal(false);
    progress.setMinimumDuration(0);
    progress.setWindowTitle(tr("Bitte warten"));
    progress.show();

    const QPixmap picture = m_textView->grab();
    progress.setValue(1);
    QPainter painter;
    if (painter.begin(&printer)) {
        painter.scale(4.0, 4.0);
        painter.drawPixmap(0, 0, picture);
        progress.setValue(2);
        painter.end();
    }
    progress.setValue(3);
    progress.hide();
}

void ETWizardScreenOrderSummary::saveBon()
{
    if (!m_textView)
        return;
    const QString name = ETRequesterController::instance()->getSaveFileName(
        QDir::home().absolutePath(), QStringLiteral("*.JPG"), QString());
    if (name.isEmpty())
        return;
    // Always appended, also to a name that has a JPEG extension already.
    const QString path = name + QStringLiteral(".JPG");
    if (!m_textView->grab().save(path, "JPEG", 90))
        ETRequesterController::instance()->saveFailed(path);
}
