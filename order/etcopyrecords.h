#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>

#include <memory>

// The optimised copies this run writes beside the customer's pictures. Each is
// recorded (path, size, SHA-256; the modification time in memory) in an
// owner-only file of the program's before it appears, a line appended for it
// and one when it goes, and it is the program's only while it is
// still as recorded: no other file is ever taken for a copy, written over or
// removed, whatever its name. Every run keeps its records in a file of its
// own, locked while the run lives; what a run left behind (killed, crashed)
// the next start removes. Thread-safe: the upload thread writes copies.
class ETCopyRecords
{
  public:
    static ETCopyRecords *instance();
    ~ETCopyRecords();
    ETCopyRecords(const ETCopyRecords &) = delete;
    ETCopyRecords &operator=(const ETCopyRecords &) = delete;

    // Writes data as a new file at preferred or, when any file has that name,
    // at the first free "name~2.opti.jpg", "name~3.opti.jpg"...: never over a
    // file. The copy of the owner (a picture's number) before must be gone.
    // Returns the path written, empty when nothing could be written.
    QString write(quint64 owner, const QString &preferred, const QByteArray &data);
    // The owner's copy while it is as written (size and time), else empty.
    QString copyOf(quint64 owner) const;
    bool isRecorded(quint64 owner) const;
    // Removes the owner's copy when it is as written to the byte and no
    // picture of the order; a changed copy is no longer the program's and
    // stays. The record goes either way, unless the removal failed.
    void remove(quint64 owner);
    // The same for every copy of this run.
    void removeAll();

    // Removes the copies that runs which have ended left recorded, as remove()
    // does; the records of runs still going are not touched. Returns the
    // number of copies removed.
    static int removeLeftovers();
    // Where the records live; empty when the folder cannot be made.
    static QString folder();

  private:
    struct Entry {
        QString path;
        qint64 size = 0;
        qint64 modified = -1; // ms since the epoch, once written; -1 when not known
        QByteArray sha256;    // hex
    };

    ETCopyRecords() = default;
    bool openRun();
    void closeRun();
    // Appends one line to this run's records; false when it could not be written.
    bool append(const QByteArray &line);
    // The entry's copy is gone or not the program's: its record goes, and
    // with the last one the run's records and lock.
    void settle(const Entry &entry);
    enum Removal { Removed, NotOurs, Failed };
    // Removes the copy when it is still the program's.
    static Removal removeCopy(const Entry &entry, const QSet<QString> &pictures);
    static bool asWritten(const Entry &entry, bool toTheByte);
    static QByteArray entryLine(const Entry &entry);
    static QByteArray removalLine(const QString &path);
    static QByteArray encode(const QList<Entry> &entries);
    static QList<Entry> decode(const QByteArray &data);

    mutable QMutex m_mutex;
    QHash<quint64, Entry> m_copies;
    QList<Entry> m_left;              // copies whose removal failed: the next start tries again
    std::unique_ptr<QFile> m_lock;    // held while the run has records
    std::unique_ptr<QFile> m_records; // open for appending while the run has records
    QString m_lockPath;
};
