#include "morvelpath.h"
#include "sharedcases.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

TEST(MorvelPath, FileFromPath)
{
    const struct {
        const char *path;
        size_t offset;
    } cases[] = {
        {"C:\\dir\\name.ext", 7}, {"name.ext", 0}, {"\\name.ext", 0}, {"a\\b", 2}, {"C:\\dir\\", 7}, {"", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.offset, MorvelPath::fileFromPath(c.path));
    }
    EXPECT_EQ(0u, MorvelPath::fileFromPath(nullptr));
}

TEST(MorvelPath, TitleCharacters)
{
    std::string accepted;
    for (int c = 1; c < 256; ++c) {
        if (MorvelPath::checkTitleChar(static_cast<unsigned char>(c)) && c < 160)
            accepted += static_cast<char>(c);
    }
    EXPECT_EQ("\b#0123456789@ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz", accepted);
    for (int c = 160; c < 256; ++c)
        EXPECT_TRUE(MorvelPath::checkTitleChar(static_cast<unsigned char>(c))) << c;

    char title[] = "Mein Titel: 3.\xe4!";
    MorvelPath::checkTitleValidity(title);
    EXPECT_STREQ("Mein_Titel__3_\xe4_", title);
    MorvelPath::checkTitleValidity(nullptr);
}

TEST(MorvelPath, FileValidCharacters)
{
    char name[] = "a\\b/c:d<e>f?g*h|i j.k";
    MorvelPath::setFileValidChars(name);
    EXPECT_STREQ("a_b_c_d_e_f_g_h_i j.k", name);
}

TEST(MorvelPath, PathSlash)
{
    const struct {
        const char *in;
        const char *out;
        bool result;
    } cases[] = {{"C:\\dir", "C:\\dir\\", true}, {"C:\\dir\\", "C:\\dir\\", true}, {"", "", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.in);
        std::string path = c.in;
        EXPECT_EQ(c.result, MorvelPath::checkPathSlash(path));
        EXPECT_EQ(c.out, path);
    }
}

TEST(MorvelPath, AbsolutePaths)
{
    const struct {
        const char *path;
        bool absolute;
    } cases[] = {
        {"\\\\server\\share", true},
        {"dir\\file", false},
        {"C:\\a", true},
        {"C:\\", false},
        {"c:a\\b", true},
        {"1:\\ab", false},
        {"\\dir\\file", false},
        {"", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.absolute, MorvelPath::isPathAbsolute(c.path));
    }
    EXPECT_FALSE(MorvelPath::isPathAbsolute(nullptr));
}

TEST(MorvelPath, MakeRelative)
{
    const struct {
        const char *base;
        const char *path;
        const char *result;
    } cases[] = {
        {"C:\\shows\\show.xpp", "C:\\shows\\img\\a.jpg", "img\\a.jpg"},
        {"C:\\shows\\show.xpp", "C:\\other\\a.jpg", "C:\\other\\a.jpg"},
        {"C:\\shows\\show.xpp", "c:\\shows\\a.jpg", "c:\\shows\\a.jpg"}, // case counts
        {"C:\\shows\\", "C:\\shows\\", "C:\\shows\\"},                   // not longer than the folder
        {"show.xpp", "C:\\a.jpg", "C:\\a.jpg"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.base) + " | " + c.path);
        std::string path = c.path;
        MorvelPath::makePathRelative(c.base, path);
        EXPECT_EQ(c.result, path);
    }
}

TEST(MorvelPath, EnsureUniqueFile)
{
    for (const UniqueFileCase &c : kUniqueFileCases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.out, MorvelPath::ensureUniqueFile(c.in));
    }
}

TEST(MorvelPath, EnsureUniqueFileKeepsALongExtension)
{
    const std::string extension = "." + std::string(80, 'e');
    EXPECT_EQ("a_1" + extension, MorvelPath::ensureUniqueFile("a" + extension));
}

namespace
{

using Components = std::vector<std::pair<std::string, int>>;

Components components(const char *path, const char *base)
{
    Components out;
    MorvelPath::processPathString(path, base,
                                  [&out](const std::string &component, MorvelPath::ComponentKind kind) {
                                      out.emplace_back(component, kind);
                                  });
    return out;
}

} // namespace

TEST(MorvelPath, ProcessPathString)
{
    const struct {
        const char *path;
        const char *base;
        Components expected;
    } cases[] = {
        {"C:\\a\\b.txt", nullptr, {{"C:", 1}, {"a", 2}, {"b.txt", 3}}},
        {"C:\\a\\b\\c.txt", "C:\\a\\", {{"b", 2}, {"c.txt", 3}}},
        {"C:\\a\\", nullptr, {{"C:", 1}, {"a", 2}}},
        {"name", nullptr, {{"name", 3}}},
        {"", nullptr, {}},
        {"C:\\a", "C:\\a", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.expected, components(c.path, c.base));
    }
    EXPECT_TRUE(components(std::string(261, 'a').c_str(), nullptr).empty());
    EXPECT_EQ(1u, components(std::string(260, 'a').c_str(), nullptr).size());
}

TEST(MorvelPath, DrawerFolders)
{
    const struct {
        const char *path;
        std::vector<std::string> folders;
    } cases[] = {
        {"C:\\a\\b\\file.txt", {"C:\\a", "C:\\a\\b"}},
        {"C:\\a\\b\\", {"C:\\a", "C:\\a\\b"}},
        {"C:\\file.txt", {}},
        {"a\\b\\f", {"a", "a\\b"}},
        {"\\\\srv\\share\\x\\f", {"\\\\srv\\share\\x"}},
        {"C:\\a\\\\b\\f", {"C:\\a", "C:\\a\\\\b"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<std::string> folders;
        EXPECT_TRUE(MorvelPath::drawerFolders(c.path, folders));
        EXPECT_EQ(c.folders, folders);
    }
    std::vector<std::string> folders;
    EXPECT_FALSE(MorvelPath::drawerFolders("", folders));
    EXPECT_FALSE(MorvelPath::drawerFolders(("C:\\" + std::string(258, 'a')).c_str(), folders));
}
