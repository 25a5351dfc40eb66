#include "etcopyrecords.h"

#include "etconfig.h"
#include "etfileutils.h"
#include "etorder.h"
#include "etsingleton.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QUuid>

#include <sys/file.h>

namespace
{

const QFileDevice::Permissions ownerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
const QString copySuffix = QStringLiteral(".opti.jpg");
// Names tried for one copy before giving up.
constexpr int maxNames = 100;
// A records file is small; a larger one is none of ours.
constexpr qint64 maxRecordsSize = 16 * 1024 * 1024;

QByteArray sha256(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

qint64 modifiedMs(const QFileInfo &info)
{
    return info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch();
}

QString numberedName(const QString &preferred, int number)
{
    if (number == 1)
        return preferred;
    const QString mark = QStringLiteral("~%1").arg(number);
    if (preferred.endsWith(copySuffix))
        return preferred.chopped(copySuffix.size()) + mark + copySuffix;
    return preferred + mark;
}

// Something has this name: a file, a folder, a link (dangling or not).
bool taken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// The order's pictures are never copies, whatever the records say.
QSet<QString> orderPictures()
{
    return ETOrder::instance()->pictureFiles();
}

bool lockExclusively(QFile &file)
{
    return ::flock(file.handle(), LOCK_EX | LOCK_NB) == 0;
}

} // namespace

ETCopyRecords *ETCopyRecords::instance()
{
    static ETSingleton<ETCopyRecords> records;
    return records.get([] { return new ETCopyRecords; });
}

ETCopyRecords::~ETCopyRecords()
{
    // What is still recorded stays so for the next start; the lock goes with the run.
    m_lock.reset();
}

QString ETCopyRecords::folder()
{
    return ETConfig::privateFolder(QStringLiteral("copies"));
}

bool ETCopyRecords::openRun()
{
    if (m_lock)
        return true;
    const QString dir = folder();
    if (dir.isEmpty())
        return false;
    // A name of its own for each run: another run's records are never this run's.
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString lockPath = dir + QLatin1Char('/') + id + QStringLiteral(".lock");
    // Locked before it has its name: a start that looks meanwhile never takes it for a run that ended.
    auto lock = std::make_unique<QFile>(lockPath + QStringLiteral("ing"));
    if (!lock->open(QIODevice::ReadWrite | QIODevice::NewOnly, ownerFile) || !lockExclusively(*lock) ||
        !QFile::rename(lock->fileName(), lockPath)) {
        qWarning().noquote() << QStringLiteral("cannot lock ") + lockPath;
        lock->remove();
        return false;
    }
    const QString recordsPath = dir + QLatin1Char('/') + id + QStringLiteral(".records");
    auto records = std::make_unique<QFile>(recordsPath);
    if (!records->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::NewOnly, ownerFile)) {
        qWarning().noquote() << QStringLiteral("cannot write ") + recordsPath;
        QFile::remove(lockPath);
        return false;
    }
    m_lock = std::move(lock);
    m_lockPath = lockPath;
    m_records = std::move(records);
    return true;
}

void ETCopyRecords::closeRun()
{
    if (!m_lock)
        return;
    m_records->remove();
    m_records.reset();
    // Removed while still held: no start takes the records for those of a run that ended.
    QFile::remove(m_lockPath);
    m_lock.reset();
    m_lockPath.clear();
}

bool ETCopyRecords::append(const QByteArray &line)
{
    if (!openRun())
        return false;
    if (m_records->write(line) == line.size() && m_records->flush())
        return true;
    qWarning().noquote() << QStringLiteral("cannot write ") + m_records->fileName();
    return false;
}

void ETCopyRecords::settle(const Entry &entry)
{
    // A line that could not be written leaves a record of a copy that is
    // gone or not ours: a later start finds it so and leaves it.
    append(removalLine(entry.path));
    if (m_copies.isEmpty() && m_left.isEmpty())
        closeRun();
}

QString ETCopyRecords::write(quint64 owner, const QString &preferred, const QByteArray &data)
{
    QMutexLocker lock(&m_mutex);
    if (m_copies.contains(owner))
        return QString();
    const QByteArray sum = sha256(data);
    for (int number = 1; number <= maxNames; ++number) {
        const QString path = numberedName(preferred, number);
        if (taken(path))
            continue;
        const Entry entry{path, data.size(), -1, sum};
        // Recorded before it appears: a run that ends meanwhile still leaves a record of it.
        if (!append(entryLine(entry))) {
            if (m_copies.isEmpty() && m_left.isEmpty())
                closeRun();
            return QString();
        }
        m_copies.insert(owner, entry);
        QFile file(path);
        // Only a new file: whatever took the name since stays as it is.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            m_copies.remove(owner);
            settle(entry);
            if (taken(path))
                continue;
            return QString();
        }
        const bool written = file.write(data) == data.size() && file.flush();
        file.close();
        if (!written || file.error() != QFileDevice::NoError) {
            // Made by the open above: the program's own, cut short.
            file.remove();
            m_copies.remove(owner);
            settle(entry);
            return QString();
        }
        // Known to this run only: a later start checks every byte anyway.
        m_copies[owner].modified = modifiedMs(QFileInfo(path));
        return path;
    }
    return QString();
}

QString ETCopyRecords::copyOf(quint64 owner) const
{
    QMutexLocker lock(&m_mutex);
    const auto found = m_copies.constFind(owner);
    if (found == m_copies.constEnd() || !asWritten(*found, false))
        return QString();
    return found->path;
}

