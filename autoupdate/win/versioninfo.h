#pragma once

// Reads a file's version resource.

#include <string>

class VersionInfo
{
  public:
    // "a.b.c.d" from the fixed part's product version; "?.?.?.?" when the
    // file has no version resource or its fixed part cannot be read.
    static std::string productVersion(const std::string &path);
    // A value of the first language and code page the resource lists; empty
    // when there is none or any step fails.
    static std::string string(const std::string &path, const std::string &name);
};
