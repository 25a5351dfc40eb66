#include "mediadbengine.h"

#include "mediadbexchange.h"
#include "mediadbfilewriter.h"
#include "mediadbplatform.h"
#include "mediadbscanner.h"
#include "mediadbtext.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_set>

using namespace mediadb;

namespace
{

const char kCaption[] = "Tandu Media DB";

// 0x80 in each byte of x that is zero, nothing elsewhere.
inline uint64_t zeroBytes(uint64_t x)
{
    const uint64_t low = 0x7f7f7f7f7f7f7f7fULL;
    return ~(((x & low) + low) | x | low);
}

// Index of the lowest set bit; x is not zero. Byte order: little-endian hosts only
// (x86 and ARM as Windows and Linux run them).
inline unsigned lowestBit(uint64_t x)
{
    return static_cast<unsigned>(__builtin_ctzll(x));
}

// Copies a row's texts, turning the terminators back into separators.
void copyJoined(char *target, const char *source, size_t length)
{
    std::memcpy(target, source, length);
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t x;
        std::memcpy(&x, target + i, 8);
        const uint64_t low = 0x7f7f7f7f7f7f7f7fULL;
        const uint64_t zero = ~(((x & low) + low) | x | low); // 0x80 in each zero byte
        if (zero) {
            x |= (zero >> 7) * 0x7c;
            std::memcpy(target + i, &x, 8);
        }
    }
    for (; i < length; ++i) {
        if (target[i] == '\0')
            target[i] = '|';
    }
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

MediaDbEngine::MediaDbEngine(MediaDbPlatform &platform) : m_platform(platform) {}

MediaDbEngine::~MediaDbEngine() = default;

void MediaDbEngine::markState(uint32_t bit)
{
    m_state.fetch_or(bit);
    if (bit == kStateReading)
        ++m_readHolds;
}

int32_t MediaDbEngine::columnIndexOf(const char *name) const
{
    for (int32_t c = 0; c < m_columnCount; ++c) {
        if (equalNoCase(m_names[static_cast<size_t>(c)].c_str(), name, kColumnNameSize))
            return c;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// The database file

void MediaDbEngine::unloadLocked()
{
    m_names.clear();
    m_cells.clear();
    m_cellBlock.reset();
    m_rowFlags.clear();
    m_rowEnd.clear();
    m_blocks.clear();
    m_spare = nullptr;
    m_spareLeft = 0;
    m_fileLength = 0;
    m_columnCount = 0;
    m_liveRows = 0;
    m_deletedRows = 0;
    m_rowCapacity = 0;
    m_artistColumn = m_albumColumn = m_genreColumn = m_titleColumn = m_locationColumn = 0;
    m_loaded = false;
}

int32_t MediaDbEngine::load(const std::string &path)
{
    MediaDbExclusive lock(m_lock);
    return loadLocked(path);
}

int32_t MediaDbEngine::loadLocked(const std::string &path)
{
    unloadLocked();
    markState(kStateLoading);

    size_t length = 0;
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file) {
        if (std::fseek(file, 0, SEEK_END) == 0) {
            const long end = std::ftell(file);
            length = end > 0 ? static_cast<size_t>(end) : 0;
        }
        std::fseek(file, 0, SEEK_SET);
    }
    const size_t spare = kSpareBytesPerRow * kSpareRows;
    LargeArray<char> buffer(static_cast<char *>(allocateLarge(length + spare + 1)));
    if (!buffer) {
        if (file)
            std::fclose(file);
        return kFail;
    }
    if (length && std::fread(buffer.get(), 1, length, file) != length) {
        std::fclose(file);
        return kFail;
    }
    if (file)
        std::fclose(file);
    std::memset(buffer.get() + length, 0, spare + 1);

    char *const begin = buffer.get();
    char *const end = begin + length;
    std::vector<char *> lineEnds;
    lineEnds.reserve(length / 128 + 16);
    for (char *p = begin; (p = static_cast<char *>(std::memchr(p, '\n', static_cast<size_t>(end - p)))); ++p)
        lineEnds.push_back(p);
    char *headerEnd = static_cast<char *>(std::memchr(begin, '\n', length));
    if (!headerEnd)
        headerEnd = end;
    const int32_t columns = static_cast<int32_t>(std::count(begin, headerEnd, '|')) + 1;
    if (columns < 2)
        return kFail;
    // A header without its line end is still the header. The next save writes
    // the line end, so nothing appended to the file joins the header line.
    const bool headerUnended = lineEnds.empty();
    const int32_t rows = headerUnended ? 1 : static_cast<int32_t>(lineEnds.size());

    const int32_t capacity = rows + static_cast<int32_t>(kSpareRows);
    m_names.assign(static_cast<size_t>(columns), std::string());
    // Cells are left unset: every row is filled below, or the load fails.
    if (!allocateCells(columns, capacity)) {
        unloadLocked();
        return kFail;
    }
    m_rowFlags.assign(static_cast<size_t>(capacity) + 1, 0);
    m_rowEnd.assign(static_cast<size_t>(capacity) + 1, nullptr);

    // Header: printable ASCII only, at most 99 characters a name.
    int32_t column = 1;
    for (const char *p = begin; p < headerEnd && column < columns; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '|')
            ++column;
        else if (c >= 32 && c < 128 && m_names[static_cast<size_t>(column)].size() < kColumnNameSize - 1)
            m_names[static_cast<size_t>(column)] += static_cast<char>(c);
    }

    // Records: every line needs exactly columns - 1 separators.
    std::atomic<bool> parsed{true};
    forRowRanges(1, rows, [&](int32_t, int32_t from, int32_t to) {
        if (!parseRows(from, to, lineEnds.data(), columns))
            parsed = false;
    });
    if (!parsed) {
        unloadLocked();
        return kFail;
    }

    m_columnCount = columns;
    m_liveRows = rows;
    m_deletedRows = 0;
    m_rowCapacity = capacity;
    m_fileLength = length;
    m_spare = begin + length;
    m_spareLeft = spare;
    m_blocks.push_back(std::move(buffer));
    m_loaded = true;
    if (headerUnended)
        m_dirty = true;

    if (length > 0) {
        for (int32_t c = 1; c < columns; ++c) {
            const std::string &name = m_names[static_cast<size_t>(c)];
            if (name == "Artist")
                m_artistColumn = c;
            else if (name == "Location")
                m_locationColumn = c;
            else if (name == "Album")
                m_albumColumn = c;
            else if (name == "Genre")
                m_genreColumn = c;
            else if (name == "Title" || name == "Songtitle")
                m_titleColumn = c;
        }
    }
    return kOk;
}

// Large catalogues are split between a few threads; each takes its own rows.
void MediaDbEngine::forRowRanges(int32_t first, int32_t end,
                                 const std::function<void(int32_t, int32_t, int32_t)> &work,
                                 int32_t splitFrom)
{
    const int32_t rows = end - first;
    unsigned threads =
        std::max(1u, std::min(std::thread::hardware_concurrency(), static_cast<unsigned>(kRowParts)));
    if (rows < splitFrom)
        threads = 1;
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < threads; ++t) {
        const int32_t from = first + static_cast<int32_t>(static_cast<int64_t>(rows) * t / threads);
        const int32_t to = first + static_cast<int32_t>(static_cast<int64_t>(rows) * (t + 1) / threads);
        try {
            workers.emplace_back(work, static_cast<int32_t>(t), from, to);
        } catch (const std::system_error &) {
            work(static_cast<int32_t>(t), from, to);
        }
    }
    if (rows > 0)
        work(0, first, first + rows / static_cast<int32_t>(threads));
    for (std::thread &worker : workers)
        worker.join();
}

