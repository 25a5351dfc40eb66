#pragma once

// Conversions between the host's ANSI texts and WIA's wide texts.

#include <windows.h>

#include <memory>
#include <string>

namespace qdwia
{

// A new BSTR of an ANSI text that fits in capacity wide characters with its
// terminator; null when it does not fit, the text is null or memory is short.
BSTR toBstr(const char *text, int capacity);

// ANSI copy of a wide text; empty for null. Throws std::bad_alloc.
std::string toAnsi(const wchar_t *text);

// ANSI copy in a new buffer owned by the caller; null when memory is short.
std::unique_ptr<char[]> newAnsi(const wchar_t *text);

// ANSI copy into a fixed buffer; false (buffer untouched) when it does not fit.
bool toAnsiBuffer(const wchar_t *text, char *buffer, int size);

// ANSI copy into a fixed buffer, cut after the last whole character that fits.
void toAnsiTruncated(const wchar_t *text, char *buffer, int size);

} // namespace qdwia
