#include "morvelrequesttable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(MorvelRequestTable, Rows)
{
    const struct {
        int32_t id;
        uint16_t title;
        bool save;
        uint8_t defaultFilter;
        size_t filters;
        const char *folderValue;
        const char *filterValue;
    } cases[] = {
        {1, 20010, false, 4, 5, "LoadPath", "LoadType"},
        {2, 20011, true, 2, 3, "SavePath", "SaveType"},
        {3, 20012, false, 7, 8, "ImagePath", "ImageType"},
        {4, 20013, false, 4, 5, "MoviePath", "MovieType"},
        {15, 20014, false, 1, 2, "FlashPath", "FlashType"},
        {6, 20015, false, 5, 6, "AudioPath", "AudioType"},
        {7, 20016, false, 3, 4, "TextPath", "TextType"},
        {10, 20017, false, 1, 2, "TextPath", "TextType"},
        {8, 20018, false, 1, 2, "ClipartPath", "ClipartType"},
        {9, 20019, false, 1, 1, "DocuPath", "DocuType"},
        {11, 20020, false, 6, 7, "PanoPath", "PanoType"},
        {12, 20021, true, 1, 2, "SavePath", "SaveType"},
        {13, 20022, true, 1, 1, "SavePath", "SaveType"},
        {14, 20023, false, 2, 2, "ImportPath", "ImportType"},
    };
    ASSERT_EQ(std::size(cases), MorvelRequestTable::rows().size());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        const MorvelRequestTable::Row *row = MorvelRequestTable::find(c.id);
        ASSERT_NE(nullptr, row);
        EXPECT_EQ(c.title, row->title);
        EXPECT_EQ(c.save, row->save);
        EXPECT_EQ(c.defaultFilter, row->defaultFilter);
        EXPECT_EQ(c.filters, row->filters.size());
        EXPECT_STREQ(c.folderValue, row->folderValue);
        EXPECT_STREQ(c.filterValue, row->filterValue);
        EXPECT_EQ(c.id != 13, row->stripExtension);
        EXPECT_LE(row->defaultFilter, row->filters.size());
    }
    for (int32_t missing : {0, 5, 16, -1})
        EXPECT_EQ(nullptr, MorvelRequestTable::find(missing)) << missing;
}

TEST(MorvelRequestTable, FilterStringsCoverTheirRange)
{
    std::set<uint16_t> ids;
    for (const auto &row : MorvelRequestTable::rows()) {
        for (const auto &filter : row.filters) {
            ids.insert(filter.description);
            ids.insert(filter.pattern);
            EXPECT_EQ(filter.description + 1, filter.pattern);
        }
    }
    EXPECT_EQ(58u, ids.size());
    EXPECT_EQ(20150, *ids.begin());
    EXPECT_EQ(20207, *ids.rbegin());
}

TEST(MorvelRequestTable, DefaultExtension)
{
    const struct {
        const char *pattern;
        const char *extension;
    } cases[] = {{"*.xpp", "xpp"}, {"*.xpe", "xpe"}, {"*.xpp;*.exe;*.scr", "xpp"},
                 {"*.*", ""},      {"*.tx?", ""},    {"", ""},
                 {"name", ""},     {"*.", ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(c.extension, MorvelRequestTable::defaultExtension(c.pattern));
    }
}

TEST(MorvelRequestTable, InitialSaveName)
{
    const struct {
        const char *name;
        bool strip;
        const char *result;
    } cases[] = {{"show.xpp", true, "show"},
                 {"show.xpp", false, "show.xpp"},
                 {"show.jpeg", true, "show.jpeg"},
                 {"C:\\a\\b.txt", true, "C:\\a\\b"},
                 {"abc", true, "abc"},
                 {".xpp", true, ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, MorvelRequestTable::initialSaveName(c.name, c.strip));
    }
    EXPECT_EQ("", MorvelRequestTable::initialSaveName(nullptr, true));
    EXPECT_EQ(511u, MorvelRequestTable::initialSaveName(std::string(600, 'a').c_str(), false).size());
}

TEST(MorvelRequestTable, StartFilter)
{
    const MorvelRequestTable::Row &images = *MorvelRequestTable::find(3);
    EXPECT_EQ(7, MorvelRequestTable::startFilter(images, false, 2));
    EXPECT_EQ(6, MorvelRequestTable::startFilter(images, true, 6));
    EXPECT_EQ(8, MorvelRequestTable::startFilter(images, true, 8));
    EXPECT_EQ(7, MorvelRequestTable::startFilter(images, true, 9));
    EXPECT_EQ(7, MorvelRequestTable::startFilter(images, true, 0));
}

TEST(MorvelRequestTable, FolderOfChoice)
{
    EXPECT_EQ("C:\\pics\\2004", MorvelRequestTable::folderOfChoice("C:\\pics\\2004\\a.tif", 13));
    EXPECT_EQ("C:", MorvelRequestTable::folderOfChoice("C:\\a.tif", 3));
    EXPECT_EQ("", MorvelRequestTable::folderOfChoice("a.tif", 0));
}

TEST(MorvelRequestTable, FilterList)
{
    std::string list;
    EXPECT_TRUE(MorvelRequestTable::filterList({"Alle Dateien (*.*)", "*.*"}, list));
    EXPECT_EQ(std::string("Alle Dateien (*.*)\0*.*\0\0", 24), list);
    EXPECT_TRUE(MorvelRequestTable::filterList({std::string(510, 'a')}, list));
    EXPECT_FALSE(MorvelRequestTable::filterList({std::string(511, 'a')}, list));
}
