#include "initext.h"

#include <gtest/gtest.h>

namespace
{

::testing::AssertionResult holds(const IniText &ini, const std::string &expected)
{
    std::string actual;
    for (const auto &section : ini.sections()) {
        actual += "[" + section.name + "]";
        for (const auto &pair : section.pairs)
            actual += pair.first + "=" + pair.second + ";";
    }
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "holds \"" << actual << "\", expected \"" << expected << "\"";
}

struct IniCase {
    const char *name;
    const char *text;
    const char *expected;
};

const IniCase kCases[] = {
    {"plain", "[Web]\nCrmRedirect=http://h/r\nLANGUAGE_ID=D\n", "[Web]CrmRedirect=http://h/r;LANGUAGE_ID=D;"},
    {"key between the last two signs", "[S]\na=b=c\n", "[S]b=c;"},
    {"empty key or value", "[S]\nk=\n=v\nnoequals\n", ""},
    {"trailing blanks dropped", "[S]  \nk=v \t\n", "[S]k=v;"},
    {"leading blanks kept", "[S]\n  k=v\n", "[S]  k=v;"},
    {"no final line end", "[S]\nk=v", "[S]k=v;"},
    {"before any section", "k=v\n[S]\nx=y\n", "[]k=v;[S]x=y;"},
    {"repeated key", "[S]\nk=1\nk=2\n", "[S]k=2;"},
    {"section named again replaces", "[S]\na=1\n[T]\nt=1\n[S]\nb=2\n", "[S]b=2;[T]t=1;"},
    {"section named again without pairs", "[S]\na=1\n[S]\n", "[S]a=1;"},
    {"crlf lines", "[S]\r\nk=v\r\n", "[S]k=v;"},
    {"empty", "", ""},
};

TEST(IniText, Parse)
{
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(holds(IniText::parse(c.text), c.expected));
    }
}

} // namespace
