// Path, file-name and text-search exports on the host's texts and folders.
#include "morvellibrary.h"
#include "sharedcases.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace
{

using Components = std::vector<std::pair<std::string, LONG>>;

void WINAPI collect(LPCSTR component, LONG kind, void *context)
{
    static_cast<Components *>(context)->emplace_back(component, kind);
}

bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A junction at link to target, as the shell's mklink /J makes it.
bool makeJunction(const std::string &link, const std::string &target)
{
    if (!CreateDirectoryA(link.c_str(), nullptr))
        return false;
    HANDLE handle = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    std::wstring substitute = L"\\??\\";
    for (char c : target)
        substitute += static_cast<wchar_t>(c);
    std::wstring print;
    for (char c : target)
        print += static_cast<wchar_t>(c);
    const WORD substituteBytes = static_cast<WORD>(substitute.size() * 2);
    const WORD printBytes = static_cast<WORD>(print.size() * 2);
    std::vector<unsigned char> buffer(8 + 8 + substituteBytes + 2 + printBytes + 2, 0);
    auto put16 = [&buffer](size_t at, WORD value) { memcpy(buffer.data() + at, &value, 2); };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    memcpy(buffer.data(), &tag, 4);
    put16(4, static_cast<WORD>(buffer.size() - 8));
    put16(8, 0);
    put16(10, substituteBytes);
    put16(12, static_cast<WORD>(substituteBytes + 2));
    put16(14, printBytes);
    memcpy(buffer.data() + 16, substitute.data(), substituteBytes);
    memcpy(buffer.data() + 16 + substituteBytes + 2, print.data(), printBytes);
    DWORD returned = 0;
    const BOOL made = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                      static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(handle);
    if (!made)
        RemoveDirectoryA(link.c_str());
    return made != FALSE;
}

} // namespace

TEST_F(MorvelTest, PathTexts)
{
    auto getFileFromPath = MORVEL_FN(m_morvel, GetFileFromPath);
    auto isPathAbsolute = MORVEL_FN(m_morvel, IsPathAbsolute);
    auto checkTitleChar = MORVEL_FN(m_morvel, CheckTitleChar);
    auto checkTitleValidity = MORVEL_FN(m_morvel, CheckTitleValidity);
    auto setFileValidChars = MORVEL_FN(m_morvel, SetFileValidChars);
    auto checkPathSlash = MORVEL_FN(m_morvel, CheckPathSlash);
    auto makePathRelative = MORVEL_FN(m_morvel, MakePathRelative);

    EXPECT_EQ(7, getFileFromPath("C:\\dir\\name.ext"));
    EXPECT_EQ(0, getFileFromPath("name.ext"));
    EXPECT_EQ(0, getFileFromPath(nullptr));
    EXPECT_EQ(1, isPathAbsolute("\\\\server\\share"));
    EXPECT_EQ(1, isPathAbsolute("C:\\a"));
    EXPECT_EQ(0, isPathAbsolute("dir\\file"));
    EXPECT_EQ(0, isPathAbsolute("C:\\"));

    const struct {
        LONG character;
        LONG valid;
    } characters[] = {{8, 1},   {'#', 1},  {'_', 1}, {'@', 1}, {'7', 1}, {'Q', 1},
                      {'q', 1}, {0xe4, 1}, {' ', 0}, {'.', 0}, {'-', 0}, {0x9f, 0}};
    for (const auto &c : characters) {
        SCOPED_TRACE(c.character);
        EXPECT_EQ(c.valid, checkTitleChar(c.character));
    }
    char title[] = "Mein Titel: Gr\xf6\xdf"
                   "e!";
    EXPECT_NE(0, checkTitleValidity(title));
    EXPECT_STREQ("Mein_Titel__Gr\xf6\xdf"
                 "e_",
                 title);
    EXPECT_EQ(0, checkTitleValidity(nullptr));

    char name[] = "a\\b/c:d<e>f?g*h|i.txt";
    setFileValidChars(name);
    EXPECT_STREQ("a_b_c_d_e_f_g_h_i.txt", name);

    char folder[16] = "C:\\dir";
    EXPECT_EQ(1, checkPathSlash(folder));
    EXPECT_STREQ("C:\\dir\\", folder);
    EXPECT_EQ(1, checkPathSlash(folder));
    EXPECT_STREQ("C:\\dir\\", folder);
    char empty[4] = "";
    EXPECT_EQ(0, checkPathSlash(empty));

    char path[64] = "C:\\shows\\img\\a.jpg";
    makePathRelative("C:\\shows\\show.xpp", path);
    EXPECT_STREQ("img\\a.jpg", path);
    char other[64] = "D:\\img\\a.jpg";
    makePathRelative("C:\\shows\\show.xpp", other);
    EXPECT_STREQ("D:\\img\\a.jpg", other);
}

TEST_F(MorvelTest, EnsureUniqueFile)
{
    auto ensureUniqueFile = MORVEL_FN(m_morvel, EnsureUniqueFile);
    for (const UniqueFileCase &c : kUniqueFileCases) {
        SCOPED_TRACE(c.in);
        char buffer[MAX_PATH + 16] = {};
        strcpy(buffer, c.in);
        ensureUniqueFile(buffer);
        EXPECT_STREQ(c.out, buffer);
    }
}

