#include "etroundstyle.h"
#include "eticonset.h"
#include "ettestsandbox.h"

#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <gtest/gtest.h>

namespace
{

QPixmap filled(const QSize &size, const QColor &color)
{
    QPixmap pixmap(size);
    pixmap.fill(color);
    return pixmap;
}

// The label of a flat button as the round style draws it on white.
QImage drawLabel(QPushButton &button, QStyle::State state, const QString &text = QString())
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.features = QStyleOptionButton::Flat;
    option.state = state;
    option.rect = QRect(0, 0, 40, 20);
    option.text = text;
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ETRoundStyle::instance()->drawControl(QStyle::CE_PushButtonLabel, &option, &painter, &button);
    return image;
}

} // namespace

TEST(ETRoundStyle, FlatButtonShowsThePictureOfItsMode)
{
    ETTestSandbox resources;
    QPushButton button;
    ETIconSet icons(filled({30, 12}, Qt::blue));
    icons.setPixmap(filled({30, 12}, Qt::red), ETIconSet::Small, ETIconSet::Active);
    icons.setPixmap(filled({30, 12}, Qt::gray), ETIconSet::Small, ETIconSet::Disabled);
    icons.setPixmap(filled({30, 12}, Qt::green), ETIconSet::Small, ETIconSet::Normal, ETIconSet::On);
    icons.attachTo(&button);
    const struct {
        const char *name;
        QStyle::State state;
        bool checked;
        QColor expected;
    } cases[] = {
        {"normal", QStyle::State_Enabled, false, Qt::blue},
        {"focused", QStyle::State_Enabled | QStyle::State_HasFocus, false, Qt::red},
        {"disabled", QStyle::State_HasFocus, false, Qt::gray},
        {"toggled on", QStyle::State_Enabled | QStyle::State_On, true, Qt::green},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        button.setCheckable(c.checked);
        button.setChecked(c.checked);
        const QImage image = drawLabel(button, c.state);
        EXPECT_EQ(c.expected, image.pixelColor(0, 0));
        EXPECT_EQ(c.expected, image.pixelColor(29, 11));
        // Drawn whole and unscaled from the top-left corner.
        EXPECT_EQ(QColor(Qt::white), image.pixelColor(30, 12));
    }
}

TEST(ETRoundStyle, TextIsDrawnOverThePicture)
{
    ETTestSandbox resources;
    QPushButton button;
    ETIconSet(filled({40, 20}, Qt::blue)).attachTo(&button);
    QPalette palette = button.palette();
    palette.setColor(QPalette::ButtonText, Qt::yellow);
    button.setPalette(palette);
    const QImage plain = drawLabel(button, QStyle::State_Enabled);
    const QImage lettered = drawLabel(button, QStyle::State_Enabled, QStringLiteral("WW"));
    EXPECT_EQ(plain.pixelColor(0, 0), lettered.pixelColor(0, 0));
    EXPECT_NE(plain, lettered);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(QColor(Qt::blue), plain.pixelColor(x, 10));
}

TEST(ETRoundStyle, FlatButtonContentsAreTheWholeButton)
{
    ETTestSandbox resources;
    QPushButton button;
    button.resize(50, 30);
    QStyleOptionButton option;
    option.initFrom(&button);
    EXPECT_EQ(QRect(0, 0, 50, 30),
              ETRoundStyle::instance()->subElementRect(QStyle::SE_PushButtonContents, &option, &button));
}

TEST(ETRoundStyle, SplitterHandleIsARoundDot)
{
    ETTestSandbox resources;
    QStyleOption option;
    option.rect = QRect(0, 0, 9, 21);
    option.palette.setColor(QPalette::Window, Qt::white);
    option.palette.setColor(QPalette::WindowText, Qt::blue);
    option.palette.setColor(QPalette::Shadow, Qt::black);
    QImage image(9, 21, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    ETRoundStyle::instance()->drawControl(QStyle::CE_Splitter, &option, &painter);
    painter.end();
    // Circle of diameter 8 in the box (1, 7) .. (8, 14) around the centre (4, 10).
    EXPECT_EQ(QColor(Qt::blue), image.pixelColor(4, 10));
    EXPECT_EQ(QColor(Qt::white), image.pixelColor(4, 2));
    EXPECT_EQ(QColor(Qt::white), image.pixelColor(0, 0));
    EXPECT_NE(QColor(Qt::white), image.pixelColor(1, 10));
}

TEST(ETRoundStyle, OnlyChildFramesGetAMask)
{
    ETTestSandbox resources;
    QFrame window;
    window.setStyle(ETRoundStyle::instance());
    window.resize(20, 20);
    window.show();
    EXPECT_TRUE(window.mask().isEmpty());

    QWidget parent;
    auto *frame = new QFrame(&parent);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(2);
    frame->setStyle(ETRoundStyle::instance());
    frame->resize(20, 20);
    parent.show();
    // Only the drawn box is left: its border, not its empty inside.
    EXPECT_TRUE(frame->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(frame->mask().contains(QPoint(10, 10)));
}
