// Resource exports: every kind the library holds, loaded from its module.
#include "dialogdriver.h"
#include "morvellibrary.h"

#include <cstring>
#include <vector>

namespace
{

std::vector<UINT> range(UINT first, UINT last)
{
    std::vector<UINT> ids;
    for (UINT id = first; id <= last; ++id)
        ids.push_back(id);
    return ids;
}

std::vector<UINT> iconIds()
{
    std::vector<UINT> ids = range(1201, 1209);
    for (UINT id : {1213u, 1214u, 1220u})
        ids.push_back(id);
    for (UINT id : range(1250, 1288))
        ids.push_back(id);
    return ids;
}

std::vector<UINT> bitmapIds()
{
    std::vector<UINT> ids = {1212, 1501, 1503, 1504, 1506, 1507, 1508};
    for (UINT id : range(1510, 1515))
        ids.push_back(id);
    for (UINT id : range(1520, 1524))
        ids.push_back(id);
    return ids;
}

COLORREF pixelOf(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

SIZE sizeOf(HBITMAP bitmap)
{
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

INT_PTR CALLBACK endAt42(HWND dialog, UINT message, WPARAM, LPARAM parameter)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    EndDialog(dialog, parameter);
    return TRUE;
}

INT_PTR CALLBACK quietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

} // namespace

TEST_F(MorvelTest, EveryIconAndCursorLoads)
{
    auto getIconRes = MORVEL_FN(m_morvel, GetIconRes);
    auto getCursorRes = MORVEL_FN(m_morvel, GetCursorRes);
    const std::vector<UINT> icons = iconIds();
    EXPECT_EQ(51u, icons.size());
    for (UINT id : icons) {
        SCOPED_TRACE(id);
        EXPECT_NE(nullptr, getIconRes(id));
    }
    for (UINT id : range(1100, 1112)) {
        SCOPED_TRACE(id);
        EXPECT_NE(nullptr, getCursorRes(id));
    }
    EXPECT_EQ(nullptr, getIconRes(1210));
    EXPECT_EQ(nullptr, getCursorRes(1113));

    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(getCursorRes(1111), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(12u, info.xHotspot);
    EXPECT_EQ(2u, info.yHotspot);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

TEST_F(MorvelTest, MenusAndAccelerators)
{
    auto getMenuRes = MORVEL_FN(m_morvel, GetMenuRes);
    auto getAccelRes = MORVEL_FN(m_morvel, GetAccelRes);
    for (UINT id : range(1400, 1403)) {
        SCOPED_TRACE(id);
        HMENU menu = getMenuRes(MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, menu);
        EXPECT_EQ(1, GetMenuItemCount(menu));
        EXPECT_NE(nullptr, GetSubMenu(menu, 0));
        DestroyMenu(menu);
    }
    EXPECT_EQ(nullptr, getMenuRes(MAKEINTRESOURCEA(1404)));
    const struct {
        UINT id;
        int entries;
    } tables[] = {{1301, 6}, {1302, 5}};
    for (const auto &t : tables) {
        SCOPED_TRACE(t.id);
        HACCEL accel = getAccelRes(MAKEINTRESOURCEA(t.id));
        ASSERT_NE(nullptr, accel);
        EXPECT_EQ(t.entries, CopyAcceleratorTableA(accel, nullptr, 0));
        DestroyAcceleratorTable(accel);
    }
    EXPECT_EQ(nullptr, getAccelRes(MAKEINTRESOURCEA(1303)));
}

TEST_F(MorvelTest, EveryBitmapLoads)
{
    auto getBitmapRes = MORVEL_FN(m_morvel, GetBitmapRes);
    const std::vector<UINT> ids = bitmapIds();
    EXPECT_EQ(18u, ids.size());
    for (UINT id : ids) {
        SCOPED_TRACE(id);
        HBITMAP bitmap = getBitmapRes(MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, bitmap);
        EXPECT_GT(sizeOf(bitmap).cx, 0);
        DeleteObject(bitmap);
    }
    EXPECT_EQ(nullptr, getBitmapRes(MAKEINTRESOURCEA(1502)));
}

TEST_F(MorvelTest, DibWithItsOwnPalette)
{
    auto getDIBRes = MORVEL_FN(m_morvel, GetDIBRes);
    const struct {
        UINT id;
        UINT entries;
        COLORREF topLeft;
    } cases[] = {
        {1501, 20, RGB(0x80, 0x30, 0xa0)}, // 8 bits, a colour table of 20 counted in the header
        {1503, 2, RGB(0, 0, 0)},           // 1 bit
        {1504, 16, RGB(0x20, 0x90, 0x90)}, // 4 bits
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        HPALETTE palette = nullptr;
        HBITMAP bitmap = getDIBRes(MAKEINTRESOURCEA(c.id), &palette);
        ASSERT_NE(nullptr, bitmap);
        ASSERT_NE(nullptr, palette);
        EXPECT_EQ(c.entries, GetPaletteEntries(palette, 0, 0, nullptr));
        PALETTEENTRY first[2] = {};
        GetPaletteEntries(palette, 0, 2, first);
        EXPECT_EQ(RGB(255, 255, 255), RGB(first[0].peRed, first[0].peGreen, first[0].peBlue));
        EXPECT_EQ(RGB(0, 0, 0), RGB(first[1].peRed, first[1].peGreen, first[1].peBlue));
        EXPECT_EQ(64, sizeOf(bitmap).cx);
        EXPECT_EQ(48, sizeOf(bitmap).cy);
        EXPECT_EQ(c.topLeft, pixelOf(bitmap, 0, 0));
        DeleteObject(bitmap);
        DeleteObject(palette);
    }
}

TEST_F(MorvelTest, DibRefusesTrueColourAndMissingBitmaps)
{
    auto getDIBRes = MORVEL_FN(m_morvel, GetDIBRes);
    for (UINT id : {1520u, 1524u, 1502u}) {
        SCOPED_TRACE(id);
        HPALETTE palette = reinterpret_cast<HPALETTE>(0x1234);
        EXPECT_EQ(nullptr, getDIBRes(MAKEINTRESOURCEA(id), &palette));
        EXPECT_EQ(reinterpret_cast<HPALETTE>(0x1234), palette);
    }
    HBITMAP bitmap = getDIBRes(MAKEINTRESOURCEA(1506), nullptr);
    EXPECT_NE(nullptr, bitmap);
    DeleteObject(bitmap);
}

TEST_F(MorvelTest, MappedBitmapTakesTheSystemColours)
{
    auto getMappedRes = MORVEL_FN(m_morvel, GetMappedRes);
    HBITMAP bitmap = getMappedRes(1510);
    ASSERT_NE(nullptr, bitmap);
    // Light grey face, white top-left edge, black bottom-right edge.
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), pixelOf(bitmap, 3, 3));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), pixelOf(bitmap, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), pixelOf(bitmap, 31, 23));
    DeleteObject(bitmap);
    EXPECT_EQ(nullptr, getMappedRes(1509));
}

