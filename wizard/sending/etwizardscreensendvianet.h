#pragma once

#include "etnetworkingthreadlistener.h"
#include "etwizardscreennet.h"

#include <QElapsedTimer>
#include <QList>
#include <QMetaObject>
#include <QString>

#include <atomic>
#include <functional>

class ETNetworkingThread;
class QLabel;
class QProgressBar;
class QWidget;

// The page that sends the order: it runs the upload thread (optimising,
// declaring, uploading, finishing) and shows its progress, the picture being
// sent, the rate and the time left. The GUI thread runs the screen; the
// upload thread calls setOrderDeclared and setImagesOptimized and reaches the
// slots queued.
class ETWizardScreenSendViaNet : public ETWizardScreenNet, public ETNetworkingThreadListener
{
    Q_OBJECT

  public:
    ETWizardScreenSendViaNet(const QString &name, QWidget *parent, ETOrderWizard *wizard);
    ~ETWizardScreenSendViaNet() override;

    // Next only once the upload step has ended.
    bool check() override;
    bool atNext() override;
    bool atShow() override;
    // The upload step: attempts until success, cancel or no retry; a failure
    // closes the wizard. True when the order went through.
    bool run() override;
    // False once the server has finished the order: it is placed, and a
    // cancel only cuts the session end short.
    bool closesOnCancel() override;

    // Called in the upload thread.
    void setOrderDeclared(bool declared) override;
    void setImagesOptimized(bool optimized) override;

    // The rate and time left shown after the base text; empty when nothing
    // can be said yet (no bytes, no time elapsed).
    static QString rateText(qint64 bytes, qint64 totalBytes, qint64 elapsedMs);
    // For tests: the milliseconds since the upload started; an empty
    // function brings back the real clock.
    static void setElapsedForTests(std::function<qint64()> elapsed);

  public slots:
    void showUploadImage(const QString &path);
    void showUploadOrderData();
    // Bytes sent so far, counted from the start of the whole upload.
    void setProgress(int bytes) override;
    void setTotalSteps(int totalBytes);
    // Stops a running upload and waits for its thread.
    void cancel() override;

  signals:
    // The running upload thread has ended.
    void uploadEnded(QPrivateSignal);

  private:
    void showWaitingPicture();
    void threadFinished();
    void waitForThread();
    qint64 elapsed() const;

    QLabel *m_pictureLabel;
    QProgressBar *m_optimizeProgress;
    QProgressBar *m_networkProgress;
    QLabel *m_progressText;
    QString m_progressBaseText;
    QString m_waitingPicture;
    QElapsedTimer m_uploadClock;
    std::atomic<bool> m_done{false};
    std::atomic<bool> m_orderDeclared{false};
    std::atomic<bool> m_imagesOptimized{false};
    std::atomic<bool> m_cancelling{false};
    bool m_orderPlaced = false;
    ETNetworkingThread *m_thread = nullptr;
    bool m_threadEnded = true;
    QList<QMetaObject::Connection> m_connections;
};
