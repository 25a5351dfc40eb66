#include "testwiaregistration.h"

#include "testwiadevmgr.h"

TestWiaRegistration::TestWiaRegistration(TestWiaDevMgr &manager, const GUID &event,
                                         IWiaEventCallback *callback)
    : TestComObject("event registration"), m_manager(manager), m_event(event), m_callback(callback)
{
    m_callback->AddRef();
}

IWiaEventCallback *TestWiaRegistration::callback()
{
    if (m_callback)
        m_callback->AddRef();
    return m_callback;
}

HRESULT STDMETHODCALLTYPE TestWiaRegistration::QueryInterface(REFIID interfaceId, void **out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(interfaceId, IID_IUnknown)) {
        *out = static_cast<IUnknown *>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

void TestWiaRegistration::finalRelease()
{
    m_manager.dropRegistration(this);
    IWiaEventCallback *callback = m_callback;
    m_callback = nullptr;
    callback->Release();
}
