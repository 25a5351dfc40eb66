#include "testwiaservice.h"

TestWiaService::TestWiaService() : m_manager(new TestWiaDevMgr)
{
    m_factory.manager = m_manager;
    m_registration = CoRegisterClassObject(CLSID_WiaDevMgr, &m_factory, CLSCTX_LOCAL_SERVER,
                                           REGCLS_MULTIPLEUSE, &m_cookie);
}

TestWiaService::~TestWiaService()
{
    stop();
}

void TestWiaService::stop()
{
    if (SUCCEEDED(m_registration))
        CoRevokeClassObject(m_cookie);
    m_registration = E_FAIL;
    if (m_factory.manager) {
        m_factory.manager = nullptr;
        m_manager->Release();
    }
}

HRESULT STDMETHODCALLTYPE TestWiaService::Factory::QueryInterface(REFIID interfaceId, void **out)
{
    // The factory is static: its AddRef counts nothing.
    return queryOneInterface<IClassFactory>(this, IID_IClassFactory, interfaceId, out);
}

HRESULT STDMETHODCALLTYPE TestWiaService::Factory::CreateInstance(IUnknown *outer, REFIID interfaceId,
                                                                  void **out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    ++creations;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (FAILED(refusal))
        return refusal;
    if (!manager)
        return CO_E_SERVER_STOPPING;
    return manager->QueryInterface(interfaceId, out);
}
