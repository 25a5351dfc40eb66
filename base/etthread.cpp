#include "etthread.h"

#include <QCoreApplication>
#include <QDebug>

namespace
{
constexpr unsigned long pollMilliseconds = 200;
}

ETThread::ETThread(QObject *parent) : QThread(parent) {}

bool ETThread::isCancelled() const
{
    QMutexLocker lock(&m_mutex);
    return m_cancelled;
}

bool ETThread::hasFinished() const
{
    return m_finished.load();
}

void ETThread::setFinished(bool finished)
{
    m_finished.store(finished);
}

bool ETThread::waitForFinish()
{
    while (isRunning()) {
        QCoreApplication::processEvents();
        // Returns early when the thread ends, so no sleep is wasted.
        wait(pollMilliseconds);
    }
    return wait();
}

void ETThread::cancel()
{
    qDebug().noquote() << QStringLiteral("#### ETThread::cancel() ####");
    QMutexLocker lock(&m_mutex);
    m_cancelled = true;
}
