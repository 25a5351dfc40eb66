#include "updatesettings.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(UpdateSettings, FlagNames)
{
    EXPECT_STREQ("eIniFileOnly", UpdateSettings::flagName(UpdateSettings::eIniFileOnly));
    EXPECT_STREQ("eUrlOnly", UpdateSettings::flagName(UpdateSettings::eUrlOnly));
    EXPECT_STREQ("Default", UpdateSettings::flagName(0));
    EXPECT_STREQ("Default", UpdateSettings::flagName(7));
}

TEST(UpdateSettings, TraceLine)
{
    EXPECT_EQ("Section=Web Key=CrmRedirect result=http://a/b default=http://c/d Flags= eIniFileOnly",
              UpdateSettings::lookUpTrace("Web", "CrmRedirect", "http://a/b", "http://c/d",
                                          UpdateSettings::eIniFileOnly));
}

TEST(UpdateSettings, DefaultPaths)
{
    const std::string urlScript = UpdateSettings::kUrlScriptDefault;
    const std::string redirect = UpdateSettings::kCrmRedirectDefault;
    EXPECT_EQ(urlScript.size() - 23, urlScript.rfind("/redirects/redirect.php"));
    EXPECT_EQ(redirect.size() - 23, redirect.rfind("/redirects/crm/crm.php3"));
    EXPECT_STREQ("F", UpdateSettings::kLanguageDefault);
}

} // namespace
