#pragma once

#include "dbqdserver.h"

#include <string>
#include <vector>

// A host that registered its own copy of the server and created objects
// through COM; every test starts with an empty catalogue.
class MediaDbHost : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // Creates an object through CoCreateInstance and keeps it for TearDown to release.
    IMediaDb *create();
    // Creates an object and opens it as a client without notices.
    IMediaDb *createOpen(const char *clientName);
    template <typename Interface> Interface *query(IUnknown *object, REFIID interfaceId)
    {
        Interface *out = nullptr;
        EXPECT_EQ(S_OK, object->QueryInterface(interfaceId, reinterpret_cast<void **>(&out)));
        if (out)
            m_objects.push_back(out);
        return out;
    }
    // Releases every interface this host holds.
    void releaseAll();

    DbqdServer m_server;
    std::vector<IUnknown *> m_objects;
    bool m_comReady = false;
};

// A record line for the 25 columns of a new catalogue.
std::string recordLine(const std::string &artist, const std::string &title,
                       const std::string &album = "Album", const std::string &genre = "Pop",
                       const std::string &mediaformat = "MP3");
