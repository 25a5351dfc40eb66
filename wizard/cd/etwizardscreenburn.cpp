#include "etwizardscreenburn.h"

#include "etapplicationconfig.h"
#include "etcdburner.h"
#include "etcdburnerthread.h"
#include "etcheckboxstack.h"
#include "etconfig.h"
#include "etfileutils.h"
#include "etorderwizard.h"
#include "etrequestercontroller.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QOperatingSystemVersion>
#include <QProgressBar>
#include <QPushButton>

#include <memory>

namespace
{

const QString burnerScreen = QStringLiteral("selectBurnerScreen");
constexpr int padBytes = 1024 * 1024;

QString systemName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Windows");
#else
    return QStringLiteral("Linux");
#endif
}

// The lab reads the old toolkit's Windows version codes (XP is 48); other
// systems have none.
int systemVersion()
{
#ifdef Q_OS_WIN
    const QOperatingSystemVersion version = QOperatingSystemVersion::current();
    if (version.majorVersion() < 5)
        return 16;
    if (version.majorVersion() == 5)
        return version.minorVersion() == 0 ? 32 : version.minorVersion() == 1 ? 48 : 64;
    return 128;
#else
    return 0;
#endif
}

} // namespace

ETWizardScreenBurn::ETWizardScreenBurn(const QString &name, QWidget *parent, ETOrderWizard *wizard)
    : ETWizardScreenCollectData(name, parent, wizard),
      m_imageName(ETApplicationConfig::instance()->cdImageName(QString()))
{
}

bool ETWizardScreenBurn::check()
{
    return m_done;
}

bool ETWizardScreenBurn::atShow()
{
    ETWizardScreenCollectData::atShow();
    m_done = false;
    m_removeImage = true;
    m_burner = ETCDBurner::burner(wizard()->burnerName());
    stepList()->setActions(m_burner ? m_burner->actions() : 0);
    return true;
}

bool ETWizardScreenBurn::appropriate()
{
    return wizard()->cdOrder();
}

bool ETWizardScreenBurn::run()
{
    wizard()->setNextEnabled(page(), false);
    wizard()->setBackEnabled(page(), false);
    m_aborted = false;

    bool ok = connectBurner() && collectBurnData();
    if (ok) {
        ok = burnIt();
        if (!ok && !m_aborted && !isCancelled()) {
            // A retry goes back to the burner choice below, as every failure does.
            m_aborted = !ETRequesterController::instance()->cdBurnFailed(
                QStringLiteral("<qt>") + tr("CD-Brennen fehlgeschlagen.<br>") + QStringLiteral("</qt>"));
        } else if (ok && !isCancelled() && m_burner && m_burner->producesImageFile()) {
            ETRequesterController::instance()->isoImageCreated();
        }
    }
    cleanupBurn();
    disconnectBurner();
    sleepSeconds(1);
    m_done = true;

    // A cancelled screen means the wizard has been rejected already: it must
    // not move on to the final screen, nor be rejected twice.
    if (isCancelled())
        return false;
    if (m_aborted) {
        wizard()->reject();
        return false;
    }
    if (!ok) {
        wizard()->cancelButton()->setEnabled(true);
        wizard()->setNextScreen(burnerScreen);
        return true;
    }
    wizard()->setNextEnabled(page(), true);
    wizard()->cancelButton()->setEnabled(false);
    return true;
}

void ETWizardScreenBurn::cancel()
{
    ETWizardScreenCollectData::cancel();
    if (m_thread) {
        m_thread->cancel();
        m_thread->waitForFinish();
    }
}

void ETWizardScreenBurn::beginBurn()
{
    statusLabel()->setText(tr("Starte Brennvorgang..."));
    progressBar()->setValue(0);
}

void ETWizardScreenBurn::endBurn()
{
    statusLabel()->setText(tr("CD-Brennen beendet."));
}