TEST_F(MorvelTest, ProcessPathString)
{
    auto processPathString = MORVEL_FN(m_morvel, ProcessPathString);
    Components components;
    processPathString("C:\\a\\b.txt", nullptr, collect, &components);
    EXPECT_EQ((Components{{"C:", 1}, {"a", 2}, {"b.txt", 3}}), components);
    components.clear();
    processPathString("C:\\a\\b\\c.txt", "C:\\a\\", collect, &components);
    EXPECT_EQ((Components{{"b", 2}, {"c.txt", 3}}), components);
    components.clear();
    processPathString("", nullptr, collect, &components);
    processPathString(std::string(261, 'a').c_str(), nullptr, collect, &components);
    EXPECT_TRUE(components.empty());
}

TEST_F(MorvelTest, SearchForString)
{
    auto searchForString = MORVEL_FN(m_morvel, SearchForString);
    for (const SearchCase &c : kSearchCases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.pattern);
        LONG position = -1;
        EXPECT_EQ(c.found ? 1 : 0, searchForString(c.text, c.pattern, c.flags, &position));
        EXPECT_EQ(c.found ? static_cast<LONG>(c.position) : -1, position);
    }
    EXPECT_EQ(1, searchForString("abc", "c", 0, nullptr));
}

TEST_F(MorvelTest, DirectoryEmpty)
{
    auto isDirectoryEmpty = MORVEL_FN(m_morvel, IsDirectoryEmpty);
    ScratchFolder folder("morvel");
    LONG result = -5;
    EXPECT_EQ(0, isDirectoryEmpty(folder.path().c_str(), &result));
    EXPECT_EQ(1, result);
    ASSERT_TRUE(folder.write("x.txt", "x"));
    EXPECT_EQ(0, isDirectoryEmpty(folder.path().c_str(), &result));
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, isDirectoryEmpty((folder.path() + "\\").c_str(), &result));
    EXPECT_EQ(0, result);
    EXPECT_EQ(-1, isDirectoryEmpty(folder.file("missing").c_str(), &result));
}

TEST_F(MorvelTest, DeleteDirRecurse)
{
    auto deleteDirRecurse = MORVEL_FN(m_morvel, DeleteDirRecurse);
    ScratchFolder folder("morvel");
    const std::string tree = folder.file("tree");
    ASSERT_TRUE(CreateDirectoryA(tree.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((tree + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((tree + "\\sub\\deeper").c_str(), nullptr));
    ASSERT_TRUE(folder.write("tree\\a.txt", "a"));
    ASSERT_TRUE(folder.write("tree\\sub\\deeper\\b.txt", "b"));
    ASSERT_TRUE(folder.write("tree\\sub\\locked.txt", "c"));
    ASSERT_TRUE(SetFileAttributesA((tree + "\\sub\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(0, deleteDirRecurse(tree.c_str(), FALSE)) << "stops at the read-only file";
    EXPECT_TRUE(exists(tree + "\\sub\\locked.txt"));
    EXPECT_TRUE(exists(tree));
    EXPECT_EQ(1, deleteDirRecurse(tree.c_str(), TRUE));
    EXPECT_FALSE(exists(tree));
    EXPECT_EQ(0, deleteDirRecurse(tree.c_str(), TRUE)) << "nothing there";
    EXPECT_EQ(0, deleteDirRecurse("", TRUE));
}

TEST_F(MorvelTest, DeleteDirRecurseRemovesAJunctionWithoutFollowingIt)
{
    auto deleteDirRecurse = MORVEL_FN(m_morvel, DeleteDirRecurse);
    ScratchFolder folder("morvel");
    const std::string kept = folder.file("kept");
    const std::string tree = folder.file("tree");
    ASSERT_TRUE(CreateDirectoryA(kept.c_str(), nullptr));
    ASSERT_TRUE(folder.write("kept\\precious.txt", "p"));
    ASSERT_TRUE(CreateDirectoryA(tree.c_str(), nullptr));
    if (!makeJunction(tree + "\\link", kept))
        GTEST_SKIP() << "this system cannot make junctions (Wine 8 cannot; error " << GetLastError() << ")";
    ASSERT_TRUE(GetFileAttributesA((tree + "\\link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);

    EXPECT_EQ(1, deleteDirRecurse(tree.c_str(), TRUE));
    EXPECT_FALSE(exists(tree));
    EXPECT_TRUE(exists(kept + "\\precious.txt"));

    // A junction given as the folder itself is removed as it is.
    ASSERT_TRUE(makeJunction(folder.file("direct"), kept));
    EXPECT_EQ(1, deleteDirRecurse(folder.file("direct").c_str(), TRUE));
    EXPECT_FALSE(exists(folder.file("direct")));
    EXPECT_TRUE(exists(kept + "\\precious.txt"));
}

TEST_F(MorvelTest, CreateFileDrawer)
{
    auto createFileDrawer = MORVEL_FN(m_morvel, CreateFileDrawer);
    ScratchFolder folder("morvel");
    EXPECT_EQ(1, createFileDrawer(folder.file("a\\b\\c\\file.txt").c_str()));
    EXPECT_TRUE(exists(folder.file("a\\b\\c")));
    EXPECT_FALSE(exists(folder.file("a\\b\\c\\file.txt")));
    EXPECT_EQ(1, createFileDrawer(folder.file("a\\b\\d\\").c_str()));
    EXPECT_TRUE(exists(folder.file("a\\b\\d")));

    ASSERT_TRUE(folder.write("plain", "x"));
    EXPECT_EQ(0, createFileDrawer(folder.file("plain\\sub\\file.txt").c_str())) << "a file stands in the way";
    EXPECT_EQ(0, createFileDrawer(""));
    EXPECT_EQ(0, createFileDrawer(("C:\\" + std::string(258, 'a')).c_str()));
}
