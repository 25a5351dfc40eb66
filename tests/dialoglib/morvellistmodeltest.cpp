#include "morvellistmodel.h"

#include <gtest/gtest.h>

namespace
{

// Rows 96 pixels high: a 32-pixel text height.
MorvelListModel list(int32_t width, int32_t height, int32_t count)
{
    MorvelListModel model(32);
    model.resize(width, height);
    model.setCount(count);
    model.layout();
    return model;
}

} // namespace

TEST(MorvelListModel, Layout)
{
    const struct {
        int32_t width, count, columns, rows;
    } cases[] = {{50, 3, 1, 3}, {400, 10, 5, 2}, {400, 11, 5, 3}, {79, 0, 1, 0}, {160, 1, 2, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " wide, " << c.count << " items");
        const MorvelListModel model = list(c.width, 300, c.count);
        EXPECT_EQ(c.columns, model.columns());
        EXPECT_EQ(c.rows, model.rows());
    }
    EXPECT_EQ(2 * (12 * 96 / 72), MorvelListModel::textHeightFor(-12, 96));
}

TEST(MorvelListModel, ScrollBarOnlyWhenTheRowsDoNotFit)
{
    MorvelListModel model(32);
    model.resize(400, 200);
    model.setCount(10); // 2 rows of 96 pixels fit
    EXPECT_FALSE(model.layout().visible);
    model.setCount(11); // 3 rows
    const MorvelListModel::ScrollBar bar = model.layout();
    EXPECT_TRUE(bar.visible);
    EXPECT_EQ(3 * 96 + 8, bar.maximum);
    EXPECT_EQ(200, bar.page);
    EXPECT_EQ(0, bar.position);
}

TEST(MorvelListModel, Cells)
{
    MorvelListModel model = list(400, 200, 11);
    const MorvelListModel::Rect cell = model.cell(7); // column 2, row 1
    EXPECT_EQ(8 + 160, cell.left);
    EXPECT_EQ(8 + 96, cell.top);
    EXPECT_EQ(8 + 240, cell.right);
    EXPECT_EQ(8 + 192, cell.bottom);
    EXPECT_EQ(8 + 160 + 8, model.picture(7).left);
    EXPECT_EQ(8 + 96 + 68, model.caption(7).top);
    EXPECT_EQ(7, model.hitTest(8 + 160, 8 + 96));
    EXPECT_EQ(-1, model.hitTest(3, 3));
    EXPECT_EQ(-1, model.hitTest(8 + 80, 8 + 2 * 96 + 1)) << "no item 11";
    model.scroll(MorvelListModel::LineDown, 0);
    EXPECT_EQ(8, model.cell(7).top);
}

TEST(MorvelListModel, Scrolling)
{
    // 3 rows of 96 in 200 pixels: the offset runs from 0 to 3 * 96 - 200 + 8 = 96.
    const struct {
        int32_t start;
        int code;
        int32_t thumb;
        int32_t offset;
    } cases[] = {
        {0, MorvelListModel::LineUp, 0, 0},       {0, MorvelListModel::LineDown, 0, 96},
        {50, MorvelListModel::LineUp, 0, 0},      {96, MorvelListModel::LineDown, 0, 96},
        {0, MorvelListModel::PageDown, 0, 96},    {96, MorvelListModel::PageUp, 0, 0},
        {0, MorvelListModel::ThumbTrack, 40, 40}, {0, MorvelListModel::ThumbPosition, 500, 96},
        {40, 8 /* SB_ENDSCROLL */, 0, 40},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.start << " code " << c.code);
        MorvelListModel model = list(400, 200, 11);
        model.scroll(MorvelListModel::ThumbTrack, c.start);
        EXPECT_EQ(c.start - c.offset, model.scroll(c.code, c.thumb));
        EXPECT_EQ(c.offset, model.offset());
    }
    MorvelListModel fits = list(400, 500, 3);
    EXPECT_EQ(0, fits.scroll(MorvelListModel::LineDown, 0)) << "never below 0 when all rows fit";
    EXPECT_EQ(0, fits.offset());
}

TEST(MorvelListModel, RefillKeepsTheOffsetWithinRange)
{
    MorvelListModel model = list(400, 200, 20);
    model.scroll(MorvelListModel::PageDown, 0);
    ASSERT_EQ(192, model.offset()); // 4 rows: 4 * 96 - 200 + 8
    model.setCount(0);
    EXPECT_FALSE(model.layout().visible);
    model.setCount(11);
    const MorvelListModel::ScrollBar bar = model.layout();
    EXPECT_EQ(0, model.offset());
    EXPECT_EQ(model.offset(), bar.position);
}

TEST(MorvelListModel, KeyUp)
{
    const struct {
        int32_t selected, above;
    } cases[] = {{7, 2}, {3, 0}, {0, -1}, {5, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.selected);
        MorvelListModel model = list(400, 200, 11); // 5 columns
        ASSERT_TRUE(model.select(c.selected));
        EXPECT_EQ(c.above, model.itemAbove());
    }
    MorvelListModel none = list(400, 200, 11);
    EXPECT_EQ(-1, none.itemAbove());
}

TEST(MorvelListModel, InsertionIndexAndSelectionChecks)
{
    MorvelListModel model = list(400, 200, 3);
    EXPECT_EQ(3, model.insertionIndex(100));
    EXPECT_EQ(3, model.insertionIndex(-1));
    EXPECT_EQ(3, model.insertionIndex(3));
    EXPECT_EQ(1, model.insertionIndex(1));
    EXPECT_FALSE(model.select(3));
    EXPECT_FALSE(model.select(-1));
    EXPECT_TRUE(model.select(2));
    model.setCount(0);
    model.layout();
    EXPECT_EQ(-1, model.selected()) << "removing every item clears the selection";
}
