#include "etwizardscreensendvianet.h"

#include "etapplicationfactoryabstract.h"
#include "etimageloader.h"
#include "etimagepathprovider.h"
#include "etnetworking.h"
#include "etnetworkingthread.h"
#include "etorder.h"
#include "etorderwizard.h"

#include <QCheckBox>
#include <QDebug>
#include <QEventLoop>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QTime>
#include <QWidget>

#include <memory>
#include <utility>

namespace
{

std::function<qint64()> s_elapsed;

} // namespace

ETWizardScreenSendViaNet::ETWizardScreenSendViaNet(const QString &name, QWidget *parent,
                                                   ETOrderWizard *wizard)
    : ETWizardScreenNet(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(name);

    m_pictureLabel = new QLabel(page);
    m_pictureLabel->setObjectName(QStringLiteral("picture"));
    m_pictureLabel->setAlignment(Qt::AlignCenter);
    m_pictureLabel->setWordWrap(true);
    m_pictureLabel->setMinimumSize(200, 150);
    auto *optimizeLabel = new QLabel(tr("Optimierung der Bilder"), page);
    m_optimizeProgress = new QProgressBar(page);
    m_optimizeProgress->setObjectName(QStringLiteral("optimizeProgress"));
    m_optimizeProgress->setAccessibleName(optimizeLabel->text());
    m_progressText = new QLabel(tr("Senden der Bilder via Netz"), page);
    m_progressText->setObjectName(QStringLiteral("progressText"));
    m_progressBaseText = m_progressText->text();
    m_networkProgress = new QProgressBar(page);
    m_networkProgress->setObjectName(QStringLiteral("networkProgress"));
    m_networkProgress->setAccessibleName(m_progressBaseText);

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setSpacing(5);
    grid->addWidget(m_pictureLabel, 0, 0);
    grid->addWidget(optimizeLabel, 1, 0);
    grid->addWidget(m_optimizeProgress, 2, 0);
    grid->addWidget(m_progressText, 3, 0);
    grid->addWidget(m_networkProgress, 4, 0);
    grid->setRowStretch(4, 1);

    setPage(page);
    setTitle(tr("<qt><b>Übertragung des Auftrags</b><br>Die Übertragung des Auftrages kann je nach "
                "Internet-Verbindung einige Zeit dauern. Bitte warten Sie die vollständige Übertragung des "
                "Auftrags ab.</qt>"));
}

ETWizardScreenSendViaNet::~ETWizardScreenSendViaNet()
{
    qDebug("delete ETWizardScreenSendViaNet");
    if (m_thread) {
        m_thread->cancel();
        m_thread->wait();
        delete m_thread;
    }
}

void ETWizardScreenSendViaNet::setElapsedForTests(std::function<qint64()> elapsed)
{
    s_elapsed = std::move(elapsed);
}

qint64 ETWizardScreenSendViaNet::elapsed() const
{
    if (s_elapsed)
        return s_elapsed();
    return m_uploadClock.isValid() ? m_uploadClock.elapsed() : 0;
}

bool ETWizardScreenSendViaNet::check()
{
    return m_done;
}

bool ETWizardScreenSendViaNet::atNext()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    return true;
}

bool ETWizardScreenSendViaNet::atShow()
{
    // The thread reports from its own thread; every report is queued into
    // the GUI thread. A second showing does not wire twice.
    atNext();
    ETNetworking *net = ETNetworking::instance();
    QProgressBar *optimize = m_optimizeProgress;
    m_connections << connect(
                         ETOrder::instance(), &ETOrder::imageOptimized, optimize,
                         [optimize](int percent) { optimize->setValue(percent); }, Qt::QueuedConnection)
                  << connect(net, &ETNetworking::uploadProgress, this, &ETWizardScreenSendViaNet::setProgress,
                             Qt::QueuedConnection)
                  << connect(net, &ETNetworking::uploadTotalBytes, this,
                             &ETWizardScreenSendViaNet::setTotalSteps, Qt::QueuedConnection)
                  << connect(net, &ETNetworking::uploadImage, this,
                             &ETWizardScreenSendViaNet::showUploadImage, Qt::QueuedConnection)
                  << connect(net, &ETNetworking::uploadOrderData, this,
                             &ETWizardScreenSendViaNet::showUploadOrderData, Qt::QueuedConnection);

    m_done = false;
    m_orderDeclared = false;
    m_imagesOptimized = false;
    m_cancelling = false;
    m_orderPlaced = false;
    m_waitingPicture.clear();
    wizard()->setBackEnabled(page(), false);
    wizard()->setNextEnabled(page(), false);
    m_pictureLabel->setText(tr("<qt>Bilder upload. Zunächst werden die Bilder optimiert, um Bandbreite zu "
                               "sparen, danach übertragen.</qt>"));
    m_optimizeProgress->setValue(0);
    m_networkProgress->setValue(0);
    return true;
}

bool ETWizardScreenSendViaNet::run()
{
    bool web = false;
    if (QWidget *main = ETApplicationFactoryAbstract::instance()->mainWidget()) {
        if (auto *box = main->findChild<QCheckBox *>(QStringLiteral("orderspec_topbar_webcheckbox")))
            web = box->isChecked();
    }

    m_optimizeProgress->setValue(0);
    m_networkProgress->setValue(0);
    // Retries keep counting from the first start.
    m_uploadClock.start();

    bool success = false;
    bool cancelled = false;
    for (;;) {
        m_thread = ETNetworkingThread::create(this, wizard()->uploadOption(), ETNetworking::instance(),
                                              ETOrder::instance(), !m_orderDeclared, !m_imagesOptimized, web);
        connect(m_thread, &QThread::finished, this, &ETWizardScreenSendViaNet::threadFinished,
                Qt::QueuedConnection);
        m_threadEnded = false;
        m_thread->start();
        waitForThread();
        success = m_thread->hasFinished();
        cancelled = m_thread->isCancelled();
        m_orderPlaced = success;
        delete m_thread;
        m_thread = nullptr;
        if (cancelled || success)
            break;
        if (!askRetry(false))
            break;
    }

    // Confirmed or given up: the copies would stay among the customer's pictures.
    ETOrder::instance()->removeOptimizedCopies();
    ETImagePathProvider::instance()->changed();
    m_done = true;
    wizard()->setNextEnabled(page(), true);
    // A cancel through the wizard's Cancel has closed it already.
    if (!success && wizard()->isVisible())
        wizard()->reject();
    return success;
}

