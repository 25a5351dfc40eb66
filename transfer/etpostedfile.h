#pragma once

#include "crc16.h"

#include <QFile>
#include <QString>

// A picture read for its post, piece by piece, straight into the transfer's
// buffer: size and checksum are summed on exactly the bytes handed over, and
// the last piece is refused unless the whole file is the one declared. Used
// by the thread that posts.
class ETPostedFile
{
  public:
    enum State {
        Closed,
        Reading,
        Complete,   // every byte handed over, and they were the declared ones
        Unreadable, // not a regular file, or reading failed
        Changed     // not what the declaration said of it (size or checksum)
    };
    // No checksum known: the file is taken as it is.
    static constexpr int anyChecksum = -1;

    // Opens a regular file (a pipe or device is not even opened: it might
    // never end). A declared size other than the file's is Changed at once;
    // a negative size takes the file's own.
    State open(const QString &path, qint64 declaredSize = -1, int declaredChecksum = anyChecksum);
    const QString &path() const { return m_path; }
    // The bytes the post carries.
    qint64 size() const { return m_size; }
    // Up to max bytes into buffer; 0 after the last. -1 when the file is no
    // longer what was declared or cannot be read (state() tells which): the
    // post must then end without its last piece.
    qint64 read(char *buffer, qint64 max);
    // The post starts again from the first byte.
    bool rewind();
    State state() const { return m_state; }

  private:
    qint64 readFully(char *buffer, qint64 length);

    QString m_path;
    QFile m_file;
    qint64 m_size = 0;
    qint64 m_position = 0;
    int m_declaredChecksum = anyChecksum;
    CRC16 m_checksum;
    State m_state = Closed;
};
