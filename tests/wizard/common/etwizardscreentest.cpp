#include "etconfig.h"
#include "etnetworking.h"
#include "etnetworkingerror.h"
#include "etnetworkingtimes.h"
#include "etorder.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace
{

const QString productsRequest = QStringLiteral("articlelist_request");
const QString transferRequest = QStringLiteral("transferlist_request");

// Notes whether a progress dialog was on screen while a box was shown.
class ProbingPresenter : public ETRecordingPresenter
{
  public:
    QList<bool> progressVisible;

    QMessageBox::StandardButton messageBox(const ETMessageBoxRequest &request) override
    {
        bool visible = false;
        for (QWidget *widget : QApplication::topLevelWidgets())
            visible = visible || (qobject_cast<QProgressDialog *>(widget) && widget->isVisible());
        progressVisible << visible;
        return ETRecordingPresenter::messageBox(request);
    }
};

class ETWizardScreenTest : public WizardFixture
{
  protected:
    void SetUp() override
    {
        ETOrderWizard *w = emptyWizard();
        m_screen = new StandInScreen(QStringLiteral("net"), w);
        w->addScreen(m_screen, true);
    }

    // Opens a session as the screens do, under a dialog of four steps.
    bool openSession(bool force)
    {
        m_screen->openProgress(4);
        const bool ok = m_screen->openSession(force);
        m_screen->closeProgress();
        return ok;
    }

    int count(const QString &request) const { return int(requestNames().count(request)); }

    StandInScreen *m_screen = nullptr;
};

TEST_F(ETWizardScreenTest, OpenSessionChoosesAServerOpensASessionAndRefreshesTheLists)
{
    QSignalSpy prices(ETOrder::instance(), &ETOrder::newPrices);
    m_screen->openProgress(4);
    ASSERT_TRUE(m_screen->openSession(false));
    EXPECT_EQ((QStringList{QStringLiteral("xtci2_request"), QStringLiteral("session_request"),
                           productsRequest, transferRequest}),
              requestNames());
    // At its last step the dialog resets itself.
    EXPECT_EQ(-1, m_screen->progressDialog()->value());
    EXPECT_TRUE(wizard()->listsFresh());
    EXPECT_GE(prices.count(), 1) << "the order prices itself with the new lists";
    EXPECT_EQ(2000, sleptMilliseconds()) << "one second after the lists, one at the end";
}

TEST_F(ETWizardScreenTest, ListsAreFetchedAtMostOnceAnHourUnlessForced)
{
    const struct {
        int advance; // seconds since the step before
        bool force;
        bool lists;
    } steps[] = {
        {0, false, true},                                            // first session of the program
        {1800, false, false}, {1799, false, false}, {0, true, true}, // forced: the stamp starts anew
        {3599, false, false}, {1, false, true},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(::testing::Message() << "+" << step.advance << " s, force " << step.force);
        advanceClock(step.advance);
        server().clearRequests();
        ASSERT_TRUE(openSession(step.force));
        EXPECT_EQ(step.lists ? 1 : 0, count(productsRequest));
        EXPECT_EQ(step.lists ? 1 : 0, count(transferRequest));
    }
}

TEST_F(ETWizardScreenTest, AFailedRequestOffersRetryAndTheRetrySucceeds)
{
    ProbingPresenter probe;
    probe.answerBox(QMessageBox::Retry);
    server().addFault(fault(productsRequest).status(503));
    m_screen->openProgress(4);
    ASSERT_TRUE(m_screen->openSession(false));

    ASSERT_EQ(1, probe.requests().size());
    const ETMessageBoxRequest &box = probe.last().box;
    EXPECT_EQ(QStringLiteral("Ein Fehler ist aufgetreten"), box.caption);
    EXPECT_EQ((QList<QMessageBox::StandardButton>{QMessageBox::Retry, QMessageBox::Cancel}), box.buttons);
    EXPECT_EQ(QList<bool>{false}, probe.progressVisible) << "the progress dialog steps aside for the box";
    EXPECT_EQ(2, count(productsRequest));
    EXPECT_EQ(1, count(transferRequest));
    ASSERT_NE(nullptr, m_screen->progressDialog());
    EXPECT_EQ(-1, m_screen->progressDialog()->value()) << "ran to its last step";
    EXPECT_TRUE(wizard()->listsFresh());
}

TEST_F(ETWizardScreenTest, AskRetryPutsTheDialogBackAsItWas)
{
    const struct {
        QMessageBox::StandardButton answer;
        bool retry;
    } cases[] = {{QMessageBox::Retry, true}, {QMessageBox::Cancel, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.retry);
        ProbingPresenter probe;
        probe.answerBox(c.answer);
        m_screen->openProgress(7);
        m_screen->setProgress(2);
        m_screen->progressDialog()->setLabelText(QStringLiteral("Aktualisierung der Produktliste"));
        ETNetworking::instance()->raiseError(ETNetworkingError::fromHttpStatus(503)); // worth a retry
        EXPECT_EQ(c.retry, m_screen->askRetry(false, 0));
        EXPECT_EQ(QList<bool>{false}, probe.progressVisible);
        QProgressDialog *dialog = m_screen->progressDialog();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(7, dialog->maximum());
        EXPECT_EQ(2, dialog->value());
        EXPECT_EQ(QStringLiteral("Aktualisierung der Produktliste"), dialog->labelText());
        m_screen->closeProgress();
    }
    // Without a dialog the box alone.
    ProbingPresenter probe;
    probe.answerBox(QMessageBox::Retry);
    EXPECT_TRUE(m_screen->askRetry(false, 0));
    EXPECT_EQ(nullptr, m_screen->progressDialog());
}

TEST_F(ETWizardScreenTest, GivingUpLeavesTheStampUnset)
{
    server().addFault(fault(transferRequest).status(503));
    presenter().answerBox(QMessageBox::Cancel);
    EXPECT_FALSE(openSession(false));
    EXPECT_EQ(1, presenter().requests().size());
    EXPECT_FALSE(wizard()->listsFresh());

    // So the next session fetches both lists again.
    server().clearRequests();
    ASSERT_TRUE(openSession(false));
    EXPECT_EQ(1, count(productsRequest));
    EXPECT_EQ(1, count(transferRequest));
}

TEST_F(ETWizardScreenTest, ProgressDialogOfTheServerExchange)
{
    m_screen->setProgress(3); // nothing open: nothing happens
    EXPECT_EQ(nullptr, m_screen->progressDialog());
    m_screen->openProgress(6);
    QProgressDialog *dialog = m_screen->progressDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(QStringLiteral("Kommunikation mit dem Server ..."), dialog->labelText());
    EXPECT_EQ(wizard(), dialog->parentWidget());
    EXPECT_EQ(6, dialog->maximum());
    m_screen->setProgress(2);
    EXPECT_EQ(2, dialog->value());
    m_screen->openProgress(9);
    EXPECT_EQ(dialog, m_screen->progressDialog()) << "one dialog, new steps";
    EXPECT_EQ(9, dialog->maximum());
    EXPECT_EQ(0, dialog->value());
    m_screen->closeProgress();
    EXPECT_EQ(nullptr, m_screen->progressDialog());
    EXPECT_TRUE(wizard()->findChildren<QProgressDialog *>().isEmpty());
}

TEST_F(ETWizardScreenTest, AskRetryAfterSuccessShowsNothing)
{
    EXPECT_FALSE(m_screen->askRetry(true, 0));
    EXPECT_TRUE(presenter().requests().isEmpty());
}

// The dialog's Abbrechen ends a slow session start at once and quietly; the
// next exchange goes out again.
TEST_F(ETWizardScreenTest, TheProgressDialogsAbbrechenEndsTheExchange)
{
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    server().addFault(fault(QStringLiteral("session_request")).rate(1));
    const InterruptedStep step = interruptWhenRequested(
        QStringLiteral("session_request"), [this] { EXPECT_FALSE(openSession(false)); },
        [this] { m_screen->progressDialog()->findChild<QPushButton *>()->click(); });
    EXPECT_TRUE(endedPromptly(step, 500));
    EXPECT_TRUE(presenter().requests().isEmpty()) << "a cancel is no error";
    EXPECT_EQ((QStringList{QStringLiteral("xtci2_request"), QStringLiteral("session_request")}),
              requestNames());
    EXPECT_FALSE(wizard()->listsFresh());

    EXPECT_TRUE(openSession(false));
    EXPECT_TRUE(wizard()->listsFresh());
}

// A second Return or Enter after the one that started the exchange (a
// double Enter) reaches the dialog's only button and leaves the exchange
// going; Escape ends it like Abbrechen.
TEST_F(ETWizardScreenTest, OnlyEscapeOrAbbrechenEndsTheExchange)
{
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    const struct {
        const char *name;
        Qt::Key key;
        bool goesOn;
    } cases[] = {
        {"Return", Qt::Key_Return, true}, {"Enter", Qt::Key_Enter, true}, {"Escape", Qt::Key_Escape, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ETConfig::instance()->setSessionID(QString(), QString(), true);
        server().addFault(fault(QStringLiteral("session_request")).delay(300));
        bool opened = !c.goesOn;
        bool aborted = c.goesOn;
        const InterruptedStep step = interruptWhenRequested(
            QStringLiteral("session_request"), [&] { opened = openSession(false); },
            [&] {
                QProgressDialog *dialog = m_screen->progressDialog();
                ASSERT_NE(nullptr, dialog);
                QTest::keyClick(dialog->findChild<QPushButton *>(), c.key);
                aborted = ETNetworking::instance()->isAborted();
            });
        EXPECT_TRUE(step.interrupted);
        EXPECT_EQ(c.goesOn, opened);
        EXPECT_EQ(!c.goesOn, aborted);
        EXPECT_TRUE(presenter().requests().isEmpty());
    }
}

TEST_F(ETWizardScreenTest, PageTakesTheSkinsWizardLook)
{
    writeResource(QStringLiteral("appearance.xml"),
                  "<appearance><widgetstyles>"
                  "<s name=\"wizard\" setPaletteBackgroundColor=\"#204060\"/>"
                  "</widgetstyles></appearance>");
    StandInScreen screen(QStringLiteral("skinned"), wizard());
    EXPECT_EQ(QColor(0x20, 0x40, 0x60), screen.page()->palette().color(screen.page()->backgroundRole()));
    EXPECT_EQ(QStringLiteral("skinned"), screen.name());
    EXPECT_FALSE(screen.isFinal());
    delete screen.page();
}

} // namespace
