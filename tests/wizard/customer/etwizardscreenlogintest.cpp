#include "etwizardscreenlogin.h"
#include "customerroadfixture.h"
#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etcustomer.h"
#include "etlineedit.h"
#include "etnetworkingerror.h"
#include "etnetworkingtimes.h"
#include "etservercode.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>

namespace
{

const QString sessionStart[] = {QStringLiteral("xtci2_request"), QStringLiteral("session_request"),
                                QStringLiteral("articlelist_request"),
                                QStringLiteral("transferlist_request")};

QStringList withSessionStart(const QStringList &after)
{
    QStringList names;
    for (const QString &name : sessionStart)
        names << name;
    return names + after;
}

class ETWizardScreenLoginTest : public CustomerRoadFixture
{
  protected:
    ETWizardScreenLogin *login()
    {
        return qobject_cast<ETWizardScreenLogin *>(
            wizard()->screenByName(QStringLiteral("NetworkLoginScreen")));
    }
    bool nextEnabled() { return wizard()->nextButton()->isEnabled(); }
};

// A registered customer: session after server choice, product list, transfer list, then the login.
TEST_F(ETWizardScreenLoginTest, RegisteredCustomerLogsIn)
{
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    EXPECT_TRUE(requestNames().isEmpty()) << "no session stored: nothing to end";
    ASSERT_TRUE(typeLogin(email(), password()));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));

    EXPECT_EQ(withSessionStart({QStringLiteral("login_request"), QStringLiteral("userinfo_request")}),
              requestNames());
    const ETOrderServerRequest sent = lastRequest(QStringLiteral("login_request"));
    EXPECT_EQ(email(), sent.text(QStringLiteral("login")));
    EXPECT_EQ(password(), sent.text(QStringLiteral("pwd")));
    EXPECT_TRUE(wizard()->customerPath());
    EXPECT_FALSE(wizard()->passwordForgotten());
    EXPECT_FALSE(wizard()->newCustomer());
    EXPECT_EQ(email(), wizard()->email());
    EXPECT_EQ(nullptr, wizard()->screenByName(QStringLiteral("NetworkLoginScreen"))->progressDialog());
}

// The login keeps e-mail and password in the per-user settings, readable by the user alone.
TEST_F(ETWizardScreenLoginTest, LoginKeepsEmailAndPasswordInTheUsersSettings)
{
    ASSERT_TRUE(startOnLogin());
    presenter().answerBox(QMessageBox::Cancel);
    ASSERT_TRUE(typeLogin(QStringLiteral("nobody@example.org"), QStringLiteral("falsch")));
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("NetworkLoginScreen"), currentPage()) << "the login was refused";

    ETConfig *config = ETConfig::instance();
    EXPECT_EQ(QStringLiteral("nobody@example.org"), config->readEntry(QStringLiteral("customer_data/email")));
    EXPECT_EQ(QStringLiteral("falsch"), config->readEntry(QStringLiteral("customer_data/password")));
    const QFile::Permissions permissions = QFile::permissions(config->settingsFileName());
    EXPECT_EQ(QFile::ReadOwner | QFile::WriteOwner,
              permissions & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                             QFile::ReadOther | QFile::WriteOther));
}

struct RefusalCase {
    const char *name;
    ETOrderServerFault fault; // on the first login; none: the double's own answer to the input
    const char *mail;
    const char *secret;
    int code;
    QList<QMessageBox::StandardButton> buttons;
    const char *message; // the start of the box's text
    QStringList again;   // requests of the second, corrected attempt
};

void PrintTo(const RefusalCase &c, std::ostream *out)
{
    *out << c.name;
}

class LoginRefusalTest : public ETWizardScreenLoginTest, public ::testing::WithParamInterface<RefusalCase>
{
};

