#include "customerroadfixture.h"
#include "etapplicationconfig.h"
#include "etcustomer.h"
#include "etnetworkingerror.h"
#include "etservercode.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace
{

const QString newEmail = QStringLiteral("grace@example.org");

class ETWizardScreenRegistrationTest : public CustomerRoadFixture
{
  protected:
    ::testing::AssertionResult startOnRegistration()
    {
        ::testing::AssertionResult result = startOnLogin();
        if (result)
            result = pressNext();
        if (result)
            result = waitForPage(QStringLiteral("registration"));
        return result;
    }

    // The form as a new customer fills it in.
    ::testing::AssertionResult fillForm(const QString &mail = newEmail)
    {
        const QPair<QString, QString> fields[] = {
            {QStringLiteral("email"), mail},
            {QStringLiteral("password"), QStringLiteral("neu123")},
            {QStringLiteral("passwordCheck"), QStringLiteral("neu123")},
            {QStringLiteral("securityQ"), QStringLiteral("Lieblingsfarbe?")},
            {QStringLiteral("securityA"), QStringLiteral("blau")},
            {QStringLiteral("firstname"), QStringLiteral("Grace")},
            {QStringLiteral("lastname"), QStringLiteral("Hopper")},
            {QStringLiteral("street"), QStringLiteral("Am Hafen 2")},
            {QStringLiteral("zip"), QStringLiteral("20457")},
            {QStringLiteral("city"), QStringLiteral("Hamburg")}};
        for (const auto &field : fields) {
            ::testing::AssertionResult typed = type(field.first + QLatin1String("Edit"), field.second);
            if (!typed)
                return typed;
        }
        return ::testing::AssertionSuccess();
    }

    bool nextEnabled() { return wizard()->nextButton()->isEnabled(); }

    // Row and column of a widget in the page's grid; (-1, -1) when it is not there.
    QPair<int, int> cell(const QString &name)
    {
        auto *grid = qobject_cast<QGridLayout *>(currentPageWidget()->layout());
        QWidget *widget = child<QWidget>(name);
        const int index = grid && widget ? grid->indexOf(widget) : -1;
        if (index < 0)
            return {-1, -1};
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        return {row, column};
    }
};

// A new customer: the account request, the login that follows, and on to the address.
TEST_F(ETWizardScreenRegistrationTest, NewCustomerRegistersAndIsLoggedIn)
{
    ASSERT_TRUE(startOnRegistration());
    EXPECT_FALSE(nextEnabled()) << "the must fields are empty";
    ASSERT_TRUE(fillForm());
    EXPECT_TRUE(nextEnabled());
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));

    EXPECT_EQ((QStringList{QStringLiteral("useradd_request"), QStringLiteral("login_request"),
                           QStringLiteral("userinfo_request")}),
              requestNames());
    const QMap<QString, QString> account = server().customer(newEmail);
    EXPECT_EQ(QStringLiteral("neu123"), account.value(QStringLiteral("pwd")));
    EXPECT_EQ(QStringLiteral("Hopper"), account.value(QStringLiteral("lastname")));
    EXPECT_EQ(QStringLiteral("Herr"), account.value(QStringLiteral("salutation")));
    EXPECT_EQ(QStringLiteral("Deutschland"), account.value(QStringLiteral("country")));
    EXPECT_EQ(newEmail, lastRequest(QStringLiteral("login_request")).text(QStringLiteral("login")));
    EXPECT_FALSE(wizard()->newCustomer());
    EXPECT_EQ(QStringLiteral("Hamburg"), edit(QStringLiteral("cityEdit"))->text()) << "the address came back";

    // The account exists: Back passes over the registration.
    ASSERT_TRUE(pressBack());
    EXPECT_TRUE(waitForPage(QStringLiteral("NetworkLoginScreen")));
}

TEST_F(ETWizardScreenRegistrationTest, MustFieldsAndThePasswordRepetitionKeepNextDisabled)
{
    ASSERT_TRUE(startOnRegistration());
    ASSERT_TRUE(fillForm());
    const struct {
        const char *field;
        const char *text;
        bool enabled;
    } steps[] = {{"lastnameEdit", "", false},
                 {"lastnameEdit", "Hopper", true},
                 {"passwordCheckEdit", "neu12", false},
                 {"passwordCheckEdit", "neu123", true},
                 {"zipEdit", "", false},
                 {"zipEdit", "20457", true},
                 {"phoneEdit", "", true},
                 {"securityAEdit", "", true}};
    for (const auto &step : steps) {
        SCOPED_TRACE(::testing::Message() << step.field << " = \"" << step.text << "\"");
        ASSERT_TRUE(type(QLatin1String(step.field), QLatin1String(step.text)));
        EXPECT_EQ(step.enabled, nextEnabled());
    }
}

