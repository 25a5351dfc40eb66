// The records and blocks the host and the library hand each other, checked
// at compile time against the layout a 32-bit host uses. Those without
// pointers or handles are the same in every build.
#include "morvel.h"
#include "morvelbitmap.h"
#include "morveldroptags.h"
#include "morvelfontsize.h"
#include "morvelrequesttable.h"
#include "morvelxppblock.h"

#include <commdlg.h>

#include <cstddef>
#include <cstdint>

namespace
{

// A drop-tag record up to its extensions, byte after byte.
#pragma pack(push, 1)
struct DropTagHead {
    char tag[4];
    uint32_t values[3];
    uint8_t extensionCount;
};
#pragma pack(pop)

} // namespace

// Xpp text and binary blocks: a 32-bit count, then the bytes.
static_assert(MorvelXppBlock::kCountSize == sizeof(uint32_t), "Xpp count");
static_assert(sizeof(DropTagHead) == MorvelDropTags::kFixedSize && MorvelDropTags::kFixedSize == 17,
              "drop-tag record head");
static_assert(offsetof(DropTagHead, values) == 4 && offsetof(DropTagHead, extensionCount) == 16,
              "drop-tag record head");
// The host's font-scale record: 32-bit fields 14 and 25, counted from 1.
static_assert(sizeof(LONG) == 4 && MorvelFontSize::kFieldA * sizeof(LONG) == 52 &&
                  MorvelFontSize::kFieldB * sizeof(LONG) == 96,
              "font-scale fields A and B");
// OpenFileRequest's work block: four areas of 512 bytes.
static_assert(4 * MorvelRequestTable::kAreaSize == 2048, "work block");
// CreateXppBitmap's file header, and the headers of the bitmaps handed over.
static_assert(sizeof(BITMAPFILEHEADER) == MorvelBitmap::kFileHeaderSize &&
                  offsetof(BITMAPFILEHEADER, bfSize) == 2 && offsetof(BITMAPFILEHEADER, bfOffBits) == 10,
              "bitmap file header");
static_assert(sizeof(BITMAPINFOHEADER) == 40 && offsetof(BITMAPINFOHEADER, biBitCount) == 14 &&
                  offsetof(BITMAPINFOHEADER, biClrUsed) == 32,
              "bitmap information header");
static_assert(offsetof(LOGPALETTE, palPalEntry) == 4 && sizeof(PALETTEENTRY) == 4, "GetDIBRes palette");
// InitUserColors: 16 colours of 32 bits; the ruler's rectangles.
static_assert(sizeof(DWORD) == 4 && sizeof(RECT) == 16 && offsetof(RECT, bottom) == 12,
              "colours, rectangles");

#if defined(_WIN32) && !defined(_WIN64)
// The item description of "xListControl": the list view's item as a 32-bit host fills it.
static_assert(offsetof(LVITEMA, mask) == 0 && offsetof(LVITEMA, iItem) == 4 &&
                  offsetof(LVITEMA, pszText) == 20 && offsetof(LVITEMA, iImage) == 28 &&
                  offsetof(LVITEMA, lParam) == 32,
              "item description");
// Its drag notice.
static_assert(sizeof(NMLISTVIEW) == 44 && offsetof(NMLISTVIEW, hdr.idFrom) == 4 &&
                  offsetof(NMLISTVIEW, hdr.code) == 8 && offsetof(NMLISTVIEW, iItem) == 12 &&
                  offsetof(NMLISTVIEW, ptAction) == 32 && offsetof(NMLISTVIEW, lParam) == 40,
              "drag notice");
// GetPropSheetRes writes the description's instance field.
static_assert(offsetof(PROPSHEETPAGEA, hInstance) == 8, "property-page description");
// The open-file description's 76-byte form.
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76, "open-file description");
// Exports take and return 32-bit values.
static_assert(sizeof(HWND) == 4 && sizeof(LPARAM) == 4 && sizeof(void *) == 4, "32-bit values");
#endif
