#include "etnetworkingtimes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QtGlobal>

#include <atomic>

namespace
{
// The tests that run the whole program as a process shorten the protocol's second through the
// environment (LUMO_TEST_SECOND_MS); a hook for them alone.
int startingMillisecondsPerSecond()
{
    bool ok = false;
    const int milliseconds = qEnvironmentVariableIntValue("LUMO_TEST_SECOND_MS", &ok);
    return ok && milliseconds > 0 ? milliseconds : 1000;
}

std::atomic<int> millisecondsPerSecond{startingMillisecondsPerSecond()};
std::atomic<int> waited{0};
std::atomic<int> waits{0};
const long minimumTimeoutMilliseconds = 1000;
} // namespace

void ETNetworkingTimes::waitSeconds(int seconds)
{
    waited += seconds;
    ++waits;
    QThread::msleep(static_cast<unsigned long>(seconds) *
                    static_cast<unsigned long>(millisecondsPerSecond.load()));
}

bool ETNetworkingTimes::waitSeconds(int seconds, const std::atomic<bool> &cancelled)
{
    waited += seconds;
    ++waits;
    QDeadlineTimer deadline(qint64(seconds) * millisecondsPerSecond.load());
    // Looks at the flag a hundred times a second: a cancel ends the wait at once for the customer.
    const QCoreApplication *application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread()) {
        // The application's thread goes on with its events meanwhile.
        QEventLoop loop;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, &loop, [&] {
            if (cancelled || deadline.hasExpired())
                loop.quit();
        });
        look.start(10);
        if (!cancelled && !deadline.hasExpired())
            loop.exec();
        return !cancelled;
    }
    while (!cancelled && !deadline.hasExpired())
        QThread::msleep(static_cast<unsigned long>(qMin<qint64>(10, deadline.remainingTime())));
    return !cancelled;
}

long ETNetworkingTimes::timeoutMilliseconds(int seconds)
{
    const long scaled = long(seconds) * millisecondsPerSecond.load();
    // 0 is none at all; any other never shrinks below what one exchange on
    // loopback may take on a loaded machine.
    return scaled > 0 ? qMax(scaled, minimumTimeoutMilliseconds) : scaled;
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
