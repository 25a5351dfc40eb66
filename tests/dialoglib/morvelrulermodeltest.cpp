#include "morvelrulermodel.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{

// A ruler 30 pixels high on a band from 10 to 410, scale 1:1.
MorvelRulerModel ruler(int32_t start, int32_t end)
{
    MorvelRulerModel model(30);
    model.setScale(65536);
    model.setBand(10, 410);
    model.setRange(start, end);
    return model;
}

} // namespace

TEST(MorvelRulerModel, RangeIsClampedToTheBand)
{
    const struct {
        int32_t start, end;
        bool shown;
        int32_t left, right;
    } cases[] = {{50, 150, true, 50, 150},
                 {-20, 500, true, 0, 400},
                 {70, 70, false, 70, 70},
                 {500, 600, true, 400, 400}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
        const MorvelRulerModel model = ruler(c.start, c.end);
        EXPECT_EQ(c.shown, model.rangeShown());
        EXPECT_EQ(c.left, model.shownRange().left);
        EXPECT_EQ(c.right, model.shownRange().right);
        EXPECT_EQ(4, model.shownRange().top);
        EXPECT_EQ(26, model.shownRange().bottom);
    }
}

TEST(MorvelRulerModel, MarkerClamps)
{
    MorvelRulerModel model = ruler(50, 150); // 100 pixels
    model.setMarker3(0);
    model.setMarker1(10);
    model.setMarker2(30);
    EXPECT_EQ(20, model.marker(2)) << "kept from marker 1";
    model.setMarker1(500);
    EXPECT_EQ(100, model.marker(1));
    model.setMarker3(40);
    EXPECT_EQ(0, model.marker(3)) << "marker 1 takes the whole range";
    model.setMarker1(60);
    model.setMarker3(70);
    EXPECT_EQ(40, model.marker(3));
    model.setMarker1(-5);
    EXPECT_EQ(0, model.marker(1));

    MorvelRulerModel half = ruler(50, 150);
    half.setScale(2 * 65536); // two pixels a unit
    half.setMarker1(80);
    EXPECT_EQ(50, half.marker(1));
}

TEST(MorvelRulerModel, ScaleZeroNeverDivides)
{
    MorvelRulerModel model(30);
    model.setBand(0, 200);
    model.setRange(10, 100);
    model.setMarker1(5);
    EXPECT_EQ(0, model.marker(1));
    EXPECT_EQ(0, model.dragPosition(1, 50));
    for (const auto &mark : model.marks(0, 200))
        EXPECT_EQ("|", mark.text);
}

TEST(MorvelRulerModel, MarkersAndHits)
{
    MorvelRulerModel model = ruler(50, 150);
    model.setMarker1(10);
    model.setMarker3(20);
    model.setMarker2(40);
    const MorvelRulerModel::MarkerPlace one = model.place(1), two = model.place(2), three = model.place(3);
    EXPECT_TRUE(one.drawn && two.drawn && three.drawn);
    EXPECT_EQ(10 + 50 + 10, one.x);
    EXPECT_EQ(10 + 50 + 40, two.x);
    EXPECT_EQ(10 + 150 - 20, three.x);
    EXPECT_EQ(one.x - 1, one.iconLeft);
    EXPECT_EQ(26 - 8, one.iconTop);
    EXPECT_EQ(three.x - 3, three.iconLeft);
    EXPECT_EQ(4, two.iconTop);
    EXPECT_EQ(1, model.hitTest(one.iconLeft - 1, one.iconTop - 1));
    EXPECT_EQ(1, model.hitTest(one.iconLeft + 9, one.iconTop + 8));
    EXPECT_EQ(0, model.hitTest(one.iconLeft + 10, one.iconTop + 8));
    EXPECT_EQ(2, model.hitTest(two.x, 5));
    EXPECT_EQ(3, model.hitTest(three.x, 20));

    const MorvelRulerModel hidden = ruler(70, 70);
    EXPECT_FALSE(hidden.place(1).drawn);
    EXPECT_TRUE(hidden.hitRect(1).empty());
    EXPECT_EQ(0, hidden.hitTest(10 + 70, 20));
}

TEST(MorvelRulerModel, DragPositions)
{
    const MorvelRulerModel model = ruler(50, 150);
    EXPECT_EQ(30, model.dragPosition(1, 10 + 50 + 30));
    EXPECT_EQ(30, model.dragPosition(2, 10 + 50 + 30));
    EXPECT_EQ(25, model.dragPosition(3, 10 + 150 - 25));
    EXPECT_EQ(-5, model.dragPosition(1, 10 + 45)) << "clamped when it is set";
}

TEST(MorvelRulerModel, ScaleMarks)
{
    const MorvelRulerModel model = ruler(0, 0);
    const std::vector<MorvelRulerModel::Mark> marks = model.marks(0, 420);
    ASSERT_GE(marks.size(), 4u);
    EXPECT_EQ(10 + 2 + 25, marks[0].x);
    EXPECT_EQ("|", marks[0].text);
    EXPECT_EQ("50", marks[1].text);
    EXPECT_EQ("|", marks[2].text);
    EXPECT_EQ("100", marks[3].text);
    EXPECT_LE(marks.back().x, 410 - 2 - 25);
    EXPECT_EQ(14u, marks.size());

    // Only the marks within the clip, numbered as on the whole band.
    const std::vector<MorvelRulerModel::Mark> some = model.marks(100, 200);
    ASSERT_EQ(4u, some.size());
    EXPECT_EQ(112, some[0].x);
    EXPECT_EQ("100", some[0].text);
    EXPECT_EQ(162, some[2].x);
    EXPECT_EQ("150", some[2].text);
    EXPECT_EQ(187, some[3].x);
    EXPECT_EQ("|", some[3].text);
}

TEST(MorvelRulerModel, ScaleMarksAtTheEndsOfTheRange)
{
    // Bands whose mark arithmetic would wrap in 32 bits, and bands far
    // longer than a window: only what a window 420 pixels wide shows.
    const struct {
        const char *name;
        int32_t origin, end;
        size_t count;
        int32_t firstX;
        const char *firstText;
    } cases[] = {
        {"end at the lowest value", 0, INT32_MIN, 0, 0, ""},
        {"origin at the highest value", INT32_MAX, INT32_MAX, 0, 0, ""},
        {"both at the lowest value", INT32_MIN, INT32_MIN, 0, 0, ""},
        {"to the highest value", 0, INT32_MAX, 19, 27, "|"},
        {"from the lowest value", INT32_MIN, INT32_MAX, 22, -46, "2147483600"},
        {"left of the window", INT32_MIN, -1, 1, -46, "2147483600"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MorvelRulerModel model(30);
        model.setScale(65536);
        model.setBand(c.origin, c.end);
        const std::vector<MorvelRulerModel::Mark> marks = model.marks(-64, 420 + 64);
        ASSERT_EQ(c.count, marks.size());
        if (c.count == 0)
            continue;
        EXPECT_EQ(c.firstX, marks[0].x);
        EXPECT_EQ(c.firstText, marks[0].text);
        EXPECT_LE(marks.back().x, 420 + 64);
    }
}
