// Registry exports: a round trip below the library's key in a fresh profile.
#include "morvellibrary.h"
#include "settingskey.h"

#include <cstring>

TEST_F(MorvelTest, RegistryRoundTrip)
{
    FreshSettings settings;
    auto checkRegPath = MORVEL_FN(m_morvel, CheckRegPath);
    auto queryRegEntry = MORVEL_FN(m_morvel, QueryRegEntry);
    auto setRegEntry = MORVEL_FN(m_morvel, SetRegEntry);
    auto deleteRegEntry = MORVEL_FN(m_morvel, DeleteRegEntry);

    const char text[] = "C:\\Pr\xe4sentationen";
    EXPECT_EQ(0, setRegEntry(HKEY_CURRENT_USER, "LoadPath", REG_SZ, text, sizeof text))
        << "the key is never made";
    EXPECT_FALSE(settings.keyExists());
    char buffer[64] = {};
    EXPECT_EQ(0, queryRegEntry(HKEY_CURRENT_USER, "LoadPath", buffer, sizeof buffer));

    checkRegPath(HKEY_CURRENT_USER);
    EXPECT_TRUE(settings.keyExists());
    checkRegPath(HKEY_CURRENT_USER); // opens what is there
    EXPECT_TRUE(settings.keyExists());

    EXPECT_EQ(1, setRegEntry(HKEY_CURRENT_USER, "LoadPath", REG_SZ, text, sizeof text));
    EXPECT_EQ(text, settings.text("LoadPath"));
    EXPECT_EQ(1, queryRegEntry(HKEY_CURRENT_USER, "LoadPath", buffer, sizeof buffer));
    EXPECT_STREQ(text, buffer);
    char small[4] = {};
    EXPECT_EQ(0, queryRegEntry(HKEY_CURRENT_USER, "LoadPath", small, sizeof small)) << "buffer too small";
    // A size query reads nothing.
    EXPECT_EQ(0, queryRegEntry(HKEY_CURRENT_USER, "LoadPath", nullptr, sizeof buffer));
    EXPECT_EQ(0, queryRegEntry(HKEY_CURRENT_USER, "LoadPath", nullptr, 0));
    EXPECT_EQ(0, queryRegEntry(HKEY_CURRENT_USER, "LoadPath", buffer, 0));

    const DWORD number = 0x01020304;
    EXPECT_EQ(1, setRegEntry(HKEY_CURRENT_USER, "Zahl", REG_DWORD, &number, sizeof number));
    DWORD read = 0;
    EXPECT_EQ(1, queryRegEntry(HKEY_CURRENT_USER, "Zahl", &read, sizeof read));
    EXPECT_EQ(number, read);

    EXPECT_EQ(1, deleteRegEntry(HKEY_CURRENT_USER, "LoadPath"));
    EXPECT_EQ(0, deleteRegEntry(HKEY_CURRENT_USER, "LoadPath"));
    EXPECT_EQ(0, queryRegEntry(HKEY_CURRENT_USER, "LoadPath", buffer, sizeof buffer));
    EXPECT_EQ("(missing)", settings.text("LoadPath"));
    EXPECT_EQ(0, queryRegEntry(HKEY_CURRENT_USER, "Fehlt", buffer, sizeof buffer));
}

TEST_F(MorvelTest, RegistryWithoutTheKey)
{
    FreshSettings settings;
    auto deleteRegEntry = MORVEL_FN(m_morvel, DeleteRegEntry);
    EXPECT_EQ(0, deleteRegEntry(HKEY_CURRENT_USER, "LoadPath"));
    EXPECT_FALSE(settings.keyExists());
}
