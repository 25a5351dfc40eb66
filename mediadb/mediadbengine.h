#pragma once

#include "mediadblock.h"
#include "mediadbscansink.h"
#include "mediadbtext.h"
#include "mediadbtypes.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class MediaDbPlatform;

// The process-wide media catalogue behind every media-database object: the
// whole database file in memory, field access, searches, change notices to
// client windows. Callable from any thread of the host. The library makes one,
// over a MediaDbWinPlatform that knows the library's module handle; results
// are COM result values (mediadb::kOk, mediadb::kFail, ...).
class MediaDbEngine
{
  public:
    explicit MediaDbEngine(MediaDbPlatform &platform);
    ~MediaDbEngine();
    MediaDbEngine(const MediaDbEngine &) = delete;
    MediaDbEngine &operator=(const MediaDbEngine &) = delete;

    int32_t attach();
    int32_t detach();
    int32_t openClient(const MediaDbClientRecord *record);
    int32_t closeClient(const char *name);

    int32_t getInfo(MediaDbInfo *info);
    int32_t getColumnName(int32_t column, char *buffer, uint32_t size, uint32_t *reserved);
    int32_t getColumnIndex(const char *name, int32_t *column);
    int32_t getField(int32_t column, int32_t record, char *buffer, int32_t size, uint32_t flags);
    int32_t getFieldText(int32_t column, int32_t record, const char **text);
    int32_t setField(int32_t column, int32_t record, const char *text);
    int32_t addRecord(const char *line, int32_t *record);
    int32_t deleteRecord(int32_t record, bool noNotice);
    int32_t clearMarks();
    int32_t findRecord(const char *genre, const char *artist, const char *album, const char *title,
                       char *buffer, int32_t size, uint32_t flags, int32_t *record);
    int32_t search(int32_t count, const MediaDbCondition *conditions, int32_t *matches, int32_t *state,
                   uint32_t flags);
    int32_t getSearchResults(int32_t mode, int32_t maximum, int32_t *records);
    int32_t getDistinctResults(int32_t mode, int32_t maximum, int32_t *records);
    int32_t listDistinct(int32_t column, int32_t filterColumn, const char *filterText, int32_t *count,
                         int32_t *state);
    int32_t save();
    int32_t getRecordKind(int32_t record, int32_t *kind);
    int32_t holdNotifications(uint32_t flags);
    int32_t isNotifying() const;
    int32_t getNotificationData(int32_t slot, int32_t count, void *buffer);
    int32_t addColumn(const char *name);
    int32_t removeMissingFiles(MediaDbRemoveRequest *request);
    int32_t scanMedia(MediaDbScanSink *sink);
    int32_t exportHtml(const MediaDbExportRequest *request);
    int32_t importFile(const MediaDbImportRequest *request);

    // The database file.
    int32_t openDatabase();
    int32_t load(const std::string &path);
    int32_t write(const std::string &path, const std::string &pendingColumn);
    int32_t saveWithBackup();
    int32_t startNewFile(const MediaDbNewFileRequest *request);
    int32_t removeDuplicates(void *window, int32_t firstRow, int32_t newRowCount, MediaDbScanSink *sink);

    std::string databasePath() const;
    // Where a save puts the previous file.
    std::string backupPath() const;
    bool isDirty() const;
    int32_t columnCount() const;
    int32_t liveRows() const;
    int32_t deletedRows() const;

  private:
    friend class MediaDbScanner;
    friend class MediaDbExchange;

    struct Client {
        std::string name;
        uint32_t flags = 0;
        void *window = nullptr;
        uint32_t message = 0;
        std::vector<MediaDbCondition> conditions;
    };

    struct TransferSlot {
        std::vector<char> data;
        int32_t references = 0;
        bool used = false;
    };