// The box says why; without a retry the customer stays, corrects the input and goes on.
TEST_P(LoginRefusalTest, MessageThenCorrectedInputGoesOn)
{
    const RefusalCase &c = GetParam();
    addKnownCustomer();
    if (!c.fault.request.isEmpty())
        server().addFault(c.fault);
    ASSERT_TRUE(startOnLogin());
    presenter().answerBox(QMessageBox::Cancel);
    ASSERT_TRUE(typeLogin(QLatin1String(c.mail), QLatin1String(c.secret)));
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("NetworkLoginScreen"), currentPage());
    ASSERT_EQ(1, presenter().requests().size());
    const ETMessageBoxRequest &box = presenter().last().box;
    EXPECT_EQ(QStringLiteral("Ein Fehler ist aufgetreten"), box.caption);
    EXPECT_TRUE(box.text.startsWith(QString::fromUtf8(c.message))) << box.text.toStdString();
    EXPECT_TRUE(lastBoxShows(c.code));
    EXPECT_EQ(c.buttons, box.buttons);
    EXPECT_EQ(nullptr, login()->progressDialog());

    server().clearRequests();
    ASSERT_TRUE(typeLogin(email(), password()));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    EXPECT_EQ(c.again + QStringList{QStringLiteral("userinfo_request")}, requestNames());
}

const QList<QMessageBox::StandardButton> cancelOnly = {QMessageBox::Cancel};
const QList<QMessageBox::StandardButton> retryOrCancel = {QMessageBox::Retry, QMessageBox::Cancel};

INSTANTIATE_TEST_SUITE_P(
    Login, LoginRefusalTest,
    ::testing::Values(
        RefusalCase{"wrong_password",
                    {},
                    "ada@example.org",
                    "falsch",
                    ETServerCode::WrongLogin,
                    cancelOnly,
                    "<qt>Falsches Login oder Password",
                    {QStringLiteral("login_request")}},
        RefusalCase{"unknown_email",
                    {},
                    "ad@example.org",
                    "geheim1",
                    ETServerCode::WrongLogin,
                    cancelOnly,
                    "<qt>Falsches Login oder Password",
                    {QStringLiteral("login_request")}},
        // The server no longer knows the session: the next attempt opens a new one.
        RefusalCase{"expired_session",
                    fault(QStringLiteral("login_request"))
                        .code(ETServerCode::SessionUnknown, QStringLiteral("Sitzung abgelaufen")),
                    "ada@example.org",
                    "geheim1",
                    ETServerCode::SessionUnknown,
                    cancelOnly,
                    "Unbehebbarer Fehler.",
                    {QStringLiteral("xtci2_request"), QStringLiteral("session_request"),
                     QStringLiteral("login_request")}},
        RefusalCase{"server_busy",
                    fault(QStringLiteral("login_request")).code(ETServerCode::ServerUnavailable),
                    "ada@example.org",
                    "geheim1",
                    ETServerCode::ServerUnavailable,
                    retryOrCancel,
                    "<qt>Der Server kann derzeit die Anfrage nicht beantworten.",
                    {QStringLiteral("login_request")}},
        RefusalCase{"http_error",
                    fault(QStringLiteral("login_request")).status(503),
                    "ada@example.org",
                    "geheim1",
                    ETNetworkingError::fromHttpStatus(503),
                    retryOrCancel,
                    "<qt>HTTP-Fehler 503 bei der Übertragung.",
                    {QStringLiteral("login_request")}},
        RefusalCase{"session_start_fails", fault(QStringLiteral("session_request")).status(500),
                    "ada@example.org", "geheim1", ETNetworkingError::fromHttpStatus(500), retryOrCancel,
                    "<qt>HTTP-Fehler 500", withSessionStart({QStringLiteral("login_request")})}),
    [](const ::testing::TestParamInfo<RefusalCase> &info) { return std::string(info.param.name); });

TEST_F(ETWizardScreenLoginTest, RetryAfterAServerErrorRepeatsTheLogin)
{
    addKnownCustomer();
    server().addFault(fault(QStringLiteral("login_request")).status(503));
    presenter().answerBox(QMessageBox::Retry);
    ASSERT_TRUE(startOnLogin());
    ASSERT_TRUE(typeLogin(email(), password()));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    EXPECT_EQ(1, presenter().requests().size());
    EXPECT_EQ(withSessionStart({QStringLiteral("login_request"), QStringLiteral("login_request"),
                                QStringLiteral("userinfo_request")}),
              requestNames());
}

