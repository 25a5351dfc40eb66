#pragma once

// One property value read from a WIA property storage by its identifier,
// cleared when it goes; and the typed reads built on it.

#include <windows.h>

#include <wia.h>

#include <cstdint>
#include <string>

class WiaPropertyValue
{
  public:
    WiaPropertyValue();
    ~WiaPropertyValue();
    WiaPropertyValue(const WiaPropertyValue &) = delete;
    WiaPropertyValue &operator=(const WiaPropertyValue &) = delete;

    // False when the storage is null, the read fails or the property is absent.
    bool read(IWiaPropertyStorage *storage, PROPID id);
    const PROPVARIANT &value() const { return m_value; }
    VARTYPE type() const { return m_value.vt; }
    // A text value (BSTR or wide string), else null.
    const wchar_t *text() const;

    // Typed reads: false when absent or of another type.
    static bool readInt32(IWiaPropertyStorage *storage, PROPID id, int32_t &out);
    static bool readText(IWiaPropertyStorage *storage, PROPID id, std::wstring &out);
    // A class identifier given as such or, when texts are accepted, as "{...}" text.
    static bool readIdentifier(IWiaPropertyStorage *storage, PROPID id, bool acceptText, GUID &out);

    // Writes 32-bit integers in one call.
    static HRESULT writeInt32(IWiaPropertyStorage *storage, PROPID id, int32_t value);

  private:
    PROPVARIANT m_value;
};
