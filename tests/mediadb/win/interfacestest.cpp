// The media-database object through its three interfaces and the field
// reader, created with CoCreateInstance as a host does.
#include "mediadbhost.h"

#include <cstring>

namespace
{

using Interfaces = MediaDbHost;

// Column numbers of a new catalogue (column 0 is the index column).
constexpr int32_t kArtist = 1;
constexpr int32_t kTitle = 2;
constexpr int32_t kMediaformat = 13;

std::string field(IMediaDb *db, int32_t column, int32_t record)
{
    char buffer[261] = {};
    const HRESULT result = db->getField(column, record, buffer, sizeof buffer - 1, 0);
    return SUCCEEDED(result) ? std::string(buffer) : "<error " + std::to_string(result) + ">";
}

} // namespace

TEST_F(Interfaces, QueryInterfaceFromEveryInterface)
{
    IMediaDb *db = create();
    ASSERT_NE(nullptr, db);
    IMediaDb2 *db2 = query<IMediaDb2>(db, IID_IMediaDb2);
    IMediaDb3 *db3 = query<IMediaDb3>(db, IID_IMediaDb3);
    ASSERT_TRUE(db2 && db3);
    EXPECT_EQ(3u, refCount(db)) << "one count for all three interfaces";

    IUnknown *const from[] = {db, db2, db3};
    struct Case {
        const char *name;
        const GUID *interfaceId;
        void *expected;
    };
    const Case cases[] = {
        {"IUnknown", &IID_IUnknown, static_cast<IUnknown *>(db)},
        {"IMediaDb", &IID_IMediaDb, db},
        {"IMediaDb2", &IID_IMediaDb2, db2},
        {"IMediaDb3", &IID_IMediaDb3, db3},
        {"IClassFactory", &IID_IClassFactory, nullptr},
        {"IDispatch", &IID_IDispatch, nullptr},
    };
    for (IUnknown *source : from) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.name);
            void *out = reinterpret_cast<void *>(0x1234);
            if (c.expected) {
                ASSERT_EQ(S_OK, source->QueryInterface(*c.interfaceId, &out));
                EXPECT_EQ(c.expected, out);
                EXPECT_EQ(4u, refCount(db));
                static_cast<IUnknown *>(out)->Release();
            } else {
                EXPECT_EQ(E_NOINTERFACE, source->QueryInterface(*c.interfaceId, &out));
                EXPECT_EQ(reinterpret_cast<void *>(0x1234), out) << "out pointer left as it was";
            }
        }
        EXPECT_EQ(E_POINTER, source->QueryInterface(IID_IUnknown, nullptr));
        EXPECT_EQ(3u, refCount(source));
    }
}

TEST_F(Interfaces, LastReleaseFreesTheObjectAndTheModule)
{
    IMediaDb *db = create();
    ASSERT_NE(nullptr, db);
    query<IMediaDb2>(db, IID_IMediaDb2);
    EXPECT_EQ(S_FALSE, m_server.canUnloadNow());
    releaseAll();
    EXPECT_EQ(S_OK, m_server.canUnloadNow());
}

