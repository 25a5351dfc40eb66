#include "mediadbhost.h"

void MediaDbHost::SetUp()
{
    ASSERT_TRUE(m_server.isLoaded());
    ASSERT_EQ(S_OK, m_server.registerServer());
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    m_comReady = true;
}

void MediaDbHost::TearDown()
{
    releaseAll();
    if (m_comReady)
        CoUninitialize();
    m_server.unregisterServer();
}

IMediaDb *MediaDbHost::create()
{
    IMediaDb *object = nullptr;
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_MediaDb, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDb,
                                     reinterpret_cast<void **>(&object)));
    if (object)
        m_objects.push_back(object);
    return object;
}

IMediaDb *MediaDbHost::createOpen(const char *clientName)
{
    IMediaDb *object = create();
    if (object) {
        EXPECT_EQ(S_OK, object->open(clientName, nullptr, 0, 0, nullptr, 0));
    }
    return object;
}

void MediaDbHost::releaseAll()
{
    for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it)
        (*it)->Release();
    m_objects.clear();
}

std::string recordLine(const std::string &artist, const std::string &title, const std::string &album,
                       const std::string &genre, const std::string &mediaformat)
{
    // Artist Title Playtime Album Year Genre Location Path ... Mediaformat is column 13.
    std::vector<std::string> values(25);
    values[0] = artist;
    values[1] = title;
    values[3] = album;
    values[5] = genre;
    values[12] = mediaformat;
    std::string line;
    for (const std::string &value : values)
        line += value + "|";
    return line;
}
