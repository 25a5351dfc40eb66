#include "mediadbengine.h"

#include <cstring>

MediaDbEngine &MediaDbEngine::instance()
{
    static MediaDbEngine engine;
    return engine;
}

HRESULT MediaDbEngine::openClient(const MediaDbClient *client)
{
    if (!client)
        return E_POINTER;
    for (auto &name : m_names) {
        if (!name[0]) {
            std::memcpy(name, client->name, 40);
            name[40] = 0;
            if (client->window && client->message && (client->flags & 1))
                SendMessageA(client->window, client->message, 2, 0);
            return S_OK;
        }
    }
    return MEDIADB_E_TOOMANYCLIENTS;
}

HRESULT MediaDbEngine::closeClient(const char *name)
{
    if (!name)
        return E_POINTER;
    for (auto &entry : m_names) {
        if (entry[0] && _strnicmp(entry, name, 40) == 0) {
            entry[0] = 0;
            return S_OK;
        }
    }
    return MEDIADB_E_NOSUCHCLIENT;
}
