#include "testproperties.h"

#include <oleauto.h>

namespace
{

// An empty value of that type, for the setters to fill.
PROPVARIANT typed(VARTYPE type)
{
    PROPVARIANT variant;
    PropVariantInit(&variant);
    variant.vt = type;
    return variant;
}

// Points a counted array of a value at the elements (set() copies them).
template <typename Counted, typename T> void pointAt(Counted &counted, std::vector<T> &elements)
{
    counted.cElems = static_cast<ULONG>(elements.size());
    counted.pElems = elements.data();
}

} // namespace

TestProperties::~TestProperties()
{
    for (auto &entry : m_values)
        PropVariantClear(&entry.second);
}

void TestProperties::set(PROPID id, const PROPVARIANT &value)
{
    erase(id);
    PROPVARIANT copy;
    PropVariantInit(&copy);
    PropVariantCopy(&copy, &value);
    m_values[id] = copy;
}

void TestProperties::setInt(PROPID id, int32_t value)
{
    PROPVARIANT variant = typed(VT_I4);
    variant.lVal = value;
    set(id, variant);
}

void TestProperties::setText(PROPID id, const std::wstring &text)
{
    PROPVARIANT variant = typed(VT_BSTR);
    variant.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    set(id, variant);
    PropVariantClear(&variant);
}

void TestProperties::setWideText(PROPID id, const std::wstring &text)
{
    PROPVARIANT variant = typed(VT_LPWSTR);
    variant.pwszVal = const_cast<wchar_t *>(text.c_str());
    set(id, variant);
}

void TestProperties::setClsid(PROPID id, const GUID &value)
{
    GUID copy = value;
    PROPVARIANT variant = typed(VT_CLSID);
    variant.puuid = &copy;
    set(id, variant);
}

void TestProperties::setBytes(PROPID id, const std::vector<uint8_t> &bytes)
{
    std::vector<uint8_t> copy = bytes;
    PROPVARIANT variant = typed(VT_VECTOR | VT_UI1);
    pointAt(variant.caub, copy);
    set(id, variant);
}

void TestProperties::setShorts(PROPID id, const std::vector<uint16_t> &values)
{
    std::vector<uint16_t> copy = values;
    PROPVARIANT variant = typed(VT_VECTOR | VT_UI2);
    pointAt(variant.caui, copy);
    set(id, variant);
}

void TestProperties::erase(PROPID id)
{
    auto found = m_values.find(id);
    if (found != m_values.end()) {
        PropVariantClear(&found->second);
        m_values.erase(found);
    }
}

const PROPVARIANT *TestProperties::find(PROPID id) const
{
    auto found = m_values.find(id);
    return found == m_values.end() ? nullptr : &found->second;
}

int32_t TestProperties::intValue(PROPID id, int32_t fallback) const
{
    const PROPVARIANT *value = find(id);
    return value && value->vt == VT_I4 ? value->lVal : fallback;
}

GUID TestProperties::clsidValue(PROPID id) const
{
    const PROPVARIANT *value = find(id);
    return value && value->vt == VT_CLSID && value->puuid ? *value->puuid : GUID_NULL;
}
