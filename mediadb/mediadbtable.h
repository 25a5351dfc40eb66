#pragma once

#include "mediadbtext.h"
#include "mediadbtypes.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class MediaDbFileWriter;
class MediaDbPlatform;

// The catalogue in memory: the database file's text split into cells, the
// row flags, the spare text space of added rows, and the file's load (read in
// chunks, each split while it is fresh in the cache), write and save with its
// backup. Takes no lock: the engine's lock guards every call (readers may
// mark rows while they hold its shared side).
class MediaDbTable
{
  public:
    // Columns that searches by name find without looking them up.
    struct QuickColumns {
        int32_t artist = 0;
        int32_t album = 0;
        int32_t genre = 0;
        int32_t title = 0;
        int32_t location = 0;
    };

    explicit MediaDbTable(MediaDbPlatform &platform);
    ~MediaDbTable();
    MediaDbTable(const MediaDbTable &) = delete;
    MediaDbTable &operator=(const MediaDbTable &) = delete;

    // The database file beside the library; a damaged one falls back to its
    // backup (restored is then set) or is kept aside for a new catalogue.
    int32_t openDatabase(bool &restored);
    int32_t load(const std::string &path);
    void unload();
    int32_t write(const std::string &path, const std::string &pendingColumn);
    // Writes a dirty catalogue through a temporary file and keeps the
    // previous file as the backup; a failure keeps everything as it was.
    int32_t saveWithBackup(bool unloadAfter);
    int32_t reload();
    // Saves with the new column as the last field of every row, then reloads.
    int32_t addColumn(const std::string &name);

    const std::string &databasePath() const { return m_databasePath; }
    // Where a save puts the previous file.
    std::string backupPath() const;
    bool isLoaded() const { return m_loaded; }
    bool isDirty() const { return m_dirty; }
    void setDirty(bool dirty) { m_dirty = dirty; }
    // Whether a load was ever begun (a state bit of the engine).
    bool loadBegun() const { return m_loadBegun.load(); }

    int32_t columnCount() const { return m_columnCount; }
    int32_t liveRows() const { return m_liveRows; }
    int32_t deletedRows() const { return m_deletedRows; }
    int32_t rowCapacity() const { return m_rowCapacity; }
    // Record identifiers run from 1 to totalRows() - 1; row 0 is the header.
    int32_t totalRows() const { return m_liveRows + m_deletedRows; }
    const QuickColumns &quickColumns() const { return m_quick; }
    // Index of a column name, case ignored (column 0 included); -1 when none.
    int32_t columnIndexOf(const char *name) const;

    // Row 0 gives the column names.
    const char *cell(int32_t column, int32_t row) const
    {
        if (row == 0)
            return m_names[static_cast<size_t>(column)].c_str();
        const RowSegment &segment = m_segments[static_cast<size_t>(row) >> kSegmentShift];
        const size_t index = static_cast<size_t>(row) & kSegmentMask;
        const uint16_t offset = segment.offsets[static_cast<size_t>(column) * kColumnStride + index];
        if (offset == kLongRow)
            return longRowCell(column, row);
        return segment.bases[index] + offset;
    }
    bool hasCell(int32_t column, int32_t row) const
    {
        return column > 0 && column < m_columnCount && row >= 0 && row < totalRows();
    }
    // The flag word of a row (the index column): mediadb::kRowDeleted, kRowMarked.
    const uint32_t &rowFlags(int32_t row) const { return m_rowFlags[static_cast<size_t>(row)]; }
    bool isDeleted(int32_t row) const { return rowFlags(row) & mediadb::kRowDeleted; }
    void mark(int32_t row) { m_rowFlags[static_cast<size_t>(row)] |= mediadb::kRowMarked; }
    void clearMarks();
    // A row's texts still in one piece as loaded or added, their separators
    // turned to terminators: the start, and length up to its last terminator.
    // Null once a value of the row changed.
    const char *rowInOnePiece(int32_t row, size_t &length) const;
    // A cell's length as told by where the next value starts, without reading
    // the text; kUnknownLength once the row's texts are no longer in one piece.
    static constexpr size_t kUnknownLength = static_cast<size_t>(-1);
    size_t knownLength(int32_t column, int32_t row) const
    {
        const uint16_t end = offset(0, row);
        if (end == kLongRow)
            return kUnknownLength;
        const uint16_t next = column + 1 < m_columnCount ? offset(column + 1, row) : end + 1;
        return static_cast<size_t>(next - offset(column, row)) - 1;
    }

    // A record from a line of exactly columnCount() - 1 separators. With
    // mayReload a full table is saved and reloaded first (identifiers change).
    int32_t addRecord(const char *line, int32_t *record, bool mayReload);
    int32_t deleteRecord(int32_t record);
    // A longer value moves the row's texts to a new, deleted row whose cells
    // the record then points at, so the record keeps its identifier.
    void setText(int32_t column, int32_t record, const std::string &value);

