#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Bounded waits for tests: they run the event loop until something happens
// and fail instead of hanging when it does not. Never sleep to wait.

// Until the condition holds, at most timeoutMs.
::testing::AssertionResult waitFor(const std::function<bool()> &condition, int timeoutMs = 5000);

// Until the sender emits the signal, at most timeoutMs.
template <typename Sender, typename Signal>
::testing::AssertionResult waitForSignal(const Sender *sender, Signal signal, int timeoutMs = 5000)
{
    QEventLoop loop;
    bool emitted = false;
    const QMetaObject::Connection connection = QObject::connect(sender, signal, &loop, [&] {
        emitted = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    if (emitted)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no signal within " << timeoutMs << " ms";
}

// How long the event loop goes without turning while the code under test
// runs: a timer ticks every 10 ms while the watch lives. A window whose loop
// stands still for long is frozen to the customer.
class EventLoopWatch : public QObject
{
  public:
    EventLoopWatch();
    // The longest time between two ticks, or since the last one.
    qint64 longestGapMs() const;

  private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

// Answers the next modal dialog of the type once it shows (a message box, a
// requester, a screen's dialog) while the code under test runs its own event
// loop. Fails the test when none shows within timeoutMs, and then closes
// whatever else is modal so that the test does not hang.
template <typename Dialog> void whenShown(std::function<void(Dialog *)> answer, int timeoutMs = 5000)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(10);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, deadline] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            timer->deleteLater();
            answer(dialog);
        } else if (deadline.hasExpired()) {
            timer->deleteLater();
            ADD_FAILURE() << "the expected dialog was not shown";
            if (QWidget *other = QApplication::activeModalWidget())
                other->close();
        }
    });
    timer->start();
}
