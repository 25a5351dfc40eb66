#pragma once
// Module-wide state of the DB_QD server: its own handle and the count of
// live COM objects and server locks that DllCanUnloadNow answers from.

#include <windows.h>

class MediaDbEngine;

HMODULE dbqdModule();
// The one catalogue engine, built when the library is loaded.
MediaDbEngine &dbqdEngine();
void dbqdLockModule();
void dbqdUnlockModule();
LONG dbqdModuleCount();
