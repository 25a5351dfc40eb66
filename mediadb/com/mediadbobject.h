#pragma once

#include "dbqd.h"

// The media-database object: one per CoCreateInstance, a client of the shared
// engine while open. IMediaDb is its identity; IMediaDb2 and IMediaDb3 reach
// the same reference count. Callable from any thread; the engine serialises.
class MediaDbObject final : public IMediaDb, public IMediaDb2, public IMediaDb3
{
  public:
    MediaDbObject();

    // Makes the object one of the engine's users (the first one loads the catalogue).
    void attachEngine();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IMediaDb
    HRESULT STDMETHODCALLTYPE getInfo(MediaDbInfo *info) override;
    HRESULT STDMETHODCALLTYPE getColumnName(int32_t column, char *buffer, uint32_t size,
                                            uint32_t *reserved) override;
    HRESULT STDMETHODCALLTYPE getColumnIndex(const char *name, int32_t *column) override;
    HRESULT STDMETHODCALLTYPE getField(int32_t column, int32_t record, char *buffer, int32_t size,
                                       uint32_t flags) override;
    HRESULT STDMETHODCALLTYPE setField(int32_t column, int32_t record, const char *text,
                                       uint32_t flags) override;
    HRESULT STDMETHODCALLTYPE addRecord(const char *line, int32_t *record) override;
    HRESULT STDMETHODCALLTYPE deleteRecord(int32_t record) override;
    HRESULT STDMETHODCALLTYPE clearMarks() override;
    HRESULT STDMETHODCALLTYPE findRecord(const char *genre, const char *artist, const char *album,
                                         const char *title, char *buffer, int32_t size, uint32_t flags,
                                         int32_t *record) override;
    HRESULT STDMETHODCALLTYPE search(int32_t count, const MediaDbCondition *conditions, int32_t *matches,
                                     int32_t *state, uint32_t flags) override;
    HRESULT STDMETHODCALLTYPE getSearchResults(int32_t mode, int32_t maximum, int32_t *records) override;
    HRESULT STDMETHODCALLTYPE listDistinct(int32_t column, int32_t filterColumn, const char *filterText,
                                           int32_t *count, int32_t *state) override;
    HRESULT STDMETHODCALLTYPE getDistinctResults(int32_t mode, int32_t maximum, int32_t *records) override;
    HRESULT STDMETHODCALLTYPE save() override;
    HRESULT STDMETHODCALLTYPE reserved(uint32_t value) override;
    HRESULT STDMETHODCALLTYPE open(const char *clientName, HWND window, UINT message, int32_t count,
                                   const MediaDbCondition *conditions, uint32_t flags) override;
    HRESULT STDMETHODCALLTYPE getRecordKind(int32_t record, int32_t *kind) override;
    HRESULT STDMETHODCALLTYPE holdNotifications(uint32_t flags) override;
    HRESULT STDMETHODCALLTYPE isNotifying() override;
    HRESULT STDMETHODCALLTYPE createReader(IMediaDbReader **reader) override;

    // IMediaDb2
    HRESULT STDMETHODCALLTYPE setFieldOfRecords(const int32_t *records, int32_t count, int32_t column,
                                                const char *text, uint32_t continueOnError) override;
    HRESULT STDMETHODCALLTYPE deleteRecords(const int32_t *records, int32_t count,
                                            uint32_t continueOnError) override;
    HRESULT STDMETHODCALLTYPE removeMissingFiles(MediaDbRemoveRequest *request, uint32_t reserved) override;
    HRESULT STDMETHODCALLTYPE exportHtml(const MediaDbExportRequest *request) override;
    HRESULT STDMETHODCALLTYPE importFile(const MediaDbImportRequest *request) override;
    HRESULT STDMETHODCALLTYPE addColumn(const char *name, uint32_t reserved) override;
    HRESULT STDMETHODCALLTYPE getNotificationData(int32_t slot, int32_t size, void *buffer) override;

    // IMediaDb3
    HRESULT STDMETHODCALLTYPE scanMedia(MediaDbScanSink *sink) override;
    HRESULT STDMETHODCALLTYPE close(const char *clientName, uint32_t reserved) override;

  private:
    ~MediaDbObject();

    bool isOpen() const { return m_open != 0; }
    // The stored client name as a terminated text (it has no terminator at 40 characters).
    void storedName(char (&name)[41]) const;

    LONG volatile m_refCount;
    LONG m_open;
    char m_clientName[40];
};
