#include "etwizardscreenbankaccount.h"

#include "etcustomer.h"
#include "etnetworking.h"
#include "etorder.h"
#include "paymenttype.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace
{

const QString dataRequest = QStringLiteral("debit_data_request");
const QString updateRequest = QStringLiteral("debit_update_request");
const QString email = QStringLiteral("ada@example.org");

// The bank page between two pages of the test's own, for a customer who
// logged in and whose bank data the double keeps.
class BankAccountTest : public WizardFixture
{
  protected:
    void SetUp() override
    {
        server().addCustomer(email, QStringLiteral("geheim1"), QStringLiteral("Hund?"), QStringLiteral("Rex"),
                             {{QStringLiteral("debit_account_number"), QStringLiteral("1234567")},
                              {QStringLiteral("debit_bankcode"), QStringLiteral("37040044")},
                              {QStringLiteral("debit_bankname"), QStringLiteral("Commerzbank")},
                              {QStringLiteral("debit_holder"), QStringLiteral("Ada Lovelace")}});
        ETNetworking *net = ETNetworking::instance();
        ASSERT_TRUE(net->startSession());
        ASSERT_TRUE(net->loginRequest(email, QStringLiteral("geheim1")));
        server().clearRequests();
        ETOrderWizard *w = emptyWizard();
        w->setNetOrder(true);
        w->setCustomerPath(true);
        w->addScreen(new StandInScreen(QStringLiteral("payment"), w), true);
        m_screen = new ETWizardScreenBankAccount(QStringLiteral("bankAccountScreenFrame"), nullptr, w);
        w->addScreen(m_screen, true);
        w->addScreen(new StandInScreen(QStringLiteral("after"), w), true);
        showWizard();
        // Showing the wizard chose the default type.
        ETOrder::instance()->setPaymentType(PaymentDebit);
    }

    QLineEdit *edit(const char *key) const
    {
        return m_screen->page()->findChild<QLineEdit *>(QLatin1String(key) + QLatin1String("Edit"));
    }

    ::testing::AssertionResult reachBankPage()
    {
        if (auto pressed = pressNext(); !pressed)
            return pressed;
        return waitForPage(QStringLiteral("bankAccountScreenFrame"));
    }

    static void retype(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

    ETWizardScreenBankAccount *m_screen = nullptr;
};

TEST_F(BankAccountTest, FourFieldRowsWithTheirLabels)
{
    EXPECT_EQ(QStringLiteral("bankAccountScreenFrame"), m_screen->page()->objectName());
    for (const char *key : {"accountowner", "account", "bankleitzahl", "bankname"}) {
        SCOPED_TRACE(key);
        ASSERT_NE(nullptr, edit(key));
        auto *label =
            m_screen->page()->findChild<QLabel *>(QLatin1String(key) + QLatin1String("Description"));
        ASSERT_NE(nullptr, label);
        EXPECT_EQ(label->text(), edit(key)->accessibleName());
    }
    EXPECT_TRUE(m_screen->title().startsWith(QStringLiteral("<qt><b>Bankverbindung</b>")));
}

TEST_F(BankAccountTest, ShowingFetchesTheServersBankData)
{
    ASSERT_TRUE(reachBankPage());
    EXPECT_EQ(QStringList{dataRequest}, requestNames());
    EXPECT_EQ(QStringLiteral("Ada Lovelace"), edit("accountowner")->text());
    EXPECT_EQ(QStringLiteral("1234567"), edit("account")->text());
    EXPECT_EQ(QStringLiteral("37040044"), edit("bankleitzahl")->text());
    EXPECT_EQ(QStringLiteral("Commerzbank"), edit("bankname")->text());
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());
}

TEST_F(BankAccountTest, LeavingWithoutChangesSendsNothing)
{
    ASSERT_TRUE(reachBankPage());
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("after")));
    EXPECT_TRUE(requestNames().isEmpty());
}

TEST_F(BankAccountTest, ChangedDataGoesToTheServerOnNext)
{
    ASSERT_TRUE(reachBankPage());
    retype(edit("bankleitzahl"), QStringLiteral("1001001"));
    EXPECT_FALSE(wizard()->nextButton()->isEnabled()) << "a bank code has eight digits";
    QTest::keyClicks(edit("bankleitzahl"), QStringLiteral("0"));
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("after")));
    EXPECT_EQ(QStringList{updateRequest}, requestNames());
    EXPECT_EQ(QStringLiteral("10010010"),
              ETOrder::instance()->customer()->value(QStringLiteral("bankleitzahl")));
    EXPECT_EQ(QStringLiteral("10010010"), server().customer(email).value(QStringLiteral("debit_bankcode")));
    EXPECT_EQ(QStringLiteral("Ada Lovelace"), server().customer(email).value(QStringLiteral("debit_holder")));
}

TEST_F(BankAccountTest, ARefusedUpdateIsOfferedAgainAndDecliningStays)
{
    ASSERT_TRUE(reachBankPage());
    retype(edit("account"), QStringLiteral("7654321"));
    server().clearRequests();
    server().addFault(fault(updateRequest).status(503).times(2));
    presenter().answerBox(QMessageBox::Retry);
    presenter().answerBox(QMessageBox::Cancel);
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("bankAccountScreenFrame"), currentPage());
    EXPECT_EQ((QStringList{updateRequest, updateRequest}), requestNames());
    EXPECT_EQ(2, presenter().requests().size());

    // The next Next sends again and succeeds.
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("after")));
    EXPECT_EQ(QStringList{updateRequest}, requestNames());
    EXPECT_EQ(QStringLiteral("7654321"),
              server().customer(email).value(QStringLiteral("debit_account_number")));
}

TEST_F(BankAccountTest, AFailedFetchStillShowsThePage)
{
    server().addFault(fault(dataRequest).status(503));
    presenter().answerBox(QMessageBox::Cancel);
    ASSERT_TRUE(reachBankPage());
    EXPECT_EQ(1, presenter().requests().size());
    EXPECT_TRUE(edit("account")->text().isEmpty());
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
}

TEST_F(BankAccountTest, AccountNumbersHaveSixToTenDigits)
{
    ASSERT_TRUE(reachBankPage());
    const struct {
        const char *account;
        bool ok;
    } cases[] = {{"12345", false}, {"123456", true}, {"1234567890", true}, {"12 3456", false}, {"", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.account);
        edit("account")->setText(QLatin1String(c.account));
        EXPECT_EQ(c.ok, m_screen->check());
        EXPECT_EQ(c.ok, wizard()->nextButton()->isEnabled());
    }
}

TEST_F(BankAccountTest, ShownOnlyForDirectDebit)
{
    EXPECT_TRUE(shownOnlyForPayment(m_screen, PaymentDebit));
}

} // namespace
