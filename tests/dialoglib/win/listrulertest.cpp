// The picture list and the ruler through messages and synthetic mouse and
// key input, with a parent that records their notices.
#include "hostmessages.h"
#include "hostwindowtest.h"

#include <climits>
#include <string>
#include <vector>

namespace
{

const int kListId = 55;

class ListRulerTest : public HostWindowTest
{
  protected:
    HWND create(const char *className, int width, int height) const
    {
        return child(className, 0, width, height, kListId);
    }

    // The selected item as the drag notice of a move with the button down names it.
    int selectedByDrag(HWND list)
    {
        clearNotices();
        SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 20));
        if (notices().empty())
            return -1;
        const Notice &n = notices().back();
        EXPECT_EQ(static_cast<UINT>(WM_NOTIFY), n.message);
        EXPECT_EQ(static_cast<int>(LVN_BEGINDRAG), n.code);
        EXPECT_EQ(kListId, n.id);
        EXPECT_EQ(300, n.point.x);
        EXPECT_EQ(20, n.point.y);
        return n.item;
    }
};

HBITMAP picture(COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 64, 64};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

LRESULT insert(HWND list, int index, const char *caption, LPARAM datum)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char *>(caption);
    item.iImage = static_cast<int>(reinterpret_cast<INT_PTR>(picture(RGB(20 * index, 100, 200))));
    item.lParam = datum;
    return SendMessageA(list, XLC_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
}

// Where the list puts an item's picture, from its drag image.
POINT pictureOf(HWND list, int index)
{
    POINT point = {-1, -1};
    HIMAGELIST image = reinterpret_cast<HIMAGELIST>(
        SendMessageA(list, XLC_DRAGIMAGE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&point)));
    if (image)
        ImageList_Destroy(image);
    return point;
}

