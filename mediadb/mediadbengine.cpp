#include "mediadbengine.h"

#include "mediadbexchange.h"
#include "mediadbplatform.h"
#include "mediadbscanner.h"
#include "mediadbtext.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_set>

using namespace mediadb;

namespace
{

const char kCaption[] = "Tandu Media DB";

} // namespace

MediaDbEngine::MediaDbEngine(MediaDbPlatform &platform)
    : m_platform(platform), m_table(platform), m_notices(platform)
{
}

MediaDbEngine::~MediaDbEngine() = default;

void MediaDbEngine::markState(uint32_t bit)
{
    m_state.fetch_or(bit);
    if (bit == kStateReading)
        ++m_readHolds;
}

// ---------------------------------------------------------------------------
// The database file

int32_t MediaDbEngine::openDatabase()
{
    MediaDbExclusive lock(m_lock);
    bool restored = false;
    const int32_t result = m_table.openDatabase(restored);
    if (restored)
        m_notices.setRestored();
    return result;
}

int32_t MediaDbEngine::load(const std::string &path)
{
    MediaDbExclusive lock(m_lock);
    return m_table.load(path);
}

std::string MediaDbEngine::databasePath() const
{
    return m_table.databasePath();
}

bool MediaDbEngine::isDirty() const
{
    return m_table.isDirty();
}

int32_t MediaDbEngine::columnCount() const
{
    return m_table.columnCount();
}

int32_t MediaDbEngine::liveRows() const
{
    return m_table.liveRows();
}

int32_t MediaDbEngine::deletedRows() const
{
    return m_table.deletedRows();
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
            if (!(m_table.isLoaded() && m_table.isDirty()))
                openDatabase();
            if (m_table.columnCount() < 2) {
                MediaDbNewFileRequest request{};
                request.size = sizeof request;
                request.one = 1;
                request.flags = kScanCreating;
                startNewFile(&request);
                m_table.setDirty(true);
            }
        }
        ++m_attachCount;
    }
    if (first) {
        m_notices.announceRestored();
        m_notices.changed();
    }
    return kOk;
}

int32_t MediaDbEngine::detach()
{
    MediaDbExclusive lock(m_lock);
    if (m_attachCount > 0 && --m_attachCount == 0) {
        markState(kStateDeleting);
        if (m_table.saveWithBackup(true) != kOk)
            m_platform.debugOutput("MediaDbEngine: catalogue not saved, kept in memory\n");
        m_state.fetch_or(kStateClosed);
    }
    return kOk;
}

int32_t MediaDbEngine::openClient(const MediaDbClientRecord *record, const void *owner)
{
    return m_notices.openClient(record, owner);
}

int32_t MediaDbEngine::closeClient(const char *name, const void *owner)
{
    markState(kStateDeleting);
    return m_notices.closeClient(name, owner);
}

int32_t MediaDbEngine::holdNotifications(uint32_t flags)
{
    return m_notices.hold(flags);
}

int32_t MediaDbEngine::isNotifying() const
{
    return m_notices.isNotifying();
}

int32_t MediaDbEngine::getNotificationData(int32_t slot, int32_t count, void *buffer)
{
    return m_notices.notificationData(slot, count, buffer);
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
    info->columns = m_table.columnCount() - 1;
    info->records = m_table.liveRows() - 1;
    info->deletedRows = m_table.deletedRows();
    info->rowCapacity = m_table.rowCapacity();
    std::strncpy(info->path, m_table.databasePath().c_str(), kPathSize - 1);
    info->state = m_state.load() | (m_table.loadBegun() ? kStateLoading : 0);
    return kOk;
}

int32_t MediaDbEngine::getColumnName(int32_t column, char *buffer, uint32_t size, uint32_t *reserved)
{
    markState(kStateReading);
    MediaDbShared lock(m_lock);
    if (column < 1 || column >= m_table.columnCount() || size == 0)
        return kInvalidArg;
    if (!buffer)
        return kPointer;
    std::strncpy(buffer, m_table.cell(column, 0), size);
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
    const int32_t index = m_table.columnIndexOf(name);
    if (index < 0)
        return kFalse;
    if (column)
        *column = index;
    return kOk;
}

int32_t MediaDbEngine::getField(int32_t column, int32_t record, char *buffer, int32_t size, uint32_t)
{
    MediaDbShared lock(m_lock);
    if (column < 1 || column >= m_table.columnCount() || size <= 0 || record < 0 ||
        record >= m_table.totalRows())
        return kInvalidArg;
    if (!buffer)
        return kPointer;
    std::strncpy(buffer, m_table.cell(column, record), static_cast<size_t>(size));
    return m_table.isDeleted(record) ? kHandle : kOk;
}

int32_t MediaDbEngine::getFieldText(int32_t column, int32_t record, const char **text)
{
    if (column < 0 || column >= m_table.columnCount() || record < 0 || record >= m_table.totalRows())
        return kInvalidArg;
    if (!text)
        return kPointer;
    if (column == 0)
        *text = reinterpret_cast<const char *>(&m_table.rowFlags(record));
    else
        *text = m_table.cell(column, record);
    return m_table.isDeleted(record) ? kHandle : kOk;
}

