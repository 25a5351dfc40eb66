#pragma once
// Public interface of the DB_QD media-database server for host programs:
// class and interface identifiers, the three interfaces of the media-database
// object, the field reader, the host's scan callback and the records passed
// across them. Texts are single-byte strings in the host's ANSI code page.

#include <objbase.h>
#include <stddef.h>
#include <stdint.h>

// Class of the media-database object.
// {f060823e-f726-48c4-8f3b-fe71ffee339b}
inline constexpr GUID CLSID_MediaDb = {
    0xf060823e, 0xf726, 0x48c4, {0x8f, 0x3b, 0xfe, 0x71, 0xff, 0xee, 0x33, 0x9b}};
// {a437def9-529c-473a-9787-a755edc7ea1c}
inline constexpr GUID IID_IMediaDb = {
    0xa437def9, 0x529c, 0x473a, {0x97, 0x87, 0xa7, 0x55, 0xed, 0xc7, 0xea, 0x1c}};
// {aa37def9-529c-473a-9787-a755edc7ea1c}
inline constexpr GUID IID_IMediaDb2 = {
    0xaa37def9, 0x529c, 0x473a, {0x97, 0x87, 0xa7, 0x55, 0xed, 0xc7, 0xea, 0x1c}};
// {3f8c3b9d-6336-4270-8153-2a447884f4af}; the field reader answers it too.
inline constexpr GUID IID_IMediaDb3 = {
    0x3f8c3b9d, 0x6336, 0x4270, {0x81, 0x53, 0x2a, 0x44, 0x78, 0x84, 0xf4, 0xaf}};
inline constexpr GUID IID_IMediaDbReader = IID_IMediaDb3;

// Result codes of the server besides the published COM ones.
inline constexpr HRESULT MEDIADB_E_NOTOPEN = static_cast<HRESULT>(0x80000001);
inline constexpr HRESULT MEDIADB_E_ALREADYOPEN = static_cast<HRESULT>(0x80000002);
inline constexpr HRESULT MEDIADB_E_TOOMANYCLIENTS = static_cast<HRESULT>(0x80000003);
inline constexpr HRESULT MEDIADB_E_NOSUCHCLIENT = static_cast<HRESULT>(0x80000004);

// Notice codes: the wParam of the client's window message.
enum MediaDbNoticeCode : uint32_t {
    MEDIADB_NOTICE_OPENED = 2,
    MEDIADB_NOTICE_CHANGED = 4,
    MEDIADB_NOTICE_CHANGING = 5,
    MEDIADB_NOTICE_RESTORED = 6,
};

// Flags of open: bit 0 asks for change notices.
inline constexpr uint32_t MEDIADB_OPEN_NOTIFY = 1;

#ifdef DBQD_BUILDING_SERVER
// Inside the server the engine's own definitions of the same records are used.
#include "mediadbscansink.h"
#include "mediadbtypes.h"
#else
// Database state and size, filled by getInfo.
struct MediaDbInfo {
    int32_t versionMajor;
    int32_t versionMinor;
    int32_t columns; // without the index column
    int32_t records; // live records, without the header
    int32_t deletedRows;
    int32_t rowCapacity;
    char path[260];
    uint32_t state;
};

// One search or open condition.
struct MediaDbCondition {
    int32_t op; // 0 any, 1 equal, 2 contains, 3 greater, 4 less, 5 not equal
    int32_t column;
    int32_t combine; // 2 or, 1 and (lazy), other and
    char text[260];
};

// One change: kind 1 deleted, 2 added, 4 changed.
struct MediaDbNotice {
    int32_t size; // 12
    int32_t record;
    int32_t kind;
};

// exportHtml: flags 1 text, 2 database file, 4 HTML, 8 not implemented.
struct MediaDbExportRequest {
    uint32_t size; // 280
    uint32_t flags;
    char fileName[260];
    char reserved[12];
};

// importFile: mode 2 replaces the catalogue, any other adds to it.
struct MediaDbImportRequest {
    uint32_t size; // 268
    int32_t mode;
    char fileName[260];
};

// removeMissingFiles.
struct MediaDbRemoveRequest {
    uint32_t size;    // sizeof(MediaDbRemoveRequest): 8 in a 32-bit process
    int32_t *removed; // receives the number of removed records; may be null
};