void ETWizardScreenBurn::beginAction(unsigned int action)
{
    switch (action) {
    case 0:
        break;
    case ETCDBurner::ActionImage:
        statusLabel()->setText(tr("Schreibe ISO-Image"));
        progressBar()->setValue(0);
        break;
    case ETCDBurner::ActionCalibrate:
        statusLabel()->setText(tr("Kalibrierung des Lasers"));
        break;
    case ETCDBurner::ActionWrite:
        statusLabel()->setText(tr("Schreibe Daten auf CD"));
        progressBar()->setValue(0);
        break;
    case ETCDBurner::ActionCloseSession:
        statusLabel()->setText(tr("Schliesse Session. Dieser Vorgang kann einige Minuten dauern."));
        break;
    case ETCDBurner::ActionFinalize:
        statusLabel()->setText(tr("Finalisiere CD. Dieser Vorgang kann einige Minuten dauern."));
        break;
    default:
        qWarning("unknown action %u", action);
        break;
    }
    if (stepList())
        stepList()->beginAction(action);
}

void ETWizardScreenBurn::endAction(unsigned int action)
{
    switch (action) {
    case 0:
    case ETCDBurner::ActionCalibrate:
    case ETCDBurner::ActionCloseSession:
    case ETCDBurner::ActionFinalize:
        break;
    case ETCDBurner::ActionImage:
        statusLabel()->setText(tr("ISO-Image geschrieben"));
        progressBar()->setValue(100);
        break;
    case ETCDBurner::ActionWrite:
        progressBar()->setValue(100);
        break;
    default:
        qWarning("unknown action %u", action);
        break;
    }
    if (stepList())
        stepList()->endAction(action);
}

bool ETWizardScreenBurn::connectBurner()
{
    // The choice page lets nobody on without a burner, but the burner may
    // have gone since.
    if (!m_burner)
        return false;
    m_burner->setSpeed(wizard()->burnerSpeed());
    connect(m_burner, &ETCDBurner::progress, progressBar(), &QProgressBar::setValue);
    connect(m_burner, &ETCDBurner::beginAction, this, &ETWizardScreenBurn::beginAction);
    connect(m_burner, &ETCDBurner::endAction, this, &ETWizardScreenBurn::endAction);
    connect(m_burner, &ETCDBurner::beginBurn, this, &ETWizardScreenBurn::beginBurn);
    connect(m_burner, &ETCDBurner::endBurn, this, &ETWizardScreenBurn::endBurn);
    return true;
}

void ETWizardScreenBurn::disconnectBurner()
{
    if (!m_burner)
        return;
    m_burner->release();
    disconnect(m_burner.data(), nullptr, progressBar(), nullptr);
    disconnect(m_burner.data(), nullptr, this, nullptr);
    m_burner = nullptr;
}

bool ETWizardScreenBurn::collectBurnData()
{
    if (!beginCollect())
        return false;

    QString name = writeOfflineOrder();
    if (name.isEmpty()) {
        reportWriteFailure(QString());
        return false;
    }
    addFile(name);
    // A failure is reported there, once.
    name = writeOrderText(QStringLiteral("00000000.txt"));
    if (name.isEmpty())
        return false;
    addFile(name);
    name = writeDebugInfo();
    if (name.isEmpty()) {
        reportWriteFailure(QString());
        return false;
    }
    addFile(name);
    if (!copyOrderFiles())
        return false;
    name = writePadFile();
    if (name.isEmpty()) {
        reportWriteFailure(QString());
        return false;
    }
    addFile(name);
    return endCollect();
}

QString ETWizardScreenBurn::cdImagePath() const
{
    return QFileInfo(ETConfig::instance()->cdImageDir() + QLatin1Char('/') + m_imageName).absoluteFilePath();
}

bool ETWizardScreenBurn::runBurnerThread(const std::function<void(ETCDBurnerThread *)> &job)
{
    if (isCancelled())
        return false;
    auto thread = std::make_unique<ETCDBurnerThread>(m_burner);
    job(thread.get());
    m_thread = thread.get();
    thread->start();
    // Cancel and the burner's queued signals get through while we wait.
    thread->waitForFinish();
    const bool result = thread->hasFinished();
    m_thread = nullptr;
    thread.reset();
    QCoreApplication::processEvents();
    return result;
}

