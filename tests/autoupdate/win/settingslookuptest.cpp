// The settings lookup, the URL script and the version reader, linked in.
// The fetched flag and the language are kept per loaded library: under CTest
// every test runs in a process of its own.
#include "frametest.h"

#include "settingslookup.h"
#include "updaterapp.h"
#include "versioninfo.h"

namespace
{

std::string iniValue(const std::string &path, const char *section, const char *key)
{
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, path.c_str());
    return value;
}

class SettingsLookupTest : public FrameTest
{
  protected:
    std::string urlScript(const std::string &options) const
    {
        return m_double.url("/urlscript/" + id() + "/" + options + "/redirects/redirect.php");
    }
};

TEST_F(SettingsLookupTest, UrlScriptSettingsWrittenPairByPair)
{
    const std::string target = scratch("fetched.ini");
    EXPECT_TRUE(SettingsLookup::fetchUrlScript(urlScript("x=1"), target));
    EXPECT_EQ("D", iniValue(target, "Web", "LANGUAGE_ID"));
    EXPECT_EQ("c", iniValue(target, "Web", "b"));
    EXPECT_EQ("<none>", iniValue(target, "Web", "note"));
    EXPECT_EQ("<none>", iniValue(target, "Web", "empty"));
    EXPECT_EQ("value", iniValue(target, "Extra", "key"));
}

TEST_F(SettingsLookupTest, UrlScriptThatFailsWritesNothing)
{
    const std::string target = scratch("fetched.ini");
    EXPECT_FALSE(SettingsLookup::fetchUrlScript(urlScript("status=404"), target));
    EXPECT_FALSE(SettingsLookup::fetchUrlScript(
        "http://127.0.0.1:" + std::to_string(m_double.closedPort()) + "/redirects/redirect.php", target));
    EXPECT_FALSE(fileExists(target));
}

TEST_F(SettingsLookupTest, UrlScriptFetchedOncePerLoad)
{
    const std::string beside = besideProgram("qdautoupdate_frame_test.ini");
    DeleteFileA(beside.c_str());
    // "WEB" and "Web" name the same section.
    writeFile(m_process.iniPath, "[WEB]\r\nURLScript=" + urlScript("x=1") + "\r\nCrmRedirect=http://r/x\r\n");
    EXPECT_EQ("http://r/x", SettingsLookup::lookUpWithUrlScript("Web", "CrmRedirect", "http://d/y", 0));
    EXPECT_EQ("http://r/x", SettingsLookup::lookUpWithUrlScript("Web", "CrmRedirect", "http://d/y", 2));
    // The script's settings land beside the program, not in the host's file.
    EXPECT_EQ("D", iniValue(beside, "Web", "LANGUAGE_ID"));
    DeleteFileA(beside.c_str());
    EXPECT_EQ(1u, m_double.requests(id()).size());
    EXPECT_TRUE(traced("LookUpValue",
                       "Section=Web Key=CrmRedirect result=http://r/x default=http://d/y Flags= Default", 3));
    EXPECT_TRUE(traced("LookUpValue",
                       "Section=Web Key=CrmRedirect result=http://r/x default=http://d/y Flags= eUrlOnly",
                       3));
}

TEST_F(SettingsLookupTest, SettingsFileOnlyFetchesNothing)
{
    writeFile(m_process.iniPath, "[web]\r\nCrmRedirect=http://r/x\r\n");
    bool fetched = false;
    EXPECT_EQ("http://r/x",
              SettingsLookup::lookUpValue("Web", "CrmRedirect", "http://d/y", urlScript("x=1"), fetched, 1));
    EXPECT_FALSE(fetched);
    EXPECT_TRUE(m_double.requests(id()).empty());
}

TEST_F(SettingsLookupTest, NoSettingsFileMeansDefaults)
{
    m_process.nullIniPath = true;
    bool fetched = false;
    EXPECT_EQ("http://d/y",
              SettingsLookup::lookUpValue("Web", "CrmRedirect", "http://d/y", std::string(), fetched, 1));
    EXPECT_EQ("F", UpdaterApp::instance().languageId());
}

TEST_F(SettingsLookupTest, LanguageReadOncePerLoad)
{
    writeFile(m_process.iniPath, "[Web]\r\nLANGUAGE_ID=D\r\n");
    EXPECT_EQ("D", UpdaterApp::instance().languageId());
    writeFile(m_process.iniPath, "[Web]\r\nLANGUAGE_ID=E\r\n");
    EXPECT_EQ("D", UpdaterApp::instance().languageId());
}

TEST_F(SettingsLookupTest, VersionResourceOfTheHostProgram)
{
    EXPECT_EQ("3.1.4.1", VersionInfo::productVersion(programPath()));
    EXPECT_EQ("Foto & Co Studio", VersionInfo::string(programPath(), "ProductName"));
    EXPECT_EQ("", VersionInfo::string(programPath(), ""));
    EXPECT_EQ("", VersionInfo::string(programPath(), "NoSuchValue"));
    EXPECT_EQ("?.?.?.?", VersionInfo::productVersion(m_process.programPath));
    EXPECT_EQ("", VersionInfo::string(m_process.programPath, "ProductName"));
    EXPECT_EQ("?.?.?.?", VersionInfo::productVersion(scratch("missing.exe")));
}

} // namespace
