// "xMorvel32 Ruler": a horizontal ruler with a scale, a shown range and
// three markers the user drags.
#include "morvel.h"
#include "morvelcontrolstate.h"
#include "morvelrulermodel.h"

namespace
{

struct Ruler {
    explicit Ruler(int height) : model(height) {}
    MorvelRulerModel model;
    HWND parent = nullptr;
    int active = 0;
};

const UINT kSetMarker[4] = {0, XRL_SETMARKER1, XRL_SETMARKER2, XRL_SETMARKER3};

void repaint(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void paint(HWND window, Ruler &ruler)
{
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    // Drawn into a memory bitmap and copied in one step.
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ oldCanvas = SelectObject(dc, canvas);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    const MorvelRulerModel &model = ruler.model;
    if (model.end() > model.origin()) {
        const MorvelRulerModel::Rect b = model.band();
        RECT band = {b.left, b.top, b.right, b.bottom};
        DrawEdge(dc, &band, EDGE_ETCHED, BF_RECT);
    }
    const MorvelRulerModel::Rect shown = model.shownRange();
    const bool range = model.rangeShown() && shown.right > shown.left;
    if (range) {
        RECT r = {model.origin() + shown.left + 2, 4, model.origin() + shown.right + 2, model.height() - 4};
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    }
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    // A number centred on a mark just outside the window still shows in part.
    const int32_t labelReach = 64;
    for (const MorvelRulerModel::Mark &mark : model.marks(-labelReach, client.right + labelReach))
        TextOutA(dc, mark.x, 8, mark.text.c_str(), static_cast<int>(mark.text.size()));
    SelectObject(dc, oldFont);
    const MorvelClassResources &resources = morvelClassResources();
    for (int index = 1; index <= 3; ++index) {
        const MorvelRulerModel::MarkerPlace place = model.place(index);
        if (place.drawn)
            DrawIconEx(dc, place.iconLeft, place.iconTop,
                       index == 2 ? resources.topMarker : resources.bottomMarker, 16, 16, 0, nullptr,
                       DI_NORMAL);
    }
    BitBlt(screen, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldCanvas);
    DeleteObject(canvas);
    DeleteDC(dc);
    EndPaint(window, &ps);
}

LRESULT create(HWND window)
{
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    Ruler *ruler = makeControlState<Ruler>(window, static_cast<int>(metrics.tmHeight) + 16);
    if (!ruler)
        return -1;
    ruler->parent = GetParent(window);
    return 0;
}

} // namespace

LRESULT CALLBACK morvelRulerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return create(window);
    Ruler *ruler = controlState<Ruler>(window);
    if (!ruler)
        return DefWindowProcA(window, message, wParam, lParam);
    MorvelRulerModel &model = ruler->model;
    switch (message) {
    case WM_MOUSEMOVE:
        if (!(wParam & MK_LBUTTON)) {
            ruler->active = model.hitTest(LOWORD(lParam), HIWORD(lParam));
            SetCursor(LoadCursorA(nullptr, ruler->active ? IDC_UPARROW : IDC_ARROW));
        } else if (ruler->active) {
            const int x = static_cast<short>(LOWORD(lParam));
            SendMessageA(window, kSetMarker[ruler->active],
                         static_cast<WPARAM>(model.dragPosition(ruler->active, x) + 2), 0);
            notifyParent(ruler->parent, window, static_cast<WORD>(0x401 + ruler->active));
        }
        return 0;
    case WM_LBUTTONDOWN:
        if (ruler->active)
            SetCapture(window);
        return 0;
    case WM_LBUTTONUP:
        if (ruler->active) {
            notifyParent(ruler->parent, window, static_cast<WORD>(0x405 + ruler->active));
            ReleaseCapture();
            ruler->active = 0;
        }
        return 0;
    case WM_PAINT:
        paint(window, *ruler);
        return 0;
    case XRL_SETBAND:
        model.setBand(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
        repaint(window);
        return 0;
    case XRL_SETRANGE:
        model.setRange(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
        repaint(window);
        return 0;
    case XRL_GETRANGE:
        if (lParam) {
            const MorvelRulerModel::Rect r = model.shownRange();
            *reinterpret_cast<RECT *>(lParam) = {r.left, r.top, r.right, r.bottom};
        }
        return 0;
    case XRL_SETMARKER1:
        model.setMarker1(static_cast<int32_t>(wParam));
        repaint(window);
        return 0;
    case XRL_GETMARKER1:
        return model.marker(1);
    case XRL_SETMARKER2:
        model.setMarker2(static_cast<int32_t>(wParam));
        repaint(window);
        return 0;
    case XRL_GETMARKER2:
        return model.marker(2);
    case XRL_SETMARKER3:
        model.setMarker3(static_cast<int32_t>(wParam));
        repaint(window);
        return 0;
    case XRL_GETMARKER3:
        return model.marker(3);
    case XRL_GETHEIGHT:
        return model.height();
    case XRL_SETSCALE:
        model.setScale(static_cast<int32_t>(wParam));
        return 0;
    case XRL_GETSTART:
        return model.requestedStart();
    case XRL_GETBAND:
        if (lParam)
            *reinterpret_cast<RECT *>(lParam) = {model.origin(), 0, model.end(), 0};
        return 0;
    case WM_DESTROY:
        freeControlState<Ruler>(window);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
