#include "etthread.h"
#include "ettestapplication.h"
#include "messagecapture.h"
#include "qtprinters.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <atomic>
#include <memory>

#include <gtest/gtest.h>

namespace
{

// Works in small steps until cancelled; gives up after ten seconds so that a
// broken cancel fails the test instead of hanging it.
class StepWorker : public ETThread
{
    Q_OBJECT

  public:
    explicit StepWorker(bool reportFinished) : m_reportFinished(reportFinished) {}

    std::atomic<int> steps{0};
    std::atomic<bool> gaveUp{false};

  signals:
    void stepDone(int step);

  protected:
    void run() override
    {
        QElapsedTimer clock;
        clock.start();
        while (!isCancelled()) {
            if (clock.hasExpired(10000)) {
                gaveUp = true;
                break;
            }
            emit stepDone(++steps);
            QThread::msleep(2);
        }
        if (m_reportFinished)
            setFinished(true);
    }

  private:
    bool m_reportFinished;
};

TEST(ETThread, WaitKeepsGuiTimersFiringAndCancelEndsTheWorker)
{
    ETTestApplication::instance();
    StepWorker worker(true);
    int ticks = 0;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, &worker, [&] {
        // Only the GUI thread's event processing during the wait gets here.
        if (++ticks == 3)
            worker.cancel();
    });
    int lastReported = 0;
    QObject::connect(&worker, &StepWorker::stepDone, &timer, [&](int step) {
        EXPECT_EQ(QCoreApplication::instance()->thread(), QThread::currentThread());
        lastReported = step;
    });
    MessageCapture messages;
    timer.start();
    worker.start();
    EXPECT_TRUE(worker.waitForFinish());
    EXPECT_FALSE(worker.gaveUp);
    EXPECT_EQ(3, ticks);
    EXPECT_TRUE(worker.isCancelled());
    EXPECT_TRUE(worker.hasFinished());
    EXPECT_TRUE(worker.isFinished());
    EXPECT_GT(lastReported, 0);
    EXPECT_EQ(QStringList{QStringLiteral("#### ETThread::cancel() ####")}, messages.lines());
}

TEST(ETThread, CancelBeforeStartEndsAtTheFirstCheck)
{
    ETTestApplication::instance();
    StepWorker worker(true);
    worker.cancel();
    worker.start();
    EXPECT_TRUE(worker.waitForFinish());
    EXPECT_EQ(0, worker.steps);
    EXPECT_TRUE(worker.hasFinished());
}

TEST(ETThread, CancelTwiceStaysCancelledWithTwoLines)
{
    StepWorker worker(true);
    MessageCapture messages;
    worker.cancel();
    worker.cancel();
    EXPECT_TRUE(worker.isCancelled());
    EXPECT_EQ(2, messages.lines().size());
}

TEST(ETThread, WaitOnAThreadNeverStartedReturnsAtOnce)
{
    ETTestApplication::instance();
    StepWorker worker(true);
    EXPECT_TRUE(worker.waitForFinish());
    EXPECT_FALSE(worker.hasFinished());
    EXPECT_FALSE(worker.isCancelled());
}

TEST(ETThread, FinishedFlagIsTheWorkersWord)
{
    ETTestApplication::instance();
    StepWorker worker(false);
    worker.cancel();
    worker.start();
    EXPECT_TRUE(worker.waitForFinish());
    EXPECT_TRUE(worker.isFinished());
    EXPECT_FALSE(worker.hasFinished());
    EXPECT_FALSE(worker.finished()) << "the screens' name for the same flag";
    worker.setFinished(true);
    EXPECT_TRUE(worker.finished());
}

} // namespace

#include "etthreadtest.moc"
