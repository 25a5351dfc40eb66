#include "initext.h"

namespace
{

std::string withoutTrailingBlanks(std::string line)
{
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.pop_back();
    return line;
}

} // namespace

IniText IniText::parse(const std::string &text)
{
    IniText ini;
    std::string current;
    // The map of the current section's latest occurrence, made on its first pair.
    bool mapStarted = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = withoutTrailingBlanks(text.substr(start, end - start));
        start = end + 1;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            mapStarted = false;
            continue;
        }
        const size_t last = line.rfind('=');
        if (last == std::string::npos)
            continue;
        const size_t before = last == 0 ? std::string::npos : line.rfind('=', last - 1);
        const size_t keyStart = before == std::string::npos ? 0 : before + 1;
        const std::string key = line.substr(keyStart, last - keyStart);
        const std::string value = line.substr(last + 1);
        if (key.empty() || value.empty())
            continue;
        Section *section = nullptr;
        for (Section &s : ini.m_sections)
            if (s.name == current)
                section = &s;
        if (!section) {
            ini.m_sections.push_back({current, {}});
            section = &ini.m_sections.back();
        } else if (!mapStarted) {
            section->pairs.clear();
        }
        mapStarted = true;
        bool replaced = false;
        for (auto &pair : section->pairs)
            if (pair.first == key) {
                pair.second = value;
                replaced = true;
            }
        if (!replaced)
            section->pairs.emplace_back(key, value);
    }
    return ini;
}
