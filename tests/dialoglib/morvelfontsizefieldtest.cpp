#include "morvelfontsizefield.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

uint32_t bitsOf(float value)
{
    uint32_t raw;
    memcpy(&raw, &value, sizeof raw);
    return raw;
}

} // namespace

TEST(MorvelFontSizeField, TypedCharacters)
{
    const struct {
        char c;
        const char *text;
        bool accepted;
    } cases[] = {
        {'5', "", true},
        {'\b', "12", true},
        {'\r', "", true},
        {',', "", false},
        {'.', "", false},
        {',', "10", true},
        {'5', "10,", true},
        {',', "10,5", false},
        {'.', "10,5", false},
        {'a', "10", false},
        {'-', "", false},
        {' ', "1", false},
        {'.', "1234567890123456,", true}, // only the first 15 characters are looked at
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(1, c.c) + " after " + c.text);
        EXPECT_EQ(c.accepted, MorvelFontSizeField::acceptsChar(static_cast<unsigned char>(c.c), c.text));
    }
}

TEST(MorvelFontSizeField, SizeFromNumber)
{
    const struct {
        int32_t result, kind;
        uint32_t raw;
        int32_t size;
    } cases[] = {
        {0, 1, 13, 13},
        {0, 5, bitsOf(10.5f), 10},
        {0, 5, bitsOf(11.5f), 12},
        {0, 5, bitsOf(10.4f), 10},
        {0, 5, bitsOf(10.6f), 11},
        {1, 1, 13, 12},
        {0, 2, 13, 12},
        {0, 5, bitsOf(1e20f), 12},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.result << " " << c.kind << " " << c.raw);
        EXPECT_EQ(c.size, MorvelFontSizeField::sizeFromNumber(c.result, c.kind, c.raw));
    }
}