    // Calls work(part, from, to) for up to kRowParts parts of [first, end);
    // ranges shorter than splitFrom rows stay in one part.
    static constexpr int32_t kRowParts = 4;
    static void forRowRanges(int32_t first, int32_t end,
                             const std::function<void(int32_t, int32_t, int32_t)> &work,
                             int32_t splitFrom = 20000);

  private:
    class LineParser;
    struct LoadedText;

    // Rows are kept in segments of kSegmentRows, so adding rows never moves
    // the ones there. A row's cells are offsets from where its text begins:
    // two bytes a cell instead of a pointer, which halves a loaded catalogue.
    static constexpr size_t kSegmentShift = 12;
    static constexpr size_t kSegmentRows = size_t(1) << kSegmentShift;
    static constexpr size_t kSegmentMask = kSegmentRows - 1;
    // Columns lie a little more than a power of two apart: filling a row
    // would otherwise send every column to the same cache set.
    static constexpr size_t kColumnStride = kSegmentRows + 32;
    // An offset that marks a row of 64 KB or more (its cells are pointers
    // in m_longRows), or a row whose texts are no longer in one piece.
    static constexpr uint16_t kLongRow = 0xffff;
    struct RowSegment {
        char **bases;
        // [column][row]; column 0 holds the offset of the row's last
        // terminator while its texts lie in one piece as loaded or added.
        uint16_t *offsets;
    };

    const char *longRowCell(int32_t column, int32_t row) const;
    char *rowBase(int32_t row) const
    {
        return m_segments[static_cast<size_t>(row) >> kSegmentShift]
            .bases[static_cast<size_t>(row) & kSegmentMask];
    }
    char *mutableCell(int32_t column, int32_t row);
    uint16_t &offset(int32_t column, int32_t row)
    {
        return m_segments[static_cast<size_t>(row) >> kSegmentShift]
            .offsets[static_cast<size_t>(column) * kColumnStride + (static_cast<size_t>(row) & kSegmentMask)];
    }
    uint16_t offset(int32_t column, int32_t row) const
    {
        return m_segments[static_cast<size_t>(row) >> kSegmentShift]
            .offsets[static_cast<size_t>(column) * kColumnStride + (static_cast<size_t>(row) & kSegmentMask)];
    }
    // Stores a row from its cells' texts (cells[1] to cells[columns - 1])
    // and its last terminator (null when not in one piece).
    bool setRow(int32_t row, char *base, char *const *cells, const char *last);
    // A row whose cells lie too far from its start for offsets (its base is set).
    void setLongRow(int32_t row, char *const *cells);
    void copyRow(int32_t from, int32_t to);
    size_t segmentBytes() const;
    // Room for the rows a load expects, in one block of large pages.
    void reserveSegments(int32_t rows);
    // The same for a file of end - first bytes whose lines [first, read) are in.
    void reserveSegmentsLike(const char *first, const char *read, const char *end);
    bool ensureSegments(int32_t rows);
    int32_t appendRow(const char *line, size_t length);
    char *allocateText(size_t length);
    void ensureRowCapacity(int32_t rows);
    bool moveAside(const std::string &path);
    // A row not in one piece (or too long for one copy), value by value.
    void writeRowByValues(MediaDbFileWriter &out, int32_t row, const std::string &pendingColumn);

    // Steps of a load: the file read into one block and split into rows,
    // then the header's names, the rows and the quick columns taken.
    bool readAndSplit(const std::string &path, LoadedText &text);
    bool splitWhileReading(std::FILE *file, LoadedText &text);
    void readColumnNames(const char *begin, const char *headerEnd, int32_t columns);
    void keepRows(LoadedText &text, int32_t columns);
    void findQuickColumns();

    MediaDbPlatform &m_platform;
    std::string m_databasePath;
    std::string m_pendingColumn; // written as an extra last field by the next save
    std::atomic<bool> m_loadBegun{false};

    int32_t m_columnCount = 0;
    int32_t m_liveRows = 0;
    int32_t m_deletedRows = 0;
    int32_t m_rowCapacity = 0;
    QuickColumns m_quick;

    std::vector<std::string> m_names;   // column 0 has an empty name
    std::vector<RowSegment> m_segments; // rows from totalRows() on are not set
    std::vector<mediadb::LargeArray<char>> m_segmentBlocks;
    char *m_reservedSegments = nullptr;
    size_t m_reservedLeft = 0;
    std::unordered_map<int32_t, std::vector<char *>> m_longRows; // [column] of each long row
    std::vector<uint32_t> m_rowFlags;                            // the index column
    std::vector<mediadb::LargeArray<char>> m_blocks;             // text of the file and of added rows
    char *m_spare = nullptr;
    size_t m_spareLeft = 0;
    bool m_loaded = false;
    bool m_dirty = false;
};
