#include "updatetext.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace autoupdate;

namespace
{

struct EncodeCase {
    const char *value;
    const char *encoded;
};

const EncodeCase kEncodeCases[] = {
    {"?.?.?.?", "?.?.?.?"},
    {"1.0", "1.0"},
    {"1.0 beta", "1.0%20beta"},
    {"a&b=c", "a%26b=c"},
    {"#1", "%231"},
    {"100%", "100%25"},
    {"C++", "C%2B%2B"},
    {"\xe9t\xe9", "%E9t%E9"},
    {"tab\there", "tab%09here"},
    {"", ""},
};

TEST(UpdateText, PercentEncodesOnlyWhatChangesTheQuery)
{
    for (const auto &c : kEncodeCases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.encoded, percentEncodeQueryValue(c.value));
    }
}

TEST(UpdateText, QueryUsesTheBaseUpToItsFirstBlank)
{
    EXPECT_EQ("http://127.0.0.1:8080/u.php?ProgVers=?.?.?.?&ProgVersName=1.0&LC=F",
              queryAddress("http://127.0.0.1:8080/u.php junk", kUnknownVersion, "1.0", "F"));
    EXPECT_EQ("http://h/u.php?ProgVers=3.1.4.1&ProgVersName=Pro%20%26%20Co&LC=D",
              queryAddress("http://h/u.php", "3.1.4.1", "Pro & Co", "D"));
    EXPECT_EQ("?ProgVers=1&ProgVersName=&LC=", queryAddress(" http://h/u.php", "1", "", ""));
}

TEST(UpdateText, VersionWordsMostSignificantFirst)
{
    EXPECT_EQ("3.1.4.1", versionText(0x00030001, 0x00040001));
    EXPECT_EQ("65535.0.0.65535", versionText(0xffff0000, 0x0000ffff));
}

struct SizeCase {
    int32_t size;
    const char *offer;
};

TEST(UpdateText, OfferShowsWholeKilobytes)
{
    const SizeCase cases[] = {
        {2048, "Photo Version 2.0 (2 KBytes)"},
        {1023, "Photo Version 2.0 (0 KBytes)"},
        {1024 * 1024, "Photo Version 2.0 (1024 KBytes)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(c.offer, offerText("Photo", "2.0", c.size));
    }
    EXPECT_EQ(" Version  (2 KBytes)", offerText("", "", 2048));
}

TEST(UpdateText, ProgressInKilobytes)
{
    EXPECT_EQ("1 KBytes / 2 KBytes", progressText(1024, 2048));
    EXPECT_EQ("0 KBytes / 2 KBytes", progressText(1023, 2048));
    EXPECT_EQ("2 KBytes / 2 KBytes", progressText(2048, 2048));
}

struct IntegerCase {
    const char *text;
    int32_t value;
};

TEST(UpdateText, SizeReplyReadLikeTheCLibrary)
{
    const IntegerCase cases[] = {
        {"2048", 2048}, {"  2048 bytes", 2048},     {"", 0}, {"abc", 0}, {"-5", -5}, {"0", 0},
        {"+12", 12},    {"99999999999", INT32_MAX},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.value, leadingInteger(c.text));
    }
}

TEST(UpdateText, StatusCodes)
{
    int32_t code = -7;
    EXPECT_TRUE(parseStatusCode("200", code));
    EXPECT_EQ(200, code);
    EXPECT_TRUE(parseStatusCode("404", code));
    EXPECT_EQ(404, code);
    code = -7;
    EXPECT_FALSE(parseStatusCode("OK", code));
    EXPECT_FALSE(parseStatusCode("", code));
    EXPECT_EQ(-7, code);
    const int32_t success[] = {200, 201, 202, 203};
    for (const int32_t s : success)
        EXPECT_TRUE(isSuccessStatus(s)) << s;
    const int32_t failure[] = {100, 199, 204, 301, 404, 500};
    for (const int32_t s : failure)
        EXPECT_FALSE(isSuccessStatus(s)) << s;
}

TEST(UpdateText, AmpersandsDoubledAndNamesReplaced)
{
    EXPECT_EQ("Foto && Co && more", doubleAmpersands("Foto & Co & more"));
    EXPECT_EQ("", doubleAmpersands(""));
    EXPECT_EQ("A Foto, B Foto.", replaceAll("A [ProgName], B [ProgName].", "[ProgName]", "Foto"));
    EXPECT_EQ("x[ProgName]y", replaceAll("x[ProgName]y", "", "z"));
    EXPECT_EQ("[[ProgName]]", replaceAll("[ProgName]", "ProgName", "[ProgName]"));
}

TEST(UpdateText, RepliesJoinedWithoutLineEnds)
{
    EXPECT_EQ("2.0", joinLines("2.0\r\n"));
    EXPECT_EQ("ab", joinLines("a\nb\n"));
    EXPECT_EQ("a\rb", joinLines("a\rb"));
    EXPECT_EQ("", joinLines(""));
}

TEST(UpdateText, PathFilledIntoMessage)
{
    EXPECT_EQ("C:\\x sont entr\xe9s. ?", fillPath("% s sont entr\xe9s. ?", "C:\\x"));
    EXPECT_EQ("file C:\\x!", fillPath("file %s!", "C:\\x"));
    EXPECT_EQ("no path here", fillPath("no path here", "C:\\x"));
}

TEST(UpdateText, PathsBesideTheProgram)
{
    EXPECT_EQ("C:\\Prog\\", folderOf("C:\\Prog\\host.exe"));
    EXPECT_EQ("C:", folderOf("C:host.exe"));
    EXPECT_EQ("", folderOf("host.exe"));
    EXPECT_EQ("C:\\Prog\\host.ini", iniPathBeside("C:\\Prog\\host.exe"));
    EXPECT_EQ("C:\\Prog.d\\host.ini", iniPathBeside("C:\\Prog.d\\host"));
    EXPECT_EQ("C:\\Prog\\host.v2.ini", iniPathBeside("C:\\Prog\\host.v2.exe"));
}

class TransferNoticeTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/autoupdatetest-XXXXXX";
        const int fd = mkstemp(pattern);
        ASSERT_GE(fd, 0);
        close(fd);
        m_path = pattern;
    }
    void TearDown() override { std::remove(m_path.c_str()); }
    void write(const std::string &content)
    {
        FILE *file = std::fopen(m_path.c_str(), "wb");
        ASSERT_TRUE(file);
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    std::string m_path;
};

TEST_F(TransferNoticeTest, EveryReadFollowedByCrLf)
{
    write("[Usage]\nstarts=3\n");
    EXPECT_EQ("[Usage]\n\r\nstarts=3\n\r\n\r\n", readTransferNotice(m_path));
}

TEST_F(TransferNoticeTest, LongLinesReadIn259CharacterPieces)
{
    write(std::string(300, 'x'));
    EXPECT_EQ(std::string(259, 'x') + "\r\n" + std::string(41, 'x') + "\r\n\r\n", readTransferNotice(m_path));
}

TEST_F(TransferNoticeTest, EmptyAndMissingFiles)
{
    write("");
    EXPECT_EQ("\r\n", readTransferNotice(m_path));
    EXPECT_EQ("", readTransferNotice(m_path + ".missing"));
}

} // namespace
