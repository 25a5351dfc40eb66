#pragma once

#include "dbqd.h"

// Field reader handed out by IMediaDb::createReader: reads cells without the
// engine's lock; keeps the object that made it alive.
class MediaDbReader final : public IMediaDbReader
{
  public:
    // Takes a reference on owner; the reader starts with one reference of its own.
    explicit MediaDbReader(IMediaDb *owner);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE getField(int32_t column, int32_t record, char *buffer, int32_t size,
                                       uint32_t flags) override;
    HRESULT STDMETHODCALLTYPE getFieldText(int32_t column, int32_t record, const char **text,
                                           uint32_t flags) override;
    void STDMETHODCALLTYPE destroy() override;

  private:
    ~MediaDbReader() = default;

    IMediaDb *m_owner;
    LONG volatile m_refCount;
};
