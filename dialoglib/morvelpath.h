#pragma once
// Path and file-name rules of morvel's path exports, on the host's 8-bit texts.

#include <functional>
#include <string>
#include <vector>

class MorvelPath
{
  public:
    // Longest path the exports accept.
    static constexpr size_t kMaxPath = 260;

    enum ComponentKind { Drive = 1, Folder = 2, Last = 3 };
    using ComponentProc = std::function<void(const std::string &component, ComponentKind kind)>;

    // Offset of the file name: after the last "\" found at index 1 or more; 0 otherwise.
    static size_t fileFromPath(const char *path);
    static bool checkTitleChar(unsigned char c);
    // Replaces every character checkTitleChar refuses with "_".
    static void checkTitleValidity(char *text);
    // Replaces the characters a file name cannot hold with "_".
    static void setFileValidChars(char *text);
    // Appends "\" unless the path ends in one; false for an empty path.
    static bool checkPathSlash(std::string &path);
    static bool isPathAbsolute(const char *path);
    // Cuts the base's folder from the front of path; true when it did.
    static bool makePathRelative(const char *base, std::string &path);
    // The next name variant: a.txt -> a_1.txt, a_9.txt -> a_10.txt.
    static std::string ensureUniqueFile(const std::string &path);
    // Calls proc once per component of path, after the part it shares with base.
    static void processPathString(const char *path, const char *base, const ComponentProc &proc);
    // The folders to make, shortest first, for every "\" of path; drive and
    // server roots are left out. False for an empty or too long path.
    static bool drawerFolders(const char *path, std::vector<std::string> &folders);
};