bool MediaDbEngine::parseRows(int32_t from, int32_t to, char *const *lineEnds, int32_t columns)
{
    // 1: separator, 2: a byte that keeps the row from being written in one piece.
    static const struct Kinds {
        unsigned char kind[256] = {};
        Kinds()
        {
            kind[static_cast<unsigned char>('|')] = 1;
            kind[static_cast<unsigned char>('\r')] = 2;
            kind[0] = 2;
        }
    } kinds;
    for (int32_t row = from; row < to; ++row) {
        char *const line = lineEnds[row - 1] + 1;
        char *const lineEnd = lineEnds[row];
        char *field = line;
        int32_t c = 1;
        bool plain = true;
        char *last = nullptr;
        auto separator = [&](char *p) {
            if (c >= columns)
                return false;
            while (field < p && *field == '\r')
                ++field;
            *p = '\0';
            m_cells[static_cast<size_t>(c)][static_cast<size_t>(row)] = field;
            ++c;
            field = p + 1;
            last = p;
            return true;
        };
        auto single = [&](char *p) {
            const unsigned char kind = kinds.kind[static_cast<unsigned char>(*p)];
            if (kind == 2) {
                if (*p == '\0' || c < columns)
                    plain = false;
            } else if (kind == 1) {
                return separator(p);
            }
            return true;
        };
        char *p = line;
        // Eight bytes at a time: most hold no separator or one.
        for (; p + 8 <= lineEnd; p += 8) {
            uint64_t x;
            std::memcpy(&x, p, 8);
            const uint64_t odd = zeroBytes(x) | zeroBytes(x ^ 0x0d0d0d0d0d0d0d0dULL);
            if (odd) {
                for (int i = 0; i < 8; ++i) {
                    if (!single(p + i))
                        return false;
                }
                continue;
            }
            for (uint64_t bars = zeroBytes(x ^ 0x7c7c7c7c7c7c7c7cULL); bars; bars &= bars - 1) {
                if (!separator(p + (lowestBit(bars) >> 3)))
                    return false;
            }
        }
        for (; p < lineEnd; ++p) {
            if (!single(p))
                return false;
        }
        if (c != columns)
            return false;
        if (plain)
            m_rowEnd[static_cast<size_t>(row)] = last;
    }
    return true;
}

int32_t MediaDbEngine::write(const std::string &path, const std::string &pendingColumn)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return kFail;
    {
        MediaDbFileWriter out(file);
        const int32_t total = totalRows();
        for (int32_t row = 0; row < total; ++row) {
            if (m_rowFlags[static_cast<size_t>(row)] & kRowDeleted)
                continue;
            char *end = m_rowEnd[static_cast<size_t>(row)];
            if (row > 0 && end) {
                const char *begin = m_cells[1][static_cast<size_t>(row)];
                size_t length = static_cast<size_t>(end - begin) + 1;
                if (length + 2 <= MediaDbFileWriter::maxReserve()) {
                    char *target = out.reserve(length + 2);
                    copyJoined(target, begin, length);
                    if (!pendingColumn.empty())
                        target[length++] = '|';
                    target[length] = '\r';
                    target[length + 1] = '\n';
                    out.commit(length + 2);
                    continue;
                }
            }
            for (int32_t c = 1; c < m_columnCount; ++c) {
                char *text = row == 0 ? &m_names[static_cast<size_t>(c)][0]
                                      : m_cells[static_cast<size_t>(c)][static_cast<size_t>(row)];
                if (text && *text) {
                    for (char *bad = std::strpbrk(text, "|\r\n"); bad; bad = std::strpbrk(bad + 1, "|\r\n"))
                        *bad = '_';
                    out.append(text, std::strlen(text));
                }
                out.append("|", 1);
            }
            if (!pendingColumn.empty()) {
                if (row == 0)
                    out.append(pendingColumn.data(), pendingColumn.size());
                out.append("|", 1);
            }
            out.append("\r\n", 2);
        }
        out.flush();
        if (out.failed()) {
            std::fclose(file);
            return kFail;
        }
    }
    return std::fclose(file) == 0 ? kOk : kFail;
}

