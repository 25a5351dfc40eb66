// Text exports: strings of the table as Windows-1252 bytes, control texts
// and files in plain and length-prefixed blocks from vellum.
#include "dialogdriver.h"
#include "morvellibrary.h"

#include <cstring>

namespace
{

struct StringCase {
    UINT id;
    const char *text; // Windows-1252 bytes
};

const StringCase kStrings[] = {
    {20000, "xMORVEL - Hinweis .."},
    {20001, "xMORVEL - Best\xe4tigung der Aktion .."},
    {20002, "xMORVEL - Fehler .. "},
    {20003, "xMORVEL.pro V3.0"},
    {20097, "Der eingegebene Wert mu\xdf zwischen %d und %d liegen."},
    {20240, "Software\\Nqv\\xMorvel.pro\\Version 2.0"},
    {20254, "-- keine Schriftart --"},
    {20010, "Lade gesamte Pr\xe4sentation"},
    {20184, "WAVE Kl\xe4nge (*.wav *.wave)"},
    {20207, "*.ppt"},
    {12601, "Bild 12601"},
    {19999, ""}, // no such string
};

::testing::AssertionResult xppTextIs(const void *block, const char *expected)
{
    uint32_t count = 0;
    memcpy(&count, block, 4);
    const auto *text = static_cast<const char *>(block) + 4;
    const size_t length = strlen(expected);
    if (count != length + 1)
        return ::testing::AssertionFailure() << "count " << count << ", expected " << length + 1;
    if (memcmp(text, expected, length + 1) != 0)
        return ::testing::AssertionFailure() << "text \"" << bytesOf(text, length + 1) << "\", expected \""
                                             << bytesOf(expected, length + 1) << "\"";
    return ::testing::AssertionSuccess();
}

INT_PTR CALLBACK quietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

} // namespace

TEST_F(MorvelTest, GetStringGivesWindows1252BytesAndLengthPlusOne)
{
    auto getString = MORVEL_FN(m_morvel, GetString);
    for (const StringCase &c : kStrings) {
        SCOPED_TRACE(c.id);
        char buffer[300];
        memset(buffer, 0xcc, sizeof buffer);
        EXPECT_EQ(static_cast<LONG>(strlen(c.text) + 1), getString(c.id, buffer));
        EXPECT_EQ(bytesOf(c.text, strlen(c.text) + 1), bytesOf(buffer, strlen(c.text) + 1));
        EXPECT_EQ(0xcc, static_cast<unsigned char>(buffer[256]));
    }
    EXPECT_EQ(0, getString(20000, nullptr));
}

TEST_F(MorvelTest, GetXppStringStoresItsCount)
{
    auto getXppString = MORVEL_FN(m_morvel, GetXppString);
    for (const StringCase &c : kStrings) {
        SCOPED_TRACE(c.id);
        unsigned char buffer[256];
        memset(buffer, 0xcc, sizeof buffer);
        EXPECT_EQ(static_cast<LONG>(strlen(c.text) + 1), getXppString(c.id, buffer));
        EXPECT_TRUE(xppTextIs(buffer, c.text));
    }
    unsigned char buffer[256];
    EXPECT_EQ(11, getXppString(12601, buffer)); // ten characters
    EXPECT_EQ(0, getXppString(20000, nullptr));
}

TEST_F(MorvelTest, StringBlocksAre256Bytes)
{
    auto getStringAlloc = MORVEL_FN(m_morvel, GetStringAlloc);
    auto getXppStringAlloc = MORVEL_FN(m_morvel, GetXppStringAlloc);
    for (const StringCase &c : kStrings) {
        SCOPED_TRACE(c.id);
        char *plain = getStringAlloc(c.id);
        ASSERT_NE(nullptr, plain);
        EXPECT_EQ(256, OwnMemSize(plain));
        EXPECT_STREQ(c.text, plain);
        EXPECT_EQ(1, OwnFreeMem(plain));

        void *xpp = getXppStringAlloc(c.id);
        ASSERT_NE(nullptr, xpp);
        EXPECT_EQ(256, OwnMemSize(xpp));
        EXPECT_TRUE(xppTextIs(xpp, c.text));
        EXPECT_EQ(1, OwnFreeMem(xpp));
    }
}

