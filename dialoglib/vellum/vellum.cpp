// Stand-in for the host's memory library: blocks on the process heap, each
// behind a small header that keeps its size and a tag to tell ours apart.
#define VELLUM_BUILDING
#include "vellum.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

const DWORD kTag = 0x4d4c4556; // "VELM"

struct alignas(16) Header {
    DWORD tag;
    DWORD size;
};
static_assert(sizeof(Header) == 16, "blocks stay 16-byte aligned");

LONG volatile s_liveBlocks = 0;

Header *headerOf(void *block)
{
    if (!block)
        return nullptr;
    Header *header = static_cast<Header *>(block) - 1;
    return header->tag == kTag ? header : nullptr;
}

void *newBlock(DWORD size)
{
    if (size > 0x7fffffffu - sizeof(Header))
        return nullptr;
    auto *header = static_cast<Header *>(HeapAlloc(GetProcessHeap(), 0, sizeof(Header) + size));
    if (!header)
        return nullptr;
    header->tag = kTag;
    header->size = size;
    InterlockedIncrement(&s_liveBlocks);
    return header + 1;
}

void freeBlock(Header *header)
{
    header->tag = 0;
    HeapFree(GetProcessHeap(), 0, header);
    InterlockedDecrement(&s_liveBlocks);
}

} // namespace

VELLUM_API void *WINAPI OwnAllocMem(DWORD size)
{
    return newBlock(size);
}

VELLUM_API LONG WINAPI OwnFreeMem(void *block)
{
    Header *header = headerOf(block);
    if (!header)
        return 0;
    freeBlock(header);
    return 1;
}

VELLUM_API LONG WINAPI OwnMemSize(void *block)
{
    const Header *header = headerOf(block);
    return header ? static_cast<LONG>(header->size) : -1;
}

VELLUM_API void *WINAPI CopyDataMem(const void *source, DWORD flags, DWORD length)
{
    if (flags != 0 || (!source && length))
        return nullptr;
    void *block = newBlock(length);
    if (block && length)
        memcpy(block, source, length);
    return block;
}

VELLUM_API void *WINAPI InsertDataMem(void *block, LONG position, const void *data, DWORD length)
{
    Header *header = headerOf(block);
    if (!header || (!data && length))
        return nullptr;
    const DWORD size = header->size;
    const DWORD at = position == -1 ? size : static_cast<DWORD>(position);
    if (position < -1 || at > size || length > 0x7fffffffu - sizeof(Header) - size)
        return nullptr;
    auto *grown =
        static_cast<Header *>(HeapReAlloc(GetProcessHeap(), 0, header, sizeof(Header) + size + length));
    if (!grown)
        return nullptr;
    auto *bytes = reinterpret_cast<unsigned char *>(grown + 1);
    memmove(bytes + at + length, bytes + at, size - at);
    if (length)
        memcpy(bytes + at, data, length);
    grown->size = size + length;
    return grown + 1;
}

VELLUM_API LONG WINAPI IDMIndirect(void **reference, LONG position, const void *data, DWORD length)
{
    if (!reference)
        return 1;
    void *block = *reference;
    bool made = false;
    if (!block) {
        block = newBlock(0);
        if (!block)
            return 1;
        made = true;
    }
    void *grown = InsertDataMem(block, position, data, length);
    if (!grown) {
        if (made)
            OwnFreeMem(block);
        return 1;
    }
    *reference = grown;
    return 0;
}

VELLUM_API LONG WINAPI IndirectFreeMem(void **reference)
{
    if (!reference)
        return 0;
    const LONG freed = OwnFreeMem(*reference);
    *reference = nullptr;
    return freed;
}

VELLUM_API LONG WINAPI ProcessDataMem(void *block, DWORD recordSize, void *context, VellumRecordProc proc,
                                      void *context2)
{
    const Header *header = headerOf(block);
    if (!header || !proc || recordSize == 0)
        return 0;
    auto *bytes = static_cast<unsigned char *>(block);
    const DWORD records = header->size / recordSize;
    LONG calls = 0;
    for (DWORD i = 0; i < records; ++i) {
        ++calls;
        if (!proc(bytes + i * recordSize, context, context2))
            break;
    }
    return calls;
}

VELLUM_API LONG WINAPI BinaryToString(LONG value, LONG format, LPSTR text)
{
    if (format != 2 || !text)
        return 0;
    return snprintf(text, 12, "%ld", static_cast<long>(value));
}

VELLUM_API LONG WINAPI StringToBinary(LPCSTR text, LONG *value, LONG *kind)
{
    if (!text || !value)
        return 1;
    const char *p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    const char *start = p;
    if (*p == '-' || *p == '+')
        ++p;
    const char *digits = p;
    while (*p >= '0' && *p <= '9')
        ++p;
    bool real = false;
    if (*p == '.' || *p == ',') {
        real = true;
        ++p;
        while (*p >= '0' && *p <= '9')
            ++p;
    }
    if (p == digits || (real && p == digits + 1))
        return 1;
    const char *end = p;
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p)
        return 1;
    char number[64];
    const size_t length = static_cast<size_t>(end - start);
    if (length >= sizeof number)
        return 1;
    memcpy(number, start, length);
    number[length] = 0;
    if (!real) {
        char *stop = nullptr;
        const long long whole = strtoll(number, &stop, 10);
        if (whole < INT32_MIN || whole > INT32_MAX)
            return 1;
        *value = static_cast<LONG>(whole);
        if (kind)
            *kind = VELLUM_KIND_WHOLE;
        return 0;
    }
    for (char &c : number) {
        if (c == ',')
            c = '.';
    }
    const float f = strtof(number, nullptr);
    static_assert(sizeof f == sizeof *value, "a real travels in 32 bits");
    memcpy(value, &f, sizeof f);
    if (kind)
        *kind = VELLUM_KIND_REAL;
    return 0;
}

VELLUM_API LONG WINAPI VellumLiveBlocks()
{
    return InterlockedCompareExchange(&s_liveBlocks, 0, 0);
}
