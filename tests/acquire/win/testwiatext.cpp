#include "testwiatext.h"

#include <cctype>

std::string narrow(const std::wstring &text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring widen(const std::string &text)
{
    std::wstring out;
    for (char c : text)
        out += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
}

std::string guidText(const GUID &guid)
{
    wchar_t buffer[40] = {};
    StringFromGUID2(guid, buffer, 40);
    std::string text = narrow(buffer);
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string variantText(const PROPVARIANT &value)
{
    switch (value.vt) {
    case VT_I4:
        return std::to_string(value.lVal);
    case VT_CLSID:
        return value.puuid ? guidText(*value.puuid) : "(null)";
    case VT_BSTR:
        return value.bstrVal ? narrow(value.bstrVal) : "(null)";
    default:
        return "vt=" + std::to_string(value.vt);
    }
}
