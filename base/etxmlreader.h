#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// Reads XML that comes from outside the program (resource and list files,
// server replies) into a DOM document, within bounds on size and nesting:
// the DOM parser's time grows with the square of the depth, so a small but
// deeply nested document would otherwise hold the reading thread for minutes.
// Any thread.
class ETXMLReader
{
  public:
    enum Result { Parsed, NotXml, TooDeep, TooLarge, Unreadable };

    // Far beyond any real settings file, list or reply.
    static constexpr int maxDepth = 256;
    static constexpr qint64 maxSize = 8 * 1024 * 1024;

    // Bytes in the encoding their declaration names; text already decoded. A
    // document refused for its depth or size leaves the document empty; a
    // broken one is what the DOM parser made of it.
    static Result parse(QDomDocument &document, const QByteArray &data);
    static Result parse(QDomDocument &document, const QString &text);
    // A regular file of at most maxSize bytes.
    static Result readFile(QDomDocument &document, const QString &path);

    // A file of the resource folder or the work folder: true when it was read,
    // also as broken XML; false when it is missing or refused for its depth or
    // size, which a warning names, so that the caller's fallback applies.
    static bool readResourceFile(QDomDocument &document, const QString &path);

    // Why a document was not read, for warnings ("nested deeper than 256 elements").
    static QString reason(Result result);
};
