// "xListControl": a scrolling grid of 64 x 64 pictures with captions, tool
// tips, a selection and a drag notice.
#include "morvel.h"
#include "morvelcontrolstate.h"
#include "morvellistmodel.h"
#include "morvelmodule.h"

#include <commctrl.h>

#include <cstddef>
#include <cstring>

namespace
{

// One item of the table: four 32-bit fields.
struct ItemRecord {
    DWORD bitmap;
    DWORD datum;
    DWORD flags; // bit 1: selected
    DWORD caption;
};
static_assert(sizeof(ItemRecord) == 16, "items are four 32-bit fields");
static_assert(offsetof(ItemRecord, datum) == 4 && offsetof(ItemRecord, flags) == 8 &&
                  offsetof(ItemRecord, caption) == 12,
              "bitmap, datum, flags, caption offset");

const DWORD kItemSelected = 2;
const DWORD kPointerOverItem = 1, kSomethingSelected = 2;

struct ListControl {
    explicit ListControl(int textHeight) : model(textHeight) {}
    MorvelListModel model;
    HWND tooltip = nullptr;
    void *items = nullptr;
    void *captions = nullptr;
    HWND parent = nullptr;
    int id = 0;
    int hot = -1;
    DWORD flags = 0;
};

HBITMAP bitmapOf(const ItemRecord &record)
{
    // GDI handles carry 32 significant bits, sign-extended in 64-bit processes.
    return reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(static_cast<LONG>(record.bitmap)));
}

ItemRecord *itemAt(ListControl &list, int index)
{
    return static_cast<ItemRecord *>(list.items) + index;
}

RECT toRect(const MorvelListModel::Rect &r)
{
    return {r.left, r.top, r.right, r.bottom};
}