TEST_F(Interfaces, SlotsRefuseUntilOpen)
{
    IMediaDb *db = create();
    ASSERT_NE(nullptr, db);
    IMediaDb2 *db2 = query<IMediaDb2>(db, IID_IMediaDb2);
    IMediaDb3 *db3 = query<IMediaDb3>(db, IID_IMediaDb3);
    ASSERT_TRUE(db2 && db3);

    char buffer[64] = {};
    int32_t value = 0;
    MediaDbInfo info = {};
    MediaDbCondition condition = {};
    struct Case {
        const char *name;
        HRESULT result;
    };
    const Case cases[] = {
        {"getInfo", db->getInfo(&info)},
        {"getColumnName", db->getColumnName(1, buffer, sizeof buffer, nullptr)},
        {"getColumnIndex", db->getColumnIndex("Artist", &value)},
        {"getField", db->getField(1, 1, buffer, sizeof buffer, 0)},
        {"setField", db->setField(1, 1, "x", 0)},
        {"addRecord", db->addRecord(nullptr, &value)},
        {"deleteRecord", db->deleteRecord(1)},
        {"clearMarks", db->clearMarks()},
        {"findRecord", db->findRecord(nullptr, "a", nullptr, nullptr, buffer, sizeof buffer, 1, &value)},
        {"search", db->search(1, &condition, &value, &value, 0)},
        {"getSearchResults", db->getSearchResults(1, 1, &value)},
        {"listDistinct", db->listDistinct(1, 0, nullptr, &value, &value)},
        {"getDistinctResults", db->getDistinctResults(2, 1, &value)},
        {"save", db->save()},
        {"reserved", db->reserved(0)},
        {"getRecordKind", db->getRecordKind(1, &value)},
        {"addColumn", db2->addColumn("Extra", 0)},
        {"getNotificationData", db2->getNotificationData(1, 12, buffer)},
        {"scanMedia", db3->scanMedia(nullptr)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MEDIADB_E_NOTOPEN, c.result);
    }

    // These work whether open or not.
    EXPECT_EQ(1, db->isNotifying());
    EXPECT_EQ(S_OK, db->holdNotifications(1));
    EXPECT_EQ(0, db->isNotifying());
    EXPECT_EQ(E_FAIL, db->holdNotifications(2)) << "a release alone answers E_FAIL";
    EXPECT_EQ(1, db->isNotifying());
    IMediaDbReader *reader = nullptr;
    EXPECT_EQ(S_OK, db->createReader(&reader));
    ASSERT_NE(nullptr, reader);
    reader->Release();
    EXPECT_EQ(E_FAIL, db3->close("someone", 0));

    // Open: the reserved slot answers E_NOTIMPL.
    ASSERT_EQ(S_OK, db->open("reserved-test", nullptr, 0, 0, nullptr, 0));
    EXPECT_EQ(E_NOTIMPL, db->reserved(0));
}

TEST_F(Interfaces, SecondInterfaceWorksWithoutOpen)
{
    IMediaDb *db = create();
    ASSERT_NE(nullptr, db);
    IMediaDb2 *db2 = query<IMediaDb2>(db, IID_IMediaDb2);
    ASSERT_NE(nullptr, db2);
    const int32_t records[] = {1};
    MediaDbRemoveRequest remove = {8, nullptr};
    MediaDbExportRequest exportRequest = {};
    MediaDbImportRequest importRequest = {};
    const HRESULT results[] = {
        db2->setFieldOfRecords(records, 1, 1, "x", 1),
        db2->deleteRecords(records, 1, 1),
        db2->removeMissingFiles(&remove, 0),
        db2->exportHtml(&exportRequest),
        db2->importFile(&importRequest),
    };
    for (size_t i = 0; i < std::size(results); ++i) {
        SCOPED_TRACE(i + 3);
        EXPECT_NE(MEDIADB_E_NOTOPEN, results[i]);
    }
}

TEST_F(Interfaces, OpenChecksTheClientName)
{
    struct Case {
        const char *name;
        HRESULT result;
    };
    const std::string forty(40, 'n');
    const std::string fortyOne(41, 'n');
    const Case cases[] = {
        {nullptr, E_POINTER}, {"", E_INVALIDARG},    {"four", E_INVALIDARG}, {fortyOne.c_str(), E_INVALIDARG},
        {"fivec", S_OK},      {forty.c_str(), S_OK},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name ? c.name : "null");
        IMediaDb *db = create();
        ASSERT_NE(nullptr, db);
        EXPECT_EQ(c.result, db->open(c.name, nullptr, 0, 0, nullptr, 0));
    }
}

TEST_F(Interfaces, OpenRefusesConditionsItCannotRead)
{
    IMediaDb *db = create();
    ASSERT_NE(nullptr, db);
    EXPECT_EQ(E_POINTER, db->open("client-one", nullptr, 0, 2, nullptr, 0));
    EXPECT_EQ(E_INVALIDARG, db->open("client-one", nullptr, 0, -1, nullptr, 0));
    EXPECT_EQ(S_OK, db->open("client-one", nullptr, 0, 0, nullptr, 0));
}

