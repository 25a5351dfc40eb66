#include "morvelmodule.h"

#include "morvelwindowclasses.h"

#include <commctrl.h>

#include <cstddef>

// The host passes and receives 32-bit values in the shipped 32-bit form.
#ifndef _WIN64
static_assert(sizeof(HWND) == 4 && sizeof(void *) == 4 && sizeof(LPARAM) == 4, "32-bit arguments");
static_assert(offsetof(LVITEMA, iImage) == 28 && offsetof(LVITEMA, lParam) == 32, "the item description");
#else
static_assert(offsetof(LVITEMA, pszText) == 24 && offsetof(LVITEMA, lParam) == 40, "the item description");
#endif
static_assert(sizeof(LONG) == 4 && sizeof(DWORD) == 4 && sizeof(WORD) == 2, "fixed-size values");
static_assert(offsetof(LVITEMA, mask) == 0 && offsetof(LVITEMA, iItem) == 4, "the item description");

namespace
{

HMODULE s_module = nullptr;
const DWORD *s_userColors = nullptr;

const UINT kRegistryKeyString = 20240;

} // namespace

HMODULE morvelModule()
{
    return s_module;
}

const DWORD *morvelUserColors()
{
    return s_userColors;
}

void morvelSetUserColors(const DWORD *colors)
{
    s_userColors = colors;
}

std::string morvelString(UINT id, bool *found)
{
    const WCHAR *text = nullptr;
    // With a zero size LoadStringW hands out the resource's own characters.
    const int length = LoadStringW(s_module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (found)
        *found = length > 0;
    if (length <= 0 || !text)
        return {};
    // The host reads Windows-1252 whatever code page the system runs with.
    const int bytes = WideCharToMultiByte(1252, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(1252, 0, text, length, result.data(), bytes, nullptr, nullptr);
    return result;
}

std::wstring morvelWideString(UINT id)
{
    const WCHAR *text = nullptr;
    const int length = LoadStringW(s_module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::string morvelRegistryKey()
{
    return morvelString(kRegistryKeyString);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        s_module = instance;
        DisableThreadLibraryCalls(instance);
        return morvelRegisterWindowClasses(instance) ? TRUE : FALSE;
    }
    // At process end the classes go with the process; on FreeLibrary they
    // must go first, so no window calls into the unmapped code.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        morvelUnregisterWindowClasses(instance);
    return TRUE;
}
