#pragma once
// The library's settings below HKEY_CURRENT_USER, removed before and after
// each test that uses them, so every test starts from a fresh profile.

#include <windows.h>

#include <string>

extern const char kSettingsKey[];

class FreshSettings
{
  public:
    FreshSettings();
    ~FreshSettings();
    FreshSettings(const FreshSettings &) = delete;
    FreshSettings &operator=(const FreshSettings &) = delete;

    bool keyExists() const;
    // A text value, or "(missing)".
    std::string text(const char *name) const;
    // A binary value as bytes, or "(missing)".
    std::string binary(const char *name) const;
};