TEST_F(Interfaces, OpenAndCloseRules)
{
    IMediaDb *db = create();
    ASSERT_NE(nullptr, db);
    IMediaDb3 *db3 = query<IMediaDb3>(db, IID_IMediaDb3);
    ASSERT_NE(nullptr, db3);

    EXPECT_EQ(E_FAIL, db3->close("client-one", 0)) << "not open";
    ASSERT_EQ(S_OK, db->open("client-one", nullptr, 0, 0, nullptr, 0));
    EXPECT_EQ(MEDIADB_E_ALREADYOPEN, db->open("client-one", nullptr, 0, 0, nullptr, 0));
    EXPECT_EQ(MEDIADB_E_ALREADYOPEN, db->open("client-two", nullptr, 0, 0, nullptr, 0));

    EXPECT_EQ(E_POINTER, db3->close(nullptr, 0));
    EXPECT_EQ(E_INVALIDARG, db3->close("four", 0));
    EXPECT_EQ(E_INVALIDARG, db3->close(std::string(41, 'c').c_str(), 0));
    // The name given at open is closed, whatever name close is given.
    EXPECT_EQ(S_OK, db3->close("another-name", 0));
    EXPECT_EQ(E_FAIL, db3->close("client-one", 0));
    MediaDbInfo info = {};
    EXPECT_EQ(MEDIADB_E_NOTOPEN, db->getInfo(&info));

    // Closed, the object may open again.
    EXPECT_EQ(S_OK, db->open("client-one", nullptr, 0, 0, nullptr, 0));
}

TEST_F(Interfaces, AtMostTenClientsAndReleaseClosesOne)
{
    std::vector<IMediaDb *> open;
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        IMediaDb *db = create();
        ASSERT_NE(nullptr, db);
        ASSERT_EQ(S_OK, db->open(("client-" + std::to_string(i)).c_str(), nullptr, 0, 0, nullptr, 0));
        open.push_back(db);
    }
    IMediaDb *eleventh = create();
    ASSERT_NE(nullptr, eleventh);
    EXPECT_EQ(MEDIADB_E_TOOMANYCLIENTS, eleventh->open("client-10", nullptr, 0, 0, nullptr, 0));
    MediaDbInfo info = {};
    EXPECT_EQ(MEDIADB_E_NOTOPEN, eleventh->getInfo(&info)) << "a refused open leaves the object closed";

    // The last release of an open object ends its client entry.
    m_objects.erase(std::find(m_objects.begin(), m_objects.end(), open[3]));
    EXPECT_EQ(0u, open[3]->Release());
    EXPECT_EQ(S_OK, eleventh->open("client-10", nullptr, 0, 0, nullptr, 0));
}

TEST_F(Interfaces, ReaderHoldsItsObject)
{
    IMediaDb *db = create();
    ASSERT_NE(nullptr, db);
    EXPECT_EQ(E_POINTER, db->createReader(nullptr));
    IMediaDbReader *reader = nullptr;
    ASSERT_EQ(S_OK, db->createReader(&reader));
    ASSERT_NE(nullptr, reader);
    EXPECT_EQ(1u, refCount(reader));
    EXPECT_EQ(2u, refCount(db)) << "the reader holds the object";

    EXPECT_TRUE(answersQueries(reader, {{"IUnknown", &IID_IUnknown, S_OK},
                                        {"reader", &IID_IMediaDbReader, S_OK},
                                        {"IMediaDb", &IID_IMediaDb, E_NOINTERFACE},
                                        {"IMediaDb2", &IID_IMediaDb2, E_NOINTERFACE}}));

    // The reader keeps the object (and the module) alive after the host let go of it.
    m_objects.clear();
    EXPECT_EQ(1u, db->Release());
    EXPECT_EQ(S_FALSE, m_server.canUnloadNow());
    EXPECT_EQ(0u, reader->Release());
    EXPECT_EQ(S_OK, m_server.canUnloadNow());
}

TEST_F(Interfaces, RecordListArgumentsAreChecked)
{
    IMediaDb *db = create();
    ASSERT_NE(nullptr, db);
    IMediaDb2 *db2 = query<IMediaDb2>(db, IID_IMediaDb2);
    ASSERT_NE(nullptr, db2);
    const int32_t records[] = {1};
    EXPECT_EQ(E_INVALIDARG, db2->setFieldOfRecords(records, 0, 1, "x", 0));
    EXPECT_EQ(E_INVALIDARG, db2->setFieldOfRecords(records, 1, 0, "x", 0));
    EXPECT_EQ(E_POINTER, db2->setFieldOfRecords(nullptr, 1, 1, "x", 0));
    EXPECT_EQ(E_POINTER, db2->setFieldOfRecords(records, 1, 1, nullptr, 0));
    EXPECT_EQ(E_INVALIDARG, db2->deleteRecords(records, 0, 0));
    EXPECT_EQ(E_POINTER, db2->deleteRecords(nullptr, 1, 0));
}

