#include "eticonset.h"
#include "ettestsandbox.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace
{

QPixmap filled(const QSize &size, const QColor &color)
{
    QPixmap pixmap(size);
    pixmap.fill(color);
    return pixmap;
}

} // namespace

TEST(ETIconSet, FallsBackToTheNormalPicture)
{
    ETTestSandbox resources;
    EXPECT_TRUE(ETIconSet().isNull());
    ETIconSet icons(filled({20, 10}, Qt::blue));
    EXPECT_FALSE(icons.isNull());
    const struct {
        const char *name;
        ETIconSet::Mode mode;
        ETIconSet::State state;
    } cases[] = {
        {"normal off", ETIconSet::Normal, ETIconSet::Off},
        {"normal on", ETIconSet::Normal, ETIconSet::On},
        {"active", ETIconSet::Active, ETIconSet::Off},
        {"active on", ETIconSet::Active, ETIconSet::On},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QPixmap pixmap = icons.pixmap(ETIconSet::Small, c.mode, c.state);
        EXPECT_EQ(QSize(20, 10), pixmap.size());
        EXPECT_EQ(QColor(Qt::blue), pixmap.toImage().pixelColor(0, 0));
    }
    // The disabled picture is the normal one greyed, at its own size.
    const QPixmap disabled = icons.pixmap(ETIconSet::Large, ETIconSet::Disabled, ETIconSet::Off);
    EXPECT_EQ(QSize(20, 10), disabled.size());
    EXPECT_NE(QColor(Qt::blue), disabled.toImage().pixelColor(0, 0));
}

TEST(ETIconSet, OwnPicturesWinAndOtherStateComesFirst)
{
    ETTestSandbox resources;
    ETIconSet icons(filled({20, 10}, Qt::blue));
    icons.setPixmap(filled({22, 12}, Qt::red), ETIconSet::Small, ETIconSet::Active, ETIconSet::Off);
    icons.setPixmap(filled({24, 14}, Qt::gray), ETIconSet::Small, ETIconSet::Disabled, ETIconSet::On);
    EXPECT_EQ(QSize(22, 12), icons.pixmap(ETIconSet::Small, ETIconSet::Active, ETIconSet::On).size());
    EXPECT_EQ(QSize(24, 14), icons.pixmap(ETIconSet::Small, ETIconSet::Disabled, ETIconSet::Off).size());
}

TEST(ETIconSet, TravelsWithItsButton)
{
    ETTestSandbox resources;
    QPushButton button;
    EXPECT_TRUE(ETIconSet::of(&button).isNull());
    EXPECT_TRUE(ETIconSet::of(nullptr).isNull());
    ETIconSet(filled({5, 6}, Qt::blue)).attachTo(&button);
    EXPECT_EQ(QSize(5, 6), ETIconSet::of(&button).pixmap(ETIconSet::Small, ETIconSet::Normal).size());
}
