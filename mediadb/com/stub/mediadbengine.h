#pragma once
// TEMPORARY stand-in for the portable engine until it lands on main; removed then.

#include "dbqd.h"

#include <cstdint>

struct MediaDbClient {
    uint32_t size;
    char name[40];
    uint32_t flags;
    HWND window;
    UINT message;
    int32_t conditionCount;
    const MediaDbCondition *conditions;
};

// Stand-in engine: a client table and nothing else.
class MediaDbEngine
{
public:
    static MediaDbEngine &instance();
    void attach() { ++m_attached; }
    void detach() { --m_attached; }
    HRESULT openClient(const MediaDbClient *client);
    HRESULT closeClient(const char *name);
    HRESULT getInfo(MediaDbInfo *) { return E_NOTIMPL; }
    HRESULT getColumnName(int32_t, char *, uint32_t, uint32_t *) { return E_NOTIMPL; }
    HRESULT getColumnIndex(const char *, int32_t *) { return E_NOTIMPL; }
    HRESULT getField(int32_t, int32_t, char *, int32_t, uint32_t) { return E_NOTIMPL; }
    HRESULT getFieldUnlocked(int32_t, int32_t, char *, int32_t, uint32_t) { return E_NOTIMPL; }
    HRESULT getFieldText(int32_t, int32_t, const char **) { return E_NOTIMPL; }
    HRESULT setField(int32_t, int32_t, const char *) { return E_NOTIMPL; }
    HRESULT addRecord(const char *, int32_t *) { return E_NOTIMPL; }
    HRESULT deleteRecord(int32_t, bool) { return E_NOTIMPL; }
    HRESULT clearMarks() { return E_NOTIMPL; }
    HRESULT findRecord(const char *, const char *, const char *, const char *, char *, int32_t, uint32_t, int32_t *)
    {
        return E_NOTIMPL;
    }
    HRESULT search(int32_t, const MediaDbCondition *, int32_t *, int32_t *, uint32_t) { return E_NOTIMPL; }
    HRESULT getSearchResults(int32_t, int32_t, int32_t *) { return E_NOTIMPL; }
    HRESULT listDistinct(int32_t, int32_t, const char *, int32_t *, int32_t *) { return E_NOTIMPL; }
    HRESULT getDistinctResults(int32_t, int32_t, int32_t *) { return E_NOTIMPL; }
    HRESULT save() { return E_NOTIMPL; }
    HRESULT getRecordKind(int32_t, int32_t *) { return E_NOTIMPL; }
    HRESULT holdNotifications(uint32_t flags)
    {
        if (flags & 1)
            ++m_held;
        if ((flags & 2) && m_held > 0)
            --m_held;
        return (flags & 1) ? S_OK : E_FAIL;
    }
    HRESULT isNotifying() { return m_held == 0 ? 1 : 0; }
    HRESULT getNotificationData(int32_t, int32_t, void *) { return E_NOTIMPL; }
    HRESULT addColumn(const char *) { return E_NOTIMPL; }
    HRESULT removeMissingFiles(MediaDbRemoveRequest *) { return E_NOTIMPL; }
    HRESULT exportHtml(const MediaDbExportRequest *) { return E_NOTIMPL; }
    HRESULT importFile(const MediaDbImportRequest *) { return E_NOTIMPL; }
    HRESULT scanMedia(MediaDbScanSink *) { return E_NOTIMPL; }

private:
    int m_attached = 0;
    int m_held = 0;
    char m_names[10][41] = {};
};
