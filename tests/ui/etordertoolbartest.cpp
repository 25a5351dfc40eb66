#include "etordertoolbar.h"
#include "ettestapplication.h"

#include <QMainWindow>

#include <memory>

#include <gtest/gtest.h>

namespace
{

TEST(ETOrderToolBar, HidesTheOthersAndForgetsDestroyedOnes)
{
    ETTestApplication::instance();
    QMainWindow window;
    auto *first = new ETOrderToolBar(QStringLiteral("Erste"), &window);
    auto *second = new ETOrderToolBar(&window, QStringLiteral("second"));
    auto gone = std::make_unique<ETOrderToolBar>(QStringLiteral("Weg"), nullptr, nullptr);
    auto *third = new ETOrderToolBar(QStringLiteral("Dritte"), &window, nullptr, true);
    window.show();

    EXPECT_EQ(&window, first->parentWidget());
    EXPECT_EQ(QStringLiteral("Erste"), first->windowTitle());
    EXPECT_EQ(QStringLiteral("second"), second->objectName());
    EXPECT_EQ(4, ETOrderToolBar::toolBars().size());
    gone.reset();
    EXPECT_EQ((QList<ETOrderToolBar *>{first, second, third}), ETOrderToolBar::toolBars());

    second->hide();
    second->hideAllOtherToolBars();
    EXPECT_TRUE(second->isVisible());
    EXPECT_FALSE(first->isVisible());
    EXPECT_FALSE(third->isVisible());
}

} // namespace
