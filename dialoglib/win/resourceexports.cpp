// Resource exports: icons, menus, bitmaps, cursors, image lists, dialogs and
// raw data from the library's own module.
#define MORVEL_BUILDING
#include "morvel.h"
#include "morvelbitmap.h"
#include "morvelmodule.h"
#include "morvelxppblock.h"
#include "vellum.h"

#include <vector>

namespace
{

// The locked bytes and size of a resource, or null.
const unsigned char *lockResource(LPCSTR name, LPCSTR type, DWORD *size)
{
    HRSRC resource = FindResourceA(morvelModule(), name, type);
    if (!resource)
        return nullptr;
    HGLOBAL loaded = LoadResource(morvelModule(), resource);
    *size = SizeofResource(morvelModule(), resource);
    return loaded ? static_cast<const unsigned char *>(LockResource(loaded)) : nullptr;
}

} // namespace

MORVEL_API HICON WINAPI GetIconRes(UINT id)
{
    return LoadIconA(morvelModule(), MAKEINTRESOURCEA(id));
}

MORVEL_API HMENU WINAPI GetMenuRes(LPCSTR name)
{
    return LoadMenuA(morvelModule(), name);
}

MORVEL_API HBITMAP WINAPI GetBitmapRes(LPCSTR name)
{
    return LoadBitmapA(morvelModule(), name);
}

MORVEL_API HBITMAP WINAPI GetDIBRes(LPCSTR name, HPALETTE *palette)
{
    DWORD size = 0;
    const unsigned char *dib = lockResource(name, RT_BITMAP, &size);
    MorvelBitmap::Layout layout;
    if (!dib || size < 40 || !MorvelBitmap::layout(dib, layout) || layout.bitCount > 8 ||
        layout.packedSize() > size)
        return nullptr;
    const uint32_t entries = MorvelBitmap::paletteEntries(layout);
    std::vector<unsigned char> storage(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
    auto *logical = reinterpret_cast<LOGPALETTE *>(storage.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(entries);
    const auto *table = reinterpret_cast<const RGBQUAD *>(dib + layout.headerSize);
    for (uint32_t i = 0; i < entries; ++i) {
        logical->palPalEntry[i].peRed = table[i].rgbRed;
        logical->palPalEntry[i].peGreen = table[i].rgbGreen;
        logical->palPalEntry[i].peBlue = table[i].rgbBlue;
        logical->palPalEntry[i].peFlags = 0;
    }
    HPALETTE made = CreatePalette(logical);
    if (!made)
        return nullptr;
    HDC screen = GetDC(nullptr);
    HPALETTE old = SelectPalette(screen, made, FALSE);
    RealizePalette(screen);
    HBITMAP bitmap =
        CreateDIBitmap(screen, reinterpret_cast<const BITMAPINFOHEADER *>(dib), CBM_INIT,
                       dib + layout.bitsOffset(), reinterpret_cast<const BITMAPINFO *>(dib), DIB_RGB_COLORS);
    SelectPalette(screen, old, FALSE);
    ReleaseDC(nullptr, screen);
    if (!bitmap || !palette) {
        DeleteObject(made);
        made = nullptr;
    }
    if (palette)
        *palette = made;
    return bitmap;
}

MORVEL_API HBITMAP WINAPI GetMappedRes(UINT id)
{
    return CreateMappedBitmap(morvelModule(), static_cast<INT_PTR>(id), 0, nullptr, 0);
}

MORVEL_API HACCEL WINAPI GetAccelRes(LPCSTR name)
{
    return LoadAcceleratorsA(morvelModule(), name);
}

MORVEL_API HCURSOR WINAPI GetCursorRes(UINT id)
{
    return LoadCursorA(morvelModule(), MAKEINTRESOURCEA(id));
}

MORVEL_API HIMAGELIST WINAPI GetImageListRes(UINT type, LPCSTR name, int width)
{
    return ImageList_LoadImageA(morvelModule(), name, width, 0, RGB(0xc0, 0xc0, 0xc0), type, 0);
}

MORVEL_API HPROPSHEETPAGE WINAPI GetPropSheetRes(PROPSHEETPAGEA *page)
{
    if (!page)
        return nullptr;
    page->hInstance = morvelModule();
    return CreatePropertySheetPageA(page);
}

MORVEL_API HWND WINAPI GetDialogRes(HWND parent, LPCSTR name, DLGPROC proc, LPARAM parameter)
{
    return CreateDialogParamA(morvelModule(), name, parent, proc, parameter);
}

MORVEL_API void *WINAPI GetLockedDialog(LPCSTR name)
{
    DWORD size = 0;
    return const_cast<unsigned char *>(lockResource(name, RT_DIALOG, &size));
}

MORVEL_API INT_PTR WINAPI ExecDialogRes(HWND parent, LPCSTR name, DLGPROC proc, LPARAM parameter)
{
    return DialogBoxParamA(morvelModule(), name, parent, proc, parameter);
}

MORVEL_API HGLOBAL WINAPI GetBinaryRes(UINT id)
{
    HRSRC resource = FindResourceA(morvelModule(), MAKEINTRESOURCEA(id), RT_RCDATA);
    return resource ? LoadResource(morvelModule(), resource) : nullptr;
}

MORVEL_API void *WINAPI GetXppBinaryRes(LPCSTR name)
{
    DWORD size = 0;
    const unsigned char *data = lockResource(name, RT_RCDATA, &size);
    if (!data || size == 0)
        return nullptr;
    void *block = OwnAllocMem(MorvelXppBlock::kCountSize);
    if (!block)
        return nullptr;
    void *grown = InsertDataMem(block, -1, data, size);
    if (!grown) {
        OwnFreeMem(block);
        return nullptr;
    }
    MorvelXppBlock::setCount(grown, size);
    return grown;
}
