#include "winetodo.h"

#include <windows.h>

bool runningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

::testing::AssertionResult todoWine(bool windowsBehaviour, const char *wineDifference)
{
    if (!runningUnderWine())
        return windowsBehaviour ? ::testing::AssertionSuccess()
                                : ::testing::AssertionFailure() << "Windows behaviour expected";
    if (windowsBehaviour)
        return ::testing::AssertionFailure()
               << "Wine behaves like Windows now; drop the todoWine marker: " << wineDifference;
    return ::testing::AssertionSuccess() << "todo_wine: " << wineDifference;
}
