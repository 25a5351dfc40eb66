#include "morveldroptags.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

std::string tagOf(const unsigned char *record)
{
    return record ? std::string(reinterpret_cast<const char *>(record), 4) : std::string("none");
}

uint32_t valueOf(const unsigned char *record, int index)
{
    uint32_t value = 0;
    memcpy(&value, record + 4 + 4 * index, 4);
    return value;
}

} // namespace

TEST(MorvelDropTags, FindsTheRecordOfAnExtension)
{
    const std::string none("\0\0\0\0", 4);
    const struct {
        const char *name;
        std::string tag;
    } cases[] = {
        {"photo.JPG", "IMAG"},
        {"scan.tiff", "IMAG"},
        {"ab.JPG", "IMAG"},
        {"C:\\x\\notes.Txt", "TEXT"},
        {"clip.emf", "CLIP"},
        {"film.mpeg", "MOVI"},
        {"intro.swf", "FLSH"},
        {"element.xpe", none},
        {"show.xpp", "none"},
        {"noextension", "none"},
        {"trailing.", "none"},
        {"photo.jpgx", "none"},
        {"photo.jp", "none"},
        {"C:\\a.jpg\\file", "none"},
        // Names of up to five characters give nothing.
        {"a.JPG", "none"},
        {"a.qt", "none"},
        {"x.tif", "none"},
        {"ab.qt", "none"},
        {"abc.qt", "MOVI"},
        {"", "none"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.tag, tagOf(MorvelDropTags::find(c.name)));
    }
    EXPECT_EQ(nullptr, MorvelDropTags::find(nullptr));
}

TEST(MorvelDropTags, RecordLayout)
{
    const unsigned char *text = MorvelDropTags::find("brief.rtf");
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(0x102u, valueOf(text, 0));
    EXPECT_EQ(0x16u, valueOf(text, 1));
    EXPECT_EQ(0x17u, valueOf(text, 2));
    EXPECT_EQ(2, text[16]);
    EXPECT_EQ(0, memcmp(text + 17, "txt\0rtf\0", 8));
    EXPECT_EQ(25u, MorvelDropTags::recordSize(text));

    // Six records, then the end mark.
    const unsigned char *record = MorvelDropTags::table();
    for (int i = 0; i < 6; ++i)
        record += MorvelDropTags::recordSize(record);
    EXPECT_EQ(0, memcmp(record, "\xff\xff\xff\xff", 4));
    EXPECT_EQ(MorvelDropTags::tableSize(), static_cast<size_t>(record + 4 - MorvelDropTags::table()));
}