// A double Enter: the second Return, and an Enter after it, reach the
// progress dialog while the login waits; the login goes on to the address.
TEST_F(ETWizardScreenLoginTest, ReturnWhileTheLoginWaitsLeavesItGoing)
{
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    ASSERT_TRUE(typeLogin(email(), password()));
    server().addFault(fault(QStringLiteral("login_request")).delay(300));
    const InterruptedStep step = interruptWhenRequested(
        QStringLiteral("login_request"), [this] { EXPECT_TRUE(pressNext()); },
        [this] {
            QProgressDialog *progress = login()->progressDialog();
            ASSERT_NE(nullptr, progress);
            QTest::keyClick(progress->findChild<QPushButton *>(), Qt::Key_Return);
            QTest::keyClick(progress->findChild<QPushButton *>(), Qt::Key_Enter);
        });
    EXPECT_TRUE(step.interrupted);
    EXPECT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    EXPECT_TRUE(presenter().requests().isEmpty());
}

// The login waits for a slow server without freezing the window; a second
// Weiter meanwhile starts nothing, and the progress dialog's Abbrechen ends
// the login at once and quietly. The next Weiter logs in.
TEST_F(ETWizardScreenLoginTest, ASlowLoginKeepsTheWindowAliveAndAbbrechenEndsIt)
{
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    ASSERT_TRUE(typeLogin(email(), password()));
    server().addFault(fault(QStringLiteral("login_request")).rate(1));
    const InterruptedStep step = interruptWhenRequested(
        QStringLiteral("login_request"), [this] { EXPECT_TRUE(pressNext()); },
        [this] {
            wizard()->nextButton()->click();
            QProgressDialog *progress = login()->progressDialog();
            ASSERT_NE(nullptr, progress);
            progress->findChild<QPushButton *>()->click();
        });
    EXPECT_TRUE(endedPromptly(step, 500));
    EXPECT_EQ(QStringLiteral("NetworkLoginScreen"), currentPage());
    EXPECT_TRUE(presenter().requests().isEmpty()) << "a cancel is no error";
    EXPECT_EQ(withSessionStart({QStringLiteral("login_request")}), requestNames());

    ASSERT_TRUE(pressNext());
    EXPECT_TRUE(waitForPage(QStringLiteral("addressScreen")));
}

struct ChoiceCase {
    const char *name;
    bool registered, forgot;
    const char *page;
    bool customerPath, passwordForgotten, newCustomer;
    QStringList requests; // after the session's start
};

void PrintTo(const ChoiceCase &c, std::ostream *out)
{
    *out << c.name;
}

class LoginChoiceTest : public ETWizardScreenLoginTest, public ::testing::WithParamInterface<ChoiceCase>
{
};

// Road flags and the page that follows, for each choice; only the registered road logs in.
TEST_P(LoginChoiceTest, TakesItsRoad)
{
    const ChoiceCase &c = GetParam();
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    if (c.registered) {
        ASSERT_TRUE(type(QStringLiteral("emailEdit"), email()));
    }
    if (c.forgot)
        child<QCheckBox>(QStringLiteral("forgotPassword"))->click();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QLatin1String(c.page)));
    EXPECT_EQ(c.customerPath, wizard()->customerPath());
    EXPECT_EQ(c.passwordForgotten, wizard()->passwordForgotten());
    EXPECT_EQ(c.newCustomer, wizard()->newCustomer());
    EXPECT_EQ(withSessionStart(c.requests), requestNames());
    EXPECT_EQ(c.registered ? email() : QString(), wizard()->email());
}

INSTANTIATE_TEST_SUITE_P(
    Choices, LoginChoiceTest,
    ::testing::Values(ChoiceCase{"not_registered", false, false, "registration", true, false, true, {}},
                      ChoiceCase{"forgot_password",
                                 true,
                                 true,
                                 "securityQuestion",
                                 false,
                                 true,
                                 false,
                                 {QStringLiteral("secquestion_request")}}),
    [](const ::testing::TestParamInfo<ChoiceCase> &info) { return std::string(info.param.name); });