    int32_t totalRows() const { return m_liveRows + m_deletedRows; }
    const char *cell(int32_t column, int32_t row) const
    {
        if (row == 0)
            return m_names[static_cast<size_t>(column)].c_str();
        const char *text = m_cells[static_cast<size_t>(column)][static_cast<size_t>(row)];
        return text ? text : "";
    }
    int32_t columnIndexOf(const char *name) const;
    bool lengthMayBe(int32_t column, int32_t row, size_t length, bool atLeast) const;
    // Writes the marked, not deleted rows in order into records, at most maximum of them.
    void copyMarkedRows(int32_t maximum, int32_t *records) const;
    void markState(uint32_t bit);

    void unloadLocked();
    int32_t loadLocked(const std::string &path);
    bool parseRows(int32_t from, int32_t to, char *const *lineEnds, int32_t columns);
    // Calls work(part, from, to) for up to kRowParts parts of [first, end).
    static constexpr int32_t kRowParts = 4;
    // Ranges shorter than splitFrom rows stay in one part.
    static void forRowRanges(int32_t first, int32_t end,
                             const std::function<void(int32_t, int32_t, int32_t)> &work,
                             int32_t splitFrom = 20000);
    int32_t openDatabaseLocked();
    int32_t saveLocked(bool unloadAfter);
    int32_t reloadLocked();
    int32_t appendRowLocked(const char *line, size_t length);
    int32_t addRecordLocked(const char *line, int32_t *record, bool mayReload);
    int32_t deleteRecordLocked(int32_t record);
    void clearMarksLocked();
    char *allocateText(size_t length);
    void ensureRowCapacity(int32_t rows);
    bool allocateCells(int32_t columns, int32_t capacity);
    bool moveAside(const std::string &path);

    void notifyClients(uint32_t code, intptr_t lParam);
    void noticeChangeBegins();
    void noticeChanged();
    void noticeRestored();
    void noticeRecord(int32_t record, int32_t kind);
    void sendTransfer(const void *data, size_t bytes);

    MediaDbPlatform &m_platform;
    mutable MediaDbLock m_lock;

    std::atomic<uint32_t> m_state{mediadb::kStateClosed};
    std::atomic<int32_t> m_readHolds{0};
    int32_t m_columnCount = 0;
    int32_t m_liveRows = 0;
    int32_t m_deletedRows = 0;
    int32_t m_rowCapacity = 0;
    std::string m_databasePath;
    std::string m_pendingColumn;

    std::vector<std::string> m_names; // column 0 has an empty name
    // [column][row], column 0 unused; rows from totalRows() on are not set.
    std::vector<char **> m_cells;
    mediadb::LargeArray<char *> m_cellBlock; // every column's cells, one column after the other
    std::vector<uint32_t> m_rowFlags;        // the index column
    // Last terminator of a row whose texts still lie in one piece as loaded
    // or added (terminators where the separators were); null once changed.
    std::vector<char *> m_rowEnd;
    std::vector<mediadb::LargeArray<char>> m_blocks; // text of the file and of added rows
    char *m_spare = nullptr;
    size_t m_spareLeft = 0;
    size_t m_fileLength = 0;
    bool m_loaded = false;

    int32_t m_attachCount = 0;
    bool m_dirty = false;
    std::atomic<int32_t> m_searchState{0};

    int32_t m_artistColumn = 0;
    int32_t m_albumColumn = 0;
    int32_t m_genreColumn = 0;
    int32_t m_titleColumn = 0;
    int32_t m_locationColumn = 0;

    std::atomic<int32_t> m_holdCount{0};
    std::mutex m_noticeMutex;
    int32_t m_queueCount = 0;
    std::array<MediaDbNotice, mediadb::kNoticeQueueSize> m_queue{};
    std::array<TransferSlot, mediadb::kTransferSlots> m_slots;
    bool m_restored = false;
    std::vector<std::string> m_scanExtensions; // upper-cased, kept for the next scan

    std::mutex m_clientMutex;
    std::array<Client, mediadb::kMaxClients> m_clients;
    int32_t m_clientCount = 0;
};