std::string MediaDbEngine::databasePath() const
{
    return m_databasePath;
}

std::string MediaDbEngine::backupPath() const
{
    const size_t slash = m_databasePath.find_last_of("\\/");
    const size_t dot = m_databasePath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return m_databasePath + ".bak";
    return m_databasePath.substr(0, dot) + ".bak";
}

bool MediaDbEngine::isDirty() const
{
    return m_dirty;
}

int32_t MediaDbEngine::columnCount() const
{
    return m_columnCount;
}

int32_t MediaDbEngine::liveRows() const
{
    return m_liveRows;
}

int32_t MediaDbEngine::deletedRows() const
{
    return m_deletedRows;
}

// Writes a temporary file first, so a failed write leaves both the file on
// disk and the catalogue in memory as they were.
int32_t MediaDbEngine::saveLocked(bool unloadAfter)
{
    if (m_dirty && m_loaded) {
        const std::string temp = m_databasePath + ".tmp";
        if (write(temp, m_pendingColumn) != kOk) {
            std::remove(temp.c_str());
            m_platform.debugOutput("MediaDbEngine: could not write " + temp + "\n");
            return kFail;
        }
        const std::string backup = backupPath();
        std::remove(backup.c_str());
        std::rename(m_databasePath.c_str(), backup.c_str());
        if (std::rename(temp.c_str(), m_databasePath.c_str()) != 0) {
            std::remove(m_databasePath.c_str());
            if (std::rename(temp.c_str(), m_databasePath.c_str()) != 0) {
                m_platform.debugOutput("MediaDbEngine: could not replace " + m_databasePath + "\n");
                return kFail;
            }
        }
        m_dirty = false;
    }
    if (unloadAfter)
        unloadLocked();
    return kOk;
}

int32_t MediaDbEngine::saveWithBackup()
{
    MediaDbExclusive lock(m_lock);
    return saveLocked(true);
}

int32_t MediaDbEngine::reloadLocked()
{
    const int32_t result = saveLocked(true);
    if (result != kOk)
        return result;
    return loadLocked(m_databasePath);
}

bool MediaDbEngine::moveAside(const std::string &path)
{
    std::string target = path + ".unreadable";
    for (int i = 1; fileExists(target) && i < 1000; ++i)
        target = path + ".unreadable" + std::to_string(i);
    if (std::rename(path.c_str(), target.c_str()) != 0) {
        m_platform.debugOutput("MediaDbEngine: could not move " + path + " aside\n");
        return false;
    }
    m_platform.debugOutput("MediaDbEngine: " + path + " could not be read, kept as " + target + "\n");
    return true;
}

int32_t MediaDbEngine::openDatabase()
{
    MediaDbExclusive lock(m_lock);
    return openDatabaseLocked();
}

int32_t MediaDbEngine::openDatabaseLocked()
{
    markState(kStateLoading);
    const std::string module = m_platform.modulePath();
    if (module.empty())
        return kFail;
    const std::string folder = folderOf(module);
    m_databasePath = folder + "QDDB.DB";
    if (loadLocked(m_databasePath) == kOk)
        return kOk;

    // On a file system that minds case the save's backup is spelt "bak".
    std::string backup = folder + "QDDB.BAK";
    if (!fileExists(backup) && fileExists(backupPath()))
        backup = backupPath();
    const bool haveDatabase = fileExists(m_databasePath);
    if (loadLocked(backup) == kOk) {
        if (haveDatabase)
            moveAside(m_databasePath);
        if (!copyFile(backup, m_databasePath))
            m_platform.debugOutput("MediaDbEngine: could not copy " + backup + " to " + m_databasePath +
                                   "\n");
        m_restored = true;
        return kOk;
    }

    unloadLocked();
    if (haveDatabase)
        moveAside(m_databasePath);
    if (fileExists(backup))
        moveAside(backup);
    m_platform.debugOutput("MediaDbEngine: starting a new catalogue in " + m_databasePath + "\n");
    loadLocked(m_databasePath);
    return kFail;
}

// ---------------------------------------------------------------------------
// Rows and text space

char *MediaDbEngine::allocateText(size_t length)
{
    if (length > m_spareLeft) {
        const size_t size = std::max(length, kSpareBytesPerRow * kSpareRows);
        LargeArray<char> block(static_cast<char *>(allocateLarge(size)));
        if (!block)
            throw std::bad_alloc();
        m_spare = block.get();
        m_spareLeft = size;
        m_blocks.push_back(std::move(block));
    }
    char *text = m_spare;
    m_spare += length;
    m_spareLeft -= length;
    return text;
}

bool MediaDbEngine::allocateCells(int32_t columns, int32_t capacity)
{
    const size_t stride = static_cast<size_t>(capacity) + 1;
    m_cellBlock.reset(
        static_cast<char **>(allocateLarge(static_cast<size_t>(columns) * stride * sizeof(char *))));
    m_cells.assign(static_cast<size_t>(columns), nullptr);
    if (!m_cellBlock)
        return false;
    for (int32_t c = 1; c < columns; ++c)
        m_cells[static_cast<size_t>(c)] = m_cellBlock.get() + static_cast<size_t>(c) * stride;
    return true;
}

void MediaDbEngine::ensureRowCapacity(int32_t rows)
{
    if (rows < m_rowCapacity)
        return;
    const int32_t capacity = rows + static_cast<int32_t>(kSpareRows);
    std::vector<char **> old = m_cells;
    LargeArray<char *> oldBlock = std::move(m_cellBlock);
    if (!allocateCells(m_columnCount, capacity))
        throw std::bad_alloc();
    for (int32_t c = 1; c < m_columnCount; ++c)
        std::copy(old[static_cast<size_t>(c)], old[static_cast<size_t>(c)] + totalRows(),
                  m_cells[static_cast<size_t>(c)]);
    m_rowFlags.resize(static_cast<size_t>(capacity) + 1, 0);
    m_rowEnd.resize(static_cast<size_t>(capacity) + 1, nullptr);
    m_rowCapacity = capacity;
}

