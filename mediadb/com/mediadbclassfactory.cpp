#include "mediadbclassfactory.h"

#include "dbqdmodule.h"
#include "mediadbobject.h"

#include <new>

MediaDbClassFactory &MediaDbClassFactory::instance()
{
    static MediaDbClassFactory factory;
    return factory;
}

HRESULT STDMETHODCALLTYPE MediaDbClassFactory::QueryInterface(REFIID interfaceId, void **out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(interfaceId, IID_IClassFactory) || IsEqualIID(interfaceId, IID_IUnknown)) {
        AddRef();
        *out = static_cast<IClassFactory *>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE MediaDbClassFactory::AddRef()
{
    if (InterlockedCompareExchange(&m_refCount, 0, 0) == 0)
        dbqdLockModule();
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

ULONG STDMETHODCALLTYPE MediaDbClassFactory::Release()
{
    // The factory is static: the last release only lets the module go.
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        dbqdUnlockModule();
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE MediaDbClassFactory::CreateInstance(IUnknown *outer, REFIID interfaceId, void **out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    auto *object = new (std::nothrow) MediaDbObject;
    if (!object)
        return E_OUTOFMEMORY;
    object->attachEngine();
    // A failed QueryInterface lets the object go again.
    object->AddRef();
    const HRESULT result = object->QueryInterface(interfaceId, out);
    object->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE MediaDbClassFactory::LockServer(BOOL lock)
{
    if (lock)
        dbqdLockModule();
    else
        dbqdUnlockModule();
    return S_OK;
}
