#include "fakeburner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

#include <chrono>

FakeBurner::FakeBurner(const Script &script)
    : script(script), m_speed(script.currentSpeed), m_guiThread(QCoreApplication::instance()->thread())
{
}

FakeBurner::~FakeBurner() = default;

void FakeBurner::record(const QString &what, const QStringList &arguments)
{
    QMutexLocker lock(&m_mutex);
    m_calls.append({what, arguments, QThread::currentThread() == m_guiThread});
}

void FakeBurner::emitted()
{
    QMutexLocker lock(&m_mutex);
    m_emitted.append(QThread::currentThread() == m_guiThread);
}

QList<FakeBurner::Call> FakeBurner::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

QStringList FakeBurner::callNames() const
{
    QStringList names;
    for (const Call &call : calls())
        names << call.what;
    return names;
}

QMap<QString, QByteArray> FakeBurner::snapshot() const
{
    QMutexLocker lock(&m_mutex);
    return m_snapshot;
}

QList<bool> FakeBurner::emittedInGuiThread() const
{
    QMutexLocker lock(&m_mutex);
    return m_emitted;
}

void FakeBurner::proceed()
{
    std::lock_guard<std::mutex> lock(m_holdMutex);
    m_proceed = true;
    m_holdChanged.notify_all();
}

bool FakeBurner::hold()
{
    std::unique_lock<std::mutex> lock(m_holdMutex);
    m_holdChanged.wait_for(lock, std::chrono::seconds(5), [this] { return m_cancelled || m_proceed; });
    return m_cancelled;
}

void FakeBurner::release()
{
    record(QStringLiteral("release"));
    if (duringRelease)
        duringRelease();
}

void FakeBurner::setSpeed(int speed)
{
    record(QStringLiteral("setSpeed"), {QString::number(speed)});
    m_speed = speed;
}

QList<int> FakeBurner::writeSpeeds()
{
    return script.useBaseSpeeds ? ETCDBurner::writeSpeeds() : script.speeds;
}

bool FakeBurner::createImage(const QString &sourceFolder, const QString &imagePath)
{
    record(QStringLiteral("createImage"), {sourceFolder, imagePath});
    QMap<QString, QByteArray> files;
    const QDir folder(sourceFolder);
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        QFile file(folder.absoluteFilePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    {
        QMutexLocker lock(&m_mutex);
        m_snapshot = files;
    }
    if (duringImage)
        duringImage();

    emitted();
    sendBeginAction(ActionImage);
    for (int percent : {0, 50, 100})
        sendProgress(percent);
    m_imageStarted = true;
    if (script.holdImage && hold())
        return false;
    addToLog(QStringLiteral("Image: ") + QFileInfo(imagePath).fileName());
    if (!script.imageResult)
        return false;
    QFile image(imagePath);
    if (!image.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    image.write("CD001 fake image");
    image.close();
    sendEndAction(ActionImage);
    return true;
}

bool FakeBurner::burnImage(const QString &imagePath, bool flag)
{
    record(QStringLiteral("burnImage"), {imagePath, flag ? QStringLiteral("true") : QStringLiteral("false")});
    emitted();
    emit beginBurn();
    m_burnStarted = true;
    if (script.holdBurn && hold())
        return false;
    for (unsigned int action :
         {unsigned(ActionCalibrate), unsigned(ActionWrite), unsigned(ActionCloseSession)}) {
        sendBeginAction(action);
        sendProgress(50);
        sendEndAction(action);
    }
    emit endBurn();
    return script.burnResult;
}

bool FakeBurner::isReady()
{
    return ++m_polls >= script.readyAtPoll;
}

bool FakeBurner::isIdle()
{
    return ++m_polls >= script.readyAtPoll;
}

void FakeBurner::afterBurn(int value)
{
    record(QStringLiteral("afterBurn"), {QString::number(value)});
}

void FakeBurner::cancel()
{
    record(QStringLiteral("cancel"));
    std::lock_guard<std::mutex> lock(m_holdMutex);
    m_cancelled = true;
    m_holdChanged.notify_all();
}