// The server knows the address already: its message, and the customer corrects it.
TEST_F(ETWizardScreenRegistrationTest, KnownEmailIsRefusedAndCanBeCorrected)
{
    addKnownCustomer();
    ASSERT_TRUE(startOnRegistration());
    ASSERT_TRUE(fillForm(email()));
    presenter().answerBox(QMessageBox::Cancel);
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("registration"), currentPage());
    EXPECT_TRUE(lastBoxShows(ETServerCode::AlreadyRegistered));
    EXPECT_TRUE(presenter().last().box.text.contains(QStringLiteral("Mehrfache Anmeldung nicht möglich")));
    EXPECT_EQ(QStringList{QStringLiteral("useradd_request")}, requestNames());
    EXPECT_EQ(QStringLiteral("Hopper"), ETOrder::instance()->customer()->value(QStringLiteral("lastname")))
        << "the form's values are in the record";
    EXPECT_EQ(email(), edit(QStringLiteral("emailEdit"))->text());

    ASSERT_TRUE(type(QStringLiteral("emailEdit"), newEmail));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    EXPECT_EQ(2, requestNames().count(QStringLiteral("useradd_request")));
}

// Once the account exists, a failed login is repeated alone: the server would
// refuse the same address a second time.
TEST_F(ETWizardScreenRegistrationTest, RetryAfterTheAccountWasMadeRepeatsOnlyTheLogin)
{
    const struct {
        const char *name;
        QMessageBox::StandardButton answer;
        const char *mail;
    } cases[] = {{"retry", QMessageBox::Retry, "retry@example.org"},
                 {"next again", QMessageBox::Cancel, "again@example.org"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString mail = QLatin1String(c.mail);
        ASSERT_TRUE(startOnRegistration());
        ASSERT_TRUE(fillForm(mail));
        server().addFault(fault(QStringLiteral("login_request")).status(503));
        presenter().answerBox(c.answer);
        server().clearRequests();
        ASSERT_TRUE(pressNext());
        if (c.answer == QMessageBox::Cancel) {
            EXPECT_EQ(QStringLiteral("registration"), currentPage());
            ASSERT_TRUE(pressNext());
        }
        ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
        EXPECT_EQ((QStringList{QStringLiteral("useradd_request"), QStringLiteral("login_request"),
                               QStringLiteral("login_request"), QStringLiteral("userinfo_request")}),
                  requestNames());
        EXPECT_TRUE(lastBoxShows(ETNetworkingError::fromHttpStatus(503)));
        EXPECT_FALSE(server().customer(mail).isEmpty());
    }
}

TEST_F(ETWizardScreenRegistrationTest, FormLayoutAndNames)
{
    ASSERT_TRUE(startOnRegistration());
    QWidget *page = currentPageWidget();
    EXPECT_EQ(QStringLiteral("frame"), page->objectName());
    EXPECT_EQ(QStringList(), unnamedControls(page));
    EXPECT_EQ(QLineEdit::Password, edit(QStringLiteral("passwordCheckEdit"))->echoMode());
    EXPECT_EQ(QStringLiteral("Passwort bestätigen"),
              child<QLabel>(QStringLiteral("passwordCheckDescription"))->text());
    const struct {
        const char *name;
        int row, column;
    } cells[] = {{"emailEdit", 1, 2},           {"passwordCheckEdit", 2, 5}, {"salutationEdit", 4, 2},
                 {"lastnameEdit", 5, 5},        {"zipEdit", 9, 2},           {"cityEdit", 9, 5},
                 {"countryEdit", 10, 2},        {"phoneEdit", 11, 5},        {"city_partEdit", -1, -1},
                 {"state_provinceEdit", -1, -1}};
    for (const auto &c : cells) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(qMakePair(c.row, c.column), cell(QLatin1String(c.name)));
    }
}

// The British form has a district and a county, and the postcode right of the town.
TEST_F(ETWizardScreenRegistrationTest, BritishFormLayout)
{
    QFile dealer(environment().resources() + QStringLiteral("/default.xml"));
    ASSERT_TRUE(dealer.open(QIODevice::ReadOnly));
    QByteArray xml = dealer.readAll();
    dealer.close();
    xml.replace("</applicationConfig>", "<country>7</country></applicationConfig>");
    writeResource(QStringLiteral("default.xml"), xml);
    ETApplicationConfig::instance()->load();
    ASSERT_EQ(7, ETApplicationConfig::instance()->country());
    ASSERT_TRUE(startOnRegistration());
    const struct {
        const char *name;
        int row, column;
    } cells[] = {{"streetEdit", 8, 2}, {"city_partEdit", 8, 5},       {"cityEdit", 9, 2},
                 {"zipEdit", 9, 5},    {"state_provinceEdit", 10, 2}, {"countryEdit", 10, 5}};
    for (const auto &c : cells) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(qMakePair(c.row, c.column), cell(QLatin1String(c.name)));
    }
    EXPECT_EQ(QStringLiteral("Mr"), child<QComboBox>(QStringLiteral("salutationEdit"))->currentText());
}

TEST_F(ETWizardScreenRegistrationTest, NotShownOnTheOtherRoads)
{
    addKnownCustomer();
    ASSERT_TRUE(startOnLogin());
    ETWizardScreen *registration = wizard()->screenByName(QStringLiteral("registration"));
    ASSERT_TRUE(typeLogin(email(), password()));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("addressScreen")));
    EXPECT_FALSE(registration->appropriate()) << "registered customer";
    wizard()->setCustomerPath(false);
    wizard()->setPasswordForgotten(true);
    wizard()->setNewCustomer(true);
    EXPECT_FALSE(registration->appropriate()) << "forgotten password";
}

} // namespace
