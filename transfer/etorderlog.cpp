#include "etorderlog.h"

#include "etfileutils.h"
#include "etnetworkinglog.h"
#include "etsecretmask.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <zlib.h>

namespace
{

// The file's layout: the magic, the compressed length, the compressed text
// and its Adler-32, the text's length and its Adler-32, each number 32-bit
// big-endian.
const char magic[] = "ODCC";
// Room for text that does not compress: a fiftieth more, and a little.
const double compressionRoomFactor = 1.02;
const uLongf compressionRoomBytes = 16;
const int compressionLevel = 9; // the best

void appendBigEndian(QByteArray &data, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        data.append(char((value >> shift) & 0xff));
}

quint32 adler(const QByteArray &data)
{
    return quint32(adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef *>(data.constData()),
                           uInt(data.size())));
}

} // namespace

bool ETOrderLog::write(const QString &declaration)
{
    const QString folder = resourcePath(QStringLiteral("orderlog"));
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/order_") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
    // Card data and passwords are never kept in clear.
    const QByteArray data = encode(maskSecrets(declaration).toLatin1());
    if (data.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCDebug(lcNetworking).noquote() << QStringLiteral("cannot open ") + path;
        return false;
    }
    // The log is the customer's order: for his eyes only.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const bool written = file.write(data) == data.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        // A cut log would not decode: none is better.
        qCDebug(lcNetworking).noquote() << QStringLiteral("cannot write ") + path;
        file.remove();
        return false;
    }
    return true;
}

QByteArray ETOrderLog::encode(const QByteArray &plain)
{
    uLongf compressedLength = uLongf(double(plain.size()) * compressionRoomFactor) + compressionRoomBytes;
    QByteArray compressed(qsizetype(compressedLength), '\0');
    if (compress2(reinterpret_cast<Bytef *>(compressed.data()), &compressedLength,
                  reinterpret_cast<const Bytef *>(plain.constData()), uLong(plain.size()),
                  compressionLevel) != Z_OK)
        return QByteArray();
    compressed.truncate(qsizetype(compressedLength));
    QByteArray data(magic);
    appendBigEndian(data, quint32(compressed.size()));
    data.append(compressed);
    appendBigEndian(data, adler(compressed));
    appendBigEndian(data, quint32(plain.size()));
    appendBigEndian(data, adler(plain));
    return data;
}
