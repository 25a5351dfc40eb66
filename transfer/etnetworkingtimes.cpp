#include "etnetworkingtimes.h"

#include <QThread>

#include <atomic>

namespace
{
std::atomic<int> millisecondsPerSecond{1000};
std::atomic<int> waited{0};
std::atomic<int> waits{0};
} // namespace

void ETNetworkingTimes::waitSeconds(int seconds)
{
    waited += seconds;
    ++waits;
    QThread::msleep(static_cast<unsigned long>(seconds) *
                    static_cast<unsigned long>(millisecondsPerSecond.load()));
}

long ETNetworkingTimes::timeoutMilliseconds(int seconds)
{
    return long(seconds) * millisecondsPerSecond.load();
}

void ETNetworkingTimes::setMillisecondsPerSecond(int milliseconds)
{
    millisecondsPerSecond = milliseconds;
}

int ETNetworkingTimes::waitedSeconds()
{
    return waited;
}

int ETNetworkingTimes::waitCount()
{
    return waits;
}

void ETNetworkingTimes::resetWaitLog()
{
    waited = 0;
    waits = 0;
}