bool ETCopyRecords::isRecorded(quint64 owner) const
{
    QMutexLocker lock(&m_mutex);
    return m_copies.contains(owner);
}

void ETCopyRecords::remove(quint64 owner)
{
    if (!isRecorded(owner))
        return;
    const QSet<QString> pictures = orderPictures();
    QMutexLocker lock(&m_mutex);
    const auto found = m_copies.constFind(owner);
    if (found == m_copies.constEnd())
        return;
    const Entry entry = *found;
    m_copies.remove(owner);
    if (removeCopy(entry, pictures) == Failed)
        m_left << entry;
    else
        settle(entry);
}

void ETCopyRecords::removeAll()
{
    const QSet<QString> pictures = orderPictures();
    QMutexLocker lock(&m_mutex);
    QList<Entry> entries = m_left;
    for (const Entry &entry : std::as_const(m_copies))
        entries << entry;
    m_copies.clear();
    m_left.clear();
    for (const Entry &entry : std::as_const(entries)) {
        if (removeCopy(entry, pictures) == Failed)
            m_left << entry;
        else
            settle(entry);
    }
}

ETCopyRecords::Removal ETCopyRecords::removeCopy(const Entry &entry, const QSet<QString> &pictures)
{
    // Changed since, or taken into the order: no longer the program's copy.
    if (!asWritten(entry, true) || pictures.contains(QFileInfo(entry.path).canonicalFilePath()))
        return NotOurs;
    if (QFile::remove(entry.path))
        return Removed;
    qWarning().noquote() << QStringLiteral("cannot remove optimised copy ") + entry.path;
    return Failed;
}

bool ETCopyRecords::asWritten(const Entry &entry, bool toTheByte)
{
    const QFileInfo info(entry.path);
    if (!info.isAbsolute() || info.isSymLink() || !info.isFile() || info.size() != entry.size)
        return false;
    if (entry.modified >= 0 && modifiedMs(info) != entry.modified)
        return false;
    if (!toTheByte)
        return true;
    QByteArray data;
    return readRegularFile(entry.path, data, entry.size) && sha256(data) == entry.sha256;
}

int ETCopyRecords::removeLeftovers()
{
    const QString dir = ETConfig::privateFolder(QStringLiteral("copies"), false);
    if (dir.isEmpty())
        return 0;
    const QDir records(dir);
    QSet<QString> runs;
    for (const QString &name : records.entryList({QStringLiteral("*.records"), QStringLiteral("*.lock")},
                                                 QDir::Files | QDir::Hidden))
        runs.insert(QFileInfo(name).completeBaseName());
    if (runs.isEmpty())
        return 0;
    const QSet<QString> pictures = orderPictures();
    int removed = 0;
    for (const QString &run : std::as_const(runs)) {
        QFile lock(records.filePath(run + QStringLiteral(".lock")));
        if (!lock.open(QIODevice::ReadWrite, ownerFile))
            continue;
        // Held: that run still goes on, its copies are in use.
        if (!lockExclusively(lock))
            continue;
        const QString recordsPath = records.filePath(run + QStringLiteral(".records"));
        QByteArray data;
        QList<Entry> left;
        if (readRegularFile(recordsPath, data, maxRecordsSize)) {
            for (const Entry &entry : decode(data)) {
                const Removal removal = removeCopy(entry, pictures);
                if (removal == Failed)
                    left << entry;
                removed += removal == Removed ? 1 : 0;
            }
        }
        if (!left.isEmpty()) {
            writeFileAtomically(recordsPath, encode(left));
            continue;
        }
        QFile::remove(recordsPath);
        lock.remove();
    }
    if (removed > 0)
        qDebug("removed %d optimised copies an earlier run left", removed);
    return removed;
}

QByteArray ETCopyRecords::entryLine(const Entry &entry)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("path"), entry.path},
                                     {QStringLiteral("size"), entry.size},
                                     {QStringLiteral("sha256"), QString::fromLatin1(entry.sha256)}})
               .toJson(QJsonDocument::Compact) +
           '\n';
}

QByteArray ETCopyRecords::removalLine(const QString &path)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("removed"), path}}).toJson(QJsonDocument::Compact) +
           '\n';
}

QByteArray ETCopyRecords::encode(const QList<Entry> &entries)
{
    QByteArray lines;
    for (const Entry &entry : entries)
        lines += entryLine(entry);
    return lines;
}

QList<ETCopyRecords::Entry> ETCopyRecords::decode(const QByteArray &data)
{
    // Lines in the order they were written: a copy, or that a copy went. A
    // line cut short by a run that ended while writing it is passed over.
    QList<Entry> entries;
    for (const QByteArray &line : data.split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        const QString removed = object.value(QStringLiteral("removed")).toString();
        if (!removed.isEmpty()) {
            entries.removeIf([&](const Entry &entry) { return entry.path == removed; });
            continue;
        }
        Entry entry;
        entry.path = object.value(QStringLiteral("path")).toString();
        entry.size = object.value(QStringLiteral("size")).toInteger(-1);
        entry.sha256 = object.value(QStringLiteral("sha256")).toString().toLatin1();
        if (!entry.path.isEmpty() && entry.size >= 0 && !entry.sha256.isEmpty())
            entries << entry;
    }
    return entries;
}
