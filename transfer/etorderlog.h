#pragma once

#include <QByteArray>
#include <QString>

// The order log: every declared order kept in the resource folder's "orderlog",
// compressed, secrets masked, one file "order_yyyyMMddhhmmss" for the owner's
// eyes only. Any thread.
class ETOrderLog
{
  public:
    // Logs one order declaration; false when the file cannot be written.
    static bool write(const QString &declaration);
    // A log file's bytes: "ODCC", the compressed length, the zlib data, its
    // Adler-32, the plain length and the plain text's Adler-32, every number
    // 32 bits big-endian. Empty when compressing fails.
    static QByteArray encode(const QByteArray &plain);
};