TEST_F(MorvelTest, ControlTextBlocks)
{
    auto getDialogRes = MORVEL_FN(m_morvel, GetDialogRes);
    auto getTextAlloc = MORVEL_FN(m_morvel, GetTextAlloc);
    auto getTextXppAlloc = MORVEL_FN(m_morvel, GetTextXppAlloc);
    HWND dialog = getDialogRes(nullptr, MAKEINTRESOURCEA(4000), quietDialog, 0);
    ASSERT_NE(nullptr, dialog);
    const int edit = 1001;

    EXPECT_EQ(nullptr, getTextAlloc(dialog, edit)) << "empty text";
    EXPECT_EQ(nullptr, getTextXppAlloc(dialog, edit)) << "empty text";
    EXPECT_EQ(nullptr, getTextAlloc(dialog, 4711)) << "no such control";

    SetDlgItemTextA(dialog, edit, "Geheim \xe4");
    char *plain = getTextAlloc(dialog, edit);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(9, OwnMemSize(plain));
    EXPECT_STREQ("Geheim \xe4", plain);
    OwnFreeMem(plain);

    void *xpp = getTextXppAlloc(dialog, edit);
    ASSERT_NE(nullptr, xpp);
    EXPECT_EQ(13, OwnMemSize(xpp));
    EXPECT_TRUE(xppTextIs(xpp, "Geheim \xe4"));
    OwnFreeMem(xpp);
    DestroyWindow(dialog);
}

TEST_F(MorvelTest, FileBlocks)
{
    auto getFileAlloc = MORVEL_FN(m_morvel, GetFileAlloc);
    auto getFileXppAlloc = MORVEL_FN(m_morvel, GetFileXppAlloc);
    ScratchFolder folder("morvel");
    const std::string content("ab\0cd\xff", 6);
    ASSERT_TRUE(folder.write("data.bin", content));
    ASSERT_TRUE(folder.write("empty.bin", ""));

    void *plain = getFileAlloc(folder.file("data.bin").c_str());
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(6, OwnMemSize(plain));
    EXPECT_EQ(bytesOf(content.data(), 6), bytesOf(plain, 6));
    OwnFreeMem(plain);

    void *xpp = getFileXppAlloc(folder.file("data.bin").c_str());
    ASSERT_NE(nullptr, xpp);
    EXPECT_EQ(10, OwnMemSize(xpp));
    EXPECT_EQ(bytesOf((std::string("\x06\0\0\0", 4) + content).data(), 10), bytesOf(xpp, 10));
    OwnFreeMem(xpp);

    void *empty = getFileXppAlloc(folder.file("empty.bin").c_str());
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(4, OwnMemSize(empty));
    EXPECT_EQ(bytesOf("\0\0\0\0", 4), bytesOf(empty, 4));
    OwnFreeMem(empty);
    void *emptyPlain = getFileAlloc(folder.file("empty.bin").c_str());
    ASSERT_NE(nullptr, emptyPlain);
    EXPECT_EQ(0, OwnMemSize(emptyPlain));
    OwnFreeMem(emptyPlain);

    EXPECT_EQ(nullptr, getFileAlloc(folder.file("missing.bin").c_str()));
    EXPECT_EQ(nullptr, getFileXppAlloc(folder.file("missing.bin").c_str()));
    EXPECT_EQ(nullptr, getFileAlloc(nullptr));
}

TEST_F(MorvelTest, FileOpenByAnotherReaderIsRead)
{
    auto getFileAlloc = MORVEL_FN(m_morvel, GetFileAlloc);
    ScratchFolder folder("morvel");
    ASSERT_TRUE(folder.write("shared.bin", "abc"));
    HANDLE reader = CreateFileA(folder.file("shared.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    void *block = getFileAlloc(folder.file("shared.bin").c_str());
    EXPECT_NE(nullptr, block);
    OwnFreeMem(block);
    CloseHandle(reader);
}

TEST_F(MorvelTest, DisplayMessageShowsBothStrings)
{
    auto displayMessage = MORVEL_FN(m_morvel, DisplayMessage);
    std::wstring caption, text;
    DialogDriver driver(answerMessageBox(caption, text, IDNO));
    EXPECT_EQ(IDNO, displayMessage(nullptr, MB_YESNO, 20001, 20254));
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(L"xMORVEL - Best\u00e4tigung der Aktion ..", caption);
    EXPECT_EQ(L"-- keine Schriftart --", text);
}
