#include "wiahandlertable.h"

#include <gtest/gtest.h>

namespace
{

WiaHandlerTable::Handler handler(const std::string &name, uint8_t tag)
{
    WiaHandlerTable::Handler made;
    made.name = name;
    made.description = name + " description";
    made.icon = name + ".exe,0";
    made.commandLine = name + ".exe /import";
    made.id = {0x11111111u * tag, 0x2222, 0x3333, {tag, 0, 0, 0, 0, 0, 0, tag}};
    return made;
}

TEST(WiaHandlerTable, EmptyListHasNoDefault)
{
    const WiaHandlerTable table("cam-1");
    EXPECT_STREQ("cam-1", table.deviceId());
    EXPECT_EQ(0, table.count());
    EXPECT_EQ(-1, table.defaultIndex());
    // The default index of an empty list is no index of it.
    EXPECT_EQ(0, table.isDefault(-1));
    EXPECT_EQ(nullptr, table.name(0));
    EXPECT_EQ(nullptr, table.handlerId(0));
}

TEST(WiaHandlerTable, EntriesInOrderWithTheirDefault)
{
    WiaHandlerTable table("cam-1");
    table.append(handler("first", 1), false);
    table.append(handler("second", 2), true);
    table.append(handler("third", 3), false);
    ASSERT_EQ(3, table.count());
    EXPECT_EQ(1, table.defaultIndex());
    const char *const names[] = {"first", "second", "third"};
    for (int32_t index = 0; index < 3; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(std::string(names[index]), table.name(index));
        EXPECT_EQ(std::string(names[index]) + " description", table.description(index));
        EXPECT_EQ(std::string(names[index]) + ".exe,0", table.icon(index));
        EXPECT_EQ(std::string(names[index]) + ".exe /import", table.commandLine(index));
        ASSERT_NE(nullptr, table.handlerId(index));
        EXPECT_EQ(static_cast<uint8_t>(index + 1), table.handlerId(index)->data4[7]);
        EXPECT_EQ(index == 1 ? 1 : 0, table.isDefault(index));
    }
}

TEST(WiaHandlerTable, LastDefaultWins)
{
    WiaHandlerTable table("scan-1");
    table.append(handler("a", 1), true);
    table.append(handler("b", 2), true);
    EXPECT_EQ(1, table.defaultIndex());
    EXPECT_EQ(0, table.isDefault(0));
    EXPECT_EQ(1, table.isDefault(1));
}

TEST(WiaHandlerTable, IndexesOutsideTheListAnswerNothing)
{
    WiaHandlerTable table("cam-1");
    table.append(handler("only", 1), true);
    for (int32_t index : {-1, 1, 2, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(nullptr, table.name(index));
        EXPECT_EQ(nullptr, table.description(index));
        EXPECT_EQ(nullptr, table.icon(index));
        EXPECT_EQ(nullptr, table.commandLine(index));
        EXPECT_EQ(nullptr, table.handlerId(index));
        EXPECT_EQ(0, table.isDefault(index));
    }
}

} // namespace
