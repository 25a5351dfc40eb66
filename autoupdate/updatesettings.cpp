#include "updatesettings.h"

namespace UpdateSettings
{

const char kUrlScriptSection[] = "WEB";
const char kUrlScriptKey[] = "URLScript";
const char kUrlScriptDefault[] = "http://localhost/redirects/redirect.php";
const char kWebSection[] = "Web";
const char kCrmRedirectKey[] = "CrmRedirect";
const char kCrmRedirectDefault[] = "http://www.tandu-software.example/redirects/crm/crm.php3";
const char kLanguageKey[] = "LANGUAGE_ID";
const char kLanguageDefault[] = "F";

const char *flagName(int flags)
{
    switch (flags) {
    case eIniFileOnly:
        return "eIniFileOnly";
    case eUrlOnly:
        return "eUrlOnly";
    default:
        return "Default";
    }
}

std::string lookUpTrace(const std::string &section, const std::string &key, const std::string &value,
                        const std::string &defaultValue, int flags)
{
    return "Section=" + section + " Key=" + key + " result=" + value + " default=" + defaultValue +
           " Flags= " + flagName(flags);
}

} // namespace UpdateSettings
