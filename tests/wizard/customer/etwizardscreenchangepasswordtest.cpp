#include "etwizardscreenchangepassword.h"
#include "customerroadfixture.h"
#include "etnetworkingerror.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace
{

class ETWizardScreenChangePasswordTest : public CustomerRoadFixture
{
  protected:
    ETWizardScreenChangePassword *screen()
    {
        return qobject_cast<ETWizardScreenChangePassword *>(
            wizard()->screenByName(QStringLiteral("changepassword")));
    }
    QCheckBox *changeLoginData() { return child<QCheckBox>(QStringLiteral("changeLoginDataCheck")); }
    bool nextEnabled() { return wizard()->nextButton()->isEnabled(); }

    // Logs in, asks on the address page for the login data and goes there.
    ::testing::AssertionResult arrive()
    {
        ::testing::AssertionResult result = logInToAddress();
        if (!result)
            return result;
        changeLoginData()->click();
        result = pressNext();
        if (result)
            result = waitForPage(QStringLiteral("changepassword"));
        return result;
    }

    // The group of a key: its label and editor enabled or not.
    bool groupEnabled(const QString &key)
    {
        return child<QLabel>(key + QLatin1String("Description"))->isEnabled() &&
               edit(key + QLatin1String("Edit"))->isEnabled();
    }
};

// The box on the address page puts the page into the sequence and takes it out again.
TEST_F(ETWizardScreenChangePasswordTest, AddressBoxSwitchesThePage)
{
    ASSERT_TRUE(logInToAddress());
    EXPECT_FALSE(screen()->appropriate());
    ASSERT_TRUE(pressNext());
    EXPECT_NE(QStringLiteral("changepassword"), currentPage()) << "not asked for";

    wizard()->showPage(pageOf(QStringLiteral("addressScreen")));
    changeLoginData()->click();
    EXPECT_TRUE(screen()->appropriate());
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("changepassword")));
    ASSERT_TRUE(pressBack());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    changeLoginData()->click();
    EXPECT_FALSE(screen()->appropriate());
    ASSERT_TRUE(pressNext());
    EXPECT_NE(QStringLiteral("changepassword"), currentPage());
}

TEST_F(ETWizardScreenChangePasswordTest, NothingCheckedSendsNothing)
{
    ASSERT_TRUE(arrive());
    EXPECT_TRUE(nextEnabled());
    for (const char *key : {"email", "password", "passwordCheck", "securityQ", "securityA"}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(groupEnabled(QLatin1String(key)));
    }
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    EXPECT_NE(QStringLiteral("changepassword"), currentPage());
    EXPECT_FALSE(requestNames().contains(QStringLiteral("userchange_request")));
}

struct GroupCase {
    const char *name;
    bool login, password, security;
    QStringList sent; // children of the request after the session
};

void PrintTo(const GroupCase &c, std::ostream *out)
{
    *out << c.name;
}

class ChangeGroupsTest : public ETWizardScreenChangePasswordTest,
                         public ::testing::WithParamInterface<GroupCase>
{
};

