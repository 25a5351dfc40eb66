#include "etwizardscreencreditcard.h"

#include "etapplicationconfig.h"
#include "etcustomer.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etvaliduntiledit.h"
#include "paymenttype.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace
{

const QString cardsRequest = QStringLiteral("creditcards_request");
const QString cards =
    QStringLiteral("<cc><brand>VISA</brand><display_string>Visa</display_string></cc>"
                   "<cc><brand>MASTERCARD</brand><display_string>Mastercard</display_string></cc>");

// The card page between two pages of the test's own, for a customer on the
// customer path; the server speaks the protocol of the parameter.
class CreditCardTest : public WizardFixture, public ::testing::WithParamInterface<const char *>
{
  protected:
    void SetUp() override
    {
        // The page is built for the protocol the dealer settings name.
        const QString protocol = QLatin1String(GetParam());
        writeResource(QStringLiteral("default.xml"),
                      QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<applicationConfig>"
                                     "<keyaccount>KA42</keyaccount><keyaccountname>LumoTest</keyaccountname>"
                                     "<programname>lumotest</programname><protocol>%1</protocol>"
                                     "</applicationConfig>\n")
                          .arg(protocol)
                          .toUtf8());
        ETApplicationConfig::instance()->load();
        environment().writeServerList({server().controllerUrl(false, protocol)});
        server().setListContent(QStringLiteral("creditcards"), cards);
        ASSERT_TRUE(ETNetworking::instance()->startSession());
        server().clearRequests();

        ETCustomer *customer = ETOrder::instance()->customer();
        customer->setValue(QStringLiteral("cardowner"), QStringLiteral("Ada Lovelace"));
        customer->setValue(QStringLiteral("cardnumber"), QStringLiteral("4111111111111111"));
        customer->setValue(QStringLiteral("validuntil"), QStringLiteral("05/30"));
        customer->setValue(QStringLiteral("cardtype"), QStringLiteral("MASTERCARD"));
        customer->setValue(QStringLiteral("cardvalidationcode"), QStringLiteral("123"));

        ETOrderWizard *w = emptyWizard();
        w->setNetOrder(true);
        w->setCustomerPath(true);
        w->addScreen(new StandInScreen(QStringLiteral("payment"), w), true);
        m_screen = new ETWizardScreenCreditCard(QStringLiteral("creditCardScreenFrame"), nullptr, w);
        w->addScreen(m_screen, true);
        w->addScreen(new StandInScreen(QStringLiteral("after"), w), true);
        showWizard();
        // Showing the wizard chose the default type.
        ETOrder::instance()->setPaymentType(PaymentCreditCard);
    }

    bool newProtocol() const { return QLatin1String(GetParam()) == QLatin1String("1.6"); }

    template <typename T> T *edit(const char *key) const
    {
        return m_screen->page()->findChild<T *>(QLatin1String(key) + QLatin1String("Edit"));
    }
    QComboBox *cardType() const { return edit<QComboBox>("cardtype"); }

    ::testing::AssertionResult reachCardPage()
    {
        if (auto pressed = pressNext(); !pressed)
            return pressed;
        return waitForPage(QStringLiteral("creditCardScreenFrame"));
    }

    ETWizardScreenCreditCard *m_screen = nullptr;
};

TEST_P(CreditCardTest, TheValidationCodeRowOnlyForNewerServers)
{
    EXPECT_EQ(QStringLiteral("creditCardScreenFrame"), m_screen->page()->objectName());
    for (const char *key : {"cardowner", "cardnumber"})
        EXPECT_NE(nullptr, edit<QLineEdit>(key)) << key;
    EXPECT_NE(nullptr, edit<QWidget>("validuntil"));
    EXPECT_NE(nullptr, cardType());
    EXPECT_EQ(newProtocol(), edit<QLineEdit>("cardvalidationcode") != nullptr);
}

TEST_P(CreditCardTest, ShowingRefreshesTheBrandsAndShowsTheStoredCard)
{
    ASSERT_TRUE(reachCardPage());
    EXPECT_EQ(QStringList{cardsRequest}, requestNames());
    EXPECT_EQ((QStringList{QStringLiteral("Mastercard"), QStringLiteral("Visa")}), [this] {
        QStringList items;
        for (int i = 0; i < cardType()->count(); ++i)
            items << cardType()->itemText(i);
        return items;
    }());
    EXPECT_EQ(QStringLiteral("Mastercard"), cardType()->currentText());
    EXPECT_EQ(QStringLiteral("4111111111111111"), edit<QLineEdit>("cardnumber")->text());
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());
    EXPECT_EQ(nullptr, m_screen->progressDialog()) << "the progress dialog is gone";
}

