#include "mediadbtestsupport.h"

#include <sys/stat.h>

#include <random>

using namespace mediadbtest;
using namespace mediadb;

namespace
{

class MediaDbEngineTest : public EngineFixture
{
};

MediaDbCondition condition(int32_t op, int32_t column, const char *text, int32_t combine = 0)
{
    MediaDbCondition c{};
    c.op = op;
    c.column = column;
    c.combine = combine;
    std::strncpy(c.text, text, sizeof c.text - 1);
    return c;
}

// --- The catalogue file ----------------------------------------------------

TEST_F(MediaDbEngineTest, NewCatalogueFileHoldsTheTableHeader)
{
    start();
    EXPECT_EQ(readFile(databaseFile()), tableHeader());
    EXPECT_EQ(m_engine->columnCount(), 26);
    EXPECT_EQ(m_engine->liveRows(), 1);
    EXPECT_TRUE(m_engine->isDirty());

    m_engine->detach();
    EXPECT_EQ(readFile(databaseFile()), tableHeader());
    EXPECT_EQ(readFile(m_dir.file("QDDB.bak")), tableHeader());
}

struct LoadCase {
    const char *name;
    std::string content;
    int32_t columns; // index column included
    int32_t records;
    std::vector<std::string> firstRecord;
};

class MediaDbLoadTest : public EngineFixture, public ::testing::WithParamInterface<LoadCase>
{
};

TEST_P(MediaDbLoadTest, LoadsLayout)
{
    const LoadCase &c = GetParam();
    int32_t columns = 0;
    {
        MediaDbEngine engine(m_platform);
        writeFile(databaseFile(), c.content);
        ASSERT_EQ(engine.openDatabase(), kOk);
        columns = engine.columnCount();
        EXPECT_EQ(engine.liveRows() - 1, c.records);
        for (size_t i = 0; i < c.firstRecord.size(); ++i) {
            char buffer[256] = {};
            EXPECT_EQ(engine.getField(static_cast<int32_t>(i) + 1, 1, buffer, sizeof buffer, 0), kOk);
            EXPECT_EQ(std::string(buffer), c.firstRecord[i]) << "column " << i + 1;
        }
    }
    EXPECT_EQ(columns, c.columns);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MediaDbLoadTest,
    ::testing::Values(LoadCase{"TwoLines", "Artist|Title|\r\nAbba|Waterloo|\r\n", 3, 1, {"Abba", "Waterloo"}},
                      LoadCase{"LastLineWithoutFeed", "Artist|Title|\r\nA|B|\r\nC|D|", 3, 1, {"A", "B"}},
                      LoadCase{
                          "EmptySecondValue", "Artist|Title|Year|\r\nA||1999|\r\n", 4, 1, {"A", "", "1999"}},
                      LoadCase{"TextAfterLastSeparator", "Artist|Title|\r\nA|B|junk\r\n", 3, 1, {"A", "B"}},
                      LoadCase{"HeaderOnly", "Artist|\r\n", 2, 0, {}},
                      LoadCase{"BareLineFeeds", "Artist|Title|\nA|B|\n", 3, 1, {"A", "B"}},
                      LoadCase{"HeaderWithoutLineEnd", "Artist|Title|", 3, 0, {}},
                      LoadCase{"HeaderLongerThanAReadChunk",
                               "Artist|" + std::string(300000, 'x') + "|\r\nA|B|\r\n",
                               3,
                               1,
                               {"A", "B"}}),
    [](const ::testing::TestParamInfo<LoadCase> &info) { return std::string(info.param.name); });

TEST_F(MediaDbEngineTest, RecordAddedBehindAHeaderWithoutLineEndIsKept)
{
    startWith("Artist|Title|");
    int32_t record = 0;
    ASSERT_EQ(m_engine->addRecord("A|B|", &record), kOk);
    EXPECT_EQ(record, 1);
    EXPECT_EQ(field(1, 1), "A");
    m_engine->detach();
    EXPECT_EQ(readFile(databaseFile()), "Artist|Title|\r\nA|B|\r\n");
    start();
    EXPECT_EQ(m_engine->liveRows() - 1, 1);
    EXPECT_EQ(field(2, 1), "B");
}

TEST_F(MediaDbEngineTest, HeaderDropsControlAndHighBytes)
{
    startWith("Ar\ttist|Ti\xe4tle|\r\nA|B|\r\n");
    EXPECT_EQ(column("Artist"), 1);
    EXPECT_EQ(column("Title"), 2);
}

TEST_F(MediaDbEngineTest, SaveRotatesTheBackup)
{
    const std::string original = "Artist|Title|\r\nA|B|\r\n";
    startWith(original);
    ASSERT_EQ(m_engine->setField(1, 1, "X"), kOk);
    ASSERT_EQ(m_engine->save(), kOk);
    EXPECT_FALSE(m_engine->isDirty());
    EXPECT_EQ(readFile(databaseFile()), "Artist|Title|\r\nX|B|\r\n");
    EXPECT_EQ(readFile(m_dir.file("QDDB.bak")), original);
    EXPECT_FALSE(exists(databaseFile() + ".tmp"));

    ASSERT_EQ(m_engine->setField(2, 1, "Y"), kOk);
    ASSERT_EQ(m_engine->save(), kOk);
    EXPECT_EQ(readFile(databaseFile()), "Artist|Title|\r\nX|Y|\r\n");
    EXPECT_EQ(readFile(m_dir.file("QDDB.bak")), "Artist|Title|\r\nX|B|\r\n");
}

TEST_F(MediaDbEngineTest, SaveWithoutChangesWritesNothing)
{
    startWith("Artist|\r\nA|\r\n");
    ASSERT_EQ(m_engine->save(), kOk);
    EXPECT_FALSE(exists(m_dir.file("QDDB.bak")));
}

TEST_F(MediaDbEngineTest, FailedSaveKeepsDataChangedAndReportsIt)
{
    const std::string original = "Artist|\r\nA|\r\n";
    startWith(original);
    ASSERT_EQ(m_engine->setField(1, 1, "Z"), kOk);
    ASSERT_EQ(mkdir((databaseFile() + ".tmp").c_str(), 0700), 0); // the temporary file cannot be created
    writeFile(databaseFile() + ".tmp/keep", "x");

    EXPECT_EQ(m_engine->save(), kFail);
    EXPECT_TRUE(m_engine->isDirty());
    EXPECT_EQ(field(1, 1), "Z");
    EXPECT_EQ(readFile(databaseFile()), original);
    EXPECT_FALSE(exists(m_dir.file("QDDB.bak")));

    EXPECT_EQ(m_engine->save(), kFail) << "still blocked";
    std::remove((databaseFile() + ".tmp/keep").c_str());
    rmdir((databaseFile() + ".tmp").c_str());
    EXPECT_EQ(m_engine->save(), kOk);
    EXPECT_EQ(readFile(databaseFile()), "Artist|\r\nZ|\r\n");
}

TEST_F(MediaDbEngineTest, UnsavedCatalogueOutlivesTheLastDetach)
{
    startWith("Artist|\r\nA|\r\n");
    ASSERT_EQ(m_engine->setField(1, 1, "Z"), kOk);
    const std::string blocker = databaseFile() + ".tmp";
    ASSERT_EQ(mkdir(blocker.c_str(), 0700), 0); // the temporary file cannot be created
    writeFile(blocker + "/keep", "x");
    EXPECT_EQ(m_engine->addColumn("New"), kFail);
    EXPECT_EQ(m_engine->columnCount(), 2);
    EXPECT_EQ(column("New"), -1);

    m_engine->detach(); // cannot save: keeps the catalogue in memory
    EXPECT_EQ(readFile(databaseFile()), "Artist|\r\nA|\r\n");
    m_engine->attach();
    EXPECT_EQ(field(1, 1), "Z");

    std::remove((blocker + "/keep").c_str());
    rmdir(blocker.c_str());
    m_engine->detach();
    EXPECT_EQ(readFile(databaseFile()), "Artist|\r\nZ|\r\n");
}

TEST_F(MediaDbEngineTest, DamagedCatalogueFallsBackToTheBackup)
{
    const std::string damaged = "Artist|Title|\r\nA|B|C|\r\n";
    const std::string backup = "Artist|Title|\r\nA|B|\r\n";
    writeFile(databaseFile(), damaged);
    writeFile(m_dir.file("QDDB.BAK"), backup);
    start();
    EXPECT_EQ(field(1, 1), "A");
    EXPECT_EQ(readFile(databaseFile()), backup);
    EXPECT_EQ(readFile(databaseFile() + ".unreadable"), damaged);

    EXPECT_EQ(open("client1"), kOk);
    EXPECT_EQ(m_platform.codes(), (std::vector<uintptr_t>{kNoticeRestored, kNoticeOpened}));
}

TEST_F(MediaDbEngineTest, MissingCatalogueUsesTheBackup)
{
    writeFile(m_dir.file("QDDB.BAK"), "Artist|\r\nA|\r\n");
    start();
    EXPECT_EQ(field(1, 1), "A");
    EXPECT_EQ(readFile(databaseFile()), "Artist|\r\nA|\r\n");
}

TEST_F(MediaDbEngineTest, UnreadableCatalogueAndBackupAreKeptAside)
{
    writeFile(databaseFile(), "Artist|\r\nA|B|\r\n");
    writeFile(m_dir.file("QDDB.bak"), "Artist|Title|\r\nA|\r\n");
    start();
    EXPECT_EQ(readFile(databaseFile() + ".unreadable"), "Artist|\r\nA|B|\r\n");
    EXPECT_EQ(readFile(m_dir.file("QDDB.bak.unreadable")), "Artist|Title|\r\nA|\r\n");
    EXPECT_EQ(readFile(databaseFile()), tableHeader());
    EXPECT_EQ(m_engine->columnCount(), 26);
    bool said = false;
    for (const std::string &line : m_platform.debugLines)
        said = said || line.find("starting a new catalogue") != std::string::npos;
    EXPECT_TRUE(said);
}

TEST_F(MediaDbEngineTest, DeletedRowsAreDroppedAtReload)
{
    startWith(catalogue({{"N"}, {"1"}, {"2"}, {"3"}, {"4"}, {"5"}}));
    ASSERT_EQ(m_engine->deleteRecord(2, false), kOk);
    m_engine->detach();
    start();
    EXPECT_EQ(m_engine->liveRows() - 1, 4);
    EXPECT_EQ(field(1, 2), "3");
}

TEST_F(MediaDbEngineTest, OddBytesInLoadedValuesDoNotReachTheSavedFile)
{
    static const char content[] = "Artist|Title|\r\nA\rB|C|\r\n\rD|E|\r\nF\0G|H|\r\nI|J|\r\n";
    startWith(std::string(content, sizeof content - 1));
    EXPECT_EQ(field(1, 1), "AB");
    EXPECT_EQ(field(1, 2), "D");
    EXPECT_EQ(field(1, 3), "F");
    ASSERT_EQ(m_engine->addColumn("K"), kOk); // saves every row
    EXPECT_EQ(readFile(databaseFile()), "Artist|Title|K|\r\nAB|C||\r\nD|E||\r\nF|H||\r\nI|J||\r\n");
}

TEST_F(MediaDbEngineTest, CarriageReturnsAreSkippedWhereverTheyStand)
{
    const std::string wide(70000, 'w'); // a row too long for two-byte offsets
    const struct {
        const char *name;
        std::string line;
        std::string first, second;
    } cases[] = {
        {"inside a value", "AB\rBA|x|", "ABBA", "x"},
        {"several in both values", "\r\rA\rB\r|\rC\r\rD\r|", "AB", "CD"},
        {"values of carriage returns only", "\r\r|\r|", "", ""},
        {"after the last separator", "A|B|\r\r", "A", "B"},
        {"in a long row", wide + "\r" + wide + "|A\rB|", wide + wide, "AB"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        m_engine.reset();
        startWith("Artist|Title|\r\n" + c.line + "\r\nNext|Row|\r\n");
        ASSERT_EQ(m_engine->liveRows() - 1, 2);
        const char *first = nullptr;
        ASSERT_EQ(m_engine->getFieldText(1, 1, &first), kOk);
        EXPECT_EQ(std::string(first), c.first);
        char second[8] = {};
        ASSERT_EQ(m_engine->getField(2, 1, second, sizeof second, 0), kOk);
        EXPECT_EQ(std::string(second), c.second);
        EXPECT_EQ(field(1, 2), "Next");
        ASSERT_EQ(m_engine->addColumn("K"), kOk); // saves every row
        EXPECT_EQ(readFile(databaseFile()),
                  "Artist|Title|K|\r\n" + c.first + "|" + c.second + "||\r\nNext|Row||\r\n");
    }
}

TEST_F(MediaDbEngineTest, LargeCatalogueLoadsAndSearchesInParts)
{
    std::string content = "N|Name|\r\n";
    for (int i = 1; i <= 50000; ++i)
        content += std::to_string(i) + "|name" + std::to_string(i % 7) + "|\r\n";
    startWith(content);
    EXPECT_EQ(m_engine->liveRows() - 1, 50000);
    EXPECT_EQ(field(1, 50000), "50000");
    const MediaDbCondition condition{kOpContains, 2, 0, "ME3"};
    int32_t matches = 0;
    ASSERT_EQ(m_engine->search(1, &condition, &matches, nullptr, 0), kOk);
    EXPECT_EQ(matches, 7143);
    std::vector<int32_t> records(8000, 0);
    ASSERT_EQ(m_engine->getSearchResults(1, 8000, records.data()), kOk);
    EXPECT_EQ(records[0], 3);
    EXPECT_EQ(records[7142], 49997);
    EXPECT_EQ(records[7143], 0);

    // One bad line deep inside fails the whole load.
    m_engine.reset();
    content.replace(content.find("\n40000|"), 7, "\n40|000|");
    MediaDbEngine engine(m_platform);
    writeFile(databaseFile(), content);
    EXPECT_EQ(engine.load(databaseFile()), kFail);
    EXPECT_EQ(engine.columnCount(), 0);
}

// --- Long rows and the load in chunks ---------------------------------------

struct LongRowCase {
    const char *name;
    std::vector<std::string> values; // of the second record; the fourth ends in "END"
};

void PrintTo(const LongRowCase &c, std::ostream *out)
{
    *out << c.name;
}

class MediaDbLongRowTest : public EngineFixture, public ::testing::WithParamInterface<LongRowCase>
{
  protected:
    ::testing::AssertionResult holds(const std::vector<std::vector<std::string>> &lines)
    {
        if (m_engine->liveRows() != static_cast<int32_t>(lines.size()))
            return ::testing::AssertionFailure() << m_engine->liveRows() - 1 << " records";
        for (int32_t record = 1; record < static_cast<int32_t>(lines.size()); ++record) {
            for (int32_t c = 1; c <= 4; ++c) {
                const char *text = nullptr;
                m_engine->getFieldText(c, record, &text);
                const std::string &wanted = lines[static_cast<size_t>(record)][static_cast<size_t>(c) - 1];
                if (!text || text != wanted)
                    return ::testing::AssertionFailure()
                           << "record " << record << " column " << c << ": " << (text ? std::strlen(text) : 0)
                           << " bytes, not " << wanted.size();
            }
        }
        return ::testing::AssertionSuccess();
    }

    std::vector<int32_t> found(const MediaDbCondition &condition)
    {
        int32_t matches = 0;
        m_engine->search(1, &condition, &matches, nullptr, 0);
        std::vector<int32_t> records(static_cast<size_t>(matches) + 1, 0);
        m_engine->getSearchResults(1, matches + 1, records.data());
        records.resize(static_cast<size_t>(matches));
        return records;
    }
};

TEST_P(MediaDbLongRowTest, KeepsEveryValueAndTheFile)
{
    std::vector<std::vector<std::string>> lines = {
        {"A", "B", "C", "D"}, {"a1", "b1", "c1", "d1"}, GetParam().values, {"a3", "b3", "c3", "d3"}};
    startWith(catalogue(lines));
    ASSERT_TRUE(holds(lines));
    EXPECT_EQ(found(condition(kOpContains, 4, "end")), (std::vector<int32_t>{2}));
    EXPECT_EQ(found(condition(kOpEqual, 1, lines[2][0].size() < 200 ? lines[2][0].c_str() : "-")),
              lines[2][0].size() < 200 ? std::vector<int32_t>{2} : std::vector<int32_t>{});
    EXPECT_EQ(found(condition(kOpNotEqual, 4, "d3")), (std::vector<int32_t>{1, 2}));

    // A change elsewhere saves every row again: the long one comes back as it was.
    ASSERT_EQ(m_engine->setField(1, 1, "A1"), kOk);
    lines[1][0] = "A1";
    ASSERT_EQ(m_engine->save(), kOk);
    EXPECT_EQ(readFile(databaseFile()), catalogue(lines));

    // Shorter in place, and longer (the row moves), both within the long row.
    ASSERT_EQ(m_engine->setField(2, 2, "short"), kOk);
    lines[2][1] = "short";
    const std::string longer = lines[2][2] + std::string(70000, 'c');
    ASSERT_EQ(m_engine->setField(3, 2, longer.c_str()), kOk);
    lines[2][2] = longer;
    ASSERT_TRUE(holds(lines));
    m_engine->detach();
    EXPECT_EQ(readFile(databaseFile()), catalogue(lines));
    start();
    EXPECT_TRUE(holds(lines));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MediaDbLongRowTest,
    ::testing::Values(LongRowCase{"LongFirstValue", {std::string(70000, 'a'), "b", "c", "dEND"}},
                      LongRowCase{"LongMiddleValue", {"a", std::string(70000, 'b'), "c", "dEND"}},
                      LongRowCase{"LongLastValue", {"a", "b", "c", std::string(70000, 'd') + "END"}},
                      LongRowCase{"ValuesLongTogether",
                                  {std::string(30000, 'a'), std::string(30000, 'b'), std::string(30000, 'c'),
                                   "dEND"}},
                      LongRowCase{"LongerThanAReadChunk", {std::string(300000, 'a'), "b", "c", "dEND"}},
                      // Offsets reach at most 65534: the last value starts at 65534, its separator too.
                      LongRowCase{"JustShortEnough", {std::string(65531, 'a'), "", "", "END"}},
                      LongRowCase{"JustTooLong", {std::string(65532, 'a'), "", "", "END"}}),
    [](const ::testing::TestParamInfo<LongRowCase> &info) { return std::string(info.param.name); });

TEST_F(MediaDbEngineTest, LoadSplitsLikeALineByLineReading)
{
    // Lines of every length across the read chunks, some values with carriage
    // returns or terminators; long lines first, so the file holds far more
    // rows than its start suggests.
    std::mt19937 random(7);
    auto value = [&random](size_t length) {
        std::string text;
        for (size_t i = 0; i < length; ++i) {
            const unsigned roll = random() % 400;
            text += roll < 8 ? '\r' : roll < 10 ? '\0' : static_cast<char>('a' + roll % 26);
        }
        return text;
    };
    std::string content = "A|B|C|\r\n";
    std::string saved = "A|B|C|D|\r\n";
    std::vector<std::vector<std::string>> expected;
    while (content.size() < 1200000) {
        const size_t length = content.size() < 300000 ? 900 + random() % 2000 : random() % 120;
        std::vector<std::string> cells;
        for (int c = 0; c < 3; ++c) {
            const std::string text = random() % 10 == 0 ? "\r" + value(length / 3) : value(length / 3);
            content += text + "|";
            // As read: carriage returns dropped, up to the first terminator.
            std::string cell = text;
            cell.erase(std::remove(cell.begin(), cell.end(), '\r'), cell.end());
            cell = cell.substr(0, cell.find('\0'));
            cells.push_back(cell);
            saved += cell + "|";
        }
        content += random() % 20 == 0 ? "junk\r\n" : "\r\n";
        saved += "|\r\n";
        expected.push_back(cells);
    }
    startWith(content);
    ASSERT_EQ(m_engine->liveRows() - 1, static_cast<int32_t>(expected.size()));
    for (size_t record = 0; record < expected.size(); ++record) {
        for (int32_t c = 1; c <= 3; ++c) {
            const char *text = nullptr;
            m_engine->getFieldText(c, static_cast<int32_t>(record) + 1, &text);
            ASSERT_EQ(std::string(text), expected[record][static_cast<size_t>(c) - 1])
                << "record " << record + 1 << " column " << c;
        }
    }
    ASSERT_EQ(m_engine->addColumn("D"), kOk); // writes every row
    EXPECT_EQ(readFile(databaseFile()), saved);
}

TEST_F(MediaDbEngineTest, RecordsAddedAcrossARowSegment)
{
    std::vector<std::vector<std::string>> lines = {{"N", "Name"}};
    for (int i = 1; i <= 4090; ++i)
        lines.push_back({std::to_string(i), "n" + std::to_string(i)});
    startWith(catalogue(lines));
    for (int i = 4091; i <= 4110; ++i) {
        const std::string line = std::to_string(i) + "|n" + std::to_string(i) + "|";
        int32_t record = 0;
        ASSERT_EQ(m_engine->addRecord(line.c_str(), &record), kOk);
        EXPECT_EQ(record, i);
        lines.push_back({std::to_string(i), "n" + std::to_string(i)});
    }
    ASSERT_EQ(m_engine->setField(2, 4100, "a longer name than before"), kOk);
    lines[4100][1] = "a longer name than before";
    EXPECT_EQ(field(1, 4096), "4096");
    EXPECT_EQ(field(2, 4100), "a longer name than before");
    m_engine->detach();
    EXPECT_EQ(readFile(databaseFile()), catalogue(lines));
}

// --- Fields ------------------------------------------------------------------

TEST_F(MediaDbEngineTest, InfoReportsCountsAndPath)
{
    startWith(musicCatalogue());
    MediaDbInfo info{};
    ASSERT_EQ(m_engine->getInfo(&info), kOk);
    EXPECT_EQ(info.versionMajor, 1);
    EXPECT_EQ(info.versionMinor, 1);
    EXPECT_EQ(info.columns, 8);
    EXPECT_EQ(info.records, 5);
    EXPECT_EQ(info.deletedRows, 0);
    EXPECT_EQ(info.rowCapacity, 6 + 1000);
    EXPECT_EQ(std::string(info.path), databaseFile());
    EXPECT_TRUE(info.state & kStateReading);
    EXPECT_TRUE(info.state & kStateLoading);
    EXPECT_EQ(m_engine->getInfo(nullptr), kPointer);
}

TEST_F(MediaDbEngineTest, ColumnNamesAndIndexes)
{
    startWith(musicCatalogue());
    char name[100] = {};
    EXPECT_EQ(m_engine->getColumnName(2, name, sizeof name, nullptr), kOk);
    EXPECT_STREQ(name, "Title");
    char shortBuffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(m_engine->getColumnName(1, shortBuffer, 3, nullptr), kOk);
    EXPECT_EQ(std::string(shortBuffer, 4), "Artx");
    EXPECT_EQ(m_engine->getColumnName(0, name, sizeof name, nullptr), kInvalidArg);
    EXPECT_EQ(m_engine->getColumnName(9, name, sizeof name, nullptr), kInvalidArg);
    EXPECT_EQ(m_engine->getColumnName(1, name, 0, nullptr), kInvalidArg);
    EXPECT_EQ(m_engine->getColumnName(1, nullptr, 10, nullptr), kPointer);

    EXPECT_EQ(column("mediaFORMAT"), 5);
    int32_t index = -1;
    EXPECT_EQ(m_engine->getColumnIndex("Nothing", &index), kFalse);
    EXPECT_EQ(m_engine->getColumnIndex(nullptr, &index), kPointer);
}

TEST_F(MediaDbEngineTest, FieldArgumentsAreChecked)
{
    startWith(musicCatalogue());
    char buffer[64];
    const struct {
        int32_t column, record, size;
        char *buffer;
        int32_t result;
    } cases[] = {
        {1, 1, 64, buffer, kOk},         {1, 0, 64, buffer, kOk},         {0, 1, 64, buffer, kInvalidArg},
        {9, 1, 64, buffer, kInvalidArg}, {1, 6, 64, buffer, kInvalidArg}, {1, -1, 64, buffer, kInvalidArg},
        {1, 1, 0, buffer, kInvalidArg},  {1, 1, 64, nullptr, kPointer},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "column " << c.column << " record " << c.record << " size " << c.size);
        EXPECT_EQ(m_engine->getField(c.column, c.record, c.buffer, c.size, 0), c.result);
    }
    EXPECT_EQ(field(1, 0), "Artist");
}

TEST_F(MediaDbEngineTest, SetFieldInPlaceAndLongerKeepsIdentifiers)
{
    startWith(musicCatalogue());
    ASSERT_EQ(m_engine->setField(2, 2, "Hel"), kOk);
    EXPECT_EQ(field(2, 2), "Hel");
    EXPECT_EQ(m_engine->deletedRows(), 0);

    const std::string longer = "A much longer title than the one before";
    ASSERT_EQ(m_engine->setField(2, 2, longer.c_str()), kOk);
    EXPECT_EQ(field(2, 2), longer);
    EXPECT_EQ(field(1, 2), "Beatles");
    EXPECT_EQ(field(6, 2), "/m/beatles/help.mp3");
    EXPECT_EQ(field(1, 3), "Beatles");
    EXPECT_EQ(m_engine->liveRows() - 1, 5);
    EXPECT_EQ(m_engine->deletedRows(), 1);

    // The moved texts' row is a deleted row and not part of the catalogue.
    char buffer[64];
    EXPECT_EQ(m_engine->getField(1, 6, buffer, sizeof buffer, 0), kHandle);
    m_engine->detach();
    start();
    EXPECT_EQ(m_engine->liveRows() - 1, 5);
    EXPECT_EQ(field(2, 2), longer);
}

TEST_F(MediaDbEngineTest, SetFieldNeverTruncatesNorRenumbers)
{
    startWith(musicCatalogue());
    ASSERT_EQ(m_engine->deleteRecord(1, true), kOk);
    // Longer than the whole spare text space and than any fixed line buffer.
    const std::string huge(600000, 'h');
    ASSERT_EQ(m_engine->setField(2, 3, huge.c_str()), kOk);
    EXPECT_EQ(m_engine->getField(2, 1, nullptr, 1, 0), kPointer);
    char buffer[64] = {};
    EXPECT_EQ(m_engine->getField(1, 1, buffer, sizeof buffer, 0), kHandle)
        << "record 1 stays deleted, ids unchanged";
    EXPECT_EQ(field(1, 3), "Beatles");
    EXPECT_EQ(field(6, 3), "/m/beatles/yesterday.wav");
    const char *text = nullptr;
    ASSERT_EQ(m_engine->getFieldText(2, 3, &text), kOk);
    EXPECT_EQ(std::string(text), huge);
}

TEST_F(MediaDbEngineTest, SetFieldMapsSeparatorsSoTheFileStaysReadable)
{
    startWith(musicCatalogue());
    ASSERT_EQ(m_engine->setField(2, 1, "a|b\rc\nd"), kOk);
    EXPECT_EQ(field(2, 1), "a_b_c_d");
    m_engine->detach();
    start();
    EXPECT_EQ(field(2, 1), "a_b_c_d");
    EXPECT_EQ(m_engine->liveRows() - 1, 5);
}

TEST_F(MediaDbEngineTest, SetFieldArgumentsAreChecked)
{
    startWith(musicCatalogue());
    m_engine->deleteRecord(4, true);
    const struct {
        int32_t column, record;
        const char *text;
        int32_t result;
    } cases[] = {
        {1, 1, "x", kOk},         {0, 1, "x", kInvalidArg}, {9, 1, "x", kInvalidArg},
        {1, 0, "x", kInvalidArg}, {1, 6, "x", kInvalidArg}, {1, 1, nullptr, kInvalidArg},
        {1, 4, "x", kHandle},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << "column " << c.column << " record " << c.record);
        EXPECT_EQ(m_engine->setField(c.column, c.record, c.text), c.result);
    }
}

