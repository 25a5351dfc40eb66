#include "etwizardscreenplaceholder.h"
#include "etorder.h"
#include "wizardfixture.h"

#include <QLabel>

#include <memory>

namespace
{

using Placeholder = ETWizardScreenPlaceholder;

// The wizard's road flags and the order's payment type at one moment.
struct RoadState {
    bool cd = false, net = false, customer = false, forgotten = false, newCustomer = false, local = false;
    int payment = PaymentUnknown;
};

const RoadState states[] = {
    {},                                                    // nothing chosen
    {true},                                                // CD road
    {false, true},                                         // internet, before the login
    {false, true, true, false, false, false, PaymentBill}, // customer path
    {false, true, true, false, true},                      // registering
    {false, true, false, true},                            // password forgotten
    {false, false, false, false, false, true},             // local order
    {false, true, true, false, false, false, PaymentCreditCard},
    {false, true, true, false, false, false, PaymentDebit},
    {false, true, true, false, false, false, PaymentOutlet},
};

// One letter per state above: whether the page is shown.
const struct {
    Placeholder::Road road;
    const char *name;
    const char *shown;
} roads[] = {
    {Placeholder::Always, "Always", "1111111111"},
    {Placeholder::ChoosesNetOrder, "ChoosesNetOrder", "1111111111"},
    {Placeholder::NetOrder, "NetOrder", "0011110111"},
    {Placeholder::ChoosesCustomerPath, "ChoosesCustomerPath", "0011110111"},
    {Placeholder::CustomerPath, "CustomerPath", "0001100111"},
    {Placeholder::NewCustomer, "NewCustomer", "0000100000"},
    {Placeholder::PasswordForgotten, "PasswordForgotten", "0000010000"},
    {Placeholder::CustomerOrLocal, "CustomerOrLocal", "0001101111"},
    {Placeholder::Address, "Address", "0101101111"},
    {Placeholder::Payment, "Payment", "0101100111"},
    {Placeholder::CreditCard, "CreditCard", "0000000100"},
    {Placeholder::BankAccount, "BankAccount", "0000000010"},
    {Placeholder::StoreSelection, "StoreSelection", "0000000001"},
    {Placeholder::CDOrder, "CDOrder", "0100000000"},
    {Placeholder::Inactive, "Inactive", "0000000000"},
};

using ETWizardScreenPlaceholderTest = WizardFixture;

TEST_F(ETWizardScreenPlaceholderTest, EachRoadShowsItsPageWhenItsScreenWould)
{
    ETOrderWizard *w = emptyWizard();
    for (const auto &r : roads) {
        SCOPED_TRACE(r.name);
        Placeholder screen(QStringLiteral("page"), nullptr, w, r.road);
        std::unique_ptr<QWidget> page(screen.page());
        QString shown;
        for (const RoadState &s : states) {
            w->setNetOrder(true);
            w->setCustomerPath(s.customer);
            w->setPasswordForgotten(s.forgotten);
            w->setNetOrder(s.net);
            w->setCDOrder(s.cd);
            w->setNewCustomer(s.newCustomer);
            w->setLocalOrder(s.local);
            ETOrder::instance()->setPaymentType(s.payment);
            shown += screen.appropriate() ? QLatin1Char('1') : QLatin1Char('0');
        }
        EXPECT_EQ(QString::fromLatin1(r.shown), shown);
    }
}

TEST_F(ETWizardScreenPlaceholderTest, TheRoadChoosingPagesChooseTheUsualRoad)
{
    ETOrderWizard *w = emptyWizard();
    Placeholder netOrCD(QStringLiteral("netOrCDscreen"), nullptr, w, Placeholder::ChoosesNetOrder);
    Placeholder login(QStringLiteral("NetworkLoginScreen"), nullptr, w, Placeholder::ChoosesCustomerPath);
    std::unique_ptr<QWidget> pages[] = {std::unique_ptr<QWidget>(netOrCD.page()),
                                        std::unique_ptr<QWidget>(login.page())};
    w->setCDOrder(true);
    ETOrder::instance()->setSubmitMethod(SubmitCD);
    EXPECT_TRUE(netOrCD.atNext());
    EXPECT_TRUE(w->netOrder());
    EXPECT_FALSE(w->cdOrder());
    EXPECT_EQ(SubmitNet, ETOrder::instance()->submitMethod());

    EXPECT_TRUE(login.atNext());
    EXPECT_TRUE(w->customerPath());
    EXPECT_TRUE(login.atBack());
    EXPECT_FALSE(w->netOrder());
    EXPECT_FALSE(w->customerPath());
}

TEST_F(ETWizardScreenPlaceholderTest, PageNamedAfterTheScreenSaysItIsNotBuilt)
{
    ETOrderWizard *w = emptyWizard();
    Placeholder screen(QStringLiteral("agb"), nullptr, w, Placeholder::CustomerOrLocal, true);
    std::unique_ptr<QWidget> page(screen.page());
    EXPECT_EQ(QStringLiteral("agb"), page->objectName());
    EXPECT_TRUE(screen.isFinal());
    auto *label = page->findChild<QLabel *>(QStringLiteral("placeholderLabel"));
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(QStringLiteral("<qt><b>agb</b><br>Diese Seite ist noch nicht gebaut.</qt>"), label->text());
    EXPECT_EQ(QStringLiteral("<qt><b>agb</b></qt>"), screen.title());
}

} // namespace
