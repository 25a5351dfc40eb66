#pragma once

// Names and defaults of the updater's settings file, and the texts of the
// settings lookup. Portable.

#include <string>

namespace UpdateSettings
{

enum LookUpFlags { Default = 0, eIniFileOnly = 1, eUrlOnly = 2 };

extern const char kUrlScriptSection[]; // "WEB"
extern const char kUrlScriptKey[];     // "URLScript"
extern const char kUrlScriptDefault[]; // on the local machine
extern const char kWebSection[];       // "Web"
extern const char kCrmRedirectKey[];   // "CrmRedirect"
extern const char kCrmRedirectDefault[];
extern const char kLanguageKey[];     // "LANGUAGE_ID"
extern const char kLanguageDefault[]; // "F"

constexpr unsigned kValueBufferSize = 2048;
constexpr unsigned kLanguageBufferSize = 256;
constexpr unsigned kPathBufferSize = 260;

// "eIniFileOnly", "eUrlOnly" or "Default".
const char *flagName(int flags);
// The trace line of one lookup.
std::string lookUpTrace(const std::string &section, const std::string &key, const std::string &value,
                        const std::string &defaultValue, int flags);

} // namespace UpdateSettings
