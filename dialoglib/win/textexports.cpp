// Text exports: strings of the library's table and texts of controls and
// files, as plain or length-prefixed blocks.
#define MORVEL_BUILDING
#include "morvel.h"
#include "morvelmodule.h"
#include "morvelxppblock.h"
#include "vellum.h"

#include <cstring>

namespace
{

const size_t kStringBuffer = 256;
const size_t kXppStringChars = 251;

// Copies the string into buffer (at most limit characters) with its zero.
size_t putString(UINT id, char *buffer, size_t limit)
{
    std::string text = morvelString(id);
    if (text.size() > limit)
        text.resize(limit);
    memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = 0;
    return text.size();
}

// Reads a whole file into a new block, after offset bytes left for the caller.
void *readFile(LPCSTR path, DWORD offset, DWORD *size)
{
    if (!path)
        return nullptr;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER length;
    void *block = nullptr;
    if (GetFileSizeEx(file, &length) && length.QuadPart <= 0x7fffffff - LONGLONG(offset)) {
        const auto bytes = static_cast<DWORD>(length.QuadPart);
        block = OwnAllocMem(offset + bytes);
        DWORD read = 0;
        if (block &&
            (!ReadFile(file, static_cast<char *>(block) + offset, bytes, &read, nullptr) || read != bytes)) {
            OwnFreeMem(block);
            block = nullptr;
        }
        *size = bytes;
    }
    CloseHandle(file);
    return block;
}

} // namespace

MORVEL_API LONG WINAPI GetString(UINT id, LPSTR buffer)
{
    if (!buffer)
        return 0;
    return static_cast<LONG>(putString(id, buffer, kStringBuffer - 1) + 1);
}

MORVEL_API LONG WINAPI GetXppString(UINT id, void *buffer)
{
    if (!buffer)
        return 0;
    const size_t length = putString(id, MorvelXppBlock::text(buffer), kXppStringChars);
    const auto count = static_cast<uint32_t>(length + 1);
    MorvelXppBlock::setCount(buffer, count);
    return static_cast<LONG>(count);
}

MORVEL_API LPSTR WINAPI GetStringAlloc(UINT id)
{
    auto *block = static_cast<LPSTR>(OwnAllocMem(kStringBuffer));
    if (block)
        GetString(id, block);
    return block;
}

MORVEL_API void *WINAPI GetXppStringAlloc(UINT id)
{
    void *block = OwnAllocMem(kStringBuffer);
    if (block)
        GetXppString(id, block);
    return block;
}

MORVEL_API LPSTR WINAPI GetTextAlloc(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    const int length = control ? GetWindowTextLengthA(control) : 0;
    if (length <= 0)
        return nullptr;
    auto *block = static_cast<LPSTR>(OwnAllocMem(static_cast<DWORD>(length) + 1));
    if (block)
        GetWindowTextA(control, block, length + 1);
    return block;
}

MORVEL_API void *WINAPI GetTextXppAlloc(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    const int length = control ? GetWindowTextLengthA(control) : 0;
    if (length <= 0)
        return nullptr;
    void *block = OwnAllocMem(static_cast<DWORD>(length) + 5);
    if (!block)
        return nullptr;
    const int copied = GetWindowTextA(control, MorvelXppBlock::text(block), length + 1);
    MorvelXppBlock::setCount(block, static_cast<uint32_t>(copied > 0 ? copied : 0) + 1);
    return block;
}

MORVEL_API void *WINAPI GetFileAlloc(LPCSTR path)
{
    DWORD size = 0;
    return readFile(path, 0, &size);
}

MORVEL_API void *WINAPI GetFileXppAlloc(LPCSTR path)
{
    DWORD size = 0;
    void *block = readFile(path, MorvelXppBlock::kCountSize, &size);
    if (block)
        MorvelXppBlock::setCount(block, size);
    return block;
}

MORVEL_API int WINAPI DisplayMessage(HWND owner, UINT style, UINT captionId, UINT textId)
{
    const std::wstring caption = morvelWideString(captionId);
    const std::wstring text = morvelWideString(textId);
    return MessageBoxW(owner, text.c_str(), caption.c_str(), style);
}
