#include "etwebcheckbox.h"

#include "ettestapplication.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

TEST(ETWebCheckBox, EveryBoxFollowsEveryMasterButNoMasterItself)
{
    ETTestApplication::instance();
    ETWebCheckBox early(nullptr, QStringLiteral("early"));
    ETWebCheckBox first(nullptr, QStringLiteral("first"), true);
    ETWebCheckBox slave(nullptr, QStringLiteral("slave"));
    ETWebCheckBox second(nullptr, QStringLiteral("second"), true);
    ETWebCheckBox late(nullptr, QStringLiteral("late"));
    EXPECT_EQ(QList<ETWebCheckBox *>({&first, &second}), ETWebCheckBox::masters());
    EXPECT_EQ(5, ETWebCheckBox::boxes().size());

    const struct {
        ETWebCheckBox *clicked;
        bool checked;
    } cases[] = {{&first, true}, {&second, false}, {&second, true}, {&first, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.clicked->objectName().toStdString() + (c.checked ? " on" : " off"));
        c.clicked->click();
        for (ETWebCheckBox *box : {&early, &first, &slave, &second, &late})
            EXPECT_EQ(c.checked, box->isChecked()) << box->objectName().toStdString();
    }

    // A slave's own click goes nowhere.
    slave.click();
    EXPECT_TRUE(slave.isChecked());
    EXPECT_FALSE(first.isChecked());
    EXPECT_FALSE(late.isChecked());
}

TEST(ETWebCheckBox, ADestroyedBoxLeavesTheListsAndFollowsNoMore)
{
    ETTestApplication::instance();
    auto master = std::make_unique<ETWebCheckBox>(nullptr, QStringLiteral("master"), true);
    ETWebCheckBox slave;
    auto other = std::make_unique<ETWebCheckBox>();
    other.reset();
    EXPECT_EQ(2, ETWebCheckBox::boxes().size());
    master->click();
    EXPECT_TRUE(slave.isChecked());
    master.reset();
    EXPECT_TRUE(ETWebCheckBox::masters().isEmpty());
    EXPECT_EQ(QList<ETWebCheckBox *>({&slave}), ETWebCheckBox::boxes());
}

TEST(ETWebCheckBox, EnablingSlotFitsTheBasketsSignal)
{
    ETTestApplication::instance();
    ETWebCheckBox box;
    QMetaObject::invokeMethod(&box, "setEnabled", Q_ARG(bool, false));
    EXPECT_FALSE(box.isEnabled());
    box.setEnabled(true);
    EXPECT_TRUE(box.isEnabled());
}

} // namespace
