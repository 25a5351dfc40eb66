#include "etamountlineedit.h"

#include "etorder.h"
#include "wizardfixture.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace
{

using ETAmountLineEditTest = WizardFixture;

TEST_F(ETAmountLineEditTest, TakesThreeDigitsAtMost)
{
    ETAmountLineEdit edit(nullptr, QStringLiteral("amount"));
    EXPECT_FALSE(edit.acceptDrops());
    EXPECT_EQ(3, edit.maxLength());
    const struct {
        const char *typed;
        const char *kept;
    } cases[] = {{"0", "0"},  {"999", "999"}, {"1000", "100"}, {"-5", "5"},
                 {"+5", "5"}, {"1.5", "15"},  {"a1b", "1"},    {" 7", "7"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        edit.clear();
        QTest::keyClicks(&edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(QString::fromUtf8(c.kept), edit.text());
    }
}

TEST_F(ETAmountLineEditTest, MasterSetsEverySlaveWithOnePriceUpdate)
{
    ETAmountLineEdit master(nullptr, QStringLiteral("master"), true);
    EXPECT_TRUE(ETAmountLineEdit::slaves().isEmpty()) << "a master is in no list";
    ETAmountLineEdit first;
    ETAmountLineEdit second;
    second.setText(QStringLiteral("5"));
    EXPECT_EQ(QList<ETAmountLineEdit *>({&first, &second}), ETAmountLineEdit::slaves());

    QSignalSpy prices(ETOrder::instance(), &ETOrder::newPrices);
    QSignalSpy firstReported(&first, &QLineEdit::textChanged);
    QSignalSpy secondReported(&second, &QLineEdit::textChanged);
    QTest::keyClick(&master, Qt::Key_5);
    EXPECT_EQ(1, prices.size());
    EXPECT_EQ(QStringLiteral("5"), first.text());
    EXPECT_EQ(1, firstReported.size());
    EXPECT_EQ(0, secondReported.size()) << "a slave that shows the text already reports nothing";

    // Emptied: every slave empty too, which its line takes as 0.
    QTest::keyClick(&master, Qt::Key_Backspace);
    EXPECT_TRUE(first.text().isEmpty());
    EXPECT_TRUE(second.text().isEmpty());
}

TEST_F(ETAmountLineEditTest, ADestroyedSlaveNoLongerFollows)
{
    ETAmountLineEdit master(nullptr, QString(), true);
    auto gone = std::make_unique<ETAmountLineEdit>();
    ETAmountLineEdit kept;
    gone.reset();
    EXPECT_EQ(QList<ETAmountLineEdit *>({&kept}), ETAmountLineEdit::slaves());
    master.setText(QStringLiteral("8"));
    EXPECT_EQ(QStringLiteral("8"), kept.text());
}

} // namespace
