#include "etwizardscreennetorcd.h"

#include "basketfixture.h"
#include "etlineedit.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderline.h"
#include "etordertable.h"
#include "etpreferencesscreen.h"
#include "ettestwait.h"
#include "paymenttype.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace
{

class ETWizardScreenNetOrCDTest : public BasketFixture
{
  protected:
    // The wizard on the road page with the pictures in the basket.
    ::testing::AssertionResult onRoadPage(const std::vector<Picture> &pictures, int amount = 1)
    {
        buildWizard();
        loadPictures(pictures);
        for (ETOrderItem *item : *ETOrder::instance()->orderItems())
            item->setAmount(amount);
        showWizard();
        if (::testing::AssertionResult pressed = pressNext(); !pressed)
            return pressed;
        return waitForPage(QStringLiteral("netOrCDscreen"));
    }

    QLabel *label(const char *name) const { return wizard()->findChild<QLabel *>(QLatin1String(name)); }

    QString text(const char *name) const
    {
        const QLabel *found = label(name);
        return found ? plainText(found) : QStringLiteral("(no label %1)").arg(QLatin1String(name));
    }

    QPushButton *button(const QString &name) const
    {
        for (QPushButton *candidate : wizard()->findChildren<QPushButton *>()) {
            if (candidate->accessibleName() == name)
                return candidate;
        }
        return nullptr;
    }
};

TEST_F(ETWizardScreenNetOrCDTest, CountsPicturesAndPrints)
{
    ASSERT_TRUE(onRoadPage({{QStringLiteral("P1.jpg")}}, 2));
    EXPECT_EQ(QStringLiteral("Anzahl Bilder: 1, Abzüge: 2"), text("CountPicturesLabel"));

    // One picture in two lines is still one picture.
    ASSERT_TRUE(pressBack());
    ASSERT_TRUE(waitForPage(QStringLiteral("orderScreen")));
    orderTable()->lineAt(0)->anotherFormatButton()->click();
    ASSERT_EQ(2, orderTable()->rowCount());
    ETOrder::instance()->orderItems()->at(0)->setAmount(1);
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("netOrCDscreen")));
    EXPECT_EQ(QStringLiteral("Anzahl Bilder: 1, Abzüge: 2"), text("CountPicturesLabel"));
}

TEST_F(ETWizardScreenNetOrCDTest, PricesOfTheOrderAndItsDelivery)
{
    ASSERT_TRUE(onRoadPage({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}}, 3));
    EXPECT_EQ(QStringLiteral("1,14 €"), text("TotalPriceLabelNet"));
    EXPECT_EQ(QStringLiteral("3,95 €"), text("PriceMailNet"));
    EXPECT_EQ(QStringLiteral("0,00 €"), text("PriceLocationNet"));
}

TEST_F(ETWizardScreenNetOrCDTest, APriceTheTablesCannotGiveIsNotPossible)
{
    writeResource(QStringLiteral("transferlist.xml"),
                  "<reply><content><homog_min level=\"1\">50</homog_min>"
                  "<transfer type=\"FM\" discount=\"0\"><id>T-FM0</id><price>3,95</price></transfer>"
                  "</content></reply>");
    buildWizard();
    loadPictures({{QStringLiteral("P1.jpg")}});
    // From 50 prints the order is at tier 1, where this product has no price.
    ETOrderItem *item = ETOrder::instance()->orderItems()->at(0);
    item->setProductName(QStringLiteral("TierZero"));
    item->setAmount(50);
    showWizard();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("netOrCDscreen")));
    EXPECT_EQ(QStringLiteral("nicht möglich"), text("TotalPriceLabelNet"));
    EXPECT_EQ(QStringLiteral("3,95 €"), text("PriceMailNet"));
    EXPECT_EQ(QStringLiteral("nicht möglich"), text("PriceLocationNet")) << "the list has no pickup price";
}

