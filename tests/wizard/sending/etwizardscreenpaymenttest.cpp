#include "etwizardscreenpayment.h"

#include "etconfig.h"
#include "etorder.h"
#include "etwizardscreenplaceholder.h"
#include "paymenttype.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>

namespace
{

using Placeholder = ETWizardScreenPlaceholder;

QByteArray paymentRules(const QByteArray &netPayments)
{
    QByteArray payments;
    for (const QByteArray &payment : netPayments.split(' '))
        if (!payment.isEmpty())
            payments += "<payment>" + payment + "</payment>";
    return "<paymentConfig><payments><method upload=\"net\">" + payments +
           "</method><method upload=\"CD\"><payment>outlet</payment></method></payments></paymentConfig>";
}

const char *const buttonNames[] = {"myGetPickup", "creditcard", "account", "getMail"}; // by payment type

// The payment page between a page of the test's own and the pages that
// follow it on the customer path.
class PaymentTest : public WizardFixture
{
  protected:
    ETWizardScreenPayment *build(const QByteArray &netPayments = "outlet bill debit creditcard")
    {
        writeResource(QStringLiteral("payment.xml"), paymentRules(netPayments));
        ETOrderWizard *w = emptyWizard();
        w->setNetOrder(true);
        w->setCustomerPath(true);
        w->addScreen(new StandInScreen(QStringLiteral("before"), w), true);
        m_screen = new ETWizardScreenPayment(QStringLiteral("paymentScreenFrame"), nullptr, w);
        w->addScreen(m_screen, true);
        w->addScreen(
            new Placeholder(QStringLiteral("creditCardScreenFrame"), nullptr, w, Placeholder::CreditCard),
            true);
        w->addScreen(
            new Placeholder(QStringLiteral("bankAccountScreenFrame"), nullptr, w, Placeholder::BankAccount),
            true);
        w->addScreen(new Placeholder(QStringLiteral("storeSelect"), nullptr, w, Placeholder::StoreSelection),
                     true);
        w->addScreen(new StandInScreen(QStringLiteral("after"), w), true);
        return m_screen;
    }

    QRadioButton *button(int type) const
    {
        return m_screen->page()->findChild<QRadioButton *>(QLatin1String(buttonNames[type]));
    }

    // The checked button's name.
    QString checked() const
    {
        for (const char *name : buttonNames) {
            auto *b = m_screen->page()->findChild<QRadioButton *>(QLatin1String(name));
            if (b && b->isChecked())
                return QLatin1String(name);
        }
        return QString();
    }

    static QVariant storedLastPayment()
    {
        QSettings settings(ETConfig::instance()->settingsFileName(), QSettings::IniFormat);
        return settings.value(QStringLiteral("lastPayment"));
    }