TEST_F(ETWizardScreenLoginTest, NextFollowsTheChoiceAndTheFields)
{
    ASSERT_TRUE(startOnLogin());
    EXPECT_TRUE(child<QRadioButton>(QStringLiteral("notregistered"))->isChecked());
    EXPECT_TRUE(nextEnabled()) << "a new customer needs no field";

    ASSERT_TRUE(type(QStringLiteral("PasswordEdit"), QStringLiteral("x")));
    EXPECT_TRUE(child<QRadioButton>(QStringLiteral("registered"))->isChecked());
    EXPECT_FALSE(nextEnabled()) << "no e-mail";
    ASSERT_TRUE(type(QStringLiteral("emailEdit"), QStringLiteral(" ")));
    EXPECT_TRUE(nextEnabled()) << "a blank counts as text";
    ASSERT_TRUE(type(QStringLiteral("PasswordEdit"), QString()));
    EXPECT_FALSE(nextEnabled());
    child<QCheckBox>(QStringLiteral("forgotPassword"))->click();
    EXPECT_TRUE(nextEnabled()) << "a forgotten password needs the e-mail alone";
    child<QCheckBox>(QStringLiteral("forgotPassword"))->click();
    ASSERT_TRUE(type(QStringLiteral("emailEdit"), QString()));
    EXPECT_TRUE(child<QRadioButton>(QStringLiteral("registered"))->isChecked())
        << "emptied fields do not switch back";
    child<QRadioButton>(QStringLiteral("notregistered"))->click();
    EXPECT_TRUE(nextEnabled());
}

// A stored e-mail comes back into the field, which chooses the registered road.
TEST_F(ETWizardScreenLoginTest, StoredEmailIsShownAndChoosesTheRegisteredRoad)
{
    ETCustomer stored;
    stored.setValue(QStringLiteral("email"), email());
    stored.save();
    ASSERT_TRUE(startOnLogin());
    EXPECT_EQ(email(), edit(QStringLiteral("emailEdit"))->text());
    EXPECT_TRUE(edit(QStringLiteral("PasswordEdit"))->text().isEmpty());
    EXPECT_TRUE(child<QRadioButton>(QStringLiteral("registered"))->isChecked());
    EXPECT_FALSE(nextEnabled());
    ASSERT_TRUE(type(QStringLiteral("PasswordEdit"), password()));
    EXPECT_TRUE(nextEnabled());
}

TEST_F(ETWizardScreenLoginTest, ShowingThePageEndsAStoredSession)
{
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    ASSERT_TRUE(typeLogin(email(), password()));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        server().clearRequests();
        wizard()->showPage(pageOf(QStringLiteral("NetworkLoginScreen")));
        EXPECT_EQ(QStringList{QStringLiteral("endsession_request")}, requestNames());
        EXPECT_EQ(QStringLiteral("abort"), lastRequest(QStringLiteral("endsession_request"))
                                               .xml.documentElement()
                                               .attribute(QStringLiteral("mode")));
        ASSERT_TRUE(pressNext());
        ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    }
}

TEST_F(ETWizardScreenLoginTest, BackLeavesTheInternetRoad)
{
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    ASSERT_TRUE(pressBack());
    ASSERT_TRUE(waitForPage(QStringLiteral("netOrCDscreen")));
    EXPECT_FALSE(wizard()->netOrder());
    EXPECT_FALSE(wizard()->customerPath());
}

struct CouponCase {
    const char *name;
    const char *typed;
    bool known;
    bool sent;
    bool passes;
};

