#include "morvelpackedlist.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

std::vector<unsigned char> block(uint32_t count, const std::string &bytes)
{
    std::vector<unsigned char> out(4 + bytes.size());
    memcpy(out.data(), &count, 4);
    memcpy(out.data() + 4, bytes.data(), bytes.size());
    return out;
}

std::string entries(uint32_t count, const std::string &bytes)
{
    std::string out;
    for (const auto &e : MorvelPackedList::textsWithData(block(count, bytes).data()))
        out += e.text + "=" + std::to_string(e.datum) + ";";
    return out;
}

} // namespace

TEST(MorvelPackedList, Texts)
{
    using Texts = std::vector<std::string>;
    const std::string three("eins\0zwei\0drei\0", 15);
    const struct {
        const char *name;
        uint32_t count;
        std::string bytes;
        Texts expected;
    } cases[] = {
        {"all counted", 15, three, {"eins", "zwei", "drei"}},
        {"count ends inside the second", 7, three, {"eins"}},
        {"count ends after a zero", 10, three, {"eins", "zwei"}},
        // A count of 0 holds no text, whatever follows it.
        {"empty count", 0, three, {}},
        {"count alone", 0, std::string(), {}},
        {"one empty text", 1, std::string(1, '\0'), {""}},
        {"first text longer than the count", 3, three, {"eins"}},
        {"count ends at the first zero", 5, three, {"eins"}},
        {"empty texts", 3, std::string("\0\0\0", 3), {"", "", ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, MorvelPackedList::texts(block(c.count, c.bytes).data()));
    }
}

TEST(MorvelPackedList, TextsWithData)
{
    // "a" 1, "bb" -2, "ccc" 300: entries of 4, 5 and 6 bytes at offsets 4, 8 and 13.
    const std::string three("a\0\x01\x00"
                            "bb\0\xfe\xff"
                            "ccc\0\x2c\x01",
                            15);
    const struct {
        const char *name;
        uint32_t count;
        const char *expected;
    } cases[] = {
        {"next offsets 8 and 13 below the count", 15, "a=1;bb=-2;ccc=300;"},
        {"next offset 13 not below the count", 13, "a=1;bb=-2;"},
        {"first entry always read", 1, ""}, // but only when it lies within the count
        {"first entry within the count", 4, "a=1;"},
        {"empty count", 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, entries(c.count, three));
    }
}

TEST(MorvelPackedList, TextsWithDataStopAtAnUnterminatedText)
{
    EXPECT_EQ("", entries(6, std::string("abcdef", 6)));
    EXPECT_EQ("a=1;", entries(9, std::string("a\0\x01\x00"
                                             "bcdef",
                                             9)));
}