// Adds one row from a line of exactly columns - 1 separators; never reloads,
// so record identifiers stay as they are.
int32_t MediaDbEngine::appendRowLocked(const char *line, size_t length)
{
    const int32_t row = totalRows();
    ensureRowCapacity(row + 1);
    char *text = allocateText(length + 2);
    size_t used = 0;
    for (size_t i = 0; i < length; ++i) {
        if (line[i] != '\r' && line[i] != '\n')
            text[used++] = line[i];
    }
    text[used] = '\0';
    text[used + 1] = '\0';
    char *field = text;
    char *last = nullptr;
    int32_t column = 1;
    for (size_t i = 0; i < used && column < m_columnCount; ++i) {
        if (text[i] != '|')
            continue;
        text[i] = '\0';
        m_cells[static_cast<size_t>(column)][static_cast<size_t>(row)] = field;
        field = text + i + 1;
        last = text + i;
        ++column;
    }
    const bool complete = column == m_columnCount;
    for (; column < m_columnCount; ++column)
        m_cells[static_cast<size_t>(column)][static_cast<size_t>(row)] = text + used;
    ++m_liveRows;
    m_rowFlags[static_cast<size_t>(row)] = 0;
    m_rowEnd[static_cast<size_t>(row)] = complete ? last : nullptr;
    m_dirty = true;
    return row;
}

int32_t MediaDbEngine::addRecordLocked(const char *line, int32_t *record, bool mayReload)
{
    std::string empty;
    if (!line) {
        empty.assign(static_cast<size_t>(std::max(m_columnCount - 1, 0)), '|');
        line = empty.c_str();
    }
    const size_t length = std::strlen(line);
    const size_t separators = static_cast<size_t>(std::count(line, line + length, '|'));
    if (m_columnCount < 2 || separators != static_cast<size_t>(m_columnCount - 1) || length < separators)
        return kInvalidArg;
    if (mayReload && (m_deletedRows >= static_cast<int32_t>(kSpareRows) || length + 2 > m_spareLeft ||
                      totalRows() + 1 > m_rowCapacity)) {
        // A failed save keeps everything in memory; the row then goes to new space.
        reloadLocked();
        // The file read back may not be the catalogue the line was made for.
        if (m_columnCount < 2 || separators != static_cast<size_t>(m_columnCount - 1))
            return kFail;
    }
    if (totalRows() < 1)
        return kFail; // row 0 is the header's: a record there would never be saved
    const int32_t row = appendRowLocked(line, length);
    if (record)
        *record = row;
    return kOk;
}

int32_t MediaDbEngine::deleteRecordLocked(int32_t record)
{
    if (record < 1 || record >= totalRows())
        return kInvalidArg;
    uint32_t &flags = m_rowFlags[static_cast<size_t>(record)];
    if (flags & kRowDeleted)
        return kHandle;
    flags |= kRowDeleted;
    --m_liveRows;
    ++m_deletedRows;
    m_dirty = true;
    return kOk;
}

void MediaDbEngine::clearMarksLocked()
{
    const int32_t total = totalRows();
    for (int32_t row = 1; row < total; ++row)
        m_rowFlags[static_cast<size_t>(row)] &= ~kRowMarked;
}

// ---------------------------------------------------------------------------
// Notices

void MediaDbEngine::notifyClients(uint32_t code, intptr_t lParam)
{
    std::vector<std::pair<void *, uint32_t>> targets;
    {
        std::lock_guard<std::mutex> guard(m_clientMutex);
        for (const Client &client : m_clients) {
            if (!client.name.empty() && (client.flags & 1) && client.window && client.message)
                targets.emplace_back(client.window, client.message);
        }
    }
    for (const auto &target : targets)
        m_platform.sendMessage(target.first, target.second, code, lParam);
}

void MediaDbEngine::noticeChangeBegins()
{
    if (m_holdCount.load() > 0)
        return;
    notifyClients(kNoticeChangeBegins, 0);
}

void MediaDbEngine::noticeChanged()
{
    {
        std::lock_guard<std::mutex> guard(m_noticeMutex);
        if (m_holdCount.load() > 0) {
            m_queueCount = kNoticeQueueSize + 1;
            return;
        }
    }
    notifyClients(kNoticeChanged, 0);
}

void MediaDbEngine::noticeRestored()
{
    bool send = false;
    {
        std::lock_guard<std::mutex> guard(m_clientMutex);
        send = m_restored && m_clientCount > 0;
        if (send)
            m_restored = false;
    }
    if (send && m_holdCount.load() == 0)
        notifyClients(kNoticeRestored, 0);
}

void MediaDbEngine::sendTransfer(const void *data, size_t bytes)
{
    int32_t slot = 0;
    {
        std::lock_guard<std::mutex> guard(m_noticeMutex);
        for (int32_t i = 1; i < kTransferSlots; ++i) {
            if (!m_slots[static_cast<size_t>(i)].used) {
                slot = i;
                break;
            }
        }
        if (slot == 0)
            return;
        TransferSlot &s = m_slots[static_cast<size_t>(slot)];
        s.used = true;
        s.references = -1;
        s.data.assign(static_cast<const char *>(data), static_cast<const char *>(data) + bytes);
    }
    notifyClients(kNoticeChanged, static_cast<intptr_t>((bytes << 16) | static_cast<size_t>(slot)));
    std::lock_guard<std::mutex> guard(m_noticeMutex);
    TransferSlot &s = m_slots[static_cast<size_t>(slot)];
    s.used = false;
    s.references = 0;
    s.data.clear();
}

