#pragma once
// The fixed table of file requests: title, filters, mode and the registry
// values in which each request remembers its last folder and filter.

#include <cstdint>
#include <string>
#include <vector>

class MorvelRequestTable
{
  public:
    struct Filter {
        uint16_t description; // string identifiers
        uint16_t pattern;
    };
    struct Row {
        int32_t id;
        uint16_t title;
        bool save;
        uint8_t defaultFilter; // counted from 1
        const char *folderValue;
        const char *filterValue;
        bool stripExtension; // save requests cut ".xyz" from the initial name
        std::vector<Filter> filters;
    };

    // Size of each of the four areas of the work block.
    static constexpr size_t kAreaSize = 512;

    static const std::vector<Row> &rows();
    static const Row *find(int32_t id);
    // The extension of the first pattern ("*.xpp;*.exe" gives "xpp"); empty
    // when that pattern names no plain extension ("*.*").
    static std::string defaultExtension(const std::string &pattern);
    // The initial name of a save request, cut before a three-letter extension
    // when the row asks for it.
    static std::string initialSaveName(const char *name, bool stripExtension);
    // The filter to start with: the remembered one when it names a filter of
    // the row, else the row's default.
    static uint8_t startFilter(const Row &row, bool remembered, uint8_t value);
    // The folder of a chosen path, without its final "\": the part before the
    // file name that starts at fileOffset.
    static std::string folderOfChoice(const std::string &path, size_t fileOffset);
    // Description and pattern texts, each zero-terminated, ended by an empty
    // text; false when they do not fit into one area.
    static bool filterList(const std::vector<std::string> &texts, std::string &list);
};
