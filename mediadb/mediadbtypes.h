#pragma once

// Result codes, records and the column table shared by the media database
// engine and the COM frame around it. Plain C++: no Windows headers here.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define MEDIADB_CALL __stdcall
#else
#define MEDIADB_CALL
#endif

namespace mediadb
{

// COM result values, spelled out so the core needs no Windows header.
constexpr int32_t kOk = 0;
constexpr int32_t kFalse = 1;
constexpr int32_t kNotOpen = static_cast<int32_t>(0x80000001u);
constexpr int32_t kAlreadyOpen = static_cast<int32_t>(0x80000002u);
constexpr int32_t kTooManyClients = static_cast<int32_t>(0x80000003u);
constexpr int32_t kNoSuchClient = static_cast<int32_t>(0x80000004u);
constexpr int32_t kPending = static_cast<int32_t>(0x8000000Au);
constexpr int32_t kUnexpected = static_cast<int32_t>(0x8000FFFFu);
constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001u);
constexpr int32_t kNoInterface = static_cast<int32_t>(0x80004002u);
constexpr int32_t kPointer = static_cast<int32_t>(0x80004003u);
constexpr int32_t kAbort = static_cast<int32_t>(0x80004004u);
constexpr int32_t kFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kWriteFault = static_cast<int32_t>(0x8003001Du);
constexpr int32_t kHandle = static_cast<int32_t>(0x80070006u);
constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000Eu);
constexpr int32_t kInvalidArg = static_cast<int32_t>(0x80070057u);

// Window-message codes of the change notices (wParam).
constexpr uint32_t kNoticeOpened = 2;
constexpr uint32_t kNoticeChanged = 4;
constexpr uint32_t kNoticeChangeBegins = 5;
constexpr uint32_t kNoticeRestored = 6;

// Kinds inside a detailed change notice.
constexpr int32_t kChangeDeleted = 1;
constexpr int32_t kChangeAdded = 2;
constexpr int32_t kChangeChanged = 4;

// State bits reported by getInfo.
constexpr uint32_t kStateSearching = 1;
constexpr uint32_t kStateChanging = 4;
constexpr uint32_t kStateDeleting = 8;
constexpr uint32_t kStateLoading = 16;
constexpr uint32_t kStateScanning = 32;
constexpr uint32_t kStateReading = 64;
constexpr uint32_t kStateClosed = 128;

// Row flag bits of the index column.
constexpr uint32_t kRowDeleted = 1;
constexpr uint32_t kRowMarked = 2;

// Search operators.
constexpr int32_t kOpAny = 0;
constexpr int32_t kOpEqual = 1;
constexpr int32_t kOpContains = 2;
constexpr int32_t kOpGreater = 3;
constexpr int32_t kOpLess = 4;
constexpr int32_t kOpNotEqual = 5;

// Combine modes of a search condition. Any mode but OR is AND, and an AND
// condition is not even read once the result is false.
constexpr int32_t kCombineAnd = 1;
constexpr int32_t kCombineOr = 2;

// Flags of search: wait for results not yet fetched (else kPending at once),
// up to kPendingWaitTries steps of kPendingWaitStepMs: 15 s.
constexpr uint32_t kSearchWait = 1;
constexpr int kPendingWaitTries = 15000;
constexpr unsigned kPendingWaitStepMs = 1;

// Results waiting to be fetched (the search state), and the fetch modes.
constexpr int32_t kSearchResults = 1;
constexpr int32_t kDistinctResults = 2;

// Flags of findRecord: the first bit set names the value copied out;
// kFindMark, the same bit as kFindTitle, also marks the record.
constexpr uint32_t kFindArtist = 1;
constexpr uint32_t kFindTitle = 2;
constexpr uint32_t kFindMark = 2;
constexpr uint32_t kFindAlbum = 8;
constexpr uint32_t kFindGenre = 32;

// Flags of holdNotifications.
constexpr uint32_t kHoldNotices = 1;
constexpr uint32_t kReleaseNotices = 2;

// Flags of a client: it wants change notices.
constexpr uint32_t kClientNotify = 1;

// Scan flags.
constexpr uint32_t kScanNewFile = 1;
constexpr uint32_t kScanNoSubfolders = 2;
constexpr uint32_t kScanKeepExtensions = 16;
constexpr uint32_t kScanCreating = 32;
constexpr uint32_t kScanSkipHidden = 64;

// Export flags.
constexpr uint32_t kExportText = 1;
constexpr uint32_t kExportDatabase = 2;
constexpr uint32_t kExportHtml = 4;
constexpr uint32_t kExportUnimplemented = 8;

constexpr int32_t kImportReplace = 2;

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 1;
constexpr int kMaxClients = 10;
constexpr int kNoticeQueueSize = 400;
constexpr int kTransferSlots = 30;
constexpr int kColumnNameSize = 100;
constexpr int kPathSize = 260;
constexpr int kClientNameSize = 40;
constexpr std::size_t kSpareBytesPerRow = 512;
constexpr std::size_t kSpareRows = 1000;

} // namespace mediadb