void MediaDbEngine::noticeRecord(int32_t record, int32_t kind)
{
    const MediaDbNotice notice{static_cast<int32_t>(sizeof(MediaDbNotice)), record, kind};
    {
        std::lock_guard<std::mutex> guard(m_noticeMutex);
        if (m_holdCount.load() > 0) {
            const bool haveLast = m_queueCount > 0 && m_queueCount <= kNoticeQueueSize;
            MediaDbNotice *last = haveLast ? &m_queue[static_cast<size_t>(m_queueCount - 1)] : nullptr;
            if (last && last->kind == kChangeAdded && last->record == record && kind == kChangeDeleted) {
                last->kind = kChangeChanged;
            } else if (m_queueCount < kNoticeQueueSize) {
                m_queue[static_cast<size_t>(m_queueCount++)] = notice;
            }
            if (m_queueCount > 0 && m_queueCount <= kNoticeQueueSize) {
                const MediaDbNotice &now = m_queue[static_cast<size_t>(m_queueCount - 1)];
                if (now.kind == kChangeChanged) {
                    for (int32_t i = 0; i < m_queueCount - 1; ++i) {
                        const MediaDbNotice &earlier = m_queue[static_cast<size_t>(i)];
                        if (earlier.kind == kChangeChanged && earlier.record == now.record) {
                            --m_queueCount;
                            break;
                        }
                    }
                }
            }
            return;
        }
    }
    sendTransfer(&notice, sizeof notice);
}

int32_t MediaDbEngine::holdNotifications(uint32_t flags)
{
    if (flags & 1)
        ++m_holdCount;
    if (flags & 2) {
        std::vector<MediaDbNotice> queued;
        bool general = false;
        bool flush = false;
        {
            std::lock_guard<std::mutex> guard(m_noticeMutex);
            // Releasing a hold nobody holds changes nothing.
            if (m_holdCount.load() > 0 && --m_holdCount == 0) {
                flush = true;
                if (m_queueCount >= kNoticeQueueSize - 1)
                    general = true;
                else
                    queued.assign(m_queue.begin(), m_queue.begin() + m_queueCount);
                m_queueCount = 0;
            }
        }
        if (flush && general)
            notifyClients(kNoticeChanged, 0);
        else if (flush && !queued.empty())
            sendTransfer(queued.data(), queued.size() * sizeof(MediaDbNotice));
    }
    return (flags & 1) ? kOk : kFail;
}

int32_t MediaDbEngine::isNotifying() const
{
    return m_holdCount.load() == 0 ? 1 : 0;
}

int32_t MediaDbEngine::getNotificationData(int32_t slot, int32_t count, void *buffer)
{
    if (slot < 1 || slot >= kTransferSlots || count < 0 || !buffer)
        return kInvalidArg;
    std::lock_guard<std::mutex> guard(m_noticeMutex);
    TransferSlot &s = m_slots[static_cast<size_t>(slot)];
    if (!s.used)
        return kInvalidArg;
    const size_t n = std::min(static_cast<size_t>(count), s.data.size());
    std::memcpy(buffer, s.data.data(), n);
    if (s.references == 1) {
        s.used = false;
        s.data.clear();
        s.references = 0;
    } else {
        --s.references;
    }
    return kOk;
}

// ---------------------------------------------------------------------------
// Life cycle and clients

int32_t MediaDbEngine::attach()
{
    bool first = false;
    {
        MediaDbExclusive lock(m_lock);
        if (m_attachCount == 0) {
            first = true;
            // A catalogue whose last save failed is still held; keep it.
            if (!(m_loaded && m_dirty))
                openDatabaseLocked();
            if (m_columnCount < 2) {
                MediaDbNewFileRequest request{};
                request.size = sizeof request;
                request.one = 1;
                request.flags = kScanCreating;
                startNewFile(&request);
                m_dirty = true;
            }
        }
        ++m_attachCount;
    }
    if (first) {
        noticeRestored();
        noticeChanged();
    }
    return kOk;
}

int32_t MediaDbEngine::detach()
{
    MediaDbExclusive lock(m_lock);
    if (m_attachCount > 0 && --m_attachCount == 0) {
        markState(kStateDeleting);
        if (saveLocked(true) != kOk)
            m_platform.debugOutput("MediaDbEngine: catalogue not saved, kept in memory\n");
        m_state.fetch_or(kStateClosed);
    }
    return kOk;
}

int32_t MediaDbEngine::openClient(const MediaDbClientRecord *record)
{
    if (!record)
        return kPointer;
    if (record->name[0] == '\0')
        return kInvalidArg;
    int32_t index = -1;
    bool restored = false;
    {
        std::lock_guard<std::mutex> guard(m_clientMutex);
        if (m_clientCount >= kMaxClients)
            return kTooManyClients;
        for (int32_t i = 0; i < kMaxClients; ++i) {
            if (m_clients[static_cast<size_t>(i)].name.empty()) {
                index = i;
                break;
            }
        }
        if (index < 0)
            return kTooManyClients;
        Client &client = m_clients[static_cast<size_t>(index)];
        client.name.assign(record->name, strnlen(record->name, kClientNameSize));
        client.flags = record->flags;
        client.window = record->window;
        client.message = record->message;
        client.conditions.clear();
        if (record->conditions && record->conditionCount > 0)
            client.conditions.assign(record->conditions, record->conditions + record->conditionCount);
        ++m_clientCount;
        restored = m_restored;
        m_restored = false;
    }
    if (restored && m_holdCount.load() == 0)
        notifyClients(kNoticeRestored, 0);
    if (record->window && record->message)
        m_platform.sendMessage(record->window, record->message, kNoticeOpened, 0);
    return kOk;
}

