#pragma once

// The updater's settings: values from the host's settings file, which a URL
// script on a server may refresh first.

#include <string>

class SettingsLookup
{
  public:
    // The value of a key in the host's settings file; with flags other than
    // eIniFileOnly the URL script is fetched first, unless fetched says it was.
    static std::string lookUpValue(const std::string &section, const std::string &key,
                                   const std::string &defaultValue, const std::string &urlScript,
                                   bool &fetched, int flags);
    // lookUpValue with the "URLScript" address and the library's one fetched flag.
    static std::string lookUpWithUrlScript(const std::string &section, const std::string &key,
                                           const std::string &defaultValue, int flags);
    // The host's settings file (at most 259 characters); false when it names none.
    static bool iniFilePath(std::string &path);
    // GETs the URL script and writes the settings it holds into targetIni;
    // true when the script answered 200.
    static bool fetchUrlScript(const std::string &address, const std::string &targetIni);
};
