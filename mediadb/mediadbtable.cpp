#include "mediadbtable.h"

#include "mediadbfile.h"
#include "mediadbfilewriter.h"
#include "mediadbplatform.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

using namespace mediadb;

namespace
{

// Text space behind the file's text for rows added after the load.
constexpr size_t kSpareText = kSpareBytesPerRow * kSpareRows;

// Copies a row's texts, turning the terminators back into separators.
void copyJoined(char *target, const char *source, size_t length)
{
    std::memcpy(target, source, length);
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t x;
        std::memcpy(&x, target + i, 8);
        const uint64_t zero = zeroBytes(x);
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
    m_segments.clear();
    m_segmentBlocks.clear();
    m_reservedSegments = nullptr;
    m_reservedLeft = 0;
    m_longRows.clear();
    m_rowFlags.clear();
    m_blocks.clear();
    m_spare = nullptr;
    m_spareLeft = 0;
    m_columnCount = 0;
    m_liveRows = 0;
    m_deletedRows = 0;
    m_rowCapacity = 0;
    m_quick = QuickColumns();
    m_loaded = false;
}

// Splits whole lines into rows as the file comes in: separators become
// terminators and each cell's offset goes straight to its row segment. Every
// line needs exactly columns - 1 separators.
class MediaDbTable::LineParser
{
  public:
    LineParser(MediaDbTable &table, int32_t columns)
        : m_table(table), m_columns(columns), m_cells(static_cast<size_t>(columns))
    {
    }

    // [begin, end) holds whole lines: it ends with a line end, or is empty.
    bool parse(char *begin, char *end)
    {
        // The line's state lives in locals: the compiler would take every
        // terminator written as a possible change of any member.
        char **const cells = m_cells.data(); // of a long row only
        const int32_t columns = m_columns;
        int32_t row = m_row;
        char *line = begin;
        char *field = begin;
        char *last = nullptr;
        int32_t column = 1;
        uint16_t *slots = nullptr;   // the row's offsets, a column stride apart
        size_t slot = kColumnStride; // of the cell in hand
        bool plain = true;
        bool longRow = false;
        auto startRow = [&]() __attribute__((always_inline))
        {
            if (static_cast<size_t>(row) >= m_table.m_segments.size() * kSegmentRows &&
                !m_table.ensureSegments(row + 1))
                return false;
            const RowSegment &segment = m_table.m_segments[static_cast<size_t>(row) >> kSegmentShift];
            const size_t index = static_cast<size_t>(row) & kSegmentMask;
            segment.bases[index] = line;
            slots = segment.offsets + index;
            return true;
        };
        if (begin == end)
            return true;
        if (!startRow())
            return false;
        const bool ok = scanMarks(
            begin, end,
            [&](char *p) __attribute__((always_inline)) {
                if (column >= columns)
                    return false;
                *p = '\0';
                const size_t offset = static_cast<size_t>(field - line);
                // Offsets only grow: once one does not fit, the rest of the row
                // does not either.
                if (offset < kLongRow) {
                    slots[slot] = static_cast<uint16_t>(offset);
                } else {
                    if (!longRow) {
                        for (int32_t c = 1; c < column; ++c)
                            cells[c] = line + slots[static_cast<size_t>(c) * kColumnStride];
                        longRow = true;
                    }
                    cells[column] = field;
                }
                ++column;
                slot += kColumnStride;
                field = p + 1;
                last = p;
                return true;
            },
            [&](char *p) __attribute__((always_inline)) {
                switch (*p) {
                case '\r':
                    // Skipped wherever it stands: the value's bytes before it
                    // move up one place, so the row is no longer in one piece.
                    if (column < columns) {
                        plain = false;
                        std::memmove(field + 1, field, static_cast<size_t>(p - field));
                        ++field;
                    }
                    return true;
                case '\n':
                    if (column != columns)
                        return false;
                    if (longRow) {
                        m_table.setLongRow(row, cells);
                    } else {
                        const size_t lastEnd = static_cast<size_t>(last - line);
                        slots[0] = plain && lastEnd < kLongRow ? static_cast<uint16_t>(lastEnd) : kLongRow;
                    }
                    ++row;
                    line = field = p + 1;
                    column = 1;
                    slot = kColumnStride;
                    plain = true;
                    longRow = false;
                    last = nullptr;
                    return p + 1 == end || startRow();
                default: // a terminator inside a line
                    plain = false;
                    return true;
                }
            });
        m_row = row;
        return ok;
    }

