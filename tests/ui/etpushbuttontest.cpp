#include "etpushbutton.h"
#include "etroundstyle.h"
#include "ettestsandbox.h"

#include <QPainter>
#include <gtest/gtest.h>

TEST(ETPushButton, SizedByItsPicture)
{
    ETTestSandbox resources;
    ETPushButton plain(nullptr, QStringLiteral("plain"));
    EXPECT_EQ(QStringLiteral("plain"), plain.objectName());
    const QSize ordinary = plain.sizeHint();

    ETPushButton picture;
    QPixmap normal(60, 16);
    normal.fill(Qt::blue);
    ETIconSet icons(normal);
    QPixmap active(70, 20);
    active.fill(Qt::red);
    icons.setPixmap(active, ETIconSet::Small, ETIconSet::Active);
    picture.setIconSet(icons);
    EXPECT_EQ(QSize(60, 16), picture.sizeHint());
    EXPECT_FALSE(picture.iconSet().isNull());
    EXPECT_TRUE(plain.iconSet().isNull());
    EXPECT_EQ(ordinary, plain.sizeHint());
}

TEST(ETPushButton, FlatTakesTheRoundStyleForGood)
{
    ETTestSandbox resources;
    ETPushButton button;
    QStyle *before = button.style();
    button.setFlat(false);
    EXPECT_EQ(before, button.style());
    button.setFlat(true);
    EXPECT_TRUE(button.isFlat());
    EXPECT_EQ(ETRoundStyle::instance(), button.style());
    button.setFlat(false);
    EXPECT_FALSE(button.isFlat());
    EXPECT_EQ(ETRoundStyle::instance(), button.style());
}

TEST(ETPushButton, FlatPictureButtonShowsExactlyItsPicture)
{
    ETTestSandbox resources;
    QPixmap picture(30, 20);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.fillRect(0, 0, 30, 10, Qt::blue);
        painter.fillRect(0, 10, 30, 10, Qt::green);
    }
    ETPushButton button;
    button.setIconSet(ETIconSet(picture));
    button.setFlat(true);
    button.resize(button.sizeHint());
    const QImage shown = button.grab().toImage();
    ASSERT_EQ(QSize(30, 20), shown.size());
    EXPECT_EQ(QColor(Qt::blue), shown.pixelColor(0, 0));
    EXPECT_EQ(QColor(Qt::blue), shown.pixelColor(29, 9));
    EXPECT_EQ(QColor(Qt::green), shown.pixelColor(0, 19));
    EXPECT_EQ(QColor(Qt::green), shown.pixelColor(29, 19));
}