// ---------------------------------------------------------------------------
// Changing

int32_t MediaDbEngine::setField(int32_t column, int32_t record, const char *text)
{
    markState(kStateChanging);
    m_notices.changeBegins();
    {
        MediaDbExclusive lock(m_lock);
        if (!text || column < 1 || column >= m_table.columnCount() || record < 1 ||
            record >= m_table.totalRows())
            return kInvalidArg;
        if (m_table.isDeleted(record))
            return kHandle;
        m_table.setText(column, record, sanitized(text));
    }
    m_notices.recordChanged(record, kChangeChanged);
    return kOk;
}

int32_t MediaDbEngine::addRecord(const char *line, int32_t *record)
{
    markState(kStateChanging);
    m_notices.changeBegins();
    int32_t row = 0;
    {
        MediaDbExclusive lock(m_lock);
        const int32_t result = m_table.addRecord(line, &row, true);
        if (result != kOk)
            return result;
    }
    if (record)
        *record = row;
    m_notices.recordChanged(row, kChangeAdded);
    return kOk;
}

int32_t MediaDbEngine::deleteRecord(int32_t record, bool noNotice)
{
    markState(kStateDeleting);
    m_notices.changeBegins();
    {
        MediaDbExclusive lock(m_lock);
        const int32_t result = m_table.deleteRecord(record);
        if (result != kOk)
            return result;
    }
    if (!noNotice)
        m_notices.recordChanged(record, kChangeDeleted);
    return kOk;
}

int32_t MediaDbEngine::clearMarks()
{
    MediaDbExclusive lock(m_lock);
    m_table.clearMarks();
    return kOk;
}

int32_t MediaDbEngine::save()
{
    MediaDbExclusive lock(m_lock);
    return m_table.saveWithBackup(false);
}

int32_t MediaDbEngine::addColumn(const char *name)
{
    if (!name)
        return kPointer;
    MediaDbExclusive lock(m_lock);
    return m_table.addColumn(name);
}

// ---------------------------------------------------------------------------
// Searching

int32_t MediaDbEngine::findRecord(const char *genre, const char *artist, const char *album, const char *title,
                                  char *buffer, int32_t size, uint32_t flags, int32_t *record)
{
    markState(kStateSearching);
    MediaDbShared lock(m_lock);
    const MediaDbTable::QuickColumns &quick = m_table.quickColumns();
    if (quick.artist == 0)
        return kFalse;
    const struct {
        const char *wanted;
        int32_t column;
    } criteria[] = {{artist, quick.artist}, {genre, quick.genre}, {album, quick.album}, {title, quick.title}};
    const int32_t total = m_table.totalRows();
    for (int32_t row = 1; row < total; ++row) {
        if (m_table.rowFlags(row) & (kRowDeleted | kRowMarked))
            continue;
        if (!m_table.hasCell(quick.artist, row))
            return kFalse;
        bool match = true;
        for (const auto &criterion : criteria) {
            if (!criterion.wanted)
                continue;
            if (criterion.column == 0 ||
                std::strcmp(m_table.cell(criterion.column, row), criterion.wanted) != 0) {
                match = false;
                break;
            }
        }
        if (!match)
            continue;
        if (flags & kFindMark)
            m_table.mark(row);
        int32_t copyColumn = 0;
        if (flags & kFindArtist)
            copyColumn = quick.artist;
        else if (flags & kFindTitle)
            copyColumn = quick.title;
        else if (flags & kFindGenre)
            copyColumn = quick.genre;
        else if (flags & kFindAlbum)
            copyColumn = quick.album;
        if (copyColumn && buffer && size > 0)
            std::strncpy(buffer, m_table.cell(copyColumn, row), static_cast<size_t>(size));
        if (record)
            *record = row;
        return kOk;
    }
    return kFalse;
}

// Called with the exclusive side held once: others may fetch between the tries.
int32_t MediaDbEngine::waitForFetchedResults(uint32_t flags)
{
    if (m_searchState.load() == 0)
        return kOk;
    if (!(flags & kSearchWait))
        return kPending;
    for (int i = 0; i < kPendingWaitTries && m_searchState.load() != 0; ++i) {
        m_lock.unlockExclusive();
        m_platform.sleepMs(kPendingWaitStepMs);
        m_lock.lockExclusive();
    }
    if (m_searchState.load() != 0) {
        m_platform.messageBox("Warning: a search request was pending longer than 15s!\n", kCaption);
        m_searchState = 0;
    }
    return kOk;
}

