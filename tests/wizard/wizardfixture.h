#pragma once

#include "etorderserverdouble.h"
#include "etorderwizard.h"
#include "etrecordingpresenter.h"
#include "qtprinters.h"
#include "transfertestenvironment.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class ETWizardScreen;

// The world of one wizard test: a sandbox with the sample dealer's payment
// rules, lists and skin beside the transfer test's settings, the order-server
// double on loopback, the recording requester presenter answering every box,
// sleeps that return at once and a clock the test sets. The wizard under test
// is the application's main window, so the screens' progress dialogs sit on it.
class WizardFixture : public ::testing::Test
{
  protected:
    WizardFixture();
    ~WizardFixture() override;

    ETOrderServerDouble &server() { return m_environment.server(); }
    TransferTestEnvironment &environment() { return m_environment; }
    ETRecordingPresenter &presenter() { return m_presenter; }

    // Into the resource folder (sub-folders are made); payment.xml and appearance.xml are read again at once.
    void writeResource(const QString &name, const QByteArray &content);

    // A picture painted into the test's folder and put into the order as one
    // line; the picture's path, empty when the order refused it.
    QString addPicture(const QString &name, int width, int height,
                       const QString &product = QStringLiteral("10x15"), int amount = 1);

    // The wizard as the client's factory builds it, every road with its screens.
    ETOrderWizard *buildWizard();
    // Baskets made from now on show the client's own labelled lines, as the program's factory has it.
    void useClientOrderLines();
    // A wizard without pages, for screens of the test's own.
    ETOrderWizard *emptyWizard();
    ETOrderWizard *wizard() const { return m_wizard.get(); }
    // Shows it as the program does: with the skin, and the event loop quits
    // when it closes. The first page is shown.
    void showWizard();

    // The current page's screen name; the page's object name for a page without screen.
    QString currentPage() const;
    // The page names in their order (the pages a final screen dropped are gone).
    QStringList pageNames() const;
    // Press a wizard button as the customer would: it must be visible and enabled.
    ::testing::AssertionResult pressNext();
    ::testing::AssertionResult pressBack();
    ::testing::AssertionResult pressFinish();
    ::testing::AssertionResult pressCancel();
    // Runs the event loop until the page of that name is current, at most timeoutMs.
    ::testing::AssertionResult waitForPage(const QString &name, int timeoutMs = 5000);
    // Runs the program's event loop as main does, calls action from inside it
    // and expects the loop to end with status 0 within timeoutMs.
    ::testing::AssertionResult endsEventLoop(const std::function<void()> &action, int timeoutMs = 5000);

    // A step interrupted while the server was slow, as the customer saw it.
    struct InterruptedStep {
        bool interrupted = false;   // the request came, and the interruption with it
        qint64 endedAfterMs = 0;    // from the interruption to the end of the step
        qint64 longestFreezeMs = 0; // the longest the event loop stood still
    };
    // Runs step (pressing Next, say); as soon as the double has received a
    // request of that name, interrupt runs from the event loop (an Abbrechen,
    // another click).
    InterruptedStep interruptWhenRequested(const QString &request, const std::function<void()> &step,
                                           const std::function<void()> &interrupt);
    // The interruption came, the step ended within withinMs of it, and the
    // window never froze for long.
    static ::testing::AssertionResult endedPromptly(const InterruptedStep &step, qint64 withinMs);

    // Names of the requests the double received, in order ("session_request", ...).
    QStringList requestNames() const;
    // The same with upload controls' action and session ends' mode
    // ("uploadctrl_request:start", "endsession_request:normal").
    QStringList requestSequence() const;
    // The pictures of the order's lines with prints arrived, each as the client sent it.
    ::testing::AssertionResult everyPictureArrived() const;
    // The screen is shown on the customer and CD roads for that payment type
    // only, and not on the quick road.
    ::testing::AssertionResult shownOnlyForPayment(ETWizardScreen *screen, int type) const;
    // The clock of the list-refresh stamp, which starts at a fixed time.
    void advanceClock(int seconds) { m_now = m_now.addSecs(seconds); }
    // Milliseconds the code under test would have slept.
    static int sleptMilliseconds();

  private:
    ::testing::AssertionResult press(QPushButton *button, const char *name);

    mutable TransferTestEnvironment m_environment;
    ETRecordingPresenter m_presenter;
    std::unique_ptr<ETOrderWizard> m_wizard;
    QDateTime m_now;
};
