#include "mediadbtestsupport.h"

#include <map>
#include <set>
#include <sys/stat.h>

using namespace mediadbtest;
using namespace mediadb;

namespace
{

// The host's side of a scan: answers from fields, records every call.
class RecordingSink : public MediaDbScanSink
{
  public:
    int32_t MEDIADB_CALL queryInterface(const void *, void **) override { return kNoInterface; }
    uint32_t MEDIADB_CALL addRef() override { return 1; }
    uint32_t MEDIADB_CALL release() override { return static_cast<uint32_t>(++released); }
    int32_t MEDIADB_CALL reportColumn(const char *name, int32_t index, int32_t count) override
    {
        if (index == 0)
            columns.clear();
        EXPECT_EQ(index, static_cast<int32_t>(columns.size()));
        columnCount = count;
        columns.push_back(name);
        return kOk;
    }
    int32_t MEDIADB_CALL beginFile(const char *path, int32_t) override
    {
        offered.push_back(path);
        current = path;
        return refused.count(path) ? kFail : kOk;
    }
    int32_t MEDIADB_CALL getValue(int32_t column, int32_t size, char *buffer, int32_t) override
    {
        EXPECT_EQ(size, 512);
        const auto found = values.find(columns.at(static_cast<size_t>(column)));
        if (found == values.end())
            return kFail;
        std::string value = found->second;
        if (value == "<name>")
            value = current.substr(current.rfind('/') + 1);
        std::strncpy(buffer, value.c_str(), static_cast<size_t>(size) - 1);
        return kOk;
    }
    int32_t MEDIADB_CALL getStartFolder(char *buffer) override
    {
        std::strncpy(buffer, folder.c_str(), 259);
        return kOk;
    }
    int32_t MEDIADB_CALL getExtensions(char *buffer) override
    {
        ++extensionAsks;
        std::strncpy(buffer, extensions.c_str(), 259);
        return kOk;
    }
    int32_t MEDIADB_CALL getFlags(uint32_t *out) override
    {
        *out = flags;
        return kOk;
    }
    int32_t MEDIADB_CALL progress(int32_t percent, const char *text, int32_t *cancel) override
    {
        reports.emplace_back(percent, text);
        if (cancel && cancelAt > 0 && static_cast<int>(reports.size()) >= cancelAt)
            *cancel = 1;
        return kOk;
    }

    std::string folder;
    std::string extensions = "mp3;wav";
    uint32_t flags = 0;
    std::map<std::string, std::string> values{{"Title", "<name>"}, {"Volumenumber", "7"}};
    std::set<std::string> refused;
    int cancelAt = 0;

    std::vector<std::string> columns;
    int32_t columnCount = 0;
    std::vector<std::string> offered;
    std::string current;
    std::vector<std::pair<int32_t, std::string>> reports;
    int released = 0;
    int extensionAsks = 0;
};

class MediaDbScannerTest : public EngineFixture
{
  protected:
    void SetUp() override
    {
        m_root = m_dir.file("music");
        for (const char *folder : {"", "/sub", "/sub/deeper", "/.hiddendir", "/empty"})
            ASSERT_EQ(mkdir((m_root + folder).c_str(), 0700), 0);
        for (const char *file : {"/a.mp3", "/b.MP3", "/c.txt", "/.hidden.mp3", "/sub/d.wav",
                                 "/sub/deeper/f.mp3", "/.hiddendir/e.mp3"})
            writeFile(m_root + file, "data");
        m_sink.folder = m_root;
    }

