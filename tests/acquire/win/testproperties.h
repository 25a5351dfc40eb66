#pragma once

#include <windows.h>

#include <propidl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The property values of one test item or device, by property identifier.
class TestProperties
{
  public:
    TestProperties() = default;
    ~TestProperties();
    TestProperties(const TestProperties &) = delete;
    TestProperties &operator=(const TestProperties &) = delete;

    void set(PROPID id, const PROPVARIANT &value);
    void setInt(PROPID id, int32_t value);
    void setText(PROPID id, const std::wstring &text);     // a BSTR
    void setWideText(PROPID id, const std::wstring &text); // a VT_LPWSTR
    void setClsid(PROPID id, const GUID &value);
    void setBytes(PROPID id, const std::vector<uint8_t> &bytes);
    void setShorts(PROPID id, const std::vector<uint16_t> &values);
    void erase(PROPID id);

    const PROPVARIANT *find(PROPID id) const;
    bool has(PROPID id) const { return find(id) != nullptr; }
    // Value of a 32-bit integer property, or the fallback.
    int32_t intValue(PROPID id, int32_t fallback = -1) const;
    // Value of a class-identifier property, or GUID_NULL.
    GUID clsidValue(PROPID id) const;

  private:
    std::map<PROPID, PROPVARIANT> m_values;
};
