#include "morvelrangemodel.h"

#include <gtest/gtest.h>

TEST(MorvelRangeModel, StartsAt0In0To65535)
{
    MorvelRangeModel model;
    EXPECT_EQ(0, model.minimum());
    EXPECT_EQ(65535, model.maximum());
    EXPECT_EQ(0, model.value());
}

TEST(MorvelRangeModel, StepsStopAtTheEnds)
{
    MorvelRangeModel model;
    model.setRange(1, 10);
    EXPECT_EQ(0, model.setValue(10));
    EXPECT_FALSE(model.stepUp());
    EXPECT_EQ(10, model.value());
    EXPECT_TRUE(model.stepDown());
    EXPECT_EQ(9, model.value());
    model.setValue(1);
    EXPECT_FALSE(model.stepDown());
    EXPECT_TRUE(model.stepUp());
    EXPECT_EQ(2, model.value());
}

TEST(MorvelRangeModel, TypedValues)
{
    const struct {
        const char *text;
        MorvelRangeModel::Entry entry;
        int32_t value;
    } cases[] = {
        {"7", MorvelRangeModel::Changed, 7},      {"5", MorvelRangeModel::Unchanged, 5},
        {"11", MorvelRangeModel::OutOfRange, 5},  {"0", MorvelRangeModel::OutOfRange, 5},
        {"-3", MorvelRangeModel::OutOfRange, 5},  {"", MorvelRangeModel::OutOfRange, 5},
        {"10abc", MorvelRangeModel::Changed, 10}, {"99999999999", MorvelRangeModel::OutOfRange, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        MorvelRangeModel model;
        model.setRange(1, 10);
        model.setValue(5);
        EXPECT_EQ(c.entry, model.accept(c.text));
        EXPECT_EQ(c.value, model.value());
    }
    EXPECT_EQ(-42, MorvelRangeModel::parse("-42"));
    EXPECT_EQ(INT32_MAX, MorvelRangeModel::parse("99999999999"));
    EXPECT_EQ(12, MorvelRangeModel::parse(std::string(29, '0') + "12345")) << "31 characters read";
}
