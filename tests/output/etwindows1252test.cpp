#include "etwindows1252.h"

#include <QString>

#include <cerrno>
#include <iconv.h>

#include <gtest/gtest.h>

namespace
{

// glibc's converter is the independent reference: the byte of one code point
// in Windows-1252, or nothing when the code page lacks it.
class Reference
{
  public:
    Reference() : m_cd(iconv_open("WINDOWS-1252", "UTF-32LE")) {}
    ~Reference()
    {
        if (m_cd != iconv_t(-1))
            iconv_close(m_cd);
    }
    Reference(const Reference &) = delete;
    Reference &operator=(const Reference &) = delete;

    bool valid() const { return m_cd != iconv_t(-1); }

    // -1 when the character has no byte.
    int byteOf(char32_t codePoint)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        unsigned char in[4] = {static_cast<unsigned char>(codePoint & 0xFF),
                               static_cast<unsigned char>((codePoint >> 8) & 0xFF),
                               static_cast<unsigned char>((codePoint >> 16) & 0xFF), 0};
        char out[8];
        char *inPtr = reinterpret_cast<char *>(in);
        char *outPtr = out;
        size_t inLeft = 4;
        size_t outLeft = sizeof out;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || outPtr - out != 1)
            return -1;
        return static_cast<unsigned char>(out[0]);
    }

  private:
    iconv_t m_cd;
};

::testing::AssertionResult sameBytes(const QByteArray &expected, const QByteArray &actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected " << expected.toHex(' ').constData() << ", got " << actual.toHex(' ').constData();
}

} // namespace

TEST(ETWindows1252Test, EveryBmpCharacterAgreesWithTheReference)
{
    Reference reference;
    ASSERT_TRUE(reference.valid()) << "glibc has no WINDOWS-1252 converter";
    int mismatches = 0;
    for (char32_t codePoint = 0; codePoint <= 0xFFFF; ++codePoint) {
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
            continue;
        const int expected = reference.byteOf(codePoint);
        const int actual = static_cast<unsigned char>(ETWindows1252::fromCodePoint(codePoint));
        // The C1 controls that fill the code page's five holes are no
        // characters a text of ours holds: they become '?' as well.
        const bool hole = codePoint == 0x81 || codePoint == 0x8D || codePoint == 0x8F || codePoint == 0x90 ||
                          codePoint == 0x9D;
        const int wanted = (expected < 0 || hole) ? '?' : expected;
        if (actual != wanted && ++mismatches <= 10)
            ADD_FAILURE() << "U+" << std::hex << uint32_t(codePoint) << ": expected " << wanted << ", got "
                          << actual;
    }
    EXPECT_EQ(0, mismatches);
}

TEST(ETWindows1252Test, Texts)
{
    struct Case {
        const char *name;
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"ascii", QStringLiteral("QTY=5"), QByteArray("QTY=5")},
        {"latin letters", QStringLiteral("Jörg Weiß, Café"), QByteArray("J\xF6rg Wei\xDF, Caf\xE9")},
        {"typographic", QStringLiteral("€ „x“ – …"), QByteArray("\x80 \x84x\x93 \x96 \x85")},
        {"outside the code page", QStringLiteral("Łódź"),
         QByteArray("?\xF3"
                    "d?")},
        {"outside the BMP is one character", QStringLiteral("a\U0001F600b"), QByteArray("a?b")},
        {"lone surrogate", QString(QChar(0xD800)) + QLatin1Char('x'), QByteArray("?x")},
        {"empty", QString(), QByteArray()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(sameBytes(c.bytes, ETWindows1252::fromUnicode(c.text)));
    }
}

TEST(ETWindows1252Test, EveryByteDecodesAsTheReferenceDoes)
{
    iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1252");
    ASSERT_NE(iconv_t(-1), cd) << "glibc has no WINDOWS-1252 converter";
    for (int byte = 0; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        char in[1] = {char(byte)};
        unsigned char out[8] = {};
        char *inPtr = in;
        char *outPtr = reinterpret_cast<char *>(out);
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const bool known = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1);
        const QString text = ETWindows1252::toUnicode(QByteArray(1, char(byte)));
        ASSERT_EQ(1, text.size());
        // The code page's holes keep their byte value.
        const uint expected = known ? uint(out[0] | out[1] << 8) : uint(byte);
        EXPECT_EQ(expected, uint(text.at(0).unicode()));
    }
    iconv_close(cd);
    EXPECT_EQ(QStringLiteral("Geschäftsbedingungen „AGB“ €"), ETWindows1252::toUnicode("Gesch\xE4"
                                                                                       "ftsbedingungen \x84"
                                                                                       "AGB\x93 \x80"));
}
