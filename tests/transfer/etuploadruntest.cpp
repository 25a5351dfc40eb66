#include "etuploadrun.h"

#include "qtprinters.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

const QString declaration = QStringLiteral("<orderdeclaration_request><ocsid>7</ocsid>"
                                           "<orderposition><filename>/bilder/a.jpg</filename></orderposition>"
                                           "<coupon><filename>/bilder/coupon.jpg</filename></coupon>"
                                           "<orderposition><filename>/bilder/b.jpg</filename></orderposition>"
                                           "</orderdeclaration_request>");

TEST(ETUploadRun, OnlyTheDeclaredPicturesMayBeSent)
{
    ETUploadRun run;
    run.declare(declaration);
    EXPECT_EQ(QStringLiteral("/bilder/a.jpg"), run.localFile(QStringLiteral("/bilder/a.jpg")));
    EXPECT_EQ(QStringLiteral("/bilder/b.jpg"), run.localFile(QStringLiteral("/bilder/b.jpg")));
    EXPECT_TRUE(run.localFile(QStringLiteral("/bilder/coupon.jpg")).isEmpty()) << "not an order position";
    EXPECT_TRUE(run.localFile(QStringLiteral("/etc/passwd")).isEmpty());
    EXPECT_TRUE(run.localFile(QString()).isEmpty());
}

struct PositionCase {
    const char *name;
    std::vector<int> positions;
    std::vector<bool> accepted;
};

const PositionCase positionCases[] = {
    {"a position asked for a fourth time in a row stalls", {5, 5, 5, 5}, {true, true, true, false}},
    {"a changed position starts the count again",
     {5, 5, 5, 6, 6, 6, 6},
     {true, true, true, true, true, true, false}},
    {"going back is a change too", {5, 6, 5, 6}, {true, true, true, true}},
};

TEST(ETUploadRun, StallsWhenTheServerKeepsAskingForOnePosition)
{
    for (const PositionCase &c : positionCases) {
        SCOPED_TRACE(c.name);
        ETUploadRun run;
        run.declare(declaration);
        for (size_t i = 0; i < c.positions.size(); ++i)
            EXPECT_EQ(c.accepted[i], run.advanceTo(c.positions[i])) << "step " << i;
    }
}

TEST(ETUploadRun, ANewDeclarationForgetsTheEarlierOrder)
{
    ETUploadRun run;
    run.declare(declaration);
    for (int i = 0; i < 3; ++i)
        run.advanceTo(4);
    run.setLastPostResult(28);
    run.declare(QStringLiteral("<orderdeclaration_request><orderposition><filename>/neu/c.jpg</filename>"
                               "</orderposition></orderdeclaration_request>"));
    EXPECT_TRUE(run.localFile(QStringLiteral("/bilder/a.jpg")).isEmpty());
    EXPECT_EQ(QStringLiteral("/neu/c.jpg"), run.localFile(QStringLiteral("/neu/c.jpg")));
    EXPECT_EQ(0, run.lastPostResult());
    EXPECT_TRUE(run.advanceTo(4)) << "the earlier order's stall count is gone";
    EXPECT_TRUE(run.advanceTo(4));
    EXPECT_TRUE(run.advanceTo(4));
}

TEST(ETUploadRun, CompletedUploadStartsFromNoPosition)
{
    ETUploadRun run;
    run.declare(declaration);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(run.advanceTo(0));
    run.complete();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(run.advanceTo(0)) << "step " << i;
    EXPECT_FALSE(run.advanceTo(0));
}

TEST(ETUploadRun, BytesSentAddThePictureInProgressToTheServersCount)
{
    ETUploadRun run;
    EXPECT_EQ(1, run.totalBytes());
    EXPECT_EQ(1, run.submittedBytes());
    run.setByteCounts(9000, 3000);
    EXPECT_EQ(9000, run.totalBytes());
    EXPECT_EQ(3000, run.submittedBytes());
    EXPECT_EQ(3000, run.bytesSent(0));
    EXPECT_EQ(3512, run.bytesSent(512));
}

} // namespace
