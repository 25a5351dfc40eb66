#pragma once
// Module-wide state of morvel: its own handle (every resource call uses it),
// the host's user-colour table and the library's string table in the host's
// Windows-1252 bytes.

#include <windows.h>

#include <string>

HMODULE morvelModule();
// The host's 16 user colours as 0x00RRGGBB, or null until it sets them.
const DWORD *morvelUserColors();
void morvelSetUserColors(const DWORD *colors);
// A string of the library's table as Windows-1252 text; empty (found false)
// when there is no such string.
std::string morvelString(UINT id, bool *found = nullptr);
// The same string as UTF-16 for the system's own texts.
std::wstring morvelWideString(UINT id);
// The registry subkey of the library's settings.
std::string morvelRegistryKey();

// Colours of the interface (0x00RRGGBB) to and from the system's layout.
inline DWORD morvelSwapRedBlue(DWORD colour)
{
    return (colour & 0xff00ff00u) | ((colour & 0xffu) << 16) | ((colour >> 16) & 0xffu);
}