TEST_F(Interfaces, NewCatalogueIsDescribedBesideTheLibrary)
{
    IMediaDb *db = createOpen("catalogue-host");
    ASSERT_NE(nullptr, db);
    MediaDbInfo info = {};
    ASSERT_EQ(S_OK, db->getInfo(&info));
    EXPECT_EQ(1, info.versionMajor);
    EXPECT_EQ(1, info.versionMinor);
    EXPECT_EQ(25, info.columns);
    EXPECT_EQ(0, info.records);
    EXPECT_EQ(0, _stricmp((m_server.folder() + "\\QDDB.DB").c_str(), info.path)) << info.path;

    char name[32] = {};
    EXPECT_EQ(S_OK, db->getColumnName(kArtist, name, sizeof name, nullptr));
    EXPECT_STREQ("Artist", name);
    int32_t column = -1;
    EXPECT_EQ(S_OK, db->getColumnIndex("MEDIAFORMAT", &column));
    EXPECT_EQ(kMediaformat, column);
    EXPECT_EQ(S_FALSE, db->getColumnIndex("NoSuchColumn", &column));
}

TEST_F(Interfaces, RecordIsAddedFoundAndChanged)
{
    IMediaDb *db = createOpen("record-host");
    ASSERT_NE(nullptr, db);

    int32_t record = 0;
    ASSERT_EQ(S_OK, db->addRecord(recordLine("Nena", "Irgendwie", "Fieber", "Pop", "mp3").c_str(), &record));
    EXPECT_EQ(1, record);
    EXPECT_EQ("Nena", field(db, kArtist, record));

    char title[64] = {};
    int32_t found = 0;
    EXPECT_EQ(S_OK, db->findRecord("Pop", "Nena", nullptr, nullptr, title, sizeof title, 2, &found));
    EXPECT_EQ(record, found);
    EXPECT_STREQ("Irgendwie", title);
    EXPECT_EQ(S_FALSE, db->findRecord(nullptr, "Heino", nullptr, nullptr, title, sizeof title, 2, &found));

    // A longer text keeps the record's identifier.
    const std::string longer = "Irgendwie, irgendwo, irgendwann (extended version)";
    EXPECT_EQ(S_OK, db->setField(kTitle, record, longer.c_str(), 0));
    EXPECT_EQ(longer, field(db, kTitle, record));
    MediaDbInfo info = {};
    ASSERT_EQ(S_OK, db->getInfo(&info));
    EXPECT_EQ(1, info.records);

    int32_t kind = 0;
    EXPECT_EQ(S_OK, db->getRecordKind(record, &kind));
    EXPECT_EQ(4, kind);

    // The reader sees the same cells.
    IMediaDbReader *reader = nullptr;
    ASSERT_EQ(S_OK, db->createReader(&reader));
    char cell[128] = {};
    EXPECT_EQ(S_OK, reader->getField(kTitle, record, cell, sizeof cell, 0));
    EXPECT_EQ(longer, cell);
    const char *text = nullptr;
    EXPECT_EQ(S_OK, reader->getFieldText(kArtist, record, &text, 0));
    EXPECT_STREQ("Nena", text);
    // Column 0 is the record's flag word: findRecord with flags 2 marked it.
    ASSERT_EQ(S_OK, reader->getFieldText(0, record, &text, 0));
    EXPECT_EQ(2u, *reinterpret_cast<const uint32_t *>(text));
    EXPECT_EQ(S_OK, db->clearMarks());
    EXPECT_EQ(0u, *reinterpret_cast<const uint32_t *>(text));

    EXPECT_EQ(S_OK, db->deleteRecord(record));
    EXPECT_EQ(E_HANDLE, db->deleteRecord(record));
    EXPECT_EQ(E_HANDLE, reader->getFieldText(0, record, &text, 0));
    EXPECT_EQ(1u, *reinterpret_cast<const uint32_t *>(text) & 1u) << "deleted";
    EXPECT_EQ(E_HANDLE, reader->getField(kArtist, record, cell, sizeof cell, 0));
    EXPECT_STREQ("Nena", cell) << "a deleted record's text is copied all the same";
    EXPECT_EQ(E_INVALIDARG, reader->getField(0, record, cell, sizeof cell, 0));
    EXPECT_EQ(E_INVALIDARG, reader->getField(kArtist, 99, cell, sizeof cell, 0));
    EXPECT_EQ(E_POINTER, reader->getField(kArtist, record, nullptr, 10, 0));
    reader->Release();
    EXPECT_EQ(S_OK, db->save());
}

