#pragma once

#include "testcomobject.h"
#include "testwiahandler.h"

#include <wia.h>

#include <vector>

// The handlers registered for one event, as EnumRegisterEventInfo hands them out.
class TestWiaHandlerEnum final : public TestComObject, public IEnumWIA_DEV_CAPS
{
  public:
    explicit TestWiaHandlerEnum(std::vector<TestWiaHandler> handlers);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override;
    TEST_COM_REFERENCES

    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, WIA_DEV_CAP *out, ULONG *fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumWIA_DEV_CAPS **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCount(ULONG *count) override;

  private:
    std::vector<TestWiaHandler> m_handlers;
    size_t m_position = 0;
};
