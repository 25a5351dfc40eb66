#pragma once
// Registration of the window classes the host's dialogs use as controls.

#include <windows.h>

bool morvelRegisterWindowClasses(HINSTANCE instance);
void morvelUnregisterWindowClasses(HINSTANCE instance);