TEST_F(Interfaces, SearchThroughTheInterface)
{
    IMediaDb *db = createOpen("search-host");
    ASSERT_NE(nullptr, db);
    const char *const artists[] = {"Nena", "Heino", "Nena"};
    for (const char *artist : artists)
        ASSERT_EQ(S_OK, db->addRecord(recordLine(artist, "Song").c_str(), nullptr));

    MediaDbCondition condition = {2, kArtist, 2, "NEN"};
    int32_t matches = 0;
    int32_t state = 0;
    ASSERT_EQ(S_OK, db->search(1, &condition, &matches, &state, 0));
    EXPECT_EQ(2, matches);
    EXPECT_EQ(E_PENDING, db->search(1, &condition, &matches, &state, 0)) << "results not fetched yet";
    int32_t records[4] = {};
    ASSERT_EQ(S_OK, db->getSearchResults(1, 4, records));
    EXPECT_EQ(1, records[0]);
    EXPECT_EQ(3, records[1]);
}

TEST_F(Interfaces, SetFieldOfRecordsStopsAtZero)
{
    IMediaDb *db = createOpen("list-host");
    ASSERT_NE(nullptr, db);
    IMediaDb2 *db2 = query<IMediaDb2>(db, IID_IMediaDb2);
    for (int i = 1; i <= 7; ++i)
        ASSERT_EQ(S_OK, db->addRecord(recordLine("Artist " + std::to_string(i), "Song").c_str(), nullptr));

    const int32_t records[] = {5, 0, 7};
    EXPECT_EQ(S_OK, db2->setFieldOfRecords(records, 3, kTitle, "Changed", 0));
    EXPECT_EQ("Changed", field(db, kTitle, 5));
    EXPECT_EQ("Song", field(db, kTitle, 7));

    const int32_t doomed[] = {2, 3};
    EXPECT_EQ(S_OK, db2->deleteRecords(doomed, 2, 0));
    char buffer[32] = {};
    EXPECT_EQ(E_HANDLE, db->getField(kArtist, 3, buffer, sizeof buffer, 0));

    // Without continue-on-error the first failure stops the walk.
    const int32_t again[] = {2, 4};
    EXPECT_EQ(E_HANDLE, db2->deleteRecords(again, 2, 0));
    EXPECT_EQ("Artist 4", field(db, kArtist, 4));
    EXPECT_EQ(S_OK, db2->deleteRecords(again, 2, 1));
    EXPECT_EQ(E_HANDLE, db->getField(kArtist, 4, buffer, sizeof buffer, 0));
}

TEST_F(Interfaces, ExportAndImportThroughTheInterface)
{
    IMediaDb *db = createOpen("export-host");
    ASSERT_NE(nullptr, db);
    IMediaDb2 *db2 = query<IMediaDb2>(db, IID_IMediaDb2);
    int32_t record = 0;
    ASSERT_EQ(S_OK, db->addRecord(recordLine("Ärzte <live>", "Westerland").c_str(), &record));

    const std::string html = m_server.folder() + "\\export.html";
    MediaDbExportRequest exportRequest = {sizeof exportRequest, 4, {}, {}};
    strcpy_s(exportRequest.fileName, html.c_str());
    ASSERT_EQ(S_OK, db2->exportHtml(&exportRequest));
    const std::string text = readFile(html);
    EXPECT_NE(std::string::npos, text.find("<th align=left>Artist</th>"));
    EXPECT_NE(std::string::npos, text.find("&#x3c;live&#x3e;"));
    EXPECT_NE(std::string::npos, text.find("<td>&#160;</td>")) << "empty cells are marked";

    exportRequest.flags = 0;
    EXPECT_EQ(E_INVALIDARG, db2->exportHtml(&exportRequest));
    EXPECT_EQ(E_POINTER, db2->exportHtml(nullptr));

    // Replace the catalogue with the export after a change.
    ASSERT_EQ(S_OK, db->setField(kTitle, record, "Changed", 0));
    MediaDbImportRequest importRequest = {sizeof importRequest, 2, {}};
    strcpy_s(importRequest.fileName, html.c_str());
    ASSERT_EQ(S_OK, db2->importFile(&importRequest));
    MediaDbInfo info = {};
    ASSERT_EQ(S_OK, db->getInfo(&info));
    EXPECT_EQ(1, info.records);
    EXPECT_EQ("Westerland", field(db, kTitle, 1));
    EXPECT_EQ("Ärzte <live>", field(db, kArtist, 1));

    strcpy_s(importRequest.fileName, (m_server.folder() + "\\list.txt").c_str());
    EXPECT_EQ(E_NOTIMPL, db2->importFile(&importRequest));
}

