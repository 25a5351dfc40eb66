#include "morvelwindowclasses.h"

#include <commctrl.h>

bool morvelRegisterWindowClasses(HINSTANCE instance)
{
    (void)instance;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    return true;
}

void morvelUnregisterWindowClasses(HINSTANCE instance)
{
    (void)instance;
}
