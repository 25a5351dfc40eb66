#pragma once

#include "testcomobject.h"

#include <wia.h>

class TestWiaDevMgr;

// What RegisterEventCallbackInterface hands out: holds the client's callback
// for one event until the client releases it.
class TestWiaRegistration final : public TestComObject, public IUnknown
{
  public:
    TestWiaRegistration(TestWiaDevMgr &manager, const GUID &event, IWiaEventCallback *callback);

    const GUID &event() const { return m_event; }
    // The callback with a reference of the caller's, or null once released.
    IWiaEventCallback *callback();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override;
    TEST_COM_REFERENCES

  private:
    void finalRelease() override;

    TestWiaDevMgr &m_manager;
    GUID m_event;
    IWiaEventCallback *m_callback;
};
