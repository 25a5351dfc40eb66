// The library's entry points: its load and DoAutoUpdate.
#include "qdautoupdate.h"

#include "updatedialog.h"
#include "updaterapp.h"

#include <windows.h>

#include <commctrl.h>

#include <type_traits>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        UpdaterApp::instance().setModule(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

static_assert(std::is_same_v<decltype(&DoAutoUpdate), int32_t(__cdecl *)(ProcessInterface *)>,
              "DoAutoUpdate: cdecl, one pointer, a 32-bit result");

extern "C" int32_t __cdecl DoAutoUpdate(ProcessInterface *process)
{
    UpdaterApp &app = UpdaterApp::instance();
    // A call while the window of another is open changes nothing.
    if (!app.tryEnter())
        return 0;
    app.setResult(0);
    if (process) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        app.setProcess(process);
        UpdateDialog dialog;
        dialog.doModal(nullptr);
        // The worker has ended once the dialog is gone (it waits for it).
    }
    const int32_t result = app.result();
    app.leave();
    return result;
}