    // Rows stored so far, the header's included.
    int32_t rows() const { return m_row; }

  private:
    MediaDbTable &m_table;
    const int32_t m_columns;
    std::vector<char *> m_cells;
    int32_t m_row = 1;
};

namespace
{

// Zeros behind the loaded text, and the bytes whose lines estimate the number of rows.
constexpr size_t kZeroedPad = 64;
constexpr size_t kRowSample = size_t(32) << 10;

} // namespace

// The file's text in the block it was read into, with the spare text space
// of added rows behind it, and what splitting it found.
struct MediaDbTable::LoadedText {
    LargeArray<char> buffer;
    char *begin = nullptr;
    char *end = nullptr;       // of the file's text
    char *headerEnd = nullptr; // the header's line end; null without one
    char *parsed = nullptr;    // behind the last line split
    int32_t rows = 1;          // rows split, the header's included
};

int32_t MediaDbTable::load(const std::string &path)
{
    unload();
    m_loadBegun = true;

    LoadedText text;
    if (!readAndSplit(path, text)) {
        unload();
        return kFail;
    }
    // A header without its line end is still the header. The next save writes
    // the line end, so nothing appended to the file joins the header line.
    const bool headerUnended = !text.headerEnd;
    if (headerUnended)
        text.headerEnd = text.end;
    const int32_t columns = static_cast<int32_t>(std::count(text.begin, text.headerEnd, '|')) + 1;
    if (columns < 2) {
        unload();
        return kFail;
    }
    // Text behind the last line end is no record. It is rewritten away (the
    // backup keeps it) before a scan or import appends, which would otherwise
    // join the first appended record to it and spoil the next load.
    const bool tailUnended = !headerUnended && text.parsed != text.end;

    readColumnNames(text.begin, text.headerEnd, columns);
    keepRows(text, columns);
    if (headerUnended || tailUnended)
        m_dirty = true;
    if (text.end != text.begin)
        findQuickColumns();
    return kOk;
}

// A file that cannot be opened reads as empty.
bool MediaDbTable::readAndSplit(const std::string &path, LoadedText &text)
{
    MediaDbFile file(path, "rb");
    size_t length = 0;
    if (file) {
        if (std::fseek(file.get(), 0, SEEK_END) == 0) {
            const long end = std::ftell(file.get());
            length = end > 0 ? static_cast<size_t>(end) : 0;
        }
        std::fseek(file.get(), 0, SEEK_SET);
    }
    text.buffer.reset(static_cast<char *>(allocateLarge(length + kSpareText + 1)));
    if (!text.buffer)
        return false;
    text.begin = text.parsed = text.buffer.get();
    text.end = text.begin + length;
    // The text ends in a zero; the spare space behind it is written before it is read, so the
    // start does not touch half a megabyte that a small catalogue may never use.
    std::memset(text.end, 0, std::min(kSpareText + 1, kZeroedPad));
    return splitWhileReading(file.get(), text);
}

// Each chunk is split right after it is read, while it is still in the
// cache; a line that runs on waits for the next chunk. False when a line
// does not fit the header or the file ends early.
bool MediaDbTable::splitWhileReading(std::FILE *file, LoadedText &text)
{
    constexpr size_t kChunk = size_t(256) << 10;
    char *const begin = text.begin;
    char *const end = text.end;
    std::unique_ptr<LineParser> parser;
    char *read = begin;
    char *parsed = begin;
    char *headerEnd = nullptr;
    bool ok = true;
    while (ok && read < end) {
        const size_t n =
            file ? std::fread(read, 1, std::min(kChunk, static_cast<size_t>(end - read)), file) : 0;
        if (n == 0)
            break;
        char *const from = read;
        read += n;
        if (!headerEnd) {
            headerEnd = static_cast<char *>(std::memchr(from, '\n', n));
            if (!headerEnd)
                continue;
            const int32_t columns = static_cast<int32_t>(std::count(begin, headerEnd, '|')) + 1;
            if (columns < 2)
                break;
            m_columnCount = columns;
            parsed = headerEnd + 1;
            parser.reset(new LineParser(*this, columns));
            reserveSegmentsLike(parsed, read, end);
        }
        char *lastEnd = read;
        while (lastEnd > parsed && lastEnd[-1] != '\n')
            --lastEnd;
        ok = parser->parse(parsed, lastEnd);
        parsed = lastEnd;
    }
    text.headerEnd = headerEnd;
    text.parsed = parsed;
    text.rows = parser ? parser->rows() : 1;
    return ok && read == end;
}

// The lines read so far tell about how many rows the whole file holds.
// The first lines tell about how many rows the file holds; a few of them will do.
void MediaDbTable::reserveSegmentsLike(const char *first, const char *read, const char *end)
{
    const size_t sample = std::min(static_cast<size_t>(read - first), kRowSample);
    const size_t lines = static_cast<size_t>(std::count(first, first + sample, '\n'));
    if (lines == 0)
        return;
    const size_t expected = static_cast<size_t>(end - first) / sample * lines + lines;
    reserveSegments(static_cast<int32_t>(std::min<size_t>(expected + expected / 64 + 1, INT32_MAX)));
}

// Printable ASCII only, at most 99 characters a name.
void MediaDbTable::readColumnNames(const char *begin, const char *headerEnd, int32_t columns)
{
    m_names.assign(static_cast<size_t>(columns), std::string());
    int32_t column = 1;
    for (const char *p = begin; p < headerEnd && column < columns; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '|')
            ++column;
        else if (c >= 32 && c < 128 && m_names[static_cast<size_t>(column)].size() < kColumnNameSize - 1)
            m_names[static_cast<size_t>(column)] += static_cast<char>(c);
    }
}

