#pragma once
// The host's memory library as morvel uses it: blocks that cross between the
// host and morvel, with their size kept beside them. Every operation uses the
// standard Windows calling convention and is exported by its plain name.

#include <windows.h>

#ifdef VELLUM_BUILDING
#define VELLUM_API extern "C"
#else
#define VELLUM_API extern "C" __declspec(dllimport)
#endif

// Called by ProcessDataMem for each record; a result of 0 stops the walk.
typedef LONG(WINAPI *VellumRecordProc)(void *record, void *context, void *context2);

// A new block of exactly size bytes (0 is allowed), or null.
VELLUM_API void *WINAPI OwnAllocMem(DWORD size);
// Frees a block of any operation here; 1 when freed, 0 for null or a foreign pointer.
VELLUM_API LONG WINAPI OwnFreeMem(void *block);
// The block's size in bytes, or -1 when it is no block of ours.
VELLUM_API LONG WINAPI OwnMemSize(void *block);
// A new block holding length bytes copied from source; flags must be 0.
VELLUM_API void *WINAPI CopyDataMem(const void *source, DWORD flags, DWORD length);
// Inserts length bytes of data at position (-1: the end); returns the block,
// perhaps moved, or null (the old block then stays as it was).
VELLUM_API void *WINAPI InsertDataMem(void *block, LONG position, const void *data, DWORD length);
// InsertDataMem on the block held in *reference (a null one starts empty);
// updates the reference; 0 on success, else non-zero with the block unchanged.
VELLUM_API LONG WINAPI IDMIndirect(void **reference, LONG position, const void *data, DWORD length);
// Frees the block held in *reference and sets the reference to null.
VELLUM_API LONG WINAPI IndirectFreeMem(void **reference);
// Calls proc for every whole record of recordSize bytes; returns the number of calls.
VELLUM_API LONG WINAPI ProcessDataMem(void *block, DWORD recordSize, void *context, VellumRecordProc proc,
                                      void *context2);
// Writes value as text: format 2 is signed decimal. Returns the text's length, 0 for other formats.
VELLUM_API LONG WINAPI BinaryToString(LONG value, LONG format, LPSTR text);
// Reads a whole number or a real from text into *value; with kind given,
// stores 1 (whole number) or 5 (single-precision real, its bits in *value).
// Returns 0 on success, 1 when the text holds no number.
VELLUM_API LONG WINAPI StringToBinary(LPCSTR text, LONG *value, LONG *kind);

// Number of live blocks, for tests that look for leaks.
VELLUM_API LONG WINAPI VellumLiveBlocks();

enum VellumNumberKind : LONG {
    VELLUM_KIND_WHOLE = 1,
    VELLUM_KIND_REAL = 5,
};
