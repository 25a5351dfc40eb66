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
