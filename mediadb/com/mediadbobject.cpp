#include "mediadbobject.h"

#include "dbqdmodule.h"
#include "mediadbengine.h"
#include "mediadbreader.h"

#include <cstring>
#include <new>

#if !defined(_WIN64)
// The 32-bit layout: three interface pointers, count, open flag, 40-character name.
static_assert(sizeof(MediaDbObject) == 60, "MediaDbObject layout");
#endif

namespace
{

MediaDbEngine &engine()
{
    return dbqdEngine();
}

// Client names are 5 to 40 characters.
HRESULT checkClientName(const char *name)
{
    if (!name)
        return E_POINTER;
    const size_t length = strnlen(name, 41);
    return length < 5 || length > 40 ? E_INVALIDARG : S_OK;
}

} // namespace

MediaDbObject::MediaDbObject() : m_refCount(0), m_open(0)
{
    m_clientName[0] = 0;
}

MediaDbObject::~MediaDbObject()
{
    if (isOpen()) {
        char name[41];
        storedName(name);
        engine().closeClient(name, this);
    }
}

void MediaDbObject::attachEngine()
{
    engine().attach();
}

void MediaDbObject::storedName(char (&name)[41]) const
{
    std::memcpy(name, m_clientName, sizeof m_clientName);
    name[40] = 0;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::QueryInterface(REFIID interfaceId, void **out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(interfaceId, IID_IMediaDb) || IsEqualIID(interfaceId, IID_IUnknown))
        *out = static_cast<IMediaDb *>(this);
    else if (IsEqualIID(interfaceId, IID_IMediaDb2))
        *out = static_cast<IMediaDb2 *>(this);
    else if (IsEqualIID(interfaceId, IID_IMediaDb3))
        *out = static_cast<IMediaDb3 *>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE MediaDbObject::AddRef()
{
    if (InterlockedCompareExchange(&m_refCount, 0, 0) == 0)
        dbqdLockModule();
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

ULONG STDMETHODCALLTYPE MediaDbObject::Release()
{
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0) {
        engine().detach();
        delete this;
        dbqdUnlockModule();
    }
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE MediaDbObject::getInfo(MediaDbInfo *info)
{
    return isOpen() ? engine().getInfo(info) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::getColumnName(int32_t column, char *buffer, uint32_t size,
                                                       uint32_t *reserved)
{
    return isOpen() ? engine().getColumnName(column, buffer, size, reserved) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::getColumnIndex(const char *name, int32_t *column)
{
    return isOpen() ? engine().getColumnIndex(name, column) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::getField(int32_t column, int32_t record, char *buffer, int32_t size,
                                                  uint32_t flags)
{
    return isOpen() ? engine().getField(column, record, buffer, size, flags) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::setField(int32_t column, int32_t record, const char *text, uint32_t)
{
    return isOpen() ? engine().setField(column, record, text) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::addRecord(const char *line, int32_t *record)
{
    return isOpen() ? engine().addRecord(line, record) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::deleteRecord(int32_t record)
{
    return isOpen() ? engine().deleteRecord(record, false) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::clearMarks()
{
    return isOpen() ? engine().clearMarks() : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::findRecord(const char *genre, const char *artist, const char *album,
                                                    const char *title, char *buffer, int32_t size,
                                                    uint32_t flags, int32_t *record)
{
    return isOpen() ? engine().findRecord(genre, artist, album, title, buffer, size, flags, record)
                    : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::search(int32_t count, const MediaDbCondition *conditions,
                                                int32_t *matches, int32_t *state, uint32_t flags)
{
    return isOpen() ? engine().search(count, conditions, matches, state, flags) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::getSearchResults(int32_t mode, int32_t maximum, int32_t *records)
{
    return isOpen() ? engine().getSearchResults(mode, maximum, records) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::listDistinct(int32_t column, int32_t filterColumn,
                                                      const char *filterText, int32_t *count, int32_t *state)
{
    return isOpen() ? engine().listDistinct(column, filterColumn, filterText, count, state)
                    : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::getDistinctResults(int32_t mode, int32_t maximum, int32_t *records)
{
    return isOpen() ? engine().getDistinctResults(mode, maximum, records) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::save()
{
    return isOpen() ? engine().save() : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::reserved(uint32_t)
{
    return isOpen() ? E_NOTIMPL : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::open(const char *clientName, HWND window, UINT message,
                                              int32_t count, const MediaDbCondition *conditions,
                                              uint32_t flags)
{
    if (isOpen())
        return MEDIADB_E_ALREADYOPEN;
    const HRESULT nameCheck = checkClientName(clientName);
    if (FAILED(nameCheck))
        return nameCheck;
    // The engine copies count conditions: refuse what it cannot read.
    if (count < 0)
        return E_INVALIDARG;
    if (count > 0 && !conditions)
        return E_POINTER;

    MediaDbClientRecord client = {};
    client.size = 64;
    const size_t length = strnlen(clientName, sizeof client.name);
    std::memcpy(client.name, clientName, length);
    client.flags = flags;
    client.window = window;
    client.message = message;
    client.conditionCount = count;
    client.conditions = conditions;
    std::memset(m_clientName, 0, sizeof m_clientName);
    std::memcpy(m_clientName, clientName, length);

    // Another object may open under the same name: the entry is known by its owner.
    const HRESULT result = engine().openClient(&client, this);
    if (SUCCEEDED(result))
        m_open = 1;
    return result;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::getRecordKind(int32_t record, int32_t *kind)
{
    return isOpen() ? engine().getRecordKind(record, kind) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::holdNotifications(uint32_t flags)
{
    return engine().holdNotifications(flags);
}

HRESULT STDMETHODCALLTYPE MediaDbObject::isNotifying()
{
    return engine().isNotifying();
}

HRESULT STDMETHODCALLTYPE MediaDbObject::createReader(IMediaDbReader **reader)
{
    if (!reader)
        return E_POINTER;
    *reader = new (std::nothrow) MediaDbReader(static_cast<IMediaDb *>(this));
    return *reader ? S_OK : E_OUTOFMEMORY;
}

// Walks the identifiers; a zero ends the list (the remaining steps see it again).
template <typename Step>
static HRESULT walkRecords(const int32_t *records, int32_t count, uint32_t continueOnError, Step step)
{
    HRESULT result = S_OK;
    int32_t index = 0;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t record = records[index];
        if (record == 0)
            continue;
        result = step(record);
        ++index;
        if (!continueOnError && FAILED(result))
            break;
    }
    return result;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::setFieldOfRecords(const int32_t *records, int32_t count,
                                                           int32_t column, const char *text,
                                                           uint32_t continueOnError)
{
    if (count < 1 || column < 1)
        return E_INVALIDARG;
    if (!records || !text)
        return E_POINTER;
    return walkRecords(records, count, continueOnError,
                       [&](int32_t record) { return engine().setField(column, record, text); });
}

HRESULT STDMETHODCALLTYPE MediaDbObject::deleteRecords(const int32_t *records, int32_t count,
                                                       uint32_t continueOnError)
{
    if (count < 1)
        return E_INVALIDARG;
    if (!records)
        return E_POINTER;
    return walkRecords(records, count, continueOnError,
                       [&](int32_t record) { return engine().deleteRecord(record, false); });
}

HRESULT STDMETHODCALLTYPE MediaDbObject::removeMissingFiles(MediaDbRemoveRequest *request, uint32_t)
{
    return engine().removeMissingFiles(request);
}

HRESULT STDMETHODCALLTYPE MediaDbObject::exportHtml(const MediaDbExportRequest *request)
{
    return engine().exportHtml(request);
}

HRESULT STDMETHODCALLTYPE MediaDbObject::importFile(const MediaDbImportRequest *request)
{
    return engine().importFile(request);
}

HRESULT STDMETHODCALLTYPE MediaDbObject::addColumn(const char *name, uint32_t)
{
    return isOpen() ? engine().addColumn(name) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::getNotificationData(int32_t slot, int32_t size, void *buffer)
{
    return isOpen() ? engine().getNotificationData(slot, size, buffer) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::scanMedia(MediaDbScanSink *sink)
{
    return isOpen() ? engine().scanMedia(sink) : MEDIADB_E_NOTOPEN;
}

HRESULT STDMETHODCALLTYPE MediaDbObject::close(const char *clientName, uint32_t)
{
    if (!isOpen())
        return E_FAIL;
    const HRESULT nameCheck = checkClientName(clientName);
    if (FAILED(nameCheck))
        return nameCheck;
    m_open = 0;
    char name[41];
    storedName(name);
    return engine().closeClient(name, this);
}