bool ETWizardScreenBurn::burnIt()
{
    progressBar()->setMaximum(100);
    progressBar()->setValue(0);

    QString imagePath;
    if (!m_burner->producesImageFile()) {
        imagePath = cdImagePath();
    } else {
        imagePath = ETRequesterController::instance()->getSaveFileName(
            QDir::homePath() + QLatin1Char('/') + m_imageName, tr("ISO-Image (*.iso *.ISO)"),
            tr("Bitte Filenamen auswählen"), wizard());
        if (imagePath.isEmpty()) {
            m_aborted = true;
            return false;
        }
        // The customer put it there: it stays.
        m_removeImage = false;
    }
    qDebug().noquote() << QStringLiteral("ISO-Filename: ") + imagePath;

    bool result;
    const QString folder = directory();
    if (m_burner->createsImageInThread()) {
        QCoreApplication::processEvents();
        result = runBurnerThread([&](ETCDBurnerThread *thread) { thread->setImageJob(folder, imagePath); });
    } else {
        result = m_burner->createImage(folder, imagePath);
    }
    if (isCancelled())
        return true;
    if (!result) {
        ETRequesterController::instance()->isoImageFailed();
        return false;
    }

    if (m_burner->writesDisc()) {
        QPushButton *cancelButton = wizard()->cancelButton();
        const bool cancelWasEnabled = cancelButton->isEnabled();
        cancelButton->setEnabled(m_burner->isCancellable());
        if (!ETRequesterController::instance()->insertBlankCD()) {
            cancelButton->setEnabled(cancelWasEnabled);
            m_aborted = true;
            return false;
        }
        result = runBurnerThread([&](ETCDBurnerThread *thread) { thread->setBurnJob(imagePath, false); });
        cancelButton->setEnabled(cancelWasEnabled);
    }
    if (isCancelled())
        return true;

    // A kept image is the wizard's to show, so the clean-up must leave it.
    const bool keep = result && m_burner->keepsImage();
    if (keep)
        m_removeImage = false;
    wizard()->setImageFileName(keep ? imagePath : QString());
    qDebug("ETWizardScreenBurn::burnIt() finished");
    return result;
}

void ETWizardScreenBurn::cleanupBurn()
{
    cleanupOrderDirectory();
    if (m_removeImage)
        QFile::remove(cdImagePath());
}

QString ETWizardScreenBurn::writeOfflineOrder()
{
    const QString name = QStringLiteral("Offline.clt");
    return writeFileAtomically(directory() + QLatin1Char('/') + name, QByteArray()) ? name : QString();
}

QString ETWizardScreenBurn::writeDebugInfo()
{
    ETApplicationConfig *config = ETApplicationConfig::instance();
    const QStringList lines = {
        QStringLiteral("OSName=") + systemName(),
        QStringLiteral("OSVersion=") + QString::number(systemVersion()),
        QStringLiteral("KeyAccount=") + config->keyAccount(),
        QStringLiteral("KeyAccountName=") + config->keyAccountName(),
        QStringLiteral("ProgramName=") + config->programName(),
        QStringLiteral("ProgramVersion=") + ETApplicationConfig::version(),
        QStringLiteral("CDWriterLibrary=") + m_burner->libraryName(),
        QStringLiteral("CDWriterModel=") + m_burner->externalName(),
        QStringLiteral("CDWriterSpeed=") + QString::number(m_burner->currentSpeed()),
        QStringLiteral("CDWriterMaxSpeed=") + QString::number(m_burner->maximumSpeed()),
    };
    const QByteArray content = (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
    const QString name = QStringLiteral("_debug.txt");
    return writeFileAtomically(directory() + QLatin1Char('/') + name, content) ? name : QString();
}

QString ETWizardScreenBurn::writePadFile()
{
    const QString name = QStringLiteral("zzz.pad");
    return writeFileAtomically(directory() + QLatin1Char('/') + name, QByteArray(padBytes, '\0')) ? name
                                                                                                  : QString();
}