// Only the groups that were chosen and filled go to the server.
TEST_P(ChangeGroupsTest, SendsTheChosenGroups)
{
    const GroupCase &c = GetParam();
    ASSERT_TRUE(arrive());
    if (c.login) {
        screen()->changeLogin()->click();
        ASSERT_TRUE(type(QStringLiteral("emailEdit"), QStringLiteral("ada@lovelace.org")));
    }
    if (c.password) {
        screen()->changePassword()->click();
        ASSERT_TRUE(type(QStringLiteral("passwordEdit"), QStringLiteral("neu456")));
        ASSERT_TRUE(type(QStringLiteral("passwordCheckEdit"), QStringLiteral("neu456")));
    }
    if (c.security) {
        screen()->changeSecurity()->click();
        ASSERT_TRUE(type(QStringLiteral("securityQEdit"), QStringLiteral("Erste Katze?")));
        ASSERT_TRUE(type(QStringLiteral("securityAEdit"), QStringLiteral("Minka")));
    }
    EXPECT_TRUE(nextEnabled());
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    EXPECT_NE(QStringLiteral("changepassword"), currentPage());
    ASSERT_EQ(QStringLiteral("userchange_request"), requestNames().value(0));
    const ETOrderServerRequest sent = lastRequest(QStringLiteral("userchange_request"));
    EXPECT_EQ(QStringList{QStringLiteral("ocsid")} + c.sent, sent.childNames());
    const QMap<QString, QString> account =
        server().customer(c.login ? QStringLiteral("ada@example.org") : email());
    if (c.password) {
        EXPECT_EQ(QStringLiteral("neu456"), account.value(QStringLiteral("pwd")));
    }
    if (c.security) {
        EXPECT_EQ(QStringLiteral("Minka"), account.value(QStringLiteral("sec_answer")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ChangeGroupsTest,
    ::testing::Values(
        GroupCase{"login", true, false, false, {QStringLiteral("email")}},
        GroupCase{"password", false, true, false, {QStringLiteral("pwd")}},
        GroupCase{
            "security", false, false, true, {QStringLiteral("sec_question"), QStringLiteral("sec_answer")}},
        GroupCase{"password_and_security",
                  false,
                  true,
                  true,
                  {QStringLiteral("pwd"), QStringLiteral("sec_question"), QStringLiteral("sec_answer")}}),
    [](const ::testing::TestParamInfo<GroupCase> &info) { return std::string(info.param.name); });

TEST_F(ETWizardScreenChangePasswordTest, CheckedGroupsMustBeComplete)
{
    ASSERT_TRUE(arrive());
    screen()->changePassword()->click();
    EXPECT_TRUE(groupEnabled(QStringLiteral("password")));
    EXPECT_TRUE(groupEnabled(QStringLiteral("passwordCheck")));
    EXPECT_FALSE(groupEnabled(QStringLiteral("email")));
    const struct {
        const char *password, *repetition;
        bool enabled;
    } passwords[] = {{"", "", false}, {"a", "b", false}, {"a", "", false}, {"a", "a", true}};
    for (const auto &p : passwords) {
        SCOPED_TRACE(::testing::Message() << p.password << " / " << p.repetition);
        ASSERT_TRUE(type(QStringLiteral("passwordEdit"), QLatin1String(p.password)));
        ASSERT_TRUE(type(QStringLiteral("passwordCheckEdit"), QLatin1String(p.repetition)));
        EXPECT_EQ(p.enabled, nextEnabled());
    }
    screen()->changeSecurity()->click();
    ASSERT_TRUE(type(QStringLiteral("securityQEdit"), QStringLiteral("Frage?")));
    EXPECT_FALSE(nextEnabled()) << "a question without answer";
    screen()->changeSecurity()->click();
    EXPECT_TRUE(nextEnabled()) << "unchecking the group lets Next go again";
    EXPECT_FALSE(groupEnabled(QStringLiteral("securityQ")));
    screen()->changeLogin()->click();
    EXPECT_FALSE(nextEnabled()) << "no e-mail";
    ASSERT_TRUE(type(QStringLiteral("emailEdit"), QStringLiteral("x")));
    EXPECT_TRUE(nextEnabled());

    // Each showing starts unchecked and disabled; the texts stay.
    ASSERT_TRUE(pressBack());
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("changepassword")));
    EXPECT_FALSE(screen()->changeLogin()->isChecked());
    EXPECT_FALSE(screen()->changePassword()->isChecked());
    EXPECT_FALSE(groupEnabled(QStringLiteral("email")));
    EXPECT_EQ(QStringLiteral("x"), edit(QStringLiteral("emailEdit"))->text());
    EXPECT_TRUE(nextEnabled());
}

TEST_F(ETWizardScreenChangePasswordTest, FailedChangeOffersRetry)
{
    ASSERT_TRUE(arrive());
    screen()->changeSecurity()->click();
    ASSERT_TRUE(type(QStringLiteral("securityQEdit"), QStringLiteral("Frage?")));
    ASSERT_TRUE(type(QStringLiteral("securityAEdit"), QStringLiteral("Antwort")));
    server().addFault(fault(QStringLiteral("userchange_request")).status(503).times(2));
    presenter().answerBox(QMessageBox::Retry);
    presenter().answerBox(QMessageBox::Cancel);
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("changepassword"), currentPage());
    EXPECT_EQ(2, requestNames().count(QStringLiteral("userchange_request")));
    EXPECT_TRUE(lastBoxShows(ETNetworkingError::fromHttpStatus(503)));
    ASSERT_TRUE(pressNext());
    EXPECT_NE(QStringLiteral("changepassword"), currentPage());
    EXPECT_EQ(QStringLiteral("Antwort"), server().customer(email()).value(QStringLiteral("sec_answer")));
}

TEST_F(ETWizardScreenChangePasswordTest, PageAndNames)
{
    ASSERT_TRUE(arrive());
    QWidget *page = currentPageWidget();
    EXPECT_EQ(QStringLiteral("changePasswordScreen"), page->objectName());
    EXPECT_EQ(QStringLiteral("Login ändern"), screen()->changeLogin()->text());
    EXPECT_EQ(QLineEdit::Password, edit(QStringLiteral("passwordCheckEdit"))->echoMode());
    EXPECT_EQ(QLineEdit::Normal, edit(QStringLiteral("securityAEdit"))->echoMode());
    EXPECT_EQ(nullptr, page->findChild<QLabel *>(QStringLiteral("*"))) << "no must-field marks";
    EXPECT_EQ(QStringList(), unnamedControls(page));
}

} // namespace