TEST_F(MediaDbEngineTest, AddAndDeleteRecords)
{
    startWith(musicCatalogue());
    int32_t record = 0;
    ASSERT_EQ(m_engine->addRecord("Cash|Hurt|||||||", &record), kOk);
    EXPECT_EQ(record, 6);
    EXPECT_EQ(field(1, 6), "Cash");
    EXPECT_EQ(field(3, 6), "");
    ASSERT_EQ(m_engine->addRecord(nullptr, &record), kOk);
    EXPECT_EQ(record, 7);
    EXPECT_EQ(field(1, 7), "");

    EXPECT_EQ(m_engine->addRecord("too|few|", &record), kInvalidArg);
    EXPECT_EQ(m_engine->addRecord("a|b|c|d|e|f|g|h|i|", &record), kInvalidArg);

    EXPECT_EQ(m_engine->deleteRecord(6, false), kOk);
    EXPECT_EQ(m_engine->deleteRecord(6, false), kHandle);
    EXPECT_EQ(m_engine->deleteRecord(0, false), kInvalidArg);
    EXPECT_EQ(m_engine->deleteRecord(8, false), kInvalidArg);
    char buffer[32] = {};
    EXPECT_EQ(m_engine->getField(1, 6, buffer, sizeof buffer, 0), kHandle);
    EXPECT_STREQ(buffer, "Cash");
    EXPECT_EQ(m_engine->liveRows() - 1, 6);
}

