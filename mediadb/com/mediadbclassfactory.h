#pragma once

#include <objbase.h>

// The one class factory of the media-database object; lives until process exit.
class MediaDbClassFactory : public IClassFactory
{
  public:
    static MediaDbClassFactory &instance();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID interfaceId, void **out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  private:
    MediaDbClassFactory() = default;

    LONG volatile m_refCount = 0;
};
