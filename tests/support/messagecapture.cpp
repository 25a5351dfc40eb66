#include "messagecapture.h"

#include <QList>
#include <QMutex>
#include <QPair>

namespace
{

QMutex captureMutex;
QList<QPair<QtMsgType, QString>> captured;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    QMutexLocker lock(&captureMutex);
    captured.append({type, message});
}

} // namespace

MessageCapture::MessageCapture()
{
    QMutexLocker lock(&captureMutex);
    captured.clear();
    m_previous = qInstallMessageHandler(collect);
}

MessageCapture::~MessageCapture()
{
    qInstallMessageHandler(m_previous);
}

QStringList MessageCapture::lines() const
{
    QMutexLocker lock(&captureMutex);
    QStringList result;
    for (const auto &line : captured)
        result << line.second;
    return result;
}

QStringList MessageCapture::lines(QtMsgType type) const
{
    QMutexLocker lock(&captureMutex);
    QStringList result;
    for (const auto &line : captured) {
        if (line.first == type)
            result << line.second;
    }
    return result;
}
