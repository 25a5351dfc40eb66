#include "etwindows1252.h"

#include <QList>

namespace
{

// Bytes 0x80 to 0x9F hold typographic characters instead of the C1 controls;
// 0 marks the five bytes the code page leaves undefined.
constexpr char16_t highControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 0x98
};

} // namespace

char ETWindows1252::fromCodePoint(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return char(codePoint);
    if (codePoint > 0xFFFF)
        return '?';
    for (int i = 0; i < 32; ++i) {
        if (highControls[i] != 0 && highControls[i] == codePoint)
            return char(0x80 + i);
    }
    return '?';
}

QByteArray ETWindows1252::fromUnicode(const QString &text)
{
    // Code points, not UTF-16 units: a character outside the BMP is one '?'.
    const QList<uint> codePoints = text.toUcs4();
    QByteArray bytes;
    bytes.reserve(codePoints.size());
    for (uint codePoint : codePoints)
        bytes.append(fromCodePoint(char32_t(codePoint)));
    return bytes;
}

QString ETWindows1252::toUnicode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const char16_t high = byte >= 0x80 && byte < 0xA0 ? highControls[byte - 0x80] : 0;
        text.append(QChar(high != 0 ? high : char16_t(byte)));
    }
    return text;
}
