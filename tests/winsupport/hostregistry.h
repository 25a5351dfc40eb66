#pragma once

#include <windows.h>

#include <string>

// True when the key below root can be opened for reading.
bool keyExists(HKEY root, const std::string &key);