int32_t MediaDbEngine::search(int32_t count, const MediaDbCondition *conditions, int32_t *matches,
                              int32_t *state, uint32_t flags)
{
    markState(kStateSearching);
    MediaDbExclusive lock(m_lock);
    const int32_t waited = waitForFetchedResults(flags);
    if (waited != kOk)
        return waited;

    m_table.clearMarks();
    if (count < 1)
        return kInvalidArg;
    if (!conditions)
        return kPointer;
    std::vector<std::string> texts(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const MediaDbCondition &condition = conditions[i];
        if (condition.op != kOpAny && (condition.column < 1 || condition.column >= m_table.columnCount()))
            return kInvalidArg;
        const std::string text(condition.text, strnlen(condition.text, kPathSize));
        texts[static_cast<size_t>(i)] = condition.op == kOpContains ? upperCopy(text.c_str()) : text;
    }

    std::atomic<int32_t> found{0};
    MediaDbTable::forRowRanges(1, m_table.totalRows(), [&](int32_t, int32_t from, int32_t to) {
        // The texts of one column lie a row apart: ask for them early.
        constexpr int32_t kAhead = 16;
        const int32_t ahead = conditions[0].op != kOpAny ? conditions[0].column : 0;
        int32_t marked = 0;
        for (int32_t row = from; row < to; ++row) {
            if (ahead && row + kAhead < to)
                __builtin_prefetch(m_table.cell(ahead, row + kAhead));
            if (m_table.isDeleted(row) || !this->matches(conditions, count, texts, row))
                continue;
            m_table.mark(row);
            ++marked;
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

// Folds the conditions in order into a result that starts false.
bool MediaDbEngine::matches(const MediaDbCondition *conditions, int32_t count,
                            const std::vector<std::string> &texts, int32_t row) const
{
    bool result = false;
    for (int32_t i = 0; i < count; ++i) {
        const MediaDbCondition &condition = conditions[i];
        const int32_t combine = i == 0 ? kCombineOr : condition.combine;
        if (combine != kCombineOr && !result)
            continue; // AND with false stays false; mode 1 does not even look
        if (combine == kCombineOr && result)
            continue; // OR with true stays true
        const std::string &text = texts[static_cast<size_t>(i)];
        const char *cell = condition.op == kOpAny ? "" : m_table.cell(condition.column, row);
        // Lengths known from the layout spare reading most texts.
        const size_t length = condition.op == kOpAny ? 0 : m_table.knownLength(condition.column, row);
        const bool unknown = length == MediaDbTable::kUnknownLength;
        bool value = false;
        switch (condition.op) {
        case kOpAny:
            value = true;
            break;
        case kOpEqual:
            value = (unknown || length == text.size()) && equalNoCase(cell, text.c_str());
            break;
        case kOpContains:
            value = unknown ? containsNoCase(cell, text) : containsNoCase(cell, length, text);
            break;
        case kOpGreater:
            value = compareNoCase(cell, text.c_str()) > 0;
            break;
        case kOpLess:
            value = compareNoCase(cell, text.c_str()) < 0;
            break;
        case kOpNotEqual:
            value = !(unknown || length == text.size()) || !equalNoCase(cell, text.c_str());
            break;
        default:
            break;
        }
        result = combine == kCombineOr ? (result || value) : (result && value);
    }
    return result;
}

void MediaDbEngine::copyMarkedRows(int32_t maximum, int32_t *records) const
{
    int32_t n = 0;
    const int32_t total = m_table.totalRows();
    for (int32_t row = 0; row < total && n < maximum; ++row) {
        const uint32_t flags = m_table.rowFlags(row);
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
    if (mode != kSearchResults || m_searchState.load() != kSearchResults)
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
    if (mode != kDistinctResults || m_searchState.load() != kDistinctResults)
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
    const int32_t columns = m_table.columnCount();
    if (column < 1 || column >= columns || filterColumn < 0 || filterColumn >= columns)
        return kInvalidArg;
    m_table.clearMarks();
    // The first row of each value decides: it is kept when it passes the filter.
    const bool filtered = filterColumn > 0 && filterText;
    std::unordered_set<std::string_view> seen;
    std::vector<int32_t> kept;
    const int32_t total = m_table.totalRows();
    for (int32_t row = 1; row < total; ++row) {
        if (m_table.isDeleted(row))
            continue;
        if (!seen.insert(std::string_view(m_table.cell(column, row))).second)
            continue;
        if (!filtered || std::strcmp(m_table.cell(filterColumn, row), filterText) == 0)
            kept.push_back(row);
    }
    for (const int32_t row : kept)
        m_table.mark(row);
    m_searchState = kDistinctResults;
    *count = static_cast<int32_t>(kept.size());
    *state = kDistinctResults;
    return kOk;
}

int32_t MediaDbEngine::getRecordKind(int32_t record, int32_t *kind)
{
    if (!kind)
        return kPointer;
    MediaDbShared lock(m_lock);
    const int32_t column = m_table.columnIndexOf("Mediaformat");
    if (column < 1 || record < 1 || record >= m_table.totalRows() || m_table.isDeleted(record))
        return kFail;
    static const struct {
        const char *value;
        int32_t kind;
    } kinds[] = {{"MP3", 4},      {"WAV", 3},  {"CDA", 2},   {"CD_TRACK", 2}, {"MPG", 16}, {"M3U", 9},
                 {"PLAYLIST", 9}, {"BMP", 18}, {"AVI", 7},   {"QDV", 15},     {"WMA", 5},  {"ASF", 5},
                 {"WMV", 5},      {"OGG", 17}, {"CRYPT", 8}, {"MOV", 6}};
    const char *value = m_table.cell(column, record);
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