TEST_F(ETWizardScreenNetOrCDTest, DeliveryRowsFollowThePaymentRules)
{
    const struct {
        const char *rules;
        bool mail, pickup;
        int pickupRow;
    } cases[] = {
        {"<payment>outlet</payment><payment>bill</payment>", true, true, 6},
        {"<payment>outlet</payment>", false, true, 5},
        {"<payment>creditcard</payment>", true, false, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rules);
        writeResource(QStringLiteral("payment.xml"),
                      QByteArray("<paymentConfig><payments><method upload=\"net\">") + c.rules +
                          "</method></payments></paymentConfig>");
        buildWizard();
        EXPECT_EQ(c.mail, label("PriceMailNet") != nullptr);
        QLabel *pickup = label("PriceLocationNet");
        ASSERT_EQ(c.pickup, pickup != nullptr);
        if (!pickup)
            continue;
        auto *grid = qobject_cast<QGridLayout *>(pickup->parentWidget()->layout());
        ASSERT_NE(nullptr, grid);
        int row = -1, column = -1, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(pickup), &row, &column, &rows, &columns);
        EXPECT_EQ(c.pickupRow, row);
        EXPECT_EQ(1, column);
    }
}

TEST_F(ETWizardScreenNetOrCDTest, LeavingAlwaysTakesTheInternet)
{
    ASSERT_TRUE(onRoadPage({{QStringLiteral("P1.jpg")}}));
    ETOrder *order = ETOrder::instance();
    EXPECT_EQ(SubmitNet, order->submitMethod()) << "arriving keeps the basket on the internet's prices";
    wizard()->setCDOrder(true);
    order->setSubmitMethod(SubmitCD);
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("NetworkLoginScreen")));
    EXPECT_TRUE(wizard()->netOrder());
    EXPECT_FALSE(wizard()->cdOrder());
    EXPECT_EQ(SubmitNet, order->submitMethod());
}

TEST_F(ETWizardScreenNetOrCDTest, GoingBackShowsTheBasketAtInternetPrices)
{
    ASSERT_TRUE(onRoadPage({{QStringLiteral("P1.jpg")}}));
    ASSERT_TRUE(pressBack());
    ASSERT_TRUE(waitForPage(QStringLiteral("orderScreen")));
    EXPECT_EQ(SubmitNet, ETOrder::instance()->submitMethod());
    EXPECT_EQ(QStringLiteral("0,19"), orderTable()->lineAt(0)->unitPriceField()->text());
}

TEST_F(ETWizardScreenNetOrCDTest, PricesAreRefreshedFromTheServer)
{
    ASSERT_TRUE(onRoadPage({{QStringLiteral("P1.jpg")}}, 2));
    EXPECT_EQ(QStringLiteral("0,38 €"), text("TotalPriceLabelNet"));
    server().setListContent(
        QStringLiteral("articlelist"),
        QStringLiteral("<article transfer_type=\"FC\"><artid>N</artid><name>10x15</name><price>0,25</price>"
                       "<discount_level>0</discount_level></article>"));
    server().setListContent(
        QStringLiteral("transferlist"),
        QStringLiteral("<homog_min level=\"1\">50</homog_min>"
                       "<transfer type=\"FM\" discount=\"0\"><id>T</id><price>4,50</price>"
                       "</transfer>"));
    QPushButton *refresh = button(QStringLiteral("Preise via Net aktualisieren"));
    ASSERT_NE(nullptr, refresh);
    const qsizetype before = requestNames().size();
    refresh->click();
    const QStringList sent = requestNames().mid(before);
    EXPECT_TRUE(sent.contains(QStringLiteral("session_request")))
        << sent.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(sent.contains(QStringLiteral("articlelist_request")));
    EXPECT_TRUE(sent.contains(QStringLiteral("transferlist_request")));
    EXPECT_EQ(QStringLiteral("0,50 €"), text("TotalPriceLabelNet"));
    EXPECT_EQ(QStringLiteral("4,50 €"), text("PriceMailNet"));
    EXPECT_EQ(nullptr, qobject_cast<ETWizardScreen *>(wizard()->screenByName(QStringLiteral("netOrCDscreen")))
                           ->progressDialog());
}

TEST_F(ETWizardScreenNetOrCDTest, NetworkSettingsOpenOnTheNetworkPage)
{
    ASSERT_TRUE(onRoadPage({{QStringLiteral("P1.jpg")}}));
    QPushButton *settings = button(QStringLiteral("Netzwerkeinstellungen"));
    ASSERT_NE(nullptr, settings);
    bool shown = false;
    whenShown<ETPreferencesScreen>([&shown](ETPreferencesScreen *dialog) {
        shown = true;
        dialog->reject();
    });
    settings->click();
    EXPECT_TRUE(shown);
}

} // namespace
