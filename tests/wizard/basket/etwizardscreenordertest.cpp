#include "etwizardscreenorder.h"

#include "basketfixture.h"
#include "etamountlineedit.h"
#include "etorder.h"
#include "etorderline.h"
#include "etordertable.h"
#include "ettestwait.h"

#include <QPushButton>
#include <QTest>

namespace
{

using ETWizardScreenOrderTest = BasketFixture;

TEST_F(ETWizardScreenOrderTest, TheBasketIsThePage)
{
    ETOrderWizard *w = buildWizard();
    auto *screen = qobject_cast<ETWizardScreenOrder *>(w->screenByName(QStringLiteral("orderScreen")));
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(screen->orderTable(), screen->page());
    EXPECT_EQ(QStringLiteral("order_table"), screen->page()->objectName());
    EXPECT_EQ(w->page(0), screen->page());
    EXPECT_TRUE(screen->title().contains(QStringLiteral("<b>Warenkorb</b>")));
}

TEST_F(ETWizardScreenOrderTest, NextNeedsAtLeastOnePrint)
{
    buildWizard();
    showWizard();
    ASSERT_TRUE(waitForPage(QStringLiteral("orderScreen")));
    EXPECT_FALSE(wizard()->nextButton()->isEnabled()) << "an empty basket";

    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}});
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());

    // Amount 0 on every line: no print.
    for (int row = 0; row < 2; ++row) {
        ETAmountLineEdit *amount = orderTable()->lineAt(row)->amountEdit();
        amount->selectAll();
        QTest::keyClick(amount, Qt::Key_0);
    }
    EXPECT_EQ(0, ETOrder::instance()->numberOfImages());
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
    QTest::keyClick(orderTable()->lineAt(1)->amountEdit(), Qt::Key_2);
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());

    // Removing the last lines through their own buttons disables Next at once.
    orderTable()->lineAt(1)->removeButton()->click();
    EXPECT_FALSE(wizard()->nextButton()->isEnabled()) << "the line left has amount 0";
    QTest::keyClick(orderTable()->lineAt(0)->amountEdit(), Qt::Key_1);
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());
    orderTable()->lineAt(0)->removeButton()->click();
    EXPECT_EQ(0, orderTable()->rowCount());
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
}

TEST_F(ETWizardScreenOrderTest, ArrivingGivesTheBasketTheKeyboard)
{
    buildWizard();
    loadPictures({{QStringLiteral("P1.jpg")}});
    showWizard();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("netOrCDscreen")));
    wizard()->activateWindow();
    ASSERT_TRUE(pressBack());
    ASSERT_TRUE(waitForPage(QStringLiteral("orderScreen")));
    // The keyboard goes into the basket: to the amount of its first line in sight.
    EXPECT_TRUE(waitFor([this] { return orderTable()->lineAt(0)->amountEdit()->hasFocus(); }))
        << "focus on "
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                        : std::string("nothing"));
}

} // namespace