int32_t MediaDbEngine::closeClient(const char *name)
{
    markState(kStateDeleting);
    if (!name)
        return kPointer;
    std::lock_guard<std::mutex> guard(m_clientMutex);
    if (m_clientCount == 0)
        return kNoSuchClient;
    for (Client &client : m_clients) {
        if (!client.name.empty() && equalNoCase(client.name.c_str(), name, kClientNameSize)) {
            client = Client();
            --m_clientCount;
            return kOk;
        }
    }
    return kNoSuchClient;
}

// ---------------------------------------------------------------------------
// Reading

int32_t MediaDbEngine::getInfo(MediaDbInfo *info)
{
    markState(kStateReading);
    if (!info)
        return kPointer;
    MediaDbShared lock(m_lock);
    std::memset(info, 0, sizeof *info);
    info->versionMajor = kVersionMajor;
    info->versionMinor = kVersionMinor;
    info->columns = m_columnCount - 1;
    info->records = m_liveRows - 1;
    info->deletedRows = m_deletedRows;
    info->rowCapacity = m_rowCapacity;
    std::strncpy(info->path, m_databasePath.c_str(), kPathSize - 1);
    info->state = m_state.load();
    return kOk;
}

int32_t MediaDbEngine::getColumnName(int32_t column, char *buffer, uint32_t size, uint32_t *reserved)
{
    markState(kStateReading);
    MediaDbShared lock(m_lock);
    if (column < 1 || column >= m_columnCount || size == 0)
        return kInvalidArg;
    if (!buffer)
        return kPointer;
    std::strncpy(buffer, m_names[static_cast<size_t>(column)].c_str(), size);
    if (reserved)
        *reserved = 0;
    return kOk;
}

int32_t MediaDbEngine::getColumnIndex(const char *name, int32_t *column)
{
    markState(kStateReading);
    if (!name)
        return kPointer;
    MediaDbShared lock(m_lock);
    const int32_t index = columnIndexOf(name);
    if (index < 0)
        return kFalse;
    if (column)
        *column = index;
    return kOk;
}

int32_t MediaDbEngine::getField(int32_t column, int32_t record, char *buffer, int32_t size, uint32_t)
{
    MediaDbShared lock(m_lock);
    if (column < 1 || column >= m_columnCount || size <= 0 || record < 0 || record >= totalRows())
        return kInvalidArg;
    if (!buffer)
        return kPointer;
    std::strncpy(buffer, cell(column, record), static_cast<size_t>(size));
    return (m_rowFlags[static_cast<size_t>(record)] & kRowDeleted) ? kHandle : kOk;
}

int32_t MediaDbEngine::getFieldText(int32_t column, int32_t record, const char **text)
{
    if (column < 0 || column >= m_columnCount || record < 0 || record >= totalRows())
        return kInvalidArg;
    if (!text)
        return kPointer;
    if (column == 0)
        *text = reinterpret_cast<const char *>(&m_rowFlags[static_cast<size_t>(record)]);
    else
        *text = cell(column, record);
    return (m_rowFlags[static_cast<size_t>(record)] & kRowDeleted) ? kHandle : kOk;
}

// ---------------------------------------------------------------------------
// Changing

int32_t MediaDbEngine::setField(int32_t column, int32_t record, const char *text)
{
    markState(kStateChanging);
    noticeChangeBegins();
    {
        MediaDbExclusive lock(m_lock);
        if (!text || column < 1 || column >= m_columnCount || record < 1 || record >= totalRows())
            return kInvalidArg;
        if (m_rowFlags[static_cast<size_t>(record)] & kRowDeleted)
            return kHandle;
        const std::string value = sanitized(text);
        char *stored = m_cells[static_cast<size_t>(column)][static_cast<size_t>(record)];
        const size_t storedLength = stored ? std::strlen(stored) : 0;
        if (stored && value.size() <= storedLength) {
            std::memset(stored, 0, storedLength);
            std::memcpy(stored, value.data(), value.size());
        } else {
            // Longer: the row's texts move to a new, deleted row whose cells
            // the record then points at; the record keeps its identifier.
            std::string line;
            for (int32_t c = 1; c < m_columnCount; ++c) {
                line += c == column ? value.c_str() : cell(c, record);
                line += '|';
            }
            const int32_t row = appendRowLocked(line.data(), line.size());
            for (int32_t c = 1; c < m_columnCount; ++c)
                m_cells[static_cast<size_t>(c)][static_cast<size_t>(record)] =
                    m_cells[static_cast<size_t>(c)][static_cast<size_t>(row)];
            deleteRecordLocked(row);
        }
        m_rowEnd[static_cast<size_t>(record)] = nullptr;
        m_dirty = true;
    }
    noticeRecord(record, kChangeChanged);
    return kOk;
}

int32_t MediaDbEngine::addRecord(const char *line, int32_t *record)
{
    markState(kStateChanging);
    noticeChangeBegins();
    int32_t row = 0;
    {
        MediaDbExclusive lock(m_lock);
        const int32_t result = addRecordLocked(line, &row, true);
        if (result != kOk)
            return result;
    }
    if (record)
        *record = row;
    noticeRecord(row, kChangeAdded);
    return kOk;
}

int32_t MediaDbEngine::deleteRecord(int32_t record, bool noNotice)
{
    markState(kStateDeleting);
    noticeChangeBegins();
    {
        MediaDbExclusive lock(m_lock);
        const int32_t result = deleteRecordLocked(record);
        if (result != kOk)
            return result;
    }
    if (!noNotice)
        noticeRecord(record, kChangeDeleted);
    return kOk;
}

int32_t MediaDbEngine::clearMarks()
{
    MediaDbExclusive lock(m_lock);
    clearMarksLocked();
    return kOk;
}

int32_t MediaDbEngine::save()
{
    MediaDbExclusive lock(m_lock);
    return saveLocked(false);
}