    ETWizardScreenPayment *m_screen = nullptr;
};

TEST_F(PaymentTest, PageButtonsAndTitle)
{
    build();
    QWidget *page = m_screen->page();
    EXPECT_EQ(QStringLiteral("paymentScreenFrame"), page->objectName());
    const struct {
        int type;
        const char *text;
    } buttons[] = {{PaymentOutlet, "Händlerauswahl"},
                   {PaymentCreditCard, "Kreditkarte"},
                   {PaymentDebit, "Lastschrift"},
                   {PaymentBill, "Rechnung"}};
    auto *group = m_screen->findChild<QButtonGroup *>(QStringLiteral("registerButtons"));
    ASSERT_NE(nullptr, group);
    EXPECT_TRUE(group->exclusive());
    for (const auto &b : buttons) {
        SCOPED_TRACE(b.text);
        ASSERT_NE(nullptr, button(b.type));
        EXPECT_EQ(QString::fromUtf8(b.text), button(b.type)->text());
        EXPECT_EQ(b.type == PaymentOutlet ? 0 : 1, group->id(button(b.type)));
    }
    EXPECT_TRUE(m_screen->title().startsWith(QStringLiteral("<qt><b>Zustellart auswählen</b>")));
    EXPECT_TRUE(m_screen->check());
}

struct RulesCase {
    const char *name;
    QByteArray netPayments;
    const char *checked;
    bool card, debit, bill, pickup;
};

void PrintTo(const RulesCase &c, std::ostream *out)
{
    *out << c.name;
}

class PaymentRulesTest : public PaymentTest, public ::testing::WithParamInterface<RulesCase>
{
};

TEST_P(PaymentRulesTest, RulesChooseTheButtonsAndTheFirstAllowedTypeIsChecked)
{
    const RulesCase &c = GetParam();
    build(c.netPayments);
    EXPECT_EQ(QLatin1String(c.checked), checked());
    EXPECT_EQ(c.card, button(PaymentCreditCard)->isEnabled());
    EXPECT_EQ(c.debit, button(PaymentDebit)->isEnabled());
    EXPECT_EQ(c.bill, button(PaymentBill)->isEnabled());
    EXPECT_EQ(c.pickup, button(PaymentOutlet)->isEnabled());
    bool headingEnabled = false;
    for (QLabel *label : m_screen->page()->findChildren<QLabel *>())
        if (label->text().contains(QStringLiteral("Selbstabholer")) &&
            !label->text().contains(QStringLiteral("Entweder")))
            headingEnabled = label->isEnabled();
    EXPECT_EQ(c.pickup, headingEnabled);
    // Next never takes a type the rules refuse.
    const int type = m_screen->chosenType();
    EXPECT_TRUE(button(type)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PaymentRulesTest,
    ::testing::Values(RulesCase{"every_type", "outlet bill debit creditcard", "myGetPickup", true, true, true,
                                true},
                      RulesCase{"no_store", "bill debit", "getMail", false, true, true, false},
                      RulesCase{"card_and_debit", "debit creditcard", "creditcard", true, true, false, false},
                      RulesCase{"debit_and_store", "debit outlet", "myGetPickup", false, true, false, true}),
    [](const ::testing::TestParamInfo<RulesCase> &info) { return std::string(info.param.name); });

TEST_F(PaymentTest, TheChoiceGoesToTheOrderAndTheSettingsAndDecidesTheNextPage)
{
    const struct {
        const char *name;
        int remembered; // -1: nothing stored
        int clicked;    // -1: the customer takes what is shown
        int type;
        const char *nextPage;
    } cases[] = {
        {"first time, store", -1, -1, PaymentOutlet, "storeSelect"},
        {"remembered debit", PaymentDebit, -1, PaymentDebit, "bankAccountScreenFrame"},
        {"remembered card", PaymentCreditCard, -1, PaymentCreditCard, "creditCardScreenFrame"},
        {"remembered bill", PaymentBill, -1, PaymentBill, "after"},
        {"bill clicked over a remembered card", PaymentCreditCard, PaymentBill, PaymentBill, "after"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(ETConfig::instance()->settingsFileName());
        if (c.remembered >= 0)
            ETConfig::instance()->setLastPayment(c.remembered);
        build();
        ETOrder::instance()->setStoreId(QStringLiteral("12345 Irgendwo, Filiale, Weg 1"));
        showWizard();
        ASSERT_TRUE(pressNext());
        ASSERT_TRUE(waitForPage(QStringLiteral("paymentScreenFrame")));
        if (c.clicked >= 0)
            button(c.clicked)->click();
        ASSERT_TRUE(pressNext());
        ASSERT_TRUE(waitForPage(QLatin1String(c.nextPage)));
        EXPECT_EQ(c.type, ETOrder::instance()->paymentType());
        EXPECT_EQ(QVariant(c.type).toString(), storedLastPayment().toString());
        EXPECT_TRUE(ETOrder::instance()->storeId().isEmpty()) << "the store page sets the store anew";
        wizard()->hide();
    }
}

TEST_F(PaymentTest, ARememberedTypeTheRulesNoLongerAllowChangesNothing)
{
    ETConfig::instance()->setLastPayment(PaymentDebit);
    build("outlet bill creditcard");
    showWizard();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("paymentScreenFrame")));
    EXPECT_EQ(QStringLiteral("myGetPickup"), checked());
}

TEST_F(PaymentTest, ShownOnTheCustomerPathAndTheCDRoad)
{
    build();
    const struct {
        bool net, customer, cd, appropriate;
    } cases[] = {{true, true, false, true},
                 {true, false, false, false},
                 {false, false, true, true},
                 {false, false, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << "net " << c.net << " customer " << c.customer << " cd " << c.cd);
        wizard()->setNetOrder(c.net);
        wizard()->setCustomerPath(c.customer);
        wizard()->setCDOrder(c.cd);
        EXPECT_EQ(c.appropriate, m_screen->appropriate());
    }
}

} // namespace
