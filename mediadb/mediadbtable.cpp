#include "mediadbtable.h"

#include "mediadbfilewriter.h"
#include "mediadbplatform.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

using namespace mediadb;

namespace
{

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

MediaDbTable::MediaDbTable(MediaDbPlatform &platform) : m_platform(platform) {}

MediaDbTable::~MediaDbTable() = default;

int32_t MediaDbTable::columnIndexOf(const char *name) const
{
    for (int32_t c = 0; c < m_columnCount; ++c) {
        if (equalNoCase(m_names[static_cast<size_t>(c)].c_str(), name, kColumnNameSize))
            return c;
    }
    return -1;
}

// ---------------------------------------------------------------------------
// The database file

void MediaDbTable::unload()
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
    m_quick = QuickColumns();
    m_loaded = false;
}

int32_t MediaDbTable::load(const std::string &path)
{
    unload();
    m_loadBegun = true;

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
        unload();
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
        unload();
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
                m_quick.artist = c;
            else if (name == "Location")
                m_quick.location = c;
            else if (name == "Album")
                m_quick.album = c;
            else if (name == "Genre")
                m_quick.genre = c;
            else if (name == "Title" || name == "Songtitle")
                m_quick.title = c;
        }
    }
    return kOk;
}

// Large catalogues are split between a few threads; each takes its own rows.
void MediaDbTable::forRowRanges(int32_t first, int32_t end,
                                const std::function<void(int32_t, int32_t, int32_t)> &work, int32_t splitFrom)
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

bool MediaDbTable::parseRows(int32_t from, int32_t to, char *const *lineEnds, int32_t columns)
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

int32_t MediaDbTable::write(const std::string &path, const std::string &pendingColumn)
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
            size_t length = 0;
            const char *begin = rowInOnePiece(row, length);
            if (begin && length + 2 <= MediaDbFileWriter::maxReserve()) {
                char *target = out.reserve(length + 2);
                copyJoined(target, begin, length);
                if (!pendingColumn.empty())
                    target[length++] = '|';
                target[length] = '\r';
                target[length + 1] = '\n';
                out.commit(length + 2);
                continue;
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

std::string MediaDbTable::backupPath() const
{
    const size_t slash = m_databasePath.find_last_of("\\/");
    const size_t dot = m_databasePath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return m_databasePath + ".bak";
    return m_databasePath.substr(0, dot) + ".bak";
}

// Writes a temporary file first, so a failed write leaves both the file on
// disk and the catalogue in memory as they were.
int32_t MediaDbTable::saveWithBackup(bool unloadAfter)
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
        unload();
    return kOk;
}

int32_t MediaDbTable::addColumn(const std::string &name)
{
    if (!m_pendingColumn.empty())
        return kFail;
    m_pendingColumn = sanitized(name);
    if (m_pendingColumn.empty())
        m_pendingColumn = "_";
    m_dirty = true;
    const int32_t saved = saveWithBackup(true);
    m_pendingColumn.clear();
    if (saved != kOk)
        return saved;
    return load(m_databasePath) == kOk ? kOk : kFail;
}

int32_t MediaDbTable::reload()
{
    const int32_t result = saveWithBackup(true);
    if (result != kOk)
        return result;
    return load(m_databasePath);
}

bool MediaDbTable::moveAside(const std::string &path)
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

int32_t MediaDbTable::openDatabase(bool &restored)
{
    restored = false;
    m_loadBegun = true;
    const std::string module = m_platform.modulePath();
    if (module.empty())
        return kFail;
    const std::string folder = folderOf(module);
    m_databasePath = folder + "QDDB.DB";
    if (load(m_databasePath) == kOk)
        return kOk;

    // On a file system that minds case the save's backup is spelt "bak".
    std::string backup = folder + "QDDB.BAK";
    if (!fileExists(backup) && fileExists(backupPath()))
        backup = backupPath();
    const bool haveDatabase = fileExists(m_databasePath);
    if (load(backup) == kOk) {
        if (haveDatabase)
            moveAside(m_databasePath);
        if (!copyFile(backup, m_databasePath))
            m_platform.debugOutput("MediaDbEngine: could not copy " + backup + " to " + m_databasePath +
                                   "\n");
        restored = true;
        return kOk;
    }

    unload();
    if (haveDatabase)
        moveAside(m_databasePath);
    if (fileExists(backup))
        moveAside(backup);
    m_platform.debugOutput("MediaDbEngine: starting a new catalogue in " + m_databasePath + "\n");
    load(m_databasePath);
    return kFail;
}

// ---------------------------------------------------------------------------
// Rows and text space

char *MediaDbTable::allocateText(size_t length)
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

bool MediaDbTable::allocateCells(int32_t columns, int32_t capacity)
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

void MediaDbTable::ensureRowCapacity(int32_t rows)
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
int32_t MediaDbTable::appendRow(const char *line, size_t length)
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

int32_t MediaDbTable::addRecord(const char *line, int32_t *record, bool mayReload)
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
        reload();
        // The file read back may not be the catalogue the line was made for.
        if (m_columnCount < 2 || separators != static_cast<size_t>(m_columnCount - 1))
            return kFail;
    }
    if (totalRows() < 1)
        return kFail; // row 0 is the header's: a record there would never be saved
    const int32_t row = appendRow(line, length);
    if (record)
        *record = row;
    return kOk;
}

int32_t MediaDbTable::deleteRecord(int32_t record)
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

void MediaDbTable::clearMarks()
{
    const int32_t total = totalRows();
    for (int32_t row = 1; row < total; ++row)
        m_rowFlags[static_cast<size_t>(row)] &= ~kRowMarked;
}

const char *MediaDbTable::rowInOnePiece(int32_t row, size_t &length) const
{
    const char *end = m_rowEnd[static_cast<size_t>(row)];
    if (row == 0 || !end)
        return nullptr;
    const char *begin = m_cells[1][static_cast<size_t>(row)];
    length = static_cast<size_t>(end - begin) + 1;
    return begin;
}

bool MediaDbTable::lengthMayBe(int32_t column, int32_t row, size_t length, bool atLeast) const
{
    if (!m_rowEnd[static_cast<size_t>(row)] || column + 1 >= m_columnCount)
        return true;
    const size_t stored =
        static_cast<size_t>(m_cells[static_cast<size_t>(column) + 1][static_cast<size_t>(row)] -
                            m_cells[static_cast<size_t>(column)][static_cast<size_t>(row)]) -
        1;
    return atLeast ? stored >= length : stored == length;
}

void MediaDbTable::setText(int32_t column, int32_t record, const std::string &value)
{
    char *stored = m_cells[static_cast<size_t>(column)][static_cast<size_t>(record)];
    const size_t storedLength = stored ? std::strlen(stored) : 0;
    if (stored && value.size() <= storedLength) {
        std::memset(stored, 0, storedLength);
        std::memcpy(stored, value.data(), value.size());
    } else {
        std::string line;
        for (int32_t c = 1; c < m_columnCount; ++c) {
            line += c == column ? value.c_str() : cell(c, record);
            line += '|';
        }
        const int32_t row = appendRow(line.data(), line.size());
        for (int32_t c = 1; c < m_columnCount; ++c)
            m_cells[static_cast<size_t>(c)][static_cast<size_t>(record)] =
                m_cells[static_cast<size_t>(c)][static_cast<size_t>(row)];
        deleteRecord(row);
    }
    m_rowEnd[static_cast<size_t>(record)] = nullptr;
    m_dirty = true;
}