int32_t MediaDbEngine::addColumn(const char *name)
{
    if (!name)
        return kPointer;
    MediaDbExclusive lock(m_lock);
    if (!m_pendingColumn.empty())
        return kFail;
    m_pendingColumn = sanitized(name);
    if (m_pendingColumn.empty())
        m_pendingColumn = "_";
    m_dirty = true;
    const int32_t saved = saveLocked(true);
    m_pendingColumn.clear();
    if (saved != kOk)
        return saved;
    return loadLocked(m_databasePath) == kOk ? kOk : kFail;
}

// ---------------------------------------------------------------------------
// Searching

int32_t MediaDbEngine::findRecord(const char *genre, const char *artist, const char *album, const char *title,
                                  char *buffer, int32_t size, uint32_t flags, int32_t *record)
{
    markState(kStateSearching);
    MediaDbShared lock(m_lock);
    if (m_artistColumn == 0)
        return kFalse;
    const struct {
        const char *wanted;
        int32_t column;
    } criteria[] = {
        {artist, m_artistColumn}, {genre, m_genreColumn}, {album, m_albumColumn}, {title, m_titleColumn}};
    const int32_t total = totalRows();
    for (int32_t row = 1; row < total; ++row) {
        uint32_t &rowFlags = m_rowFlags[static_cast<size_t>(row)];
        if (rowFlags & (kRowDeleted | kRowMarked))
            continue;
        if (!m_cells[static_cast<size_t>(m_artistColumn)][static_cast<size_t>(row)])
            return kFalse;
        bool match = true;
        for (const auto &criterion : criteria) {
            if (!criterion.wanted)
                continue;
            if (criterion.column == 0 || std::strcmp(cell(criterion.column, row), criterion.wanted) != 0) {
                match = false;
                break;
            }
        }
        if (!match)
            continue;
        if (flags & 2)
            rowFlags |= kRowMarked;
        int32_t copyColumn = 0;
        if (flags & 1)
            copyColumn = m_artistColumn;
        else if (flags & 2)
            copyColumn = m_titleColumn;
        else if (flags & 32)
            copyColumn = m_genreColumn;
        else if (flags & 8)
            copyColumn = m_albumColumn;
        if (copyColumn && buffer && size > 0)
            std::strncpy(buffer, cell(copyColumn, row), static_cast<size_t>(size));
        if (record)
            *record = row;
        return kOk;
    }
    return kFalse;
}

int32_t MediaDbEngine::search(int32_t count, const MediaDbCondition *conditions, int32_t *matches,
                              int32_t *state, uint32_t flags)
{
    markState(kStateSearching);
    m_lock.lockExclusive();
    if (m_searchState.load() != 0) {
        if (!(flags & 1)) {
            m_lock.unlockExclusive();
            return kPending;
        }
        for (int i = 0; i < 15000 && m_searchState.load() != 0; ++i) {
            m_lock.unlockExclusive();
            m_platform.sleepMs(1);
            m_lock.lockExclusive();
        }
        if (m_searchState.load() != 0) {
            m_platform.messageBox("Warning: a search request was pending longer than 15s!\n", kCaption);
            m_searchState = 0;
        }
    }
    MediaDbExclusive lock(m_lock);
    m_lock.unlockExclusive();

    clearMarksLocked();
    if (count < 1)
        return kInvalidArg;
    if (!conditions)
        return kPointer;
    std::vector<std::string> upper(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const MediaDbCondition &condition = conditions[i];
        if (condition.op != kOpAny && (condition.column < 1 || condition.column >= m_columnCount))
            return kInvalidArg;
        const std::string text(condition.text, strnlen(condition.text, kPathSize));
        upper[static_cast<size_t>(i)] = condition.op == kOpContains ? upperCopy(text.c_str()) : text;
    }

    const int32_t total = totalRows();
    std::atomic<int32_t> found{0};
    forRowRanges(1, total, [&](int32_t, int32_t from, int32_t to) {
        // The texts of one column lie a row apart: ask for them early.
        constexpr int32_t kAhead = 16;
        char *const *ahead =
            conditions[0].op != kOpAny ? m_cells[static_cast<size_t>(conditions[0].column)] : nullptr;
        int32_t marked = 0;
        for (int32_t row = from; row < to; ++row) {
            if (ahead && row + kAhead < to)
                __builtin_prefetch(ahead[row + kAhead]);
            uint32_t &rowFlags = m_rowFlags[static_cast<size_t>(row)];
            if (rowFlags & kRowDeleted)
                continue;
            bool result = false;
            for (int32_t i = 0; i < count; ++i) {
                const MediaDbCondition &condition = conditions[i];
                const int32_t combine = i == 0 ? 2 : condition.combine;
                if (combine != 2 && !result)
                    continue; // AND with false stays false; mode 1 does not even look
                if (combine == 2 && result)
                    continue; // OR with true stays true
                bool value = false;
                const std::string &text = upper[static_cast<size_t>(i)];
                switch (condition.op) {
                case kOpAny:
                    value = true;
                    break;
                case kOpEqual:
                    value = lengthMayBe(condition.column, row, text.size(), false) &&
                            equalNoCase(cell(condition.column, row), text.c_str());
                    break;
                case kOpContains:
                    value = lengthMayBe(condition.column, row, text.size(), true) &&
                            containsNoCase(cell(condition.column, row), text);
                    break;
                case kOpGreater:
                    value = compareNoCase(cell(condition.column, row), text.c_str()) > 0;
                    break;
                case kOpLess:
                    value = compareNoCase(cell(condition.column, row), text.c_str()) < 0;
                    break;
                case kOpNotEqual:
                    value = !lengthMayBe(condition.column, row, text.size(), false) ||
                            !equalNoCase(cell(condition.column, row), text.c_str());
                    break;
                default:
                    break;
                }
                result = combine == 2 ? (result || value) : (result && value);
            }
            if (result) {
                rowFlags |= kRowMarked;
                ++marked;
            }
        }
        found += marked;
    });
    const int32_t newState = ++m_searchState;
    if (matches)
        *matches = found.load();
    if (state)
        *state = newState;
    return found.load() > 0 ? kOk : kFalse;
}

