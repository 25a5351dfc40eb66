#pragma once

#include <windows.h>

#include <string>

// One program or class registered with the test WIA service for an event.
struct TestWiaHandler {
    GUID event;
    std::wstring deviceId; // empty: all devices
    GUID id;
    ULONG flags; // WIA_IS_DEFAULT_HANDLER
    std::wstring name;
    std::wstring description;
    std::wstring icon;
    std::wstring commandLine;
};
