#include "etfatal.h"

#include <gtest/gtest.h>

TEST(ETFatalDeathTest, PrintsTheMessageAndExitsWithFailure)
{
    EXPECT_EXIT(fatalExit(QStringLiteral("unknown currency: XYZ")), ::testing::ExitedWithCode(1),
                "unknown currency: XYZ");
}

TEST(ETFatalDeathTest, KeepsNonAsciiText)
{
    EXPECT_EXIT(fatalExit(QStringLiteral("Die Methode muß überladen werden")), ::testing::ExitedWithCode(1),
                "muß überladen");
}