TEST_F(MediaDbEngineTest, ManyAddedRecordsSurviveReloads)
{
    startWith(catalogue({{"N", "Path"}}));
    for (int i = 0; i < 2500; ++i) {
        const std::string line = std::to_string(i) + "|/p/" + std::to_string(i) + "|";
        ASSERT_EQ(m_engine->addRecord(line.c_str(), nullptr), kOk);
    }
    EXPECT_EQ(m_engine->liveRows() - 1, 2500);
    EXPECT_EQ(field(1, 2500), "2499");
}

// --- Search and distinct values --------------------------------------------

struct SearchCase {
    const char *name;
    std::vector<MediaDbCondition> conditions;
    std::vector<int32_t> expected;
};

class MediaDbSearchTest : public EngineFixture, public ::testing::WithParamInterface<SearchCase>
{
};

TEST_P(MediaDbSearchTest, MarksMatchingRecords)
{
    startWith(musicCatalogue());
    const SearchCase &c = GetParam();
    int32_t matches = -1, state = -1;
    const int32_t result =
        m_engine->search(static_cast<int32_t>(c.conditions.size()), c.conditions.data(), &matches, &state, 0);
    EXPECT_EQ(result, c.expected.empty() ? kFalse : kOk);
    EXPECT_EQ(matches, static_cast<int32_t>(c.expected.size()));
    EXPECT_EQ(state, 1);
    std::vector<int32_t> records(10, 0);
    ASSERT_EQ(m_engine->getSearchResults(1, 10, records.data()), kOk);
    records.resize(c.expected.size());
    EXPECT_EQ(records, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Operators, MediaDbSearchTest,
    ::testing::Values(
        SearchCase{"Any", {condition(kOpAny, 1, "")}, {1, 2, 3, 4, 5}},
        SearchCase{"EqualIgnoresCase", {condition(kOpEqual, 1, "beatles")}, {2, 3}},
        SearchCase{"Contains", {condition(kOpContains, 2, "ERL")}, {1}},
        SearchCase{"ContainsLongText", {condition(kOpContains, 3, "night at")}, {4}},
        SearchCase{"Greater", {condition(kOpGreater, 1, "beatles")}, {4}},
        SearchCase{"Less", {condition(kOpLess, 1, "BACH")}, {1}},
        SearchCase{"NotEqual", {condition(kOpNotEqual, 4, "rock")}, {1, 5}},
        SearchCase{"NoMatch", {condition(kOpEqual, 1, "Nobody")}, {}},
        SearchCase{"And", {condition(kOpEqual, 4, "Rock"), condition(kOpContains, 2, "help", 0)}, {2}},
        SearchCase{"AndSkipped", {condition(kOpEqual, 4, "Jazz"), condition(kOpAny, 2, "", 1)}, {}},
        SearchCase{"Or", {condition(kOpEqual, 1, "Abba"), condition(kOpEqual, 1, "Bach", 2)}, {1, 5}},
        SearchCase{"EqualInLastColumn", {condition(kOpEqual, 8, "2")}, {4, 5}},
        SearchCase{"ContainsAtTheEnd", {condition(kOpContains, 6, "AIR.OGG")}, {5}},
        SearchCase{"ContainsWholeValue", {condition(kOpContains, 1, "abba")}, {1}},
        SearchCase{"ContainsMoreThanAnyValue", {condition(kOpContains, 1, "Beatles and more")}, {}}),
    [](const ::testing::TestParamInfo<SearchCase> &info) { return std::string(info.param.name); });

TEST_F(MediaDbEngineTest, SearchSeesValuesChangedInPlace)
{
    startWith(musicCatalogue());
    ASSERT_EQ(m_engine->setField(1, 2, "Beat"), kOk); // shorter: stays where it was
    const struct {
        MediaDbCondition condition;
        std::vector<int32_t> expected;
    } cases[] = {
        {condition(kOpEqual, 1, "beat"), {2}},
        {condition(kOpContains, 1, "TLES"), {3}},
        {condition(kOpNotEqual, 1, "Beat"), {1, 3, 4, 5}},
        {condition(kOpContains, 2, "help"), {2}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.condition.text);
        int32_t matches = 0;
        m_engine->search(1, &c.condition, &matches, nullptr, 0);
        std::vector<int32_t> records(8, 0);
        ASSERT_EQ(m_engine->getSearchResults(1, 8, records.data()), kOk);
        records.resize(static_cast<size_t>(matches));
        EXPECT_EQ(records, c.expected);
    }
}

TEST_F(MediaDbEngineTest, SearchWhileResultsWaitIsPending)
{
    startWith(musicCatalogue());
    const MediaDbCondition all = condition(kOpAny, 1, "");
    ASSERT_EQ(m_engine->search(1, &all, nullptr, nullptr, 0), kOk);
    EXPECT_EQ(m_engine->search(1, &all, nullptr, nullptr, 0), kPending);
    EXPECT_EQ(m_engine->listDistinct(1, 0, nullptr, nullptr, nullptr), kPending);
    EXPECT_EQ(m_platform.sleeps, 0);

    // Waiting gives up after 15000 tries of 1 ms, warns and searches.
    int32_t matches = 0;
    EXPECT_EQ(m_engine->search(1, &all, &matches, nullptr, 1), kOk);
    EXPECT_EQ(m_platform.sleeps, 15000);
    EXPECT_EQ(m_platform.boxes,
              (std::vector<std::string>{
                  "Tandu Media DB: Warning: a search request was pending longer than 15s!\n"}));
    EXPECT_EQ(matches, 5);
}

TEST_F(MediaDbEngineTest, SearchResultFetchRules)
{
    startWith(musicCatalogue());
    int32_t records[4] = {};
    EXPECT_EQ(m_engine->getSearchResults(1, 4, records), kPending);
    const MediaDbCondition rock = condition(kOpEqual, 4, "Rock");
    ASSERT_EQ(m_engine->search(1, &rock, nullptr, nullptr, 0), kOk);
    EXPECT_EQ(m_engine->getSearchResults(1, 4, nullptr), kInvalidArg);
    EXPECT_EQ(m_engine->getSearchResults(2, 4, records), kPending);
    EXPECT_EQ(m_engine->getSearchResults(1, 2, records), kOk);
    EXPECT_EQ(records[0], 2);
    EXPECT_EQ(records[1], 3);
    EXPECT_EQ(records[2], 0);
    EXPECT_EQ(m_engine->getSearchResults(1, 4, records), kPending);

    ASSERT_EQ(m_engine->search(1, &rock, nullptr, nullptr, 0), kOk);
    EXPECT_EQ(m_engine->getSearchResults(1, 0, nullptr), kOk); // clears the waiting results
    EXPECT_EQ(m_engine->search(0, &rock, nullptr, nullptr, 0), kInvalidArg);
    EXPECT_TRUE(m_platform.boxes.empty());
}

TEST_F(MediaDbEngineTest, FindRecordByCriteria)
{
    startWith(musicCatalogue());
    char buffer[64] = {};
    int32_t record = 0;
    EXPECT_EQ(m_engine->findRecord("Rock", "Beatles", nullptr, nullptr, buffer, sizeof buffer, 2, &record),
              kOk);
    EXPECT_EQ(record, 2);
    EXPECT_STREQ(buffer, "Help");
    // The marked record is passed over next time.
    EXPECT_EQ(m_engine->findRecord("Rock", "Beatles", nullptr, nullptr, buffer, sizeof buffer, 8, &record),
              kOk);
    EXPECT_EQ(record, 3);
    EXPECT_STREQ(buffer, "Help!");
    EXPECT_EQ(m_engine->findRecord(nullptr, "beatles", nullptr, nullptr, nullptr, 0, 0, &record), kFalse);
    m_engine->clearMarks();
    EXPECT_EQ(m_engine->findRecord(nullptr, nullptr, nullptr, "Help", buffer, sizeof buffer, 1, &record),
              kOk);
    EXPECT_EQ(record, 2);
    EXPECT_STREQ(buffer, "Beatles");
}

TEST_F(MediaDbEngineTest, DistinctValues)
{
    startWith(musicCatalogue());
    int32_t count = 0, state = 0;
    ASSERT_EQ(m_engine->listDistinct(4, 0, nullptr, &count, &state), kOk);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(state, 2);
    int32_t records[8] = {};
    EXPECT_EQ(m_engine->getDistinctResults(1, 8, records), kPending);
    ASSERT_EQ(m_engine->getDistinctResults(2, 8, records), kOk);
    EXPECT_EQ(std::vector<int32_t>(records, records + 3), (std::vector<int32_t>{1, 2, 5}));

    // Albums of the Beatles: the first row of each album decides.
    ASSERT_EQ(m_engine->listDistinct(3, 1, "Beatles", &count, &state), kOk);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(m_engine->getDistinctResults(2, 8, records), kOk);
    EXPECT_EQ(records[0], 2);
    EXPECT_EQ(m_engine->getDistinctResults(2, 0, records), kInvalidArg);
    EXPECT_EQ(m_engine->listDistinct(3, 0, nullptr, nullptr, &state), kPointer);
}

// --- Record kinds and columns ----------------------------------------------

TEST_F(MediaDbEngineTest, RecordKinds)
{
    startWith(catalogue({{"Title", "Mediaformat"}, {"a", "x"}}));
    const struct {
        const char *format;
        int32_t result, kind;
    } cases[] = {
        {"MP3", kOk, 4},   {"mp3", kOk, 4}, {"WAV", kOk, 3},      {"CDA", kOk, 2},  {"CD_TRACK", kOk, 2},
        {"MPG", kOk, 16},  {"M3U", kOk, 9}, {"playlist", kOk, 9}, {"BMP", kOk, 18}, {"AVI", kOk, 7},
        {"QDV", kOk, 15},  {"WMA", kOk, 5}, {"ASF", kOk, 5},      {"WMV", kOk, 5},  {"OGG", kOk, 17},
        {"CRYPT", kOk, 8}, {"MOV", kOk, 6}, {"JPG", kFail, -1},   {"", kFail, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.format);
        ASSERT_EQ(m_engine->setField(2, 1, c.format), kOk);
        int32_t kind = -1;
        EXPECT_EQ(m_engine->getRecordKind(1, &kind), c.result);
        EXPECT_EQ(kind, c.kind);
    }
    int32_t kind = 0;
    EXPECT_EQ(m_engine->getRecordKind(1, nullptr), kPointer);
    EXPECT_EQ(m_engine->getRecordKind(2, &kind), kFail) << "the deleted row holding moved texts";
    EXPECT_EQ(m_engine->getRecordKind(99, &kind), kFail);
}

TEST_F(MediaDbEngineTest, RecordKindNeedsTheFormatColumn)
{
    startWith(catalogue({{"Title"}, {"a"}}));
    int32_t kind = 0;
    EXPECT_EQ(m_engine->getRecordKind(1, &kind), kFail);
}

TEST_F(MediaDbEngineTest, AddColumnAppendsAnEmptyField)
{
    startWith(catalogue({{"Artist", "Title"}, {"A", "B"}, {"C", "D"}}));
    ASSERT_EQ(m_engine->addColumn("Rating"), kOk);
    EXPECT_EQ(readFile(databaseFile()), "Artist|Title|Rating|\r\nA|B||\r\nC|D||\r\n");
    EXPECT_EQ(column("Rating"), 3);
    EXPECT_EQ(field(3, 2), "");
    ASSERT_EQ(m_engine->setField(3, 2, "5"), kOk);
    EXPECT_EQ(field(3, 2), "5");

    ASSERT_EQ(m_engine->addColumn("Bad|Name\r\n"), kOk);
    EXPECT_EQ(column("Bad_Name__"), 4);
    EXPECT_EQ(m_engine->columnCount(), 5);
    EXPECT_EQ(m_engine->addColumn(nullptr), kPointer);
}

// --- Clients and notices -----------------------------------------------------

TEST_F(MediaDbEngineTest, TenClientsAtMost)
{
    start();
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(open(("client" + std::to_string(i)).c_str()), kOk);
    EXPECT_EQ(open("eleventh"), kTooManyClients);
    EXPECT_EQ(m_engine->closeClient("CLIENT3"), kOk);
    EXPECT_EQ(m_engine->closeClient("client3"), kNoSuchClient);
    EXPECT_EQ(open("eleventh"), kOk);
    EXPECT_EQ(m_engine->closeClient(nullptr), kPointer);
}

TEST_F(MediaDbEngineTest, ClientsOfOneNameCloseTheirOwnEntries)
{
    start();
    const int staying = 0, leaving = 0; // the objects that open
    void *const stayingWindow = reinterpret_cast<void *>(0x11);
    ASSERT_EQ(open("same-name", stayingWindow, 1, &staying), kOk);
    ASSERT_EQ(open("SAME-NAME", reinterpret_cast<void *>(0x22), 1, &leaving), kOk);
    EXPECT_EQ(m_engine->closeClient("same-name", &leaving), kOk);
    EXPECT_EQ(m_engine->closeClient("same-name", &leaving), kNoSuchClient);

    m_platform.messages.clear();
    ASSERT_EQ(m_engine->addRecord(nullptr, nullptr), kOk);
    ASSERT_EQ(m_platform.codes(), (std::vector<uintptr_t>{kNoticeChangeBegins, kNoticeChanged}));
    for (const SentMessage &sent : m_platform.messages)
        EXPECT_EQ(sent.window, stayingWindow);
    EXPECT_EQ(m_engine->closeClient("same-name", &staying), kOk);
}

TEST_F(MediaDbEngineTest, CloseWithoutClients)
{
    start();
    EXPECT_EQ(m_engine->closeClient("nobody"), kNoSuchClient);
}

TEST_F(MediaDbEngineTest, ChangeNoticesCarryDetails)
{
    startWith(musicCatalogue());
    ASSERT_EQ(open("client1"), kOk);
    ASSERT_EQ(open("silent", reinterpret_cast<void *>(0x20), 0), kOk);
    m_platform.messages.clear();

    ASSERT_EQ(m_engine->setField(1, 3, "X"), kOk);
    ASSERT_EQ(m_platform.messages.size(), 2u);
    EXPECT_EQ(m_platform.messages[0].code, kNoticeChangeBegins);
    EXPECT_EQ(m_platform.messages[0].lParam, 0);
    EXPECT_EQ(m_platform.messages[0].window, reinterpret_cast<void *>(0x10));
    EXPECT_EQ(m_platform.messages[1].code, kNoticeChanged);
    EXPECT_EQ(m_platform.messages[1].lParam >> 16, 12);
    EXPECT_EQ(m_platform.fetchResult, kOk);
    ASSERT_EQ(m_platform.messages[1].details.size(), 1u);
    EXPECT_EQ(m_platform.messages[1].details[0].size, 12);
    EXPECT_EQ(m_platform.messages[1].details[0].record, 3);
    EXPECT_EQ(m_platform.messages[1].details[0].kind, kChangeChanged);

    // The slot is cleared once the message is delivered.
    char buffer[12];
    EXPECT_EQ(m_engine->getNotificationData(static_cast<int32_t>(m_platform.messages[1].lParam & 0xFFFF), 12,
                                            buffer),
              kInvalidArg);
    EXPECT_EQ(m_engine->getNotificationData(0, 12, buffer), kInvalidArg);
    EXPECT_EQ(m_engine->getNotificationData(30, 12, buffer), kInvalidArg);

    m_platform.messages.clear();
    int32_t record = 0;
    ASSERT_EQ(m_engine->addRecord(nullptr, &record), kOk);
    ASSERT_EQ(m_engine->deleteRecord(record, false), kOk);
    ASSERT_EQ(m_engine->deleteRecord(1, true), kOk);
    ASSERT_EQ(m_platform.messages.size(), 5u);
    EXPECT_EQ(m_platform.messages[1].details[0].kind, kChangeAdded);
    EXPECT_EQ(m_platform.messages[3].details[0].kind, kChangeDeleted);
    EXPECT_EQ(m_platform.messages[4].code, kNoticeChangeBegins);
}

TEST_F(MediaDbEngineTest, HeldNoticesGoOutTogetherAtRelease)
{
    startWith(musicCatalogue());
    ASSERT_EQ(open("client1"), kOk);
    m_platform.messages.clear();

    EXPECT_EQ(m_engine->holdNotifications(1), kOk);
    EXPECT_EQ(m_engine->holdNotifications(1), kOk);
    EXPECT_EQ(m_engine->isNotifying(), 0);
    m_engine->setField(1, 1, "a");
    m_engine->setField(1, 1, "b"); // same record changed again: one notice
    m_engine->setField(1, 2, "c");
    int32_t record = 0;
    m_engine->addRecord(nullptr, &record);
    m_engine->deleteRecord(record, false); // added then deleted: one change
    EXPECT_TRUE(m_platform.messages.empty());

    EXPECT_EQ(m_engine->holdNotifications(2), kFail);
    EXPECT_TRUE(m_platform.messages.empty());
    EXPECT_EQ(m_engine->holdNotifications(2), kFail);
    EXPECT_EQ(m_engine->isNotifying(), 1);
    ASSERT_EQ(m_platform.messages.size(), 1u);
    const SentMessage &sent = m_platform.messages[0];
    EXPECT_EQ(sent.code, kNoticeChanged);
    EXPECT_EQ(sent.lParam >> 16, 36);
    ASSERT_EQ(sent.details.size(), 3u);
    EXPECT_EQ(sent.details[0].record, 1);
    EXPECT_EQ(sent.details[1].record, 2);
    EXPECT_EQ(sent.details[2].record, record);
    EXPECT_EQ(sent.details[2].kind, kChangeChanged);
}

TEST_F(MediaDbEngineTest, FourHundredHeldChangesBecomeOneGeneralNotice)
{
    startWith(catalogue({{"N"}}));
    for (int i = 0; i < 400; ++i)
        m_engine->addRecord("x|", nullptr);
    ASSERT_EQ(open("client1"), kOk);
    m_platform.messages.clear();
    m_engine->holdNotifications(1);
    for (int32_t record = 1; record <= 400; ++record)
        m_engine->setField(1, record, "y");
    m_engine->holdNotifications(2);
    ASSERT_EQ(m_platform.messages.size(), 1u);
    EXPECT_EQ(m_platform.messages[0].code, kNoticeChanged);
    EXPECT_EQ(m_platform.messages[0].lParam, 0);
}

TEST_F(MediaDbEngineTest, ReleasingAnUnheldHoldChangesNothing)
{
    startWith(musicCatalogue());
    ASSERT_EQ(open("client1"), kOk);
    m_platform.messages.clear();
    EXPECT_EQ(m_engine->holdNotifications(2), kFail);
    EXPECT_EQ(m_engine->isNotifying(), 1);
    m_engine->setField(1, 1, "a");
    EXPECT_EQ(m_platform.codes(), (std::vector<uintptr_t>{kNoticeChangeBegins, kNoticeChanged}));

    // A later hold still holds.
    m_platform.messages.clear();
    m_engine->holdNotifications(1);
    m_engine->setField(1, 1, "b");
    EXPECT_TRUE(m_platform.messages.empty());
    m_engine->holdNotifications(2);
    EXPECT_EQ(m_platform.codes(), (std::vector<uintptr_t>{kNoticeChanged}));
}

TEST_F(MediaDbEngineTest, OpenSendsOpenedToTheNewClientOnly)
{
    start();
    ASSERT_EQ(open("client1", reinterpret_cast<void *>(0x11)), kOk);
    ASSERT_EQ(open("client2", reinterpret_cast<void *>(0x22)), kOk);
    ASSERT_EQ(m_platform.messages.size(), 2u);
    EXPECT_EQ(m_platform.messages[1].window, reinterpret_cast<void *>(0x22));
    EXPECT_EQ(m_platform.messages[1].code, kNoticeOpened);
    EXPECT_EQ(m_engine->openClient(nullptr), kPointer);
}

} // namespace