    std::string m_root;
    RecordingSink m_sink;
};

struct ScanCase {
    const char *name;
    uint32_t flags;
    std::vector<std::string> offered; // below the root
    std::vector<std::pair<int32_t, std::string>> lastReport;
};

class MediaDbScanFlagsTest : public MediaDbScannerTest, public ::testing::WithParamInterface<ScanCase>
{
};

TEST_P(MediaDbScanFlagsTest, OffersTheWantedFiles)
{
    const ScanCase &c = GetParam();
    start();
    m_sink.flags = c.flags;
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    std::vector<std::string> expected;
    for (const std::string &path : c.offered)
        expected.push_back(m_root + path);
    EXPECT_EQ(m_sink.offered, expected);
    EXPECT_EQ(columnValues("Path"), expected);
    EXPECT_EQ(m_sink.released, 1);
    ASSERT_FALSE(m_sink.reports.empty());
    EXPECT_EQ(m_sink.reports.back().first, (c.flags & kScanNewFile) ? 100 : 50);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, MediaDbScanFlagsTest,
    ::testing::Values(
        ScanCase{"Everything",
                 0,
                 {"/.hidden.mp3", "/.hiddendir/e.mp3", "/a.mp3", "/b.MP3", "/sub/d.wav", "/sub/deeper/f.mp3"},
                 {}},
        ScanCase{"SkipHidden", kScanSkipHidden, {"/a.mp3", "/b.MP3", "/sub/d.wav", "/sub/deeper/f.mp3"}, {}},
        ScanCase{"NoSubfolders", kScanSkipHidden | kScanNoSubfolders, {"/a.mp3", "/b.MP3"}, {}},
        ScanCase{"NewFile",
                 kScanSkipHidden | kScanNewFile,
                 {"/a.mp3", "/b.MP3", "/sub/d.wav", "/sub/deeper/f.mp3"},
                 {}}),
    [](const ::testing::TestParamInfo<ScanCase> &info) { return std::string(info.param.name); });

TEST_F(MediaDbScannerTest, RecordsTakeHostValuesAndDefaults)
{
    start();
    m_sink.flags = kScanSkipHidden | kScanNoSubfolders;
    m_sink.values["Comment"] = "bad|text\x01with\xffodd bytes";
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_EQ(m_sink.columnCount, 25);
    EXPECT_EQ(m_sink.columns.front(), "Artist");
    EXPECT_EQ(m_sink.columns.back(), "Creationtime");
    EXPECT_EQ(columnValues("Title"), (std::vector<std::string>{"a.mp3", "b.MP3"}));
    EXPECT_EQ(columnValues("Artist"), (std::vector<std::string>{"--", "--"}));
    EXPECT_EQ(columnValues("Genre"), (std::vector<std::string>{"NO_GENRE", "NO_GENRE"}));
    EXPECT_EQ(columnValues("Year"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(columnValues("Volumenumber"), (std::vector<std::string>{"7", "7"}));
    EXPECT_EQ(columnValues("Comment"),
              (std::vector<std::string>{"bad_text_with_odd bytes", "bad_text_with_odd bytes"}));

    // Three files counted, two offered: progress over all three, the folder as text.
    ASSERT_EQ(m_sink.reports.size(), 3u);
    EXPECT_EQ(m_sink.reports[0], std::make_pair(16, m_root + "/*.*"));
    EXPECT_EQ(m_sink.reports[1].first, 33);
    EXPECT_EQ(m_sink.reports[2].first, 50);
}

TEST_F(MediaDbScannerTest, RefusedFilesAreLeftOut)
{
    start();
    m_sink.flags = kScanSkipHidden | kScanNoSubfolders;
    m_sink.refused.insert(m_root + "/a.mp3");
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_EQ(columnValues("Path"), (std::vector<std::string>{m_root + "/b.MP3"}));
}

TEST_F(MediaDbScannerTest, CancelKeepsWhatWasWritten)
{
    start();
    m_sink.flags = kScanSkipHidden;
    m_sink.cancelAt = 2;
    EXPECT_EQ(m_engine->scanMedia(&m_sink), kAbort);
    EXPECT_EQ(columnValues("Path"), (std::vector<std::string>{m_root + "/a.mp3", m_root + "/b.MP3"}));
    EXPECT_EQ(m_sink.released, 1);
}

TEST_F(MediaDbScannerTest, ScanningTwiceKeepsEachFileOnce)
{
    start();
    m_sink.flags = kScanSkipHidden;
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_EQ(m_engine->liveRows() - 1, 4);
    EXPECT_EQ(columnValues("Path").size(), 4u);
}

TEST_F(MediaDbScannerTest, ScanBehindAHeaderWithoutLineEndKeepsTheHeader)
{
    startWith("Title|Path|");
    m_sink.flags = kScanSkipHidden | kScanNoSubfolders;
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_EQ(m_engine->columnCount(), 3);
    EXPECT_EQ(columnValues("Title"), (std::vector<std::string>{"a.mp3", "b.MP3"}));
}

TEST_F(MediaDbScannerTest, ScanBehindALastRecordWithoutLineEndKeepsTheCatalogueReadable)
{
    // The unended line is no record; it stays in the backup only.
    const struct {
        std::string original;
        std::vector<std::string> titles;
    } cases[] = {
        {"Title|Path|\r\nx|/x.mp3|\r\ny|/y.m", {"x", "a.mp3", "b.MP3"}},
        {"Title|Path|\r\ny|/y.m", {"a.mp3", "b.MP3"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.original);
        startWith(c.original);
        m_sink.flags = kScanSkipHidden | kScanNoSubfolders;
        ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
        EXPECT_EQ(columnValues("Title"), c.titles);
        EXPECT_EQ(readFile(m_dir.file("QDDB.bak")), c.original);

        // Loaded again from the file itself, not from the backup.
        m_engine->detach();
        start();
        EXPECT_EQ(columnValues("Title"), c.titles);
        m_engine->detach();
    }
}

TEST_F(MediaDbScannerTest, NewFileFlagReplacesTheCatalogue)
{
    startWith(catalogue({{"Path", "Title"}, {"/x.mp3", "x"}}));
    m_sink.flags = kScanSkipHidden | kScanNoSubfolders | kScanNewFile;
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_EQ(readFile(databaseFile()).substr(0, std::strlen(tableHeader())), tableHeader());
    EXPECT_EQ(columnValues("Path"), (std::vector<std::string>{m_root + "/a.mp3", m_root + "/b.MP3"}));
}

TEST_F(MediaDbScannerTest, ExistingHeaderDecidesTheColumns)
{
    startWith(catalogue({{"Title", "Path", "Rating"}, {"x", "/x.mp3", "5"}}));
    m_sink.flags = kScanSkipHidden | kScanNoSubfolders;
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_EQ(m_sink.columns, (std::vector<std::string>{"Title", "Path", "Rating"}));
    EXPECT_EQ(readFile(databaseFile()), catalogue({{"Title", "Path", "Rating"},
                                                   {"x", "/x.mp3", "5"},
                                                   {"a.mp3", m_root + "/a.mp3", ""},
                                                   {"b.MP3", m_root + "/b.MP3", ""}}));
}

TEST_F(MediaDbScannerTest, KeptExtensionListIsNotAskedAgain)
{
    start();
    m_sink.flags = kScanSkipHidden | kScanNoSubfolders;
    m_sink.extensions = "wav;txt";
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    m_sink.extensions = "mp3";
    m_sink.flags |= kScanKeepExtensions;
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_EQ(m_sink.extensionAsks, 1);
    EXPECT_EQ(columnValues("Path"), (std::vector<std::string>{m_root + "/c.txt"}));
}

TEST_F(MediaDbScannerTest, EmptyFolderNeverDividesByZero)
{
    start();
    m_sink.folder = m_root + "/empty";
    EXPECT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_TRUE(m_sink.reports.empty());
    EXPECT_EQ(m_engine->liveRows(), 1);
}

TEST_F(MediaDbScannerTest, FilesThatAppearAfterCountingNeverDivideByZero)
{
    start();
    m_sink.flags = kScanSkipHidden | kScanNoSubfolders;
    m_platform.emptyListings = 1; // the count finds nothing
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_EQ(m_sink.offered.size(), 2u);
    ASSERT_EQ(m_sink.reports.size(), 3u);
    for (const auto &report : m_sink.reports)
        EXPECT_EQ(report.first, 50);
}

TEST_F(MediaDbScannerTest, MissingDriveIsReportedAndNotScanned)
{
    start();
    m_sink.folder = m_root + "/nowhere";
    EXPECT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_TRUE(m_sink.offered.empty());
    ASSERT_FALSE(m_platform.debugLines.empty());
    EXPECT_EQ(m_platform.debugLines.back(), "Could not get volumeinfo for drive: / Error: 2\n");
}

TEST_F(MediaDbScannerTest, ScanNoticesAndNullSink)
{
    start();
    ASSERT_EQ(open("client1"), kOk);
    m_platform.messages.clear();
    m_sink.flags = kScanSkipHidden | kScanNoSubfolders;
    ASSERT_EQ(m_engine->scanMedia(&m_sink), kOk);
    EXPECT_EQ(m_platform.codes(), (std::vector<uintptr_t>{kNoticeChangeBegins, kNoticeChanged}));
    EXPECT_EQ(m_platform.messages.back().lParam, 0);
    EXPECT_EQ(m_engine->scanMedia(nullptr), kPointer);
}

// --- Upkeep ------------------------------------------------------------------

TEST_F(MediaDbScannerTest, DuplicatesOfTheSameFileOnTheSameVolumeGo)
{
    startWith(catalogue({{"Path", "Volumenumber", "Title"},
                         {"/m/a.mp3", "1", "first"},
                         {"/M/A.MP3", "1", "same file"},
                         {"/m/a.mp3", "2", "other volume"},
                         {"/m/b.mp3", "1", "other file"},
                         {"/m/a.mp3", "1", "again"}}));
    ASSERT_EQ(m_engine->removeDuplicates(reinterpret_cast<void *>(0x30), 0, m_engine->liveRows(), nullptr),
              kOk);
    EXPECT_EQ(columnValues("Title"), (std::vector<std::string>{"first", "other volume", "other file"}));
    ASSERT_FALSE(m_platform.windowTexts.empty());
    EXPECT_EQ(m_platform.windowTexts.back(), "Verify: 83%");

    // Nothing new: nothing done.
    ASSERT_EQ(m_engine->addRecord("/m/b.mp3|1|dup|", nullptr), kOk);
    ASSERT_EQ(m_engine->removeDuplicates(nullptr, 10, 10, nullptr), kOk);
    EXPECT_EQ(m_engine->liveRows() - 1, 4);
}

TEST_F(MediaDbScannerTest, RemoveMissingFilesCountsWhatWentAway)
{
    const std::string here = m_root + "/a.mp3";
    startWith(catalogue({{"Path", "Location", "Title"},
                         {here, "", "present"},
                         {m_root + "/gone1.mp3", "", "missing"},
                         {m_root + "/gone2.mp3", "EXT", "external"},
                         {"", "", "no path"},
                         {m_root + "/gone3.mp3", "", "deleted before"}}));
    ASSERT_EQ(m_engine->deleteRecord(5, true), kOk);
    // Rows behind the loaded ones: an added record and a lengthened one.
    ASSERT_EQ(m_engine->addRecord((m_root + "/gone4.mp3||added|").c_str(), nullptr), kOk);
    ASSERT_EQ(m_engine->setField(3, 1, "present and longer than before"), kOk);
    ASSERT_EQ(open("client1"), kOk);
    m_platform.messages.clear();

    int32_t removed = -1;
    MediaDbRemoveRequest request{sizeof(MediaDbRemoveRequest), &removed};
    ASSERT_EQ(m_engine->removeMissingFiles(&request), kOk);
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(columnValues("Title"),
              (std::vector<std::string>{"present and longer than before", "external", "no path"}));
    EXPECT_EQ(m_platform.codes(), (std::vector<uintptr_t>{kNoticeChangeBegins, kNoticeChanged}));

    request.size = 4;
    EXPECT_EQ(m_engine->removeMissingFiles(&request), kInvalidArg);
    EXPECT_EQ(m_engine->removeMissingFiles(nullptr), kPointer);
}

TEST_F(MediaDbScannerTest, RemoveMissingFilesNeedsPathAndLocation)
{
    startWith(catalogue({{"Path", "Title"}, {"/gone.mp3", "x"}}));
    int32_t removed = -1;
    MediaDbRemoveRequest request{sizeof(MediaDbRemoveRequest), &removed};
    EXPECT_EQ(m_engine->removeMissingFiles(&request), kOk);
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(m_engine->liveRows() - 1, 1);
}

TEST_F(MediaDbScannerTest, StartNewFileKeepsAnExistingFile)
{
    const std::string content = catalogue({{"Path"}, {"/x"}});
    startWith(content);
    MediaDbNewFileRequest request{};
    request.size = sizeof request;
    request.one = 1;
    EXPECT_EQ(m_engine->startNewFile(&request), kOk);
    EXPECT_EQ(readFile(databaseFile()), content);
    request.flags = kScanNewFile;
    EXPECT_EQ(m_engine->startNewFile(&request), kOk);
    EXPECT_EQ(readFile(databaseFile()), tableHeader());
    request.size = 100;
    EXPECT_EQ(m_engine->startNewFile(&request), kInvalidArg);
}

} // namespace
