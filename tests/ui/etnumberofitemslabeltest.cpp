#include "etnumberofitemslabel.h"
#include "qtprinters.h"
#include "skinresources.h"

#include <gtest/gtest.h>

namespace
{

TEST(ETNumberOfItemsLabel, CountsWithALeadingBlank)
{
    SkinResources::application();
    ETNumberOfItemsLabel label(nullptr, QStringLiteral("count"));
    EXPECT_EQ(QStringLiteral("count"), label.objectName());
    EXPECT_TRUE(label.text().isEmpty());
    label.setNumberOfItems(12, 3);
    EXPECT_EQ(QStringLiteral(" Anzahl Bilder: 12, Ausgewählt: 3"), label.text());
}

} // namespace
