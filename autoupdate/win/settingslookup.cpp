#include "settingslookup.h"

#include "initext.h"
#include "internetsession.h"
#include "updaterapp.h"
#include "updatesettings.h"
#include "updatetext.h"

#include <windows.h>

#include <vector>

namespace
{

bool s_urlScriptFetched = false;

// The program the process was started from.
std::string processProgramPath()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

std::string readIniValue(const std::string &path, const std::string &section, const std::string &key,
                         const std::string &defaultValue)
{
    std::vector<char> value(UpdateSettings::kValueBufferSize, '\0');
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), value.data(),
                                 static_cast<DWORD>(value.size()), path.c_str());
    return std::string(value.data(), length);
}

} // namespace

bool SettingsLookup::iniFilePath(std::string &path)
{
    const HostProcess process = UpdaterApp::instance().process();
    if (!process.isSet() || !process.iniFilePath(path))
        return false;
    path = path.substr(0, UpdateSettings::kPathBufferSize - 1);
    return true;
}

std::string SettingsLookup::lookUpValue(const std::string &section, const std::string &key,
                                        const std::string &defaultValue, const std::string &urlScript,
                                        bool &fetched, int flags)
{
    std::string settings;
    const bool hasSettings = iniFilePath(settings);
    if (!fetched && flags != UpdateSettings::eIniFileOnly) {
        const std::string program = processProgramPath();
        if (!program.empty() && fetchUrlScript(urlScript, autoupdate::iniPathBeside(program)))
            fetched = true;
    }
    // Without a settings file the defaults apply (a null path would read win.ini).
    const std::string value = hasSettings ? readIniValue(settings, section, key, defaultValue) : defaultValue;
    UpdaterApp::instance().process().trace(
        "LookUpValue", UpdateSettings::lookUpTrace(section, key, value, defaultValue, flags), 3);
    return value;
}

std::string SettingsLookup::lookUpWithUrlScript(const std::string &section, const std::string &key,
                                                const std::string &defaultValue, int flags)
{
    std::string settings;
    std::string urlScript = UpdateSettings::kUrlScriptDefault;
    if (iniFilePath(settings))
        urlScript = readIniValue(settings, UpdateSettings::kUrlScriptSection, UpdateSettings::kUrlScriptKey,
                                 UpdateSettings::kUrlScriptDefault);
    return lookUpValue(section, key, defaultValue, urlScript, s_urlScriptFetched, flags);
}

bool SettingsLookup::fetchUrlScript(const std::string &address, const std::string &targetIni)
{
    try {
        InternetSession session;
        char host[MAX_PATH] = {};
        char path[2048] = {};
        URL_COMPONENTSA parts = {};
        parts.dwStructSize = sizeof parts;
        parts.lpszHostName = host;
        parts.dwHostNameLength = sizeof host;
        parts.lpszUrlPath = path;
        parts.dwUrlPathLength = sizeof path;
        parts.dwExtraInfoLength = 1;
        if (!InternetCrackUrlA(address.c_str(), 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP)
            return false;
        std::string object = path;
        if (parts.lpszExtraInfo && parts.dwExtraInfoLength)
            object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
        auto connection = session.httpConnection(host, parts.nPort);
        auto request = connection->openRequest("GET", object,
                                               INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD |
                                                   INTERNET_FLAG_NO_CACHE_WRITE);
        request->sendRequest();
        DWORD status = 0;
        if (!request->statusCode(status) || status != 200)
            return false;
        const IniText ini = IniText::parse(request->readAll());
        request->close();
        for (const auto &section : ini.sections())
            for (const auto &pair : section.pairs)
                WritePrivateProfileStringA(section.name.c_str(), pair.first.c_str(), pair.second.c_str(),
                                           targetIni.c_str());
        return true;
    } catch (const InternetException &) {
        return false;
    }
}