struct MediaDbInfo {
    int32_t versionMajor;
    int32_t versionMinor;
    int32_t columns; // without the index column
    int32_t records; // live rows without the header
    int32_t deletedRows;
    int32_t rowCapacity;
    char path[mediadb::kPathSize];
    uint32_t state;
};
static_assert(sizeof(MediaDbInfo) == 288, "MediaDbInfo is 288 bytes");

struct MediaDbCondition {
    int32_t op;
    int32_t column;
    int32_t combine; // mediadb::kCombineOr, else AND
    char text[mediadb::kPathSize];
};
static_assert(sizeof(MediaDbCondition) == 272, "MediaDbCondition is 272 bytes");

struct MediaDbNotice {
    int32_t size; // 12
    int32_t record;
    int32_t kind; // mediadb::kChangeDeleted, kChangeAdded, kChangeChanged
};
static_assert(sizeof(MediaDbNotice) == 12, "MediaDbNotice is 12 bytes");

struct MediaDbRemoveRequest {
    uint32_t size;    // sizeof(MediaDbRemoveRequest): 8 in a 32-bit process
    int32_t *removed; // may be null
};

struct MediaDbExportRequest {
    uint32_t size; // 280
    uint32_t flags;
    char fileName[mediadb::kPathSize];
    char reserved[12];
};
static_assert(sizeof(MediaDbExportRequest) == 280, "MediaDbExportRequest is 280 bytes");

struct MediaDbImportRequest {
    uint32_t size; // 268
    int32_t mode;  // mediadb::kImportReplace, else add
    char fileName[mediadb::kPathSize];
};
static_assert(sizeof(MediaDbImportRequest) == 268, "MediaDbImportRequest is 268 bytes");

// Request to write the header of a new database file.
struct MediaDbNewFileRequest {
    uint32_t size; // 560
    uint32_t one;
    uint32_t flags;
    char reserved[260];
    char extensions[288];
};
static_assert(sizeof(MediaDbNewFileRequest) == 560, "MediaDbNewFileRequest is 560 bytes");
static_assert(offsetof(MediaDbNewFileRequest, flags) == 8, "MediaDbNewFileRequest layout");
static_assert(offsetof(MediaDbNewFileRequest, extensions) == 272, "the extension list starts at byte 272");

// What the frame hands to openClient; the engine keeps its own copy.
struct MediaDbClientRecord {
    uint32_t size; // 64
    char name[mediadb::kClientNameSize];
    uint32_t flags; // mediadb::kClientNotify
    void *window;
    uint32_t message;
    int32_t conditionCount;
    const MediaDbCondition *conditions;
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(MediaDbClientRecord) == 64, "MediaDbClientRecord is 64 bytes");
static_assert(offsetof(MediaDbClientRecord, name) == 4, "MediaDbClientRecord layout");
static_assert(offsetof(MediaDbClientRecord, flags) == 44, "MediaDbClientRecord layout");
static_assert(offsetof(MediaDbClientRecord, window) == 48, "MediaDbClientRecord layout");
static_assert(offsetof(MediaDbClientRecord, message) == 52, "MediaDbClientRecord layout");
static_assert(offsetof(MediaDbClientRecord, conditionCount) == 56, "MediaDbClientRecord layout");
static_assert(offsetof(MediaDbClientRecord, conditions) == 60, "MediaDbClientRecord layout");
#endif

struct MediaDbColumn {
    const char *name;
    const char *defaultValue;
    int width;
};

namespace mediadb
{

constexpr int kTableColumns = 25;
constexpr int kPathColumn = 7;

// The known columns, in the order of a new file's header.
constexpr MediaDbColumn kColumnTable[kTableColumns] = {
    {"Artist", "--", 100},
    {"Title", "unknown Title", 100},
    {"Playtime", "00000000", 100},
    {"Album", "--", 100},
    {"Year", "", 6},
    {"Genre", "NO_GENRE", 50},
    {"Location", "", 100},
    {"Path", "", 260},
    {"Comment", "", 100},
    {"Filesize", "00000000", 40},
    {"Filetime", "", 40},
    {"Mediatype", "OTHER", 40},
    {"Mediaformat", "UNKNOWN", 40},
    {"Mediasubformat", "", 40},
    {"Volumename", "", 40},
    {"Volumenumber", "", 40},
    {"Catalognumber", "", 40},
    {"Filesysname", "", 40},
    {"Bitrate", "", 40},
    {"Filelensamples", "00000000", 40},
    {"Bitratetype", "", 40},
    {"Tempo", "", 40},
    {"XResolution", "", 40},
    {"YResolution", "", 40},
    {"Creationtime", "", 40},
};

} // namespace mediadb
