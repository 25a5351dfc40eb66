#include "etwizardscreennetorder.h"
#include "etwizardscreennet.h"
#include "etwizardscreenpasswordforgotten.h"
#include "wizardfixture.h"

namespace
{

using ETWizardScreenNetOrderTest = WizardFixture;

// The internet road's screen bases follow the wizard's road flags at the moment they are asked.
TEST_F(ETWizardScreenNetOrderTest, EachBaseFollowsItsRoadFlag)
{
    ETOrderWizard *w = emptyWizard();
    ETWizardScreenNetOrder netOrder(QStringLiteral("NetworkLoginScreen"), w);
    ETWizardScreenNet net(QStringLiteral("sendViaNet"), w);
    ETWizardScreenPasswordForgotten forgotten(QStringLiteral("securityQuestion"), w);
    const struct {
        const char *road;
        bool netOrder, customerPath, passwordForgotten;
        bool expectNetOrder, expectNet, expectForgotten;
    } cases[] = {
        {"CD road", false, true, true, false, false, false},
        {"internet, not yet logged in", true, false, false, true, false, false},
        {"internet, customer path", true, true, false, true, true, false},
        {"internet, password forgotten", true, false, true, true, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.road);
        w->setNetOrder(true);
        w->setCustomerPath(c.customerPath);
        w->setPasswordForgotten(c.passwordForgotten);
        w->setNetOrder(c.netOrder);
        EXPECT_EQ(c.expectNetOrder, netOrder.appropriate());
        EXPECT_EQ(c.expectNet, net.appropriate());
        EXPECT_EQ(c.expectForgotten, forgotten.appropriate());
    }
}

TEST_F(ETWizardScreenNetOrderTest, TheBasesHaveNoMetaObjectOfTheirOwn)
{
    ETOrderWizard *w = emptyWizard();
    ETWizardScreenNet net(QStringLiteral("sendViaNet"), w);
    EXPECT_STREQ("ETWizardScreen", net.metaObject()->className());
    EXPECT_TRUE(net.inherits("ETWizardScreen"));
}

} // namespace