// The host's scan callback object, handed to IMediaDb3::scanMedia.
struct MediaDbScanSink : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE reportColumn(const char *name, int32_t index, int32_t count) = 0;
    virtual HRESULT STDMETHODCALLTYPE beginFile(const char *path, uint32_t reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE getValue(int32_t column, int32_t size, char *buffer,
                                               uint32_t reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE getStartFolder(char *buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE getExtensions(char *buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE getFlags(uint32_t *flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE progress(int32_t percent, const char *text, int32_t *cancel) = 0;
};
#endif

// The records as a 32-bit host lays them out (the same on x86_64 but for the
// remove request, which holds a pointer).
static_assert(sizeof(MediaDbInfo) == 288, "MediaDbInfo layout");
static_assert(offsetof(MediaDbInfo, versionMinor) == 4, "MediaDbInfo layout");
static_assert(offsetof(MediaDbInfo, columns) == 8, "MediaDbInfo layout");
static_assert(offsetof(MediaDbInfo, records) == 12, "MediaDbInfo layout");
static_assert(offsetof(MediaDbInfo, deletedRows) == 16, "MediaDbInfo layout");
static_assert(offsetof(MediaDbInfo, rowCapacity) == 20, "MediaDbInfo layout");
static_assert(offsetof(MediaDbInfo, path) == 24, "MediaDbInfo layout");
static_assert(offsetof(MediaDbInfo, state) == 284, "MediaDbInfo layout");
static_assert(sizeof(MediaDbCondition) == 272, "MediaDbCondition layout");
static_assert(offsetof(MediaDbCondition, column) == 4, "MediaDbCondition layout");
static_assert(offsetof(MediaDbCondition, combine) == 8, "MediaDbCondition layout");
static_assert(offsetof(MediaDbCondition, text) == 12, "MediaDbCondition layout");
static_assert(sizeof(MediaDbNotice) == 12, "MediaDbNotice layout");
static_assert(offsetof(MediaDbNotice, record) == 4, "MediaDbNotice layout");
static_assert(offsetof(MediaDbNotice, kind) == 8, "MediaDbNotice layout");
static_assert(sizeof(MediaDbExportRequest) == 280, "MediaDbExportRequest layout");
static_assert(offsetof(MediaDbExportRequest, flags) == 4, "MediaDbExportRequest layout");
static_assert(offsetof(MediaDbExportRequest, fileName) == 8, "MediaDbExportRequest layout");
static_assert(offsetof(MediaDbExportRequest, reserved) == 268, "MediaDbExportRequest layout");
static_assert(sizeof(MediaDbImportRequest) == 268, "MediaDbImportRequest layout");
static_assert(offsetof(MediaDbImportRequest, mode) == 4, "MediaDbImportRequest layout");
static_assert(offsetof(MediaDbImportRequest, fileName) == 8, "MediaDbImportRequest layout");

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(MediaDbRemoveRequest) == 8, "MediaDbRemoveRequest layout");
static_assert(offsetof(MediaDbRemoveRequest, removed) == 4, "MediaDbRemoveRequest layout");
#endif

// Field reader from IMediaDb::createReader: reads without the engine's lock.
struct IMediaDbReader : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE getField(int32_t column, int32_t record, char *buffer, int32_t size,
                                               uint32_t flags) = 0;
    // Hands out the engine's own text (column 0: the record's flag word); valid until the next change.
    virtual HRESULT STDMETHODCALLTYPE getFieldText(int32_t column, int32_t record, const char **text,
                                                   uint32_t flags) = 0;
    // Called by Release when the count reaches 0; hosts do not call it.
    virtual void STDMETHODCALLTYPE destroy() = 0;
};

// The media-database object's identity.
struct IMediaDb : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE getInfo(MediaDbInfo *info) = 0;
    virtual HRESULT STDMETHODCALLTYPE getColumnName(int32_t column, char *buffer, uint32_t size,
                                                    uint32_t *reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE getColumnIndex(const char *name, int32_t *column) = 0;
    virtual HRESULT STDMETHODCALLTYPE getField(int32_t column, int32_t record, char *buffer, int32_t size,
                                               uint32_t flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE setField(int32_t column, int32_t record, const char *text,
                                               uint32_t flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE addRecord(const char *line, int32_t *record) = 0;
    virtual HRESULT STDMETHODCALLTYPE deleteRecord(int32_t record) = 0;
    virtual HRESULT STDMETHODCALLTYPE clearMarks() = 0;
    virtual HRESULT STDMETHODCALLTYPE findRecord(const char *genre, const char *artist, const char *album,
                                                 const char *title, char *buffer, int32_t size,
                                                 uint32_t flags, int32_t *record) = 0;
    virtual HRESULT STDMETHODCALLTYPE search(int32_t count, const MediaDbCondition *conditions,
                                             int32_t *matches, int32_t *state, uint32_t flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE getSearchResults(int32_t mode, int32_t maximum, int32_t *records) = 0;
    virtual HRESULT STDMETHODCALLTYPE listDistinct(int32_t column, int32_t filterColumn,
                                                   const char *filterText, int32_t *count,
                                                   int32_t *state) = 0;
    virtual HRESULT STDMETHODCALLTYPE getDistinctResults(int32_t mode, int32_t maximum, int32_t *records) = 0;
    virtual HRESULT STDMETHODCALLTYPE save() = 0;
    virtual HRESULT STDMETHODCALLTYPE reserved(uint32_t value) = 0;
    virtual HRESULT STDMETHODCALLTYPE open(const char *clientName, HWND window, UINT message, int32_t count,
                                           const MediaDbCondition *conditions, uint32_t flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE getRecordKind(int32_t record, int32_t *kind) = 0;
    virtual HRESULT STDMETHODCALLTYPE holdNotifications(uint32_t flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE isNotifying() = 0;
    virtual HRESULT STDMETHODCALLTYPE createReader(IMediaDbReader **reader) = 0;
};

struct IMediaDb2 : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE setFieldOfRecords(const int32_t *records, int32_t count, int32_t column,
                                                        const char *text, uint32_t continueOnError) = 0;
    virtual HRESULT STDMETHODCALLTYPE deleteRecords(const int32_t *records, int32_t count,
                                                    uint32_t continueOnError) = 0;
    virtual HRESULT STDMETHODCALLTYPE removeMissingFiles(MediaDbRemoveRequest *request,
                                                         uint32_t reserved) = 0;
    virtual HRESULT STDMETHODCALLTYPE exportHtml(const MediaDbExportRequest *request) = 0;
    virtual HRESULT STDMETHODCALLTYPE importFile(const MediaDbImportRequest *request) = 0;
    virtual HRESULT STDMETHODCALLTYPE addColumn(const char *name, uint32_t reserved) = 0;
    // During a change notice: copies the notices of the transfer slot named in lParam.
    virtual HRESULT STDMETHODCALLTYPE getNotificationData(int32_t slot, int32_t size, void *buffer) = 0;
};

struct IMediaDb3 : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE scanMedia(MediaDbScanSink *sink) = 0;
    virtual HRESULT STDMETHODCALLTYPE close(const char *clientName, uint32_t reserved) = 0;
};
