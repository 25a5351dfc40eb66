#include "morvelwindowclasses.h"

#include "morvel.h"
#include "morvelcontrolstate.h"
#include "morvellistmodel.h"

#include <commctrl.h>

namespace
{

MorvelClassResources s_resources = {};

struct ClassInfo {
    const char *name;
    WNDPROC proc;
    HBRUSH background;
};

const ClassInfo kClasses[] = {
    {"xColorControl", morvelColorControlProc, nullptr},
    {"xRangeField", morvelRangeFieldProc, nullptr},
    {"xFontSize", morvelFontSizeProc, nullptr},
    {"xListControl", morvelListControlProc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)},
    {"xMorvel32 Ruler", morvelRulerProc, nullptr},
};

void loadResources(HINSTANCE instance)
{
    s_resources.overItem = LoadCursorA(instance, MAKEINTRESOURCEA(1111));
    s_resources.dragging = LoadCursorA(instance, MAKEINTRESOURCEA(1112));
    s_resources.arrow = LoadCursorA(nullptr, IDC_ARROW);
    s_resources.topMarker = LoadIconA(instance, MAKEINTRESOURCEA(1208));
    s_resources.bottomMarker = LoadIconA(instance, MAKEINTRESOURCEA(1209));
    LOGFONTA font = {};
    GetObjectA(GetStockObject(ANSI_VAR_FONT), sizeof font, &font);
    HDC screen = GetDC(nullptr);
    s_resources.textHeight = MorvelListModel::textHeightFor(font.lfHeight, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
}

} // namespace

const MorvelClassResources &morvelClassResources()
{
    return s_resources;
}

bool morvelRegisterWindowClasses(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    loadResources(instance);
    for (const ClassInfo &info : kClasses) {
        WNDCLASSA windowClass = {};
        windowClass.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = info.proc;
        windowClass.hInstance = instance;
        windowClass.hbrBackground = info.background;
        windowClass.lpszClassName = info.name;
        if (!RegisterClassA(&windowClass)) {
            morvelUnregisterWindowClasses(instance);
            return false;
        }
    }
    return true;
}

void morvelUnregisterWindowClasses(HINSTANCE instance)
{
    for (const ClassInfo &info : kClasses)
        UnregisterClassA(info.name, instance);
}
