#include "testwiahandlerenum.h"

TestWiaHandlerEnum::TestWiaHandlerEnum(std::vector<TestWiaHandler> handlers)
    : TestComObject("handler enumeration"), m_handlers(std::move(handlers))
{
}

HRESULT STDMETHODCALLTYPE TestWiaHandlerEnum::QueryInterface(REFIID interfaceId, void **out)
{
    return queryOneInterface<IEnumWIA_DEV_CAPS>(this, IID_IEnumWIA_DEV_CAPS, interfaceId, out);
}

HRESULT STDMETHODCALLTYPE TestWiaHandlerEnum::Next(ULONG wanted, WIA_DEV_CAP *out, ULONG *fetched)
{
    if (!out)
        return E_POINTER;
    ULONG given = 0;
    while (given < wanted && m_position < m_handlers.size()) {
        const TestWiaHandler &handler = m_handlers[m_position++];
        WIA_DEV_CAP &cap = out[given++];
        cap.guid = handler.id;
        cap.ulFlags = handler.flags;
        // The receiver frees the texts.
        cap.bstrName = SysAllocString(handler.name.c_str());
        cap.bstrDescription = SysAllocString(handler.description.c_str());
        cap.bstrIcon = SysAllocString(handler.icon.c_str());
        cap.bstrCommandline = SysAllocString(handler.commandLine.c_str());
    }
    if (fetched)
        *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TestWiaHandlerEnum::Skip(ULONG count)
{
    m_position += count;
    return m_position <= m_handlers.size() ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TestWiaHandlerEnum::Reset()
{
    m_position = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaHandlerEnum::GetCount(ULONG *count)
{
    if (!count)
        return E_POINTER;
    *count = static_cast<ULONG>(m_handlers.size());
    return S_OK;
}
