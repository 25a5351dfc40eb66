#pragma once
// Files of the host tests: where the test program lives, whole-file reads
// and writes, byte comparisons that say where two contents part.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

// This test program's own path, and its folder (no trailing backslash).
std::string programPath();
std::string programFolder();
// Path of a file beside this test program.
std::string besideProgram(const std::string &name);

// Deletes a folder and what it holds, read-only files included; links to
// folders are removed without following them.
void removeTree(const std::string &folder);

std::string readFile(const std::string &path);
bool writeFile(const std::string &path, const std::string &content);
bool fileExists(const std::string &path);
bool fileExists(const std::wstring &path);

// Compares binary contents, reporting sizes and the first difference.
::testing::AssertionResult sameBytes(const std::string &expected, const std::string &actual);
// Bytes of a block as text with escapes, for comparisons that show both sides.
std::string bytesOf(const void *block, size_t size);
