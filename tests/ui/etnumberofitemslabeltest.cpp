#include "etnumberofitemslabel.h"
#include "ettestapplication.h"
#include "qtprinters.h"

#include <gtest/gtest.h>

namespace
{

TEST(ETNumberOfItemsLabel, CountsWithALeadingBlank)
{
    ETTestApplication::instance();
    ETNumberOfItemsLabel label(nullptr, QStringLiteral("count"));
    EXPECT_EQ(QStringLiteral("count"), label.objectName());
    EXPECT_TRUE(label.text().isEmpty());
    label.setNumberOfItems(12, 3);
    EXPECT_EQ(QStringLiteral(" Anzahl Bilder: 12, Ausgewählt: 3"), label.text());
}

} // namespace
