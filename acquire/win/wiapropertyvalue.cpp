#include "wiapropertyvalue.h"

#include <wiadef.h>

WiaPropertyValue::WiaPropertyValue()
{
    PropVariantInit(&m_value);
}

WiaPropertyValue::~WiaPropertyValue()
{
    PropVariantClear(&m_value);
}

bool WiaPropertyValue::read(IWiaPropertyStorage *storage, PROPID id)
{
    PropVariantClear(&m_value);
    if (!storage)
        return false;
    PROPSPEC spec = {};
    spec.ulKind = PRSPEC_PROPID;
    spec.propid = id;
    if (storage->ReadMultiple(1, &spec, &m_value) != S_OK)
        return false;
    return m_value.vt != VT_EMPTY;
}

const wchar_t *WiaPropertyValue::text() const
{
    if (m_value.vt == VT_BSTR)
        return m_value.bstrVal;
    if (m_value.vt == VT_LPWSTR)
        return m_value.pwszVal;
    return nullptr;
}

bool WiaPropertyValue::readInt32(IWiaPropertyStorage *storage, PROPID id, int32_t &out)
{
    WiaPropertyValue value;
    if (!value.read(storage, id) || value.type() != VT_I4)
        return false;
    out = value.value().lVal;
    return true;
}

bool WiaPropertyValue::readText(IWiaPropertyStorage *storage, PROPID id, std::wstring &out)
{
    WiaPropertyValue value;
    if (!value.read(storage, id) || !value.text())
        return false;
    out = value.text();
    return true;
}

bool WiaPropertyValue::readIdentifier(IWiaPropertyStorage *storage, PROPID id, bool acceptText, GUID &out)
{
    WiaPropertyValue value;
    if (!value.read(storage, id))
        return false;
    if (value.type() == VT_CLSID && value.value().puuid) {
        out = *value.value().puuid;
        return true;
    }
    if (acceptText && value.text())
        return SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(value.text()), &out));
    return false;
}

HRESULT WiaPropertyValue::writeInt32(IWiaPropertyStorage *storage, PROPID id, int32_t value)
{
    if (!storage)
        return E_POINTER;
    PROPSPEC spec = {};
    spec.ulKind = PRSPEC_PROPID;
    spec.propid = id;
    PROPVARIANT variant;
    PropVariantInit(&variant);
    variant.vt = VT_I4;
    variant.lVal = value;
    return storage->WriteMultiple(1, &spec, &variant, WIA_IPA_FIRST);
}