namespace
{

// The host's scan callback: offers a folder and the extension MP3, no values.
class HostScanSink : public MediaDbScanSink
{
  public:
    explicit HostScanSink(const std::string &folder) : m_folder(folder) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override
    {
        if (!out)
            return E_POINTER;
        if (!IsEqualIID(interfaceId, IID_IUnknown))
            return E_NOINTERFACE;
        AddRef();
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refCount); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_refCount); }
    HRESULT STDMETHODCALLTYPE reportColumn(const char *name, int32_t, int32_t) override
    {
        columns.push_back(name);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE beginFile(const char *path, uint32_t) override
    {
        files.push_back(path);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE getValue(int32_t, int32_t, char *, uint32_t) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE getStartFolder(char *buffer) override
    {
        strcpy_s(buffer, MAX_PATH, (m_folder + "\\").c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE getExtensions(char *buffer) override
    {
        strcpy_s(buffer, MAX_PATH, "mp3");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE getFlags(uint32_t *flags) override
    {
        *flags = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE progress(int32_t, const char *, int32_t *) override
    {
        ++progressCalls;
        return S_OK;
    }

    long refCount() const { return m_refCount; }
    std::vector<std::string> columns;
    std::vector<std::string> files;
    int progressCalls = 0;

  private:
    std::string m_folder;
    long m_refCount = 1;
};

} // namespace

TEST_F(Interfaces, ScanThroughTheHostsCallback)
{
    IMediaDb *db = createOpen("scanning-host");
    ASSERT_NE(nullptr, db);
    IMediaDb3 *db3 = query<IMediaDb3>(db, IID_IMediaDb3);
    const std::string music = m_server.folder() + "\\music";
    ASSERT_TRUE(CreateDirectoryA(music.c_str(), nullptr));
    ASSERT_TRUE(writeFile(music + "\\one.mp3", "x"));
    ASSERT_TRUE(writeFile(music + "\\two.MP3", "x"));
    ASSERT_TRUE(writeFile(music + "\\notes.txt", "x"));

    EXPECT_EQ(E_POINTER, db3->scanMedia(nullptr));
    HostScanSink sink(music);
    ASSERT_EQ(S_OK, db3->scanMedia(&sink));
    EXPECT_EQ(0, sink.refCount()) << "the sink is released once at the end";
    ASSERT_EQ(25u, sink.columns.size());
    EXPECT_EQ("Artist", sink.columns.front());
    EXPECT_EQ(2u, sink.files.size());
    EXPECT_LT(0, sink.progressCalls);

    MediaDbInfo info = {};
    ASSERT_EQ(S_OK, db->getInfo(&info));
    EXPECT_EQ(2, info.records);
    int32_t path = 0;
    ASSERT_EQ(S_OK, db->getColumnIndex("Path", &path));
    const std::string first = field(db, path, 1);
    EXPECT_TRUE(first == music + "\\one.mp3" || first == music + "\\two.MP3") << first;
    EXPECT_EQ("--", field(db, kArtist, 1)) << "a column without value takes its default";

    MediaDbRemoveRequest remove = {sizeof remove, nullptr};
    int32_t removed = -1;
    remove.removed = &removed;
    DeleteFileA((music + "\\one.mp3").c_str());
    IMediaDb2 *db2 = query<IMediaDb2>(db, IID_IMediaDb2);
    EXPECT_EQ(S_OK, db2->removeMissingFiles(&remove, 0));
    EXPECT_EQ(1, removed);
}
