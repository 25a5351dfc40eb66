#include "customerroadfixture.h"
#include "etservercode.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace
{

const QString serverReply = QStringLiteral("Ihr Passwort wurde Ihnen per E-Mail zugeschickt.");

class ETWizardScreenSecurityQuestionTest : public CustomerRoadFixture
{
  protected:
    // On the login page: the e-mail and "Passwort vergessen!", then Next.
    ::testing::AssertionResult forgetPassword(const QString &mail)
    {
        ::testing::AssertionResult result = type(QStringLiteral("emailEdit"), mail);
        if (!result)
            return result;
        child<QCheckBox>(QStringLiteral("forgotPassword"))->click();
        return pressNext();
    }
    QString questionShown() { return child<QLabel>(QStringLiteral("securityQLabel"))->text(); }
    bool nextEnabled() { return wizard()->nextButton()->isEnabled(); }
};

// The question comes from the server, the answer goes back, and the road ends on the information page.
TEST_F(ETWizardScreenSecurityQuestionTest, ForgottenPasswordEndsOnItsInformationPage)
{
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    EXPECT_TRUE(pageOf(QStringLiteral("securityQuestion"))
                    ->findChild<QLabel *>(QStringLiteral("securityQLabel"))
                    ->text()
                    .isEmpty())
        << "empty until the question arrives";
    ASSERT_TRUE(forgetPassword(email()));
    ASSERT_TRUE(waitForPage(QStringLiteral("securityQuestion")));
    EXPECT_EQ(QStringLiteral("Name des Hundes?"), questionShown());
    EXPECT_EQ(email(), lastRequest(QStringLiteral("secquestion_request")).text(QStringLiteral("login")));
    EXPECT_FALSE(nextEnabled()) << "no answer yet";
    ASSERT_TRUE(type(QStringLiteral("securityAEdit"), QStringLiteral("Rex")));
    EXPECT_TRUE(nextEnabled());
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("securityInformation")));

    EXPECT_EQ((QStringList{QStringLiteral("xtci2_request"), QStringLiteral("session_request"),
                           QStringLiteral("articlelist_request"), QStringLiteral("transferlist_request"),
                           QStringLiteral("secquestion_request"), QStringLiteral("secanswer_request")}),
              requestNames());
    const ETOrderServerRequest answer = lastRequest(QStringLiteral("secanswer_request"));
    EXPECT_EQ(email(), answer.text(QStringLiteral("login")));
    EXPECT_EQ(QStringLiteral("Rex"), answer.text(QStringLiteral("sec_answer")));
    // The server's text, not the typed address.
    EXPECT_EQ(serverReply, child<QLabel>(QStringLiteral("securityReplyLabel"))->text());
    EXPECT_EQ(serverReply, wizard()->email());
    EXPECT_TRUE(presenter().requests().isEmpty());

    EXPECT_EQ(wizard()->page(wizard()->pageCount() - 1), wizard()->currentPage()) << "the road ends here";
    EXPECT_FALSE(wizard()->nextButton()->isVisible());
    EXPECT_FALSE(wizard()->backButton()->isVisible());
    EXPECT_FALSE(wizard()->cancelButton()->isVisible());
    EXPECT_TRUE(endsEventLoop([this] { EXPECT_TRUE(pressFinish()); }));
}

// An address the server does not know: its message, the login page stays, and the customer corrects it.
TEST_F(ETWizardScreenSecurityQuestionTest, UnknownEmailKeepsTheLoginPage)
{
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    presenter().answerBox(QMessageBox::Cancel);
    ASSERT_TRUE(forgetPassword(QStringLiteral("ad@example.org")));
    EXPECT_EQ(QStringLiteral("NetworkLoginScreen"), currentPage());
    EXPECT_TRUE(lastBoxShows(ETServerCode::UnknownUser));
    EXPECT_TRUE(presenter().last().box.text.startsWith(QStringLiteral("<qt>Unbekannter Benutzer.")));
    EXPECT_EQ(QList<QMessageBox::StandardButton>{QMessageBox::Cancel}, presenter().last().box.buttons);

    ASSERT_TRUE(type(QStringLiteral("emailEdit"), email()));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("securityQuestion")));
    EXPECT_EQ(QStringLiteral("Name des Hundes?"), questionShown());
}

TEST_F(ETWizardScreenSecurityQuestionTest, WrongAnswerKeepsThePageAndTheAnswer)
{
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    ASSERT_TRUE(forgetPassword(email()));
    ASSERT_TRUE(waitForPage(QStringLiteral("securityQuestion")));
    presenter().answerBox(QMessageBox::Cancel);
    ASSERT_TRUE(type(QStringLiteral("securityAEdit"), QStringLiteral("Max")));
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("securityQuestion"), currentPage());
    EXPECT_TRUE(lastBoxShows(ETServerCode::WrongSecurityAnswer));
    EXPECT_EQ(QStringLiteral("Max"), edit(QStringLiteral("securityAEdit"))->text());
    EXPECT_EQ(email(), wizard()->email());

    ASSERT_TRUE(type(QStringLiteral("securityAEdit"), QStringLiteral("Rex")));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("securityInformation")));
}

TEST_F(ETWizardScreenSecurityQuestionTest, ServerErrorOffersRetry)
{
    addKnownCustomer();
    server().addFault(fault(QStringLiteral("secquestion_request")).status(502));
    server().addFault(fault(QStringLiteral("secanswer_request")).status(502));
    presenter().answerBox(QMessageBox::Retry);
    presenter().answerBox(QMessageBox::Retry);
    ASSERT_TRUE(startOnLogin());
    ASSERT_TRUE(forgetPassword(email()));
    ASSERT_TRUE(waitForPage(QStringLiteral("securityQuestion")));
    ASSERT_TRUE(type(QStringLiteral("securityAEdit"), QStringLiteral(" ")));
    EXPECT_TRUE(nextEnabled()) << "a blank is an answer";
    ASSERT_TRUE(type(QStringLiteral("securityAEdit"), QStringLiteral("Rex")));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("securityInformation")));
    EXPECT_EQ(2, presenter().requests().size());
    EXPECT_EQ(2, requestNames().count(QStringLiteral("secquestion_request")));
    EXPECT_EQ(2, requestNames().count(QStringLiteral("secanswer_request")));
}

TEST_F(ETWizardScreenSecurityQuestionTest, ShownOnlyOnTheForgottenPasswordRoad)
{
    buildWizard();
    ETWizardScreen *question = wizard()->screenByName(QStringLiteral("securityQuestion"));
    ETWizardScreen *information = wizard()->screenByName(QStringLiteral("securityInformation"));
    EXPECT_TRUE(information->isFinal());
    const struct {
        const char *road;
        bool netOrder, customerPath, forgotten, shown;
    } cases[] = {{"CD road", false, false, true, false},
                 {"registered with password", true, true, false, false},
                 {"password forgotten", true, false, true, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.road);
        wizard()->setNetOrder(true);
        wizard()->setCustomerPath(c.customerPath);
        wizard()->setPasswordForgotten(c.forgotten);
        wizard()->setNetOrder(c.netOrder);
        EXPECT_EQ(c.shown, question->appropriate());
        EXPECT_EQ(c.shown, information->appropriate());
    }
    EXPECT_FALSE(information->check()) << "Next is never offered";
    EXPECT_EQ(QStringList(), unnamedControls(question->page()));
}

} // namespace