TEST_F(ETWizardScreenLoginTest, CouponIsCheckedAfterTheLogin)
{
    const CouponCase cases[] = {
        {"empty", "", false, false, true},
        {"blanks only", "   ", false, false, true},
        {"known coupon", " GUT-10 ", true, true, true},
        {"unknown coupon", "GUT-99", false, true, false},
    };
    for (const CouponCase &c : cases) {
        SCOPED_TRACE(c.name);
        addKnownCustomer();
        server().addCoupon(QStringLiteral("GUT-10"), QStringLiteral("FM"), QStringLiteral("A1"),
                           QStringLiteral("-1.00"));
        ASSERT_TRUE(startOnLogin());
        server().clearRequests();
        presenter().clear();
        presenter().answerBox(QMessageBox::Cancel);
        ASSERT_TRUE(typeLogin(email(), password()));
        ASSERT_TRUE(type(QStringLiteral("couponEdit"), QLatin1String(c.typed)));
        ASSERT_TRUE(pressNext());
        const QList<ETOrderServerRequest> checks = server().requests(QStringLiteral("couponcheck_request"));
        ASSERT_EQ(c.sent ? 1 : 0, checks.size());
        if (c.sent) {
            EXPECT_EQ(QString::fromLatin1(c.typed).trimmed(),
                      checks.first().text(QStringLiteral("couponid")));
            EXPECT_EQ(QStringLiteral("couponcheck_request"),
                      requestNames().at(requestNames().size() - (c.passes ? 2 : 1)))
                << "after the login";
        }
        EXPECT_EQ(c.passes ? QStringLiteral("addressScreen") : QStringLiteral("NetworkLoginScreen"),
                  currentPage());
        if (!c.passes) {
            EXPECT_TRUE(lastBoxShows(ETServerCode::CouponUsed));
        }
    }
}

TEST_F(ETWizardScreenLoginTest, WithoutCouponsThereIsNoCouponRow)
{
    QFile dealer(environment().resources() + QStringLiteral("/default.xml"));
    ASSERT_TRUE(dealer.open(QIODevice::ReadOnly));
    const QByteArray original = dealer.readAll();
    dealer.close();
    QByteArray xml = original;
    xml.replace("</applicationConfig>", "<order enableCoupons=\"false\"/></applicationConfig>");
    writeResource(QStringLiteral("default.xml"), xml);
    ETApplicationConfig::instance()->load();
    ASSERT_FALSE(ETApplicationConfig::instance()->enableCoupons());
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    EXPECT_EQ(nullptr, edit(QStringLiteral("couponEdit")));
    EXPECT_EQ(nullptr, child<QLabel>(QStringLiteral("coupon")));
    ASSERT_TRUE(typeLogin(email(), password()));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    EXPECT_FALSE(requestNames().contains(QStringLiteral("couponcheck_request")));
    writeResource(QStringLiteral("default.xml"), original);
    ETApplicationConfig::instance()->load();
}

TEST_F(ETWizardScreenLoginTest, PageWidgetsAndTheirNames)
{
    ASSERT_TRUE(startOnLogin());
    QWidget *page = currentPageWidget();
    EXPECT_EQ(QStringLiteral("NetworkLoginScreen"), page->objectName());
    EXPECT_EQ(QStringLiteral("<qt><b>Anmeldung</b> </qt>"), wizard()->titleLabel()->text());
    auto *password = qobject_cast<ETLineEdit *>(edit(QStringLiteral("PasswordEdit")));
    ASSERT_NE(nullptr, password);
    ASSERT_NE(nullptr, edit(QStringLiteral("emailEdit")));
    EXPECT_EQ(QLineEdit::Password, password->echoMode());
    EXPECT_EQ(32, password->maxLength());
    EXPECT_EQ(129, edit(QStringLiteral("emailEdit"))->maxLength());
    ASSERT_NE(nullptr, edit(QStringLiteral("couponEdit")));
    EXPECT_EQ(16, edit(QStringLiteral("couponEdit"))->maxLength());
    EXPECT_EQ(QStringLiteral("Passwort vergessen!"),
              child<QCheckBox>(QStringLiteral("forgotPassword"))->text());
    EXPECT_EQ(QStringLiteral("eMail Addresse"), child<QLabel>(QStringLiteral("email"))->text());
    EXPECT_EQ(QStringList(), unnamedControls(page));
    EXPECT_EQ(QStringLiteral("eMail Addresse"), edit(QStringLiteral("emailEdit"))->accessibleName());
}

} // namespace
