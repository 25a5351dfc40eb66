#pragma once

#include <QByteArray>
#include <QString>

// Unicode to Windows-1252, the fixed 8-bit code page of the photo lab's
// systems; independent of the machine's locale. Any thread.
class ETWindows1252
{
  public:
    // One byte per character; characters the code page lacks become '?'.
    static QByteArray fromUnicode(const QString &text);
    // The byte of one code point, or '?' when the code page lacks it.
    static char fromCodePoint(char32_t codePoint);
    // One character per byte; the five bytes the code page leaves undefined
    // keep their own value, as Windows does.
    static QString toUnicode(const QByteArray &bytes);
};
