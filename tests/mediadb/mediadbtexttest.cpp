#include "mediadbtext.h"

#include <gtest/gtest.h>

#ifdef __linux__
#include <sched.h>
#endif

#include <string>
#include <vector>

using namespace mediadb;

namespace
{

// What a scan reported: '|' for a separator, the byte itself for any other mark.
struct Visit {
    size_t at;
    char kind;
    bool operator==(const Visit &other) const { return at == other.at && kind == other.kind; }
};

std::ostream &operator<<(std::ostream &out, const Visit &visit)
{
    return out << visit.at << ':' << static_cast<int>(visit.kind);
}

using Scan = std::vector<Visit> (*)(std::string &text, size_t stopAfter);

// Each separator is turned into a terminator as the table's load does: the
// scan must not report it again as a terminator.
template <bool Portable> std::vector<Visit> scanned(std::string &text, size_t stopAfter)
{
    std::vector<Visit> visits;
    char *const begin = &text[0];
    auto bar = [&](char *p) {
        visits.push_back({static_cast<size_t>(p - begin), '|'});
        *p = '\0';
        return visits.size() < stopAfter;
    };
    auto other = [&](char *p) {
        visits.push_back({static_cast<size_t>(p - begin), *p});
        return visits.size() < stopAfter;
    };
    if (Portable)
        scanMarksPortable(begin, begin + text.size(), bar, other);
    else
        scanMarks(begin, begin + text.size(), bar, other);
    return visits;
}

std::vector<Visit> expectedVisits(const std::string &text, size_t stopAfter)
{
    std::vector<Visit> visits;
    for (size_t i = 0; i < text.size() && visits.size() < stopAfter; ++i) {
        if (isMark(text[i]))
            visits.push_back({i, text[i]});
    }
    return visits;
}

TEST(MediaDbTextTest, ScansFindEveryMarkInOrder)
{
    std::string mixed;
    for (int i = 0; i < 70; ++i)
        mixed += "ab|\r\n\0xyz\xff|"[i % 12];
    const struct {
        const char *name;
        std::string text;
        size_t stopAfter;
    } cases[] = {
        {"empty", "", 100},
        {"none", std::string(40, 'a'), 100},
        {"short", "a|b", 100},
        {"block edges",
         std::string(7, 'a') + "|" + std::string(7, 'a') + "||" + std::string(14, 'a') + "|\r\n", 100},
        {"only bars", std::string(33, '|'), 100},
        {"every kind", mixed, 100},
        {"high bytes are no marks", "\xfc\x7c\x8a\x0d\x80\x0a\xff\x00\x7d\x7b|", 100},
        {"stops at the first false", mixed, 5},
        {"stops in a tail", "abc|d|e", 1},
    };
    const struct {
        const char *name;
        Scan scan;
    } scans[] = {{"scanMarks", &scanned<false>}, {"scanMarksPortable", &scanned<true>}};
    for (const auto &scan : scans) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(scan.name) + ": " + c.name);
            std::string text = c.text;
            EXPECT_EQ(scan.scan(text, c.stopAfter), expectedVisits(c.text, c.stopAfter));
        }
    }
}

TEST(MediaDbTextTest, UsableProcessorsFollowTheAffinity)
{
    EXPECT_GE(usableProcessors(), 1u);
#ifdef __linux__
    cpu_set_t saved;
    ASSERT_EQ(sched_getaffinity(0, sizeof saved, &saved), 0);
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &saved)) {
            CPU_SET(cpu, &one);
            break;
        }
    }
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    EXPECT_EQ(usableProcessors(), 1u);
    sched_setaffinity(0, sizeof saved, &saved);
#endif
}

} // namespace