void ETWizardScreenSendViaNet::threadFinished()
{
    m_threadEnded = true;
    emit uploadEnded(QPrivateSignal());
}

void ETWizardScreenSendViaNet::waitForThread()
{
    // The GUI goes on while the thread works: its reports, the Cancel button.
    if (!m_threadEnded) {
        QEventLoop loop;
        connect(this, &ETWizardScreenSendViaNet::uploadEnded, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // The loop also ends when the application ends: the thread is stopped then.
    if (!m_threadEnded)
        m_thread->cancel();
    m_thread->wait();
}

void ETWizardScreenSendViaNet::cancel()
{
    if (!m_thread)
        return;
    m_cancelling = true;
    m_pictureLabel->setText(tr("Abbrechen..."));
    m_thread->cancel();
    waitForThread();
    // The order may have been finished before the cancel reached the thread.
    m_orderPlaced = m_thread->hasFinished();
}

bool ETWizardScreenSendViaNet::closesOnCancel()
{
    return !m_orderPlaced;
}

void ETWizardScreenSendViaNet::setOrderDeclared(bool declared)
{
    m_orderDeclared = declared;
}

void ETWizardScreenSendViaNet::setImagesOptimized(bool optimized)
{
    m_imagesOptimized = optimized;
}

QString ETWizardScreenSendViaNet::rateText(qint64 bytes, qint64 totalBytes, qint64 elapsedMs)
{
    if (bytes <= 0 || elapsedMs <= 0)
        return QString();
    const double seconds = elapsedMs / 1000.0;
    const double rate = (bytes / 1024.0) / seconds;
    // More sent than announced leaves nothing to wait for.
    const qint64 remainingBytes = qMax<qint64>(0, totalBytes - bytes);
    const qint64 remaining = qint64((remainingBytes / 1024.0) / rate);
    const qint64 hours = remaining / 3600;
    const qint64 minutes = remaining / 60 % 60;
    const qint64 secs = remaining % 60;
    const QString rateText = QString::number(rate, 'f', 2);
    if (hours > 0)
        return tr("(%1 KB/s, Geschätzte Dauer: %2 Std. %3 Min. %4 Sek.)")
            .arg(rateText, QString::number(hours), QString::number(minutes), QString::number(secs));
    if (minutes > 0)
        return tr("(%1 KB/s, Geschätzte Dauer: %2 Min. %3 Sek.)")
            .arg(rateText, QString::number(minutes), QString::number(secs));
    return tr("(%1 KB/s, Geschätzte Dauer: %2 Sek.)").arg(rateText, QString::number(secs));
}

void ETWizardScreenSendViaNet::setProgress(int bytes)
{
    const qint64 ms = elapsed();
    qDebug("ETWizardScreenSendViaNet::setProgress(%d)  elapsed=%lld", bytes, static_cast<long long>(ms));
    const QString rate = rateText(bytes, m_networkProgress->maximum(), ms);
    m_progressText->setText(rate.isEmpty() ? m_progressBaseText
                                           : m_progressBaseText + QLatin1Char(' ') + rate);
    // A value outside the bar's range would be dropped.
    m_networkProgress->setValue(qBound(m_networkProgress->minimum(), bytes, m_networkProgress->maximum()));
    m_networkProgress->repaint();
    m_progressText->repaint();
}

void ETWizardScreenSendViaNet::setTotalSteps(int totalBytes)
{
    m_networkProgress->setMaximum(totalBytes);
}

void ETWizardScreenSendViaNet::showUploadImage(const QString &path)
{
    if (m_cancelling)
        return;
    // Pictures go up faster than their thumbnails decode: only the newest one
    // waiting is shown, so the page never lags behind the upload.
    const bool scheduled = !m_waitingPicture.isEmpty();
    m_waitingPicture = path;
    if (!scheduled)
        QMetaObject::invokeMethod(this, &ETWizardScreenSendViaNet::showWaitingPicture, Qt::QueuedConnection);
}

void ETWizardScreenSendViaNet::showWaitingPicture()
{
    const QString path = std::exchange(m_waitingPicture, QString());
    if (path.isEmpty() || m_cancelling)
        return;
    const std::unique_ptr<QImage> thumbnail(ETImageLoader::loadThumbnail(path, 200, 150, nullptr, nullptr));
    if (!thumbnail)
        return;
    m_pictureLabel->setPixmap(QPixmap::fromImage(*thumbnail));
    m_pictureLabel->repaint();
}

void ETWizardScreenSendViaNet::showUploadOrderData()
{
    m_waitingPicture.clear();
    if (m_cancelling)
        return;
    m_pictureLabel->setText(tr("<qt>Übertragung der Bestelldaten</qt>"));
    m_pictureLabel->repaint();
    // Until the first byte count the client waits for the server's answers,
    // which may ask it to wait on (seconds without other sign of life).
    m_progressText->setText(m_progressBaseText + QLatin1Char(' ') +
                            tr("(Warten auf Antwort des Servers ...)"));
    m_progressText->repaint();
}