TEST_F(MorvelTest, ImageListWithLightGreyMask)
{
    auto getImageListRes = MORVEL_FN(m_morvel, GetImageListRes);
    HIMAGELIST list = getImageListRes(IMAGE_BITMAP, MAKEINTRESOURCEA(1212), 16);
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(imageListHolds(list, 8, 16, 16));
    // Drawn on green, the light grey border lets the green through; the red square does not.
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO canvasInfo = {};
    canvasInfo.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, 16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP canvas = CreateDIBSection(dc, &canvasInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, 16, 16};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, green);
    DeleteObject(green);
    EXPECT_TRUE(ImageList_Draw(list, 0, dc, 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(RGB(0, 255, 0), GetPixel(dc, 0, 0));
    const COLORREF inside = GetPixel(dc, 8, 8); // the list's colour depth may round the red
    EXPECT_TRUE(GetRValue(inside) >= 0x80 && GetGValue(inside) < 0x40) << std::hex << inside;
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ImageList_Destroy(list);
    EXPECT_EQ(nullptr, getImageListRes(IMAGE_BITMAP, MAKEINTRESOURCEA(1502), 16));
}

TEST_F(MorvelTest, PropertyPageFromTheLibrary)
{
    auto getPropSheetRes = MORVEL_FN(m_morvel, GetPropSheetRes);
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.pszTemplate = MAKEINTRESOURCEA(4020);
    page.pfnDlgProc = quietDialog;
    HPROPSHEETPAGE made = getPropSheetRes(&page);
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(m_morvel.module(), page.hInstance);
    DestroyPropertySheetPage(made);
    EXPECT_EQ(nullptr, getPropSheetRes(nullptr));
}

TEST_F(MorvelTest, DialogsModalModelessAndLocked)
{
    auto execDialogRes = MORVEL_FN(m_morvel, ExecDialogRes);
    auto getDialogRes = MORVEL_FN(m_morvel, GetDialogRes);
    auto getLockedDialog = MORVEL_FN(m_morvel, GetLockedDialog);
    EXPECT_EQ(42, execDialogRes(nullptr, MAKEINTRESOURCEA(4000), endAt42, 42));
    EXPECT_EQ(-1, execDialogRes(nullptr, MAKEINTRESOURCEA(4001), endAt42, 42));

    HWND dialog = getDialogRes(nullptr, MAKEINTRESOURCEA(4040), quietDialog, 0);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Fortschritt ..", windowText(dialog));
    DestroyWindow(dialog);
    EXPECT_EQ(nullptr, getDialogRes(nullptr, MAKEINTRESOURCEA(4001), quietDialog, 0));

    const auto *locked = static_cast<const DLGTEMPLATE *>(getLockedDialog(MAKEINTRESOURCEA(4000)));
    ASSERT_NE(nullptr, locked);
    EXPECT_EQ(6, locked->cdit);
    EXPECT_EQ(227, locked->cx);
    EXPECT_EQ(72, locked->cy);
    EXPECT_TRUE(locked->style & DS_SETFONT);
    EXPECT_EQ(nullptr, getLockedDialog(MAKEINTRESOURCEA(4001)));
}

TEST_F(MorvelTest, RawData)
{
    auto getBinaryRes = MORVEL_FN(m_morvel, GetBinaryRes);
    auto getXppBinaryRes = MORVEL_FN(m_morvel, GetXppBinaryRes);
    HGLOBAL loaded = getBinaryRes(20095);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(bytesOf("automatisch\0andere Farbe ...\0schwarz", 37), bytesOf(LockResource(loaded), 37));
    EXPECT_EQ(nullptr, getBinaryRes(20099));

    // Speeds: text, zero, 16-bit code.
    const char speeds[] =
        "sehr langsam\0\x01\0langsam\0\x03\0normal\0\x05\0schnell\0\x0f\0sehr schnell\0\x19\0";
    const size_t size = sizeof speeds - 1;
    void *block = getXppBinaryRes(MAKEINTRESOURCEA(20271));
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(static_cast<LONG>(size + 4), OwnMemSize(block));
    uint32_t count = 0;
    memcpy(&count, block, 4);
    EXPECT_EQ(size, count);
    EXPECT_EQ(bytesOf(speeds, size), bytesOf(static_cast<char *>(block) + 4, size));
    OwnFreeMem(block);

    // Page forwarding: texts ended by an empty text.
    block = getXppBinaryRes(MAKEINTRESOURCEA(20272));
    ASSERT_NE(nullptr, block);
    const char forwarding[] = "keine Weiterleitung\0Startseite\0n\xe4"
                              "chste Seite\0vorherige Seite\0letzte "
                              "Seite\0bestimmte Seite mit Titel ..\0";
    memcpy(&count, block, 4);
    EXPECT_EQ(sizeof forwarding, count);
    EXPECT_EQ(bytesOf(forwarding, sizeof forwarding),
              bytesOf(static_cast<char *>(block) + 4, sizeof forwarding));
    OwnFreeMem(block);

    EXPECT_EQ(nullptr, getXppBinaryRes(MAKEINTRESOURCEA(20099)));
}

TEST_F(MorvelTest, EveryRawDataListIsThere)
{
    auto getBinaryRes = MORVEL_FN(m_morvel, GetBinaryRes);
    for (UINT id : {1900u, 1901u, 20095u, 20096u, 20270u, 20271u, 20272u, 20273u, 20274u}) {
        SCOPED_TRACE(id);
        EXPECT_NE(nullptr, getBinaryRes(id));
    }
    // The command list starts with its 16-bit count.
    const auto *commands = static_cast<const unsigned char *>(LockResource(getBinaryRes(1900)));
    ASSERT_NE(nullptr, commands);
    EXPECT_EQ(8, commands[0] | commands[1] << 8);
    EXPECT_EQ(bytesOf("n\xe4"
                      "chste Seite\0ShowNextPage\0",
                      27),
              bytesOf(commands + 2, 27));
}