// Clicks an item: the pointer over it, then the left button.
void click(HWND list, POINT client)
{
    POINT screen = client;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    // Under X the pointer moves asynchronously: the control reads where it is.
    EXPECT_TRUE(pumpUntil([&] {
        POINT now;
        return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
    })) << "the pointer never reached the click's place";
    SendMessageA(list, WM_SETCURSOR, reinterpret_cast<WPARAM>(list), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
}

struct ToolTipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK findToolTip(HWND window, LPARAM parameter)
{
    auto *search = reinterpret_cast<ToolTipSearch *>(parameter);
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The tool-tip window of a list: a pop-up owned by the list's top-level window.
HWND tooltipOf(HWND list)
{
    ToolTipSearch search = {GetAncestor(list, GA_ROOT), nullptr};
    EnumThreadWindows(GetCurrentThreadId(), findToolTip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

TEST_F(ListRulerTest, ListLayoutDataAndRemoval)
{
    HWND list = create("xListControl", 400, 300); // two rows fit: no scroll bar narrows it
    ASSERT_NE(nullptr, list);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(i, insert(list, i, ("Bild " + std::to_string(i)).c_str(), 100 + i));
    // 400 pixels hold 5 columns: item 4 ends the first row, item 5 starts the second.
    EXPECT_EQ(16, pictureOf(list, 0).x);
    EXPECT_EQ(8, pictureOf(list, 0).y);
    EXPECT_EQ(8 + 4 * 80 + 8, pictureOf(list, 4).x);
    EXPECT_EQ(16, pictureOf(list, 5).x);
    const int rowHeight = pictureOf(list, 5).y - 8;
    EXPECT_GT(rowHeight, 64);
    EXPECT_EQ(pictureOf(list, 5).y, pictureOf(list, 9).y);

    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(100 + i, SendMessageA(list, XLC_GETITEMDATA, static_cast<WPARAM>(i), 0));
    EXPECT_EQ(0, SendMessageA(list, XLC_GETITEMDATA, 10, 0));

    // Beyond the end or at -1 appends.
    EXPECT_EQ(10, insert(list, 100, "hinten", 7));
    EXPECT_EQ(11, insert(list, -1, "ganz hinten", 8));
    EXPECT_EQ(0, insert(list, 0, "vorn", 9));
    EXPECT_EQ(9, SendMessageA(list, XLC_GETITEMDATA, 0, 0));
    EXPECT_EQ(100, SendMessageA(list, XLC_GETITEMDATA, 1, 0));

    EXPECT_EQ(1, SendMessageA(list, XLC_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(0, SendMessageA(list, XLC_GETITEMDATA, 0, 0));
    EXPECT_EQ(nullptr, reinterpret_cast<HIMAGELIST>(SendMessageA(list, XLC_DRAGIMAGE, 0, 0)));
    EXPECT_EQ(0, insert(list, 5, "neu", 1)) << "new blocks after removing everything";
    EXPECT_EQ(1, SendMessageA(list, XLC_GETITEMDATA, 0, 0));
    DestroyWindow(list);
}

TEST_F(ListRulerTest, ListSelectionKeysAndDragNotices)
{
    HWND list = create("xListControl", 400, 300);
    ASSERT_NE(nullptr, list);
    for (int i = 0; i < 10; ++i)
        insert(list, i, "x", i);
    EXPECT_EQ(-1, selectedByDrag(list)) << "nothing selected, no notice";

    POINT seven = pictureOf(list, 7);
    click(list, {seven.x + 10, seven.y + 10});
    EXPECT_EQ(7, selectedByDrag(list));
    SendMessageA(list, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(2, selectedByDrag(list));
    SendMessageA(list, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(0, selectedByDrag(list));
    SendMessageA(list, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(0, selectedByDrag(list));

    POINT three = pictureOf(list, 3);
    click(list, {three.x + 5, three.y + 5});
    EXPECT_EQ(3, selectedByDrag(list));
    SendMessageA(list, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(0, selectedByDrag(list));
    click(list, {three.x + 5, three.y + 5});
    SendMessageA(list, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(0, selectedByDrag(list));

    // A click beside every item only deselects.
    click(list, {395, 295});
    EXPECT_EQ(-1, selectedByDrag(list));

    SendMessageA(list, XLC_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(-1, selectedByDrag(list)) << "removing all items clears the selection";
    DestroyWindow(list);
}

TEST_F(ListRulerTest, ListScrollingAndToolTips)
{
    // 400 pixels of client beside the scroll bar: 5 columns, 2 rows.
    HWND list = create("xListControl", 400 + GetSystemMetrics(SM_CXVSCROLL), 150);
    ASSERT_NE(nullptr, list);
    for (int i = 0; i < 10; ++i)
        insert(list, i, "x", i);
    const int rowHeight = pictureOf(list, 5).y - pictureOf(list, 0).y;
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
    EXPECT_EQ(2 * rowHeight + 8, info.nMax);
    EXPECT_EQ(150u, info.nPage);
    EXPECT_EQ(0, info.nPos);

    const int maximum = 2 * rowHeight - 150 + 8;
    const struct {
        int code;
        int thumb;
        int offset;
    } steps[] = {{SB_LINEDOWN, 0, std::min(rowHeight, maximum)},
                 {SB_LINEDOWN, 0, maximum},
                 {SB_LINEUP, 0, std::max(0, maximum - rowHeight)},
                 {SB_THUMBTRACK, 5, 5},
                 {SB_PAGEUP, 0, 0},
                 {SB_PAGEDOWN, 0, maximum}};
    for (const auto &s : steps) {
        SCOPED_TRACE(s.code);
        SendMessageA(list, WM_VSCROLL, MAKEWPARAM(s.code, s.thumb), 0);
        EXPECT_EQ(s.offset, GetScrollPos(list, SB_VERT));
        EXPECT_EQ(8 - s.offset, pictureOf(list, 0).y);
    }

    // Refilled, the bar shows the view's offset again.
    SendMessageA(list, XLC_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < 10; ++i)
        insert(list, i, "x", i);
    EXPECT_EQ(8 - GetScrollPos(list, SB_VERT), pictureOf(list, 0).y);

    HWND tooltip = tooltipOf(list);
    ASSERT_NE(nullptr, tooltip);
    SendMessageA(list, XLC_ADDTOOLTIP, 2, reinterpret_cast<LPARAM>("Bild zwei"));
    SendMessageA(list, XLC_ADDTOOLTIP, 10, reinterpret_cast<LPARAM>("kein Bild")); // no item 10
    EXPECT_EQ(1, SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    char text[64] = {};
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageA(tooltip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(2u, tool.uId);
    EXPECT_STREQ("Bild zwei", text);
    EXPECT_EQ(pictureOf(list, 2).x - 8, tool.rect.left);
    EXPECT_EQ(pictureOf(list, 2).y, tool.rect.top);

    POINT point = {};
    HIMAGELIST image =
        reinterpret_cast<HIMAGELIST>(SendMessageA(list, XLC_DRAGIMAGE, 2, reinterpret_cast<LPARAM>(&point)));
    ASSERT_NE(nullptr, image);
    EXPECT_TRUE(imageListHolds(image, 1, 64, 64));
    ImageList_Destroy(image);
    DestroyWindow(list);
}

namespace
{

HWND makeRuler(HWND ruler)
{
    SendMessageA(ruler, XRL_SETSCALE, 65536, 0);
    SendMessageA(ruler, XRL_SETBAND, 10, 410);
    SendMessageA(ruler, XRL_SETRANGE, 50, 150);
    return ruler;
}

// Pixels of a column of the ruler, top to bottom, that differ from the button face.
int inkInColumn(HWND ruler, int x, int top, int bottom)
{
    HDC dc = GetDC(ruler);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    int ink = 0;
    for (int y = top; y < bottom; ++y) {
        if (GetPixel(dc, x, y) != face)
            ++ink;
    }
    ReleaseDC(ruler, dc);
    return ink;
}

} // namespace

TEST_F(ListRulerTest, RulerClampsAndQueries)
{
    HWND ruler = create("xMorvel32 Ruler", 420, 40);
    ASSERT_NE(nullptr, ruler);
    const LRESULT height = SendMessageA(ruler, XRL_GETHEIGHT, 0, 0);
    EXPECT_GT(height, 16);
    makeRuler(ruler);
    SendMessageA(ruler, XRL_SETMARKER3, 0, 0);
    SendMessageA(ruler, XRL_SETMARKER1, 10, 0);
    SendMessageA(ruler, XRL_SETMARKER2, 30, 0);
    EXPECT_EQ(20, SendMessageA(ruler, XRL_GETMARKER2, 0, 0));
    EXPECT_EQ(10, SendMessageA(ruler, XRL_GETMARKER1, 0, 0));
    SendMessageA(ruler, XRL_SETMARKER1, 1000, 0);
    EXPECT_EQ(100, SendMessageA(ruler, XRL_GETMARKER1, 0, 0));
    SendMessageA(ruler, XRL_SETMARKER3, 50, 0);
    EXPECT_EQ(0, SendMessageA(ruler, XRL_GETMARKER3, 0, 0));
    EXPECT_EQ(50, SendMessageA(ruler, XRL_GETSTART, 0, 0));

    RECT range = {};
    SendMessageA(ruler, XRL_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(50, range.left);
    EXPECT_EQ(150, range.right);
    EXPECT_EQ(4, range.top);
    EXPECT_EQ(height - 4, range.bottom);
    RECT band = {};
    SendMessageA(ruler, XRL_GETBAND, 0, reinterpret_cast<LPARAM>(&band));
    EXPECT_EQ(10, band.left);
    EXPECT_EQ(410, band.right);
    SendMessageA(ruler, XRL_SETRANGE, -30, 900);
    SendMessageA(ruler, XRL_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(0, range.left);
    EXPECT_EQ(400, range.right);
    DestroyWindow(ruler);
}

TEST_F(ListRulerTest, RulerMarkerDraggedWithTheMouse)
{
    HWND ruler = makeRuler(create("xMorvel32 Ruler", 420, 40));
    const int height = static_cast<int>(SendMessageA(ruler, XRL_GETHEIGHT, 0, 0));
    SendMessageA(ruler, XRL_SETMARKER1, 10, 0);
    // Marker 1 stands at 10 + 50 + 10; its icon's top is the range's bottom less 8.
    const int x = 70, y = height - 4 - 8 + 2;
    SendMessageA(ruler, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageA(ruler, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_EQ(ruler, GetCapture());
    SendMessageA(ruler, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, y));
    EXPECT_EQ(32, SendMessageA(ruler, XRL_GETMARKER1, 0, 0)) << "the position 30 plus 2";
    SendMessageA(ruler, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, y));
    EXPECT_EQ(100, SendMessageA(ruler, XRL_GETMARKER1, 0, 0)) << "clamped to the range";
    SendMessageA(ruler, WM_LBUTTONUP, 0, MAKELPARAM(400, y));
    EXPECT_EQ(nullptr, GetCapture());
    ASSERT_EQ(3u, notices().size());
    EXPECT_EQ(0x402, notices()[0].code);
    EXPECT_EQ(0x402, notices()[1].code);
    EXPECT_EQ(0x406, notices()[2].code);
    EXPECT_EQ(kListId, notices()[2].id);

    // Without a shown range no marker can be grabbed.
    clearNotices();
    SendMessageA(ruler, XRL_SETRANGE, 70, 70);
    SendMessageA(ruler, WM_MOUSEMOVE, 0, MAKELPARAM(70, y));
    SendMessageA(ruler, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(70, y));
    SendMessageA(ruler, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, y));
    SendMessageA(ruler, WM_LBUTTONUP, 0, MAKELPARAM(90, y));
    EXPECT_TRUE(notices().empty());
    DestroyWindow(ruler);
}

TEST_F(ListRulerTest, RulerPaintsItsScale)
{
    // Pixels are read back from the screen, so the parent is shown here.
    ShowWindow(parent(), SW_SHOWNOACTIVATE);
    HWND ruler = makeRuler(create("xMorvel32 Ruler", 420, 40));
    SendMessageA(ruler, XRL_SETRANGE, 0, 0); // the scale alone
    UpdateWindow(ruler);
    HDC dc = GetDC(ruler);
    TEXTMETRICA metrics = {};
    SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(ruler, dc);
    const int top = 8, bottom = 8 + metrics.tmHeight;
    // Ticks at 37, 87, ...; numbers centred on 62 ("50"), 112 ("100"), ...
    int tick = 0, secondTick = 0;
    for (int x = 35; x <= 39; ++x) {
        tick += inkInColumn(ruler, x, top, bottom);
        secondTick += inkInColumn(ruler, x + 50, top, bottom);
    }
    EXPECT_GT(tick, 3);
    EXPECT_GT(secondTick, 3);
    int number = 0;
    for (int x = 58; x <= 66; ++x)
        number += inkInColumn(ruler, x, top, bottom);
    EXPECT_GT(number, 5);
    for (int x : {45, 50, 70, 75})
        EXPECT_EQ(0, inkInColumn(ruler, x, top, bottom)) << x;
    DestroyWindow(ruler);
}

TEST_F(ListRulerTest, RulerPaintsBandsAtTheEndsOfTheRangeInTime)
{
    ShowWindow(parent(), SW_SHOWNOACTIVATE);
    HWND ruler = create("xMorvel32 Ruler", 420, 40);
    SendMessageA(ruler, XRL_SETSCALE, 65536, 0);
    const int top = 8, bottom = 20;
    // Each band is painted at once when it is set; a wrapped or unbounded
    // walk over the marks would take minutes.
    const struct {
        const char *name;
        int32_t origin, end;
        bool tickAt27;
    } bands[] = {{"end at the lowest value", 10, INT32_MIN, false},
                 {"origin at the highest value", INT32_MAX, 400, false},
                 {"to the highest value", 0, INT32_MAX, true}};
    for (const auto &b : bands) {
        SCOPED_TRACE(b.name);
        const ULONGLONG start = GetTickCount64();
        SendMessageA(ruler, XRL_SETBAND, static_cast<WPARAM>(static_cast<LONG>(b.origin)),
                     static_cast<LPARAM>(b.end));
        EXPECT_LT(GetTickCount64() - start, 5000u);
        int tick = 0;
        for (int x = 25; x <= 29; ++x)
            tick += inkInColumn(ruler, x, top, bottom);
        EXPECT_EQ(b.tickAt27, tick > 3) << tick;
    }
    DestroyWindow(ruler);
}
