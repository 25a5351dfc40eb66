#pragma once

#include "mediadblock.h"
#include "mediadbnotices.h"
#include "mediadbscansink.h"
#include "mediadbtable.h"
#include "mediadbtypes.h"

#include <atomic>
#include <string>
#include <vector>

class MediaDbPlatform;

// The process-wide media catalogue behind every media-database object: the
// table of the database file under one readers-writer lock, field access,
// searches, and change notices to client windows. Callable from any thread
// of the host. The library makes one, over a MediaDbWinPlatform that knows
// the library's module handle; results are COM result values (mediadb::kOk,
// mediadb::kFail, ...).
class MediaDbEngine
{
  public:
    explicit MediaDbEngine(MediaDbPlatform &platform);
    ~MediaDbEngine();
    MediaDbEngine(const MediaDbEngine &) = delete;
    MediaDbEngine &operator=(const MediaDbEngine &) = delete;

    int32_t attach();
    int32_t detach();
    // owner (the object that opens) tells apart clients of one name: its close
    // ends its own entry. Without an owner a close ends the first of the name.
    int32_t openClient(const MediaDbClientRecord *record, const void *owner = nullptr);
    int32_t closeClient(const char *name, const void *owner = nullptr);

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
    int32_t startNewFile(const MediaDbNewFileRequest *request);
    int32_t removeDuplicates(void *window, int32_t firstRow, int32_t newRowCount, MediaDbScanSink *sink);

    std::string databasePath() const;
    bool isDirty() const;
    int32_t columnCount() const;
    int32_t liveRows() const;
    int32_t deletedRows() const;

    // The parts that the scanner and the exchange work on. The table is used
    // under the lock.
    MediaDbLock &lock() { return m_lock; }
    MediaDbTable &table() { return m_table; }
    MediaDbNotices &notices() { return m_notices; }
    MediaDbPlatform &platform() { return m_platform; }
    // Extensions a scan takes, upper-cased; kept for the next scan.
    std::vector<std::string> &scanExtensions() { return m_scanExtensions; }
    // Sets a state bit reported by getInfo (bits are never cleared).
    void markState(uint32_t bit);

  private:
    // Writes the marked, not deleted rows in order into records, at most maximum of them.
    void copyMarkedRows(int32_t maximum, int32_t *records) const;
    // Waits (or refuses, without kSearchWait) while results are not yet fetched; holds the lock.
    int32_t waitForFetchedResults(uint32_t flags);
    bool matches(const MediaDbCondition *conditions, int32_t count, const std::vector<std::string> &texts,
                 int32_t row) const;

    MediaDbPlatform &m_platform;
    mutable MediaDbLock m_lock;
    MediaDbTable m_table;
    MediaDbNotices m_notices;

    std::atomic<uint32_t> m_state{mediadb::kStateClosed};
    std::atomic<int32_t> m_readHolds{0};
    int32_t m_attachCount = 0;
    std::atomic<int32_t> m_searchState{0};
    std::vector<std::string> m_scanExtensions;
};
