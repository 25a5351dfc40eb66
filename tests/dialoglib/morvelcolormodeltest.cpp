#include "morvelcolormodel.h"

#include <gtest/gtest.h>

TEST(MorvelColorModel, SelectsFixedColoursElseTheCustomEntry)
{
    const struct {
        uint32_t colour;
        int entry;
        int kind;
        uint32_t answered;
    } cases[] = {
        {0x7F7F7F, 17, MorvelColorModel::Fixed, 0x7F7F7F},   // "grau"
        {0x000000, 2, MorvelColorModel::Fixed, 0x000000},    // "schwarz"
        {0xAB7F7F7F, 17, MorvelColorModel::Fixed, 0x7F7F7F}, // the top byte is not compared
        {0x123456, 1, MorvelColorModel::Custom, 0x123456},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.colour);
        MorvelColorModel model(false, 0);
        const int entry = model.select(c.colour);
        EXPECT_EQ(c.entry, entry);
        uint32_t colour = 0xdeadbeef;
        EXPECT_EQ(c.kind, model.query(entry, nullptr, &colour));
        EXPECT_EQ(c.answered, colour);
    }
}

TEST(MorvelColorModel, Kinds)
{
    const uint32_t user[16] = {0x111111, 0x222222, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFF16};
    MorvelColorModel automatic(false, 0x0000AA);
    MorvelColorModel none(true, 0x0000AA);
    automatic.setCustom(0x00C0DE);
    const struct {
        const MorvelColorModel *model;
        int entry;
        const uint32_t *user;
        int kind;
        uint32_t colour;
    } cases[] = {
        {&automatic, -1, user, MorvelColorModel::Nothing, 0xdeadbeef},
        {&automatic, 0, user, MorvelColorModel::Automatic, 0x0000AA},
        {&none, 0, user, MorvelColorModel::NoColor, 0},
        {&automatic, 1, user, MorvelColorModel::Custom, 0x00C0DE},
        {&automatic, 3, user, MorvelColorModel::Fixed, 0xFF0000},
        {&automatic, 18, user, MorvelColorModel::Nothing, 0xdeadbeef},
        {&automatic, 19, user, MorvelColorModel::User, 0x111111},
        {&automatic, 34, user, MorvelColorModel::User, 0xFFFF16},
        {&automatic, 20, nullptr, MorvelColorModel::User, 0},
        {&automatic, 35, user, MorvelColorModel::Nothing, 0xdeadbeef},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entry);
        uint32_t colour = 0xdeadbeef;
        EXPECT_EQ(c.kind, c.model->query(c.entry, c.user, &colour));
        EXPECT_EQ(c.colour, colour);
    }
}

TEST(MorvelColorModel, Swatches)
{
    MorvelColorModel automatic(false, 0x0000AA);
    MorvelColorModel none(true, 0x0000AA);
    uint32_t colour = 0;
    EXPECT_TRUE(automatic.swatch(0, nullptr, &colour));
    EXPECT_EQ(0x0000AAu, colour);
    EXPECT_FALSE(none.swatch(0, nullptr, &colour)) << "\"keine Farbe\" has no fill";
    EXPECT_FALSE(automatic.swatch(18, nullptr, &colour)) << "the separator";
    EXPECT_TRUE(automatic.swatch(5, nullptr, &colour));
    EXPECT_EQ(0x0000FFu, colour);
}