// Whether a cell can be wanted (equal) or hold (atLeast) a text of the given
// length, judged from where the next value starts without reading the text.
bool MediaDbEngine::lengthMayBe(int32_t column, int32_t row, size_t length, bool atLeast) const
{
    if (!m_rowEnd[static_cast<size_t>(row)] || column + 1 >= m_columnCount)
        return true;
    const size_t stored =
        static_cast<size_t>(m_cells[static_cast<size_t>(column) + 1][static_cast<size_t>(row)] -
                            m_cells[static_cast<size_t>(column)][static_cast<size_t>(row)]) -
        1;
    return atLeast ? stored >= length : stored == length;
}

void MediaDbEngine::copyMarkedRows(int32_t maximum, int32_t *records) const
{
    int32_t n = 0;
    const int32_t total = totalRows();
    for (int32_t row = 0; row < total && n < maximum; ++row) {
        const uint32_t flags = m_rowFlags[static_cast<size_t>(row)];
        if ((flags & kRowMarked) && !(flags & kRowDeleted))
            records[n++] = row;
    }
}

int32_t MediaDbEngine::getSearchResults(int32_t mode, int32_t maximum, int32_t *records)
{
    markState(kStateSearching);
    MediaDbShared lock(m_lock);
    if (maximum == 0 && !records) {
        m_searchState = 0;
        return kOk;
    }
    if (!records || maximum < 0)
        return kInvalidArg;
    if (mode != 1 || m_searchState.load() != 1)
        return kPending;
    m_searchState = 0;
    copyMarkedRows(maximum, records);
    if (m_searchState.load() != 0)
        m_platform.messageBox("ExecSearch did not unlock the search", kCaption);
    return kOk;
}

int32_t MediaDbEngine::getDistinctResults(int32_t mode, int32_t maximum, int32_t *records)
{
    markState(kStateSearching);
    MediaDbShared lock(m_lock);
    if (maximum <= 0 || !records)
        return kInvalidArg;
    if (mode != 2 || m_searchState.load() != 2)
        return kPending;
    m_searchState = 0;
    copyMarkedRows(maximum, records);
    return kOk;
}

int32_t MediaDbEngine::listDistinct(int32_t column, int32_t filterColumn, const char *filterText,
                                    int32_t *count, int32_t *state)
{
    markState(kStateSearching);
    if (m_searchState.load() != 0)
        return kPending;
    if (!count || !state)
        return kPointer;
    MediaDbExclusive lock(m_lock);
    if (column < 1 || column >= m_columnCount || filterColumn < 0 || filterColumn >= m_columnCount)
        return kInvalidArg;
    clearMarksLocked();
    // The first row of each value decides: it is kept when it passes the filter.
    const bool filtered = filterColumn > 0 && filterText;
    std::unordered_set<std::string_view> seen;
    std::vector<int32_t> kept;
    const int32_t total = totalRows();
    for (int32_t row = 1; row < total; ++row) {
        if (m_rowFlags[static_cast<size_t>(row)] & kRowDeleted)
            continue;
        if (!seen.insert(std::string_view(cell(column, row))).second)
            continue;
        if (!filtered || std::strcmp(cell(filterColumn, row), filterText) == 0)
            kept.push_back(row);
    }
    for (const int32_t row : kept)
        m_rowFlags[static_cast<size_t>(row)] |= kRowMarked;
    m_searchState = 2;
    *count = static_cast<int32_t>(kept.size());
    *state = 2;
    return kOk;
}

int32_t MediaDbEngine::getRecordKind(int32_t record, int32_t *kind)
{
    if (!kind)
        return kPointer;
    MediaDbShared lock(m_lock);
    const int32_t column = columnIndexOf("Mediaformat");
    if (column < 1 || record < 1 || record >= totalRows() ||
        (m_rowFlags[static_cast<size_t>(record)] & kRowDeleted))
        return kFail;
    static const struct {
        const char *value;
        int32_t kind;
    } kinds[] = {{"MP3", 4},      {"WAV", 3},  {"CDA", 2},   {"CD_TRACK", 2}, {"MPG", 16}, {"M3U", 9},
                 {"PLAYLIST", 9}, {"BMP", 18}, {"AVI", 7},   {"QDV", 15},     {"WMA", 5},  {"ASF", 5},
                 {"WMV", 5},      {"OGG", 17}, {"CRYPT", 8}, {"MOV", 6}};
    const char *value = cell(column, record);
    for (const auto &entry : kinds) {
        if (equalNoCase(value, entry.value)) {
            *kind = entry.kind;
            return kOk;
        }
    }
    return kFail;
}

// ---------------------------------------------------------------------------
// Upkeep, scan and exchange live in their own classes.

int32_t MediaDbEngine::removeMissingFiles(MediaDbRemoveRequest *request)
{
    return MediaDbScanner(*this).removeMissingFiles(request);
}

int32_t MediaDbEngine::scanMedia(MediaDbScanSink *sink)
{
    return MediaDbScanner(*this).scanMedia(sink);
}

int32_t MediaDbEngine::startNewFile(const MediaDbNewFileRequest *request)
{
    return MediaDbScanner(*this).startNewFile(request);
}

int32_t MediaDbEngine::removeDuplicates(void *window, int32_t firstRow, int32_t newRowCount,
                                        MediaDbScanSink *sink)
{
    return MediaDbScanner(*this).removeDuplicates(window, firstRow, newRowCount, sink);
}

int32_t MediaDbEngine::exportHtml(const MediaDbExportRequest *request)
{
    return MediaDbExchange(*this).exportFile(request);
}

int32_t MediaDbEngine::importFile(const MediaDbImportRequest *request)
{
    return MediaDbExchange(*this).importFile(request);
}