void repaintCell(HWND window, ListControl &list, int index)
{
    const RECT cell = toRect(list.model.cell(index));
    RedrawWindow(window, &cell, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void applyLayout(HWND window, ListControl &list)
{
    const MorvelListModel::ScrollBar bar = list.model.layout();
    if (bar.visible) {
        SCROLLINFO info = {sizeof info,
                           SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                           0,
                           bar.maximum,
                           static_cast<UINT>(bar.page),
                           bar.position,
                           0};
        ShowScrollBar(window, SB_VERT, TRUE);
        SetScrollInfo(window, SB_VERT, &info, TRUE);
    } else {
        ShowScrollBar(window, SB_VERT, FALSE);
    }
}

void select(HWND window, ListControl &list, int index)
{
    if (!list.items || !list.model.select(index))
        return;
    itemAt(list, index)->flags |= kItemSelected;
    list.flags |= kSomethingSelected;
    repaintCell(window, list, index);
}

void deselect(HWND window, ListControl &list)
{
    const int index = list.model.selected();
    list.flags &= ~kSomethingSelected;
    list.model.deselect();
    if (list.items && list.model.valid(index)) {
        itemAt(list, index)->flags &= ~kItemSelected;
        repaintCell(window, list, index);
    }
}

LONG WINAPI deleteBitmap(void *record, void *, void *)
{
    const auto *item = static_cast<const ItemRecord *>(record);
    if (item->bitmap)
        DeleteObject(bitmapOf(*item));
    return 1;
}

void freeItems(ListControl &list)
{
    if (list.items)
        ProcessDataMem(list.items, sizeof(ItemRecord), nullptr, deleteBitmap, nullptr);
    IndirectFreeMem(&list.items);
    IndirectFreeMem(&list.captions);
    list.model.setCount(0);
}

LRESULT insertItem(HWND window, ListControl &list, const LVITEMA *item)
{
    if (!item)
        return 0;
    if (!list.items && !(list.items = OwnAllocMem(0)))
        return 0;
    ItemRecord record = {};
    if (item->mask & LVIF_IMAGE)
        record.bitmap = static_cast<DWORD>(item->iImage);
    if (item->mask & LVIF_PARAM)
        record.datum = static_cast<DWORD>(item->lParam);
    if (!list.captions && !(list.captions = OwnAllocMem(0)))
        return 0;
    const LONG offset = OwnMemSize(list.captions);
    if (offset < 0)
        return 0;
    // An item without a caption gets an empty one.
    const char *text = (item->mask & LVIF_TEXT) && item->pszText ? item->pszText : "";
    if (IDMIndirect(&list.captions, -1, text, static_cast<DWORD>(strlen(text) + 1)) != 0)
        return 0;
    record.caption = static_cast<DWORD>(offset);
    const int index = list.model.insertionIndex(item->iItem);
    if (IDMIndirect(&list.items, index * static_cast<LONG>(sizeof(ItemRecord)), &record, sizeof record) != 0)
        return 0;
    // Items behind the new one move on, and so does the selection.
    const int selected = list.model.selected();
    list.model.setCount(list.model.count() + 1);
    if (selected >= index)
        list.model.select(selected + 1);
    applyLayout(window, list);
    repaintCell(window, list, index);
    return index;
}

void paint(HWND window, ListControl &list)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    HDC memory = CreateCompatibleDC(dc);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (int i = 0; i < list.model.count(); ++i) {
        const ItemRecord &record = *itemAt(list, i);
        const RECT picture = toRect(list.model.picture(i));
        if (record.bitmap) {
            HGDIOBJ old = SelectObject(memory, bitmapOf(record));
            BitBlt(dc, picture.left, picture.top, MorvelListModel::kPicture, MorvelListModel::kPicture,
                   memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
        }
        const bool selected = (record.flags & kItemSelected) != 0;
        if (selected) {
            for (int r = 0; r < MorvelListModel::kPicture; ++r) {
                for (int c = r % 2; c < MorvelListModel::kPicture; c += 2)
                    SetPixel(dc, picture.left + c, picture.top + r, highlight);
            }
        }
        RECT caption = toRect(list.model.caption(i));
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        DrawTextA(dc, static_cast<const char *>(list.captions) + record.caption, -1, &caption,
                  DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    }
    DeleteDC(memory);
    SelectObject(dc, oldFont);
    EndPaint(window, &ps);
}

void scroll(HWND window, ListControl &list, int code, int thumb)
{
    const int moved = list.model.scroll(code, thumb);
    if (moved == 0)
        return;
    SCROLLINFO info = {sizeof info, SIF_POS, 0, 0, 0, list.model.offset(), 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    const int tools = list.model.count() > 0 ? list.model.count() : 1;
    for (int i = 0; i < tools; ++i) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = window;
        tool.uId = static_cast<UINT_PTR>(i);
        tool.rect = toRect(list.model.cell(i));
        SendMessageA(list.tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ScrollWindowEx(window, 0, moved, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
    UpdateWindow(window);
}

HIMAGELIST dragImage(ListControl &list, int index, POINT *point)
{
    if (!list.items || !list.model.valid(index))
        return nullptr;
    const int side = MorvelListModel::kPicture;
    HIMAGELIST images = ImageList_Create(side, side, ILC_COLORDDB | ILC_MASK, 1, 0);
    if (!images)
        return nullptr;
    // A copy of the picture, whatever its size and format.
    HDC screen = GetDC(nullptr);
    HBITMAP copy = CreateCompatibleBitmap(screen, side, side);
    HDC target = CreateCompatibleDC(screen);
    HDC source = CreateCompatibleDC(screen);
    HGDIOBJ oldTarget = SelectObject(target, copy);
    RECT all = {0, 0, side, side};
    FillRect(target, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const ItemRecord &record = *itemAt(list, index);
    if (record.bitmap) {
        HGDIOBJ oldSource = SelectObject(source, bitmapOf(record));
        BitBlt(target, 0, 0, side, side, source, 0, 0, SRCCOPY);
        SelectObject(source, oldSource);
    }
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    ImageList_AddMasked(images, copy, RGB(255, 255, 255));
    DeleteObject(copy);
    if (point) {
        const MorvelListModel::Rect picture = list.model.picture(index);
        point->x = picture.left;
        point->y = picture.top;
    }
    return images;
}

LRESULT create(HWND window, const CREATESTRUCTA &create)
{
    ListControl *list = makeControlState<ListControl>(window, morvelClassResources().textHeight);
    if (!list)
        return -1;
    list->parent = create.hwndParent;
    list->id = static_cast<int>(reinterpret_cast<INT_PTR>(create.hMenu));
    list->tooltip = CreateWindowExA(WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                                    nullptr, morvelModule(), nullptr);
    if (list->tooltip)
        ShowWindow(list->tooltip, SW_SHOWNOACTIVATE);
    return 0;
}

} // namespace

LRESULT CALLBACK morvelListControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return create(window, *reinterpret_cast<const CREATESTRUCTA *>(lParam));
    ListControl *list = controlState<ListControl>(window);
    if (!list)
        return DefWindowProcA(window, message, wParam, lParam);
    const MorvelClassResources &resources = morvelClassResources();
    switch (message) {
    case WM_SIZE:
        list->model.resize(LOWORD(lParam), HIWORD(lParam));
        applyLayout(window, *list);
        return 0;
    case WM_PAINT:
        paint(window, *list);
        return 0;
    case WM_SETCURSOR: {
        list->flags &= ~kPointerOverItem;
        if (list->model.count() == 0)
            return TRUE;
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(window, &point);
        const int hit = list->model.hitTest(point.x, point.y);
        if (hit >= 0) {
            SetCursor((GetKeyState(VK_LBUTTON) & 0x8000) ? resources.dragging : resources.overItem);
            list->hot = hit;
            list->flags |= kPointerOverItem;
        } else {
            SetCursor(resources.arrow);
        }
        return TRUE;
    }
    case WM_LBUTTONDOWN:
        if (list->flags & kSomethingSelected) {
            SetFocus(window);
            deselect(window, *list);
        }
        if (list->flags & kPointerOverItem) {
            select(window, *list, list->hot);
            SetCursor(resources.dragging);
        }
        return 0;
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) && (list->flags & kSomethingSelected) && list->model.selected() >= 0) {
            NMLISTVIEW notice = {};
            notice.hdr.hwndFrom = window;
            notice.hdr.idFrom = static_cast<UINT_PTR>(list->id);
            notice.hdr.code = LVN_BEGINDRAG;
            notice.iItem = list->model.selected();
            notice.ptAction.x = LOWORD(lParam);
            notice.ptAction.y = HIWORD(lParam);
            SendMessageA(list->parent, WM_NOTIFY, static_cast<WPARAM>(list->id),
                         reinterpret_cast<LPARAM>(&notice));
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_UP) {
            const int above = list->model.itemAbove();
            if (above >= 0) {
                deselect(window, *list);
                select(window, *list, above);
            }
        } else if (wParam == VK_HOME && list->model.count() > 0) {
            deselect(window, *list);
            select(window, *list, 0);
        }
        return 0;
    case WM_VSCROLL:
        scroll(window, *list, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case XLC_INSERTITEM:
        return insertItem(window, *list, reinterpret_cast<const LVITEMA *>(lParam));
    case XLC_ADDTOOLTIP: {
        const int index = static_cast<int>(wParam);
        if (!list->model.valid(index) || !list->tooltip)
            return 0;
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = static_cast<UINT_PTR>(index);
        tool.rect = toRect(list->model.cell(index));
        tool.hinst = morvelModule();
        tool.lpszText = reinterpret_cast<LPSTR>(lParam);
        SendMessageA(list->tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        return 0;
    }
    case XLC_DRAGIMAGE:
        return reinterpret_cast<LRESULT>(
            dragImage(*list, static_cast<int>(wParam), reinterpret_cast<POINT *>(lParam)));
    case XLC_GETITEMDATA: {
        const int index = static_cast<int>(wParam);
        if (!list->items || !list->model.valid(index))
            return 0;
        return static_cast<LONG>(itemAt(*list, index)->datum);
    }
    case XLC_DELETEALLITEMS:
        freeItems(*list);
        list->model.deselect();
        list->flags &= ~kSomethingSelected;
        applyLayout(window, *list);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return 1;
    case WM_DESTROY:
        if (list->tooltip)
            DestroyWindow(list->tooltip);
        freeItems(*list);
        freeControlState<ListControl>(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
