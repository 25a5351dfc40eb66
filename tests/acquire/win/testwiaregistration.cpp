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
    return queryOneInterface<IUnknown>(this, IID_IUnknown, interfaceId, out);
}

void TestWiaRegistration::finalRelease()
{
    m_manager.dropRegistration(this);
    IWiaEventCallback *callback = m_callback;
    m_callback = nullptr;
    callback->Release();
}
