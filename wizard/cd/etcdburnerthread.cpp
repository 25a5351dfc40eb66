#include "etcdburnerthread.h"

#include "etcdburner.h"

#include <QDebug>

ETCDBurnerThread::ETCDBurnerThread(ETCDBurner *burner, QObject *parent) : ETThread(parent), m_burner(burner)
{
}

void ETCDBurnerThread::cancel()
{
    ETThread::cancel();
    qDebug("### ETCDBurnerThread::cancel() ###");
    if (m_burner)
        m_burner->cancel();
}

void ETCDBurnerThread::setBurnJob(const QString &imagePath, bool flag)
{
    m_imagePath = imagePath;
    m_flag = flag;
    m_mode = BurnJob;
}

void ETCDBurnerThread::setImageJob(const QString &sourceFolder, const QString &imagePath)
{
    m_sourceFolder = sourceFolder;
    m_imagePath = imagePath;
    m_mode = ImageJob;
}

void ETCDBurnerThread::run()
{
    if (!m_burner)
        return;
    switch (m_mode) {
    case ImageJob:
        setFinished(m_burner->createImage(m_sourceFolder, m_imagePath));
        break;
    case BurnJob:
        setFinished(m_burner->burnImage(m_imagePath, m_flag));
        // Also after a failed burn: the back-end may have to tidy up the drive.
        m_burner->afterBurn(120);
        break;
    default:
        break;
    }
}