TEST_P(CreditCardTest, NextKeepsTheCardInTheRecordAndSendsNothing)
{
    ASSERT_TRUE(reachCardPage());
    cardType()->setCurrentIndex(cardType()->findText(QStringLiteral("Visa")));
    edit<QLineEdit>("cardowner")->setText(QStringLiteral("A. Lovelace"));
    server().clearRequests();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("after")));
    EXPECT_TRUE(requestNames().isEmpty());
    ETCustomer *customer = ETOrder::instance()->customer();
    EXPECT_EQ(QStringLiteral("VISA"), customer->value(QStringLiteral("cardtype")));
    EXPECT_EQ(QStringLiteral("A. Lovelace"), customer->value(QStringLiteral("cardowner")));
    EXPECT_EQ(QStringLiteral("05/30"), customer->value(QStringLiteral("validuntil")));
}

TEST_P(CreditCardTest, WrongInputKeepsNextDisabled)
{
    ASSERT_TRUE(reachCardPage());
    const struct {
        const char *key;
        const char *text;
        bool ok;
    } cases[] = {{"cardnumber", "411111111111111", false}, {"cardnumber", "4111 11111111111", false},
                 {"cardnumber", "4111111111111111", true}, {"cardvalidationcode", "12", false},
                 {"cardvalidationcode", "1234", false},    {"cardvalidationcode", "123", true}};
    for (const auto &c : cases) {
        QLineEdit *field = edit<QLineEdit>(c.key);
        if (!field)
            continue; // no validation code for older servers
        SCOPED_TRACE(::testing::Message() << c.key << " " << c.text);
        field->setText(QLatin1String(c.text));
        EXPECT_EQ(c.ok, wizard()->nextButton()->isEnabled());
    }
}

// A card valid until a month before the current one (the test's clock says
// May 2024) is refused with a message; the current month still counts.
TEST_P(CreditCardTest, ACardThatRanOutIsRefused)
{
    ASSERT_TRUE(reachCardPage());
    auto *validity = edit<ETValidUntilEdit>("validuntil");
    ASSERT_NE(nullptr, validity);
    ETCustomer *customer = ETOrder::instance()->customer();
    const struct {
        const char *validUntil;
        bool refused;
    } cases[] = {{"01/24", true}, {"04/24", true}, {"05/24", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.validUntil);
        ASSERT_EQ(QStringLiteral("creditCardScreenFrame"), currentPage());
        validity->setText(QLatin1String(c.validUntil));
        presenter().clear();
        ASSERT_TRUE(pressNext());
        if (!c.refused) {
            EXPECT_TRUE(waitForPage(QStringLiteral("after")));
            EXPECT_TRUE(presenter().requests().isEmpty());
            EXPECT_EQ(QLatin1String(c.validUntil), customer->value(QStringLiteral("validuntil")));
            continue;
        }
        EXPECT_EQ(QStringLiteral("creditCardScreenFrame"), currentPage());
        ASSERT_EQ(1, presenter().requests().size());
        EXPECT_EQ(QMessageBox::Warning, presenter().last().box.icon);
        EXPECT_TRUE(presenter().last().box.text.contains(QLatin1String(c.validUntil)))
            << presenter().last().box.text.toStdString();
        EXPECT_EQ(QStringLiteral("05/30"), customer->value(QStringLiteral("validuntil")))
            << "the record keeps the earlier card";
    }
}

TEST_P(CreditCardTest, NoBrandOfTheListNoNext)
{
    ASSERT_TRUE(reachCardPage());
    ASSERT_TRUE(wizard()->nextButton()->isEnabled());
    // A text the list does not know would go out as a made-up brand.
    cardType()->addItem(QStringLiteral("Diners"));
    cardType()->setCurrentIndex(cardType()->count() - 1);
    wizard()->checkIntegrity();
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
    cardType()->clear();
    wizard()->checkIntegrity();
    EXPECT_FALSE(m_screen->check());
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
}

TEST_P(CreditCardTest, AFailedRefreshKeepsThePreviousPage)
{
    server().addFault(fault(cardsRequest).status(503));
    presenter().answerBox(QMessageBox::Cancel);
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("payment"), currentPage());
    EXPECT_EQ(1, presenter().requests().size());
    EXPECT_EQ(nullptr, m_screen->progressDialog());
}

TEST_P(CreditCardTest, ShownOnlyForPaymentByCard)
{
    EXPECT_TRUE(shownOnlyForPayment(m_screen, PaymentCreditCard));
}

INSTANTIATE_TEST_SUITE_P(Protocols, CreditCardTest, ::testing::Values("1.5", "1.6"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             return std::string(info.param[2] == '5' ? "protocol15" : "protocol16");
                         });

} // namespace
