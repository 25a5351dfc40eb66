#include "mediadbreader.h"

#include "dbqdmodule.h"
#include "mediadbengine.h"

#include <cstring>

#if !defined(_WIN64)
// Interface pointer, owning object, count.
static_assert(sizeof(MediaDbReader) == 12, "MediaDbReader layout");
#endif

MediaDbReader::MediaDbReader(IMediaDb *owner) : m_owner(owner), m_refCount(1)
{
    m_owner->AddRef();
}

HRESULT STDMETHODCALLTYPE MediaDbReader::QueryInterface(REFIID interfaceId, void **out)
{
    if (!out)
        return E_POINTER;
    if (!IsEqualIID(interfaceId, IID_IUnknown) && !IsEqualIID(interfaceId, IID_IMediaDbReader))
        return E_NOINTERFACE;
    AddRef();
    *out = static_cast<IMediaDbReader *>(this);
    return S_OK;
}

ULONG STDMETHODCALLTYPE MediaDbReader::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

ULONG STDMETHODCALLTYPE MediaDbReader::Release()
{
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        destroy();
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE MediaDbReader::getField(int32_t column, int32_t record, char *buffer, int32_t size,
                                                  uint32_t)
{
    // getField's copy, on the unlocked text.
    if (column < 1 || size <= 0)
        return E_INVALIDARG;
    const char *text = nullptr;
    const HRESULT result = dbqdEngine().getFieldText(column, record, &text);
    if (result == E_INVALIDARG)
        return result;
    if (!buffer)
        return E_POINTER;
    std::strncpy(buffer, text ? text : "", static_cast<size_t>(size));
    return result;
}

HRESULT STDMETHODCALLTYPE MediaDbReader::getFieldText(int32_t column, int32_t record, const char **text,
                                                      uint32_t)
{
    return dbqdEngine().getFieldText(column, record, text);
}

void STDMETHODCALLTYPE MediaDbReader::destroy()
{
    IMediaDb *owner = m_owner;
    delete this;
    owner->Release();
}