// The table takes the split rows and the block that holds their texts.
void MediaDbTable::keepRows(LoadedText &text, int32_t columns)
{
    const int32_t capacity = text.rows + static_cast<int32_t>(kSpareRows);
    m_rowFlags.assign(static_cast<size_t>(capacity) + 1, 0);
    m_columnCount = columns;
    m_liveRows = text.rows;
    m_deletedRows = 0;
    m_rowCapacity = capacity;
    m_spare = text.end;
    m_spareLeft = kSpareText;
    m_blocks.push_back(std::move(text.buffer));
    m_loaded = true;
}

void MediaDbTable::findQuickColumns()
{
    for (int32_t c = 1; c < m_columnCount; ++c) {
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

// Large catalogues are split between a few threads; each takes its own rows.
void MediaDbTable::forRowRanges(int32_t first, int32_t end,
                                const std::function<void(int32_t, int32_t, int32_t)> &work, int32_t splitFrom)
{
    const int32_t rows = end - first;
    unsigned threads = std::min(usableProcessors(), static_cast<unsigned>(kRowParts));
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

int32_t MediaDbTable::write(const std::string &path, const std::string &pendingColumn)
{
    MediaDbFile file(path, "wb");
    if (!file)
        return kFail;
    {
        MediaDbFileWriter out(file.get());
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
            } else {
                writeRowByValues(out, row, pendingColumn);
            }
        }
        out.flush();
        if (out.failed())
            return kFail;
    }
    return file.close() ? kOk : kFail;
}

// What would break the file's layout is made harmless in the values.
void MediaDbTable::writeRowByValues(MediaDbFileWriter &out, int32_t row, const std::string &pendingColumn)
{
    for (int32_t c = 1; c < m_columnCount; ++c) {
        char *text = mutableCell(c, row);
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

size_t MediaDbTable::segmentBytes() const
{
    return kSegmentRows * sizeof(char *) +
           static_cast<size_t>(m_columnCount) * kColumnStride * sizeof(uint16_t);
}

void MediaDbTable::reserveSegments(int32_t rows)
{
    const size_t count = (static_cast<size_t>(rows) + kSegmentRows - 1) / kSegmentRows;
    LargeArray<char> block(static_cast<char *>(allocateLarge(count * segmentBytes())));
    if (!block)
        return;
    m_reservedSegments = block.get();
    m_reservedLeft = count;
    m_segmentBlocks.push_back(std::move(block));
}

bool MediaDbTable::ensureSegments(int32_t rows)
{
    while (m_segments.size() * kSegmentRows < static_cast<size_t>(rows)) {
        char *memory = nullptr;
        if (m_reservedLeft > 0) {
            memory = m_reservedSegments;
            m_reservedSegments += segmentBytes();
            --m_reservedLeft;
        } else {
            LargeArray<char> block(static_cast<char *>(allocateLarge(segmentBytes())));
            if (!block)
                return false;
            memory = block.get();
            m_segmentBlocks.push_back(std::move(block));
        }
        m_segments.push_back({reinterpret_cast<char **>(memory),
                              reinterpret_cast<uint16_t *>(memory + kSegmentRows * sizeof(char *))});
    }
    return true;
}

bool MediaDbTable::setRow(int32_t row, char *base, char *const *cells, const char *last)
{
    if (!ensureSegments(row + 1))
        return false;
    const RowSegment &segment = m_segments[static_cast<size_t>(row) >> kSegmentShift];
    const size_t index = static_cast<size_t>(row) & kSegmentMask;
    segment.bases[index] = base;
    // Offsets grow from cell to cell: the last one tells whether all fit.
    const int32_t columns = m_columnCount;
    if (cells[columns - 1] - base >= kLongRow) {
        setLongRow(row, cells);
        return true;
    }
    if (!m_longRows.empty())
        m_longRows.erase(row);
    uint16_t *const offsets = segment.offsets + index;
    offsets[0] = last && last - base < kLongRow ? static_cast<uint16_t>(last - base) : kLongRow;
    for (int32_t c = 1; c < columns; ++c)
        offsets[static_cast<size_t>(c) * kColumnStride] = static_cast<uint16_t>(cells[c] - base);
    return true;
}

void MediaDbTable::setLongRow(int32_t row, char *const *cells)
{
    m_longRows[row].assign(cells, cells + m_columnCount);
    for (int32_t c = 0; c < m_columnCount; ++c)
        offset(c, row) = kLongRow;
}

// The record takes the cells of another row; its texts are then not in one piece.
void MediaDbTable::copyRow(int32_t from, int32_t to)
{
    std::vector<char *> cells(static_cast<size_t>(m_columnCount));
    for (int32_t c = 1; c < m_columnCount; ++c)
        cells[static_cast<size_t>(c)] = mutableCell(c, from);
    if (!setRow(to, rowBase(from), cells.data(), nullptr))
        throw std::bad_alloc();
}

const char *MediaDbTable::longRowCell(int32_t column, int32_t row) const
{
    return m_longRows.at(row)[static_cast<size_t>(column)];
}

char *MediaDbTable::mutableCell(int32_t column, int32_t row)
{
    if (row == 0)
        return &m_names[static_cast<size_t>(column)][0];
    return const_cast<char *>(cell(column, row));
}

void MediaDbTable::ensureRowCapacity(int32_t rows)
{
    if (rows < m_rowCapacity)
        return;
    const int32_t capacity = rows + static_cast<int32_t>(kSpareRows);
    m_rowFlags.resize(static_cast<size_t>(capacity) + 1, 0);
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
    std::vector<char *> cells(static_cast<size_t>(m_columnCount));
    char *field = text;
    char *last = nullptr;
    int32_t column = 1;
    for (size_t i = 0; i < used && column < m_columnCount; ++i) {
        if (text[i] != '|')
            continue;
        text[i] = '\0';
        cells[static_cast<size_t>(column)] = field;
        field = text + i + 1;
        last = text + i;
        ++column;
    }
    const bool complete = column == m_columnCount;
    for (; column < m_columnCount; ++column)
        cells[static_cast<size_t>(column)] = text + used;
    if (!setRow(row, text, cells.data(), complete ? last : nullptr))
        throw std::bad_alloc();
    ++m_liveRows;
    m_rowFlags[static_cast<size_t>(row)] = 0;
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
    if (row == 0)
        return nullptr;
    const uint16_t end = offset(0, row);
    if (end == kLongRow)
        return nullptr;
    const uint16_t begin = offset(1, row);
    length = static_cast<size_t>(end - begin) + 1;
    return rowBase(row) + begin;
}

void MediaDbTable::setText(int32_t column, int32_t record, const std::string &value)
{
    char *stored = mutableCell(column, record);
    const size_t storedLength = std::strlen(stored);
    if (value.size() <= storedLength) {
        std::memset(stored, 0, storedLength);
        std::memcpy(stored, value.data(), value.size());
        offset(0, record) = kLongRow; // no longer in one piece
    } else {
        std::string line;
        for (int32_t c = 1; c < m_columnCount; ++c) {
            line += c == column ? value.c_str() : cell(c, record);
            line += '|';
        }
        const int32_t row = appendRow(line.data(), line.size());
        copyRow(row, record);
        deleteRecord(row);
    }
    m_dirty = true;
}
