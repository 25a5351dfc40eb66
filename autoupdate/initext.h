#pragma once

// Settings text served by a URL script, read as INI: sections in brackets,
// "key=value" lines. Portable.

#include <string>
#include <utility>
#include <vector>

class IniText
{
  public:
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    struct Section {
        std::string name;
        Pairs pairs;
    };

    // Lines end at LF; trailing blanks are dropped. The key is the text
    // between the last two "=" (or from the line start), the value the text
    // after the last "="; pairs with an empty key or value are left out. A
    // section named again starts a new map that replaces the earlier one once
    // it holds a pair. Lines before any section belong to the unnamed one.
    static IniText parse(const std::string &text);

    // Sections that hold pairs, in the order they first appeared.
    const std::vector<Section> &sections() const { return m_sections; }

  private:
    std::vector<Section> m_sections;
};
