#pragma once

#include "testcomobject.h"

#include <wia.h>

#include <string>
#include <vector>

// An enumeration of COM objects as WIA hands them out (items of a folder,
// property storages of the devices). Holds a reference on each element.
template <typename Interface, typename Element>
class TestWiaEnum final : public TestComObject, public Interface
{
  public:
    TestWiaEnum(const std::string &label, const IID &interfaceId, std::vector<Element *> elements)
        : TestComObject(label), m_interfaceId(interfaceId), m_elements(std::move(elements))
    {
        for (Element *element : m_elements)
            element->AddRef();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override
    {
        return queryOneInterface<Interface>(this, m_interfaceId, interfaceId, out);
    }
    TEST_COM_REFERENCES

    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, Element **out, ULONG *fetched) override
    {
        if (!out)
            return E_POINTER;
        ULONG given = 0;
        while (given < wanted && m_position < m_elements.size()) {
            out[given] = m_elements[m_position++];
            out[given]->AddRef();
            ++given;
        }
        if (fetched)
            *fetched = given;
        return given == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        m_position += count;
        return m_position <= m_elements.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(Interface **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCount(ULONG *count) override
    {
        if (!count)
            return E_POINTER;
        *count = static_cast<ULONG>(m_elements.size());
        return S_OK;
    }

  private:
    void finalRelease() override
    {
        for (Element *element : m_elements)
            element->Release();
        m_elements.clear();
    }

    IID m_interfaceId;
    std::vector<Element *> m_elements;
    size_t m_position = 0;
};

using TestWiaItemEnum = TestWiaEnum<IEnumWiaItem, IWiaItem>;
using TestWiaDeviceEnum = TestWiaEnum<IEnumWIA_DEV_INFO, IWiaPropertyStorage>;
