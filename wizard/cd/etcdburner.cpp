#include "etcdburner.h"

#include "etapplicationconfig.h"
#include "etfileutils.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>

namespace
{

// Registration happens in the GUI thread, but the log is written by back-ends
// from the burner thread too: both stay behind one lock.
QMutex &registryMutex()
{
    static QMutex mutex;
    return mutex;
}

QList<ETCDBurner *> &registry()
{
    static QList<ETCDBurner *> burners;
    return burners;
}

QStringList &log()
{
    static QStringList lines;
    return lines;
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

ETCDBurner::ETCDBurner(QObject *parent) : QObject(parent) {}

ETCDBurner::~ETCDBurner()
{
    QMutexLocker lock(&registryMutex());
    registry().removeAll(this);
}

void ETCDBurner::registerBurner(ETCDBurner *burner)
{
    if (!burner)
        return;
    QMutexLocker lock(&registryMutex());
    registry().append(burner);
}

QStringList ETCDBurner::list()
{
    QList<ETCDBurner *> burners;
    {
        QMutexLocker lock(&registryMutex());
        burners = registry();
    }
    QStringList names;
    for (ETCDBurner *burner : burners)
        names << burner->externalName();
    qDebug("ETCDBurner::list() returning %d entries", int(names.size()));
    return names;
}

ETCDBurner *ETCDBurner::burner(const QString &name)
{
    qDebug().noquote() << QStringLiteral("ETCDBurner::burner(") + name + QStringLiteral(")");
    QList<ETCDBurner *> burners;
    {
        QMutexLocker lock(&registryMutex());
        burners = registry();
    }
    for (ETCDBurner *burner : burners) {
        if (burner->internalName() == name) {
            qDebug().noquote() << QStringLiteral("    internal name ") + name + QStringLiteral(" matches");
            return burner;
        }
    }
    for (ETCDBurner *burner : burners) {
        if (burner->externalName() == name) {
            qDebug().noquote() << QStringLiteral("    external name ") + name + QStringLiteral(" matches");
            return burner;
        }
    }
    return nullptr;
}

ETCDBurner *ETCDBurner::burner(unsigned int index)
{
    QMutexLocker lock(&registryMutex());
    if (index >= unsigned(registry().size()))
        return nullptr;
    return registry().at(int(index));
}

void ETCDBurner::addToLog(const QString &line)
{
    QMutexLocker lock(&registryMutex());
    log().append(line);
}

QString ETCDBurner::logText()
{
    QMutexLocker lock(&registryMutex());
    return log().join(QStringLiteral("<br>"));
}

void ETCDBurner::clearLogForTests()
{
    QMutexLocker lock(&registryMutex());
    log().clear();
}

QList<int> ETCDBurner::writeSpeeds()
{
    // For back-ends that know only their maximum speed.
    qDebug("ETCDBurner::writeSpeeds() generating fake list");
    const int maximum = maximumSpeed();
    QList<int> speeds;
    if (maximum > 0)
        speeds << 1;
    if (maximum > 1)
        speeds << 2;
    for (int speed = 4; speed < maximum; speed += 4)
        speeds << speed;
    if (maximum > 2)
        speeds << maximum;
    return speeds;
}

QString ETCDBurner::volumeName() const
{
    return ETApplicationConfig::instance()->cdVolumeName();
}

QString ETCDBurner::applicationName() const
{
    return ETApplicationConfig::instance()->cdApplicationName();
}

QString ETCDBurner::publisher() const
{
    return ETApplicationConfig::instance()->cdPublisher();
}

bool ETCDBurner::waitUntil(bool (ETCDBurner::*condition)(), int seconds, unsigned pauseSeconds)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if ((this->*condition)())
            return true;
        if (timer.elapsed() > qint64(seconds) * 1000)
            return false;
        sleepSeconds(pauseSeconds);
    }
}

bool ETCDBurner::waitUntilReady(int seconds)
{
    return waitUntil(&ETCDBurner::isReady, seconds, 5);
}

bool ETCDBurner::waitUntilIdle(int seconds)
{
    return waitUntil(&ETCDBurner::isIdle, seconds, 2);
}

void ETCDBurner::sendProgress(int percent)
{
    emit progress(percent);
}

void ETCDBurner::sendBeginAction(unsigned int action)
{
    emit beginAction(action);
}

void ETCDBurner::sendEndAction(unsigned int action)
{
    emit endAction(action);
}

void ETCDBurner::dump()
{
    qDebug().noquote() << QStringLiteral("internal name: ") + internalName();
    qDebug().noquote() << QStringLiteral("external name: ") + externalName();
    qDebug("maximum speed: %d", maximumSpeed());
    qDebug("current speed: %d", currentSpeed());
    qDebug().noquote() << QStringLiteral("test supported: ") + yesNo(testSupported());
    qDebug().noquote() << QStringLiteral("BUP supported: ") + yesNo(bupSupported());
    qDebug().noquote() << QStringLiteral("BUP enabled: ") + yesNo(bupEnabled());
    qDebug("buffer size: %lu", bufferSize());
}
