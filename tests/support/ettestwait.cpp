#include "ettestwait.h"

::testing::AssertionResult waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return ::testing::AssertionFailure() << "condition not met within " << timeoutMs << " ms";
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return ::testing::AssertionSuccess();
}

EventLoopWatch::EventLoopWatch()
{
    m_sinceTick.start();
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_longest = qMax(m_longest, m_sinceTick.restart()); });
    m_timer.start();
}

qint64 EventLoopWatch::longestGapMs() const
{
    return qMax(m_longest, m_sinceTick.elapsed());
}
