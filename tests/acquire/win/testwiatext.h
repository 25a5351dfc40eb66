#pragma once

#include <windows.h>

#include <string>

// Text helpers of the test WIA service and the host tests.
std::string narrow(const std::wstring &text);
std::wstring widen(const std::string &text);
// "{b96b3caf-0728-11d3-9d7b-0000f81ef32e}"
std::string guidText(const GUID &guid);
// A property value for the service's logs: "2", "{...}", "text", "vt=N".
std::string variantText(const PROPVARIANT &value);
