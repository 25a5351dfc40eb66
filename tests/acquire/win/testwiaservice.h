#pragma once

#include "testwiadevmgr.h"

#include <objbase.h>

// Offers the test device manager in place of the system's WIA service: a
// class object registered in this process for the WIA device manager's class
// as a local server, for as long as the service object lives.
class TestWiaService
{
  public:
    TestWiaService();
    ~TestWiaService();
    TestWiaService(const TestWiaService &) = delete;
    TestWiaService &operator=(const TestWiaService &) = delete;

    HRESULT registration() const { return m_registration; }
    TestWiaDevMgr &manager() { return *m_manager; }
    // Creation answers this failure instead of a device manager, as without a WIA service.
    void refuseCreation(HRESULT result) { m_factory.refusal = result; }
    int creations() const { return m_factory.creations; }
    // Revokes the class and gives up the service's reference on the manager.
    void stop();

  private:
    struct Factory : public IClassFactory {
        TestWiaDevMgr *manager = nullptr;
        HRESULT refusal = S_OK;
        int creations = 0;

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID interfaceId, void **out) override;
        HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    };

    TestWiaDevMgr *m_manager;
    Factory m_factory;
    DWORD m_cookie = 0;
    HRESULT m_registration = E_FAIL;
};
