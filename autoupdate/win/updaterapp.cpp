#include "updaterapp.h"

#include "updatesettings.h"

#include <vector>

UpdaterApp &UpdaterApp::instance()
{
    static UpdaterApp app;
    return app;
}

bool UpdaterApp::tryEnter()
{
    bool expected = false;
    return m_busy.compare_exchange_strong(expected, true);
}

void UpdaterApp::leave()
{
    m_busy.store(false);
}

std::string UpdaterApp::languageId()
{
    std::lock_guard<std::mutex> lock(m_languageMutex);
    if (m_languageId.empty()) {
        m_languageId = UpdateSettings::kLanguageDefault;
        std::string path;
        if (process().isSet() && process().iniFilePath(path)) {
            std::vector<char> value(UpdateSettings::kLanguageBufferSize, '\0');
            const DWORD length = GetPrivateProfileStringA(
                UpdateSettings::kWebSection, UpdateSettings::kLanguageKey, m_languageId.c_str(), value.data(),
                static_cast<DWORD>(value.size()), path.c_str());
            if (length > 0)
                m_languageId.assign(value.data(), length);
        }
    }
    return m_languageId;
}

std::string UpdaterApp::loadString(UINT id) const
{
    char buffer[1024] = {};
    const int length = LoadStringA(m_module, id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

int UpdaterApp::messageBox(HWND owner, const std::string &text, UINT type) const
{
    return MessageBoxA(owner, text.c_str(), "QdAutoUpdate", type);
}
