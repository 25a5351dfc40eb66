// Change notices of DB_QD arrive as window messages in a window of the host;
// details are fetched through IMediaDb2 while the message is handled.
#include "mediadbhost.h"

#include <algorithm>
#include <fstream>
#include <process.h>
#include <sstream>

namespace
{

constexpr UINT kNoticeMessage = WM_APP + 17;
const char kWindowClass[] = "DbqdNoticeTestWindow";

struct Received {
    WPARAM code;
    LPARAM lParam;
    HRESULT fetch; // result of getNotificationData, S_FALSE when not asked
    std::vector<MediaDbNotice> details;
};

// A hidden top-level window that logs the server's notices.
class NoticeWindow
{
  public:
    explicit NoticeWindow(IMediaDb2 *fetcher = nullptr) : m_fetcher(fetcher)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &NoticeWindow::procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassA(&windowClass); // fails harmlessly when already registered
        m_window = CreateWindowExA(0, kWindowClass, "notices", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~NoticeWindow()
    {
        if (m_window)
            DestroyWindow(m_window);
    }
    NoticeWindow(const NoticeWindow &) = delete;
    NoticeWindow &operator=(const NoticeWindow &) = delete;

    HWND handle() const { return m_window; }
    void setFetcher(IMediaDb2 *fetcher) { m_fetcher = fetcher; }
    std::vector<Received> received;
    DWORD lastThread = 0;

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto *self = reinterpret_cast<NoticeWindow *>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message != kNoticeMessage || !self)
            return DefWindowProcA(window, message, wParam, lParam);
        Received notice = {wParam, lParam, S_FALSE, {}};
        if (wParam == MEDIADB_NOTICE_CHANGED && lParam != 0 && self->m_fetcher) {
            const int32_t slot = static_cast<int32_t>(lParam & 0xffff);
            const int32_t bytes = static_cast<int32_t>((lParam >> 16) & 0xffff);
            notice.details.resize(static_cast<size_t>(bytes) / sizeof(MediaDbNotice));
            notice.fetch = self->m_fetcher->getNotificationData(slot, bytes, notice.details.data());
        }
        self->received.push_back(notice);
        self->lastThread = GetCurrentThreadId();
        return 0;
    }

    HWND m_window = nullptr;
    IMediaDb2 *m_fetcher;
};

::testing::AssertionResult noticeIs(const Received &notice, WPARAM code, LPARAM lParam)
{
    if (notice.code != code || notice.lParam != lParam)
        return ::testing::AssertionFailure()
               << "notice (" << notice.code << ", 0x" << std::hex << notice.lParam << "), expected ("
               << std::dec << code << ", 0x" << std::hex << lParam << ")";
    return ::testing::AssertionSuccess();
}

struct Expected {
    WPARAM code;
    LPARAM lParam;
};

// The whole sequence of notices a window received, in order.
::testing::AssertionResult sequenceIs(const std::vector<Received> &received, std::vector<Expected> expected)
{
    const auto describe = [](const std::vector<Expected> &notices) {
        std::ostringstream text;
        for (const Expected &notice : notices)
            text << " (" << notice.code << ", 0x" << std::hex << notice.lParam << std::dec << ")";
        return text.str();
    };
    std::vector<Expected> got;
    for (const Received &notice : received)
        got.push_back({notice.code, notice.lParam});
    const bool same =
        got.size() == expected.size() &&
        std::equal(got.begin(), got.end(), expected.begin(), [](const Expected &a, const Expected &b) {
            return a.code == b.code && a.lParam == b.lParam;
        });
    if (!same)
        return ::testing::AssertionFailure()
               << "notices" << describe(got) << ", expected" << describe(expected);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult detailsAre(const Received &notice, std::vector<MediaDbNotice> expected)
{
    if (notice.fetch != S_OK)
        return ::testing::AssertionFailure() << "getNotificationData answered 0x" << std::hex << notice.fetch;
    if (notice.details.size() != expected.size())
        return ::testing::AssertionFailure()
               << notice.details.size() << " details, expected " << expected.size();
    for (size_t i = 0; i < expected.size(); ++i) {
        const MediaDbNotice &got = notice.details[i];
        const MediaDbNotice &want = expected[i];
        if (got.size != want.size || got.record != want.record || got.kind != want.kind)
            return ::testing::AssertionFailure()
                   << "detail " << i << " is {" << got.size << ", " << got.record << ", " << got.kind
                   << "}, expected {" << want.size << ", " << want.record << ", " << want.kind << "}";
    }
    return ::testing::AssertionSuccess();
}

constexpr LPARAM details(int32_t notices, int32_t slot)
{
    return static_cast<LPARAM>((notices * 12) << 16 | slot);
}

class Notices : public MediaDbHost
{
  protected:
    // An object opened as a client of the window.
    IMediaDb *openClient(NoticeWindow &window, const char *name, uint32_t flags = MEDIADB_OPEN_NOTIFY)
    {
        IMediaDb *db = create();
        if (!db)
            return nullptr;
        window.setFetcher(query<IMediaDb2>(db, IID_IMediaDb2));
        EXPECT_EQ(S_OK, db->open(name, window.handle(), kNoticeMessage, 0, nullptr, flags));
        return db;
    }
};

struct AddingWork {
    IMediaDb *db;
    std::string line;
    HRESULT result;
    int32_t record;
};

unsigned __stdcall addFromWorker(void *argument)
{
    auto *job = static_cast<AddingWork *>(argument);
    job->result = job->db->addRecord(job->line.c_str(), &job->record);
    return 0;
}

} // namespace

TEST_F(Notices, OpenGreetsTheNewClientOnly)
{
    NoticeWindow first;
    NoticeWindow second;
    ASSERT_TRUE(first.handle() && second.handle());
    ASSERT_NE(nullptr, openClient(first, "first-client"));
    EXPECT_TRUE(sequenceIs(first.received, {{MEDIADB_NOTICE_OPENED, 0}}));

    ASSERT_NE(nullptr, openClient(second, "second-client"));
    EXPECT_TRUE(sequenceIs(second.received, {{MEDIADB_NOTICE_OPENED, 0}}));
    EXPECT_TRUE(sequenceIs(first.received, {{MEDIADB_NOTICE_OPENED, 0}}));
}

TEST_F(Notices, ChangeFromAnotherThreadArrivesThroughTheMessageLoop)
{
    NoticeWindow window;
    IMediaDb *db = openClient(window, "pumping-client");
    ASSERT_NE(nullptr, db);
    window.received.clear();

    AddingWork job = {db, recordLine("Nena", "Irgendwie"), E_FAIL, 0};
    HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &addFromWorker, &job, 0, nullptr));
    ASSERT_NE(nullptr, worker);
    // The worker's notices wait in SendMessage until this thread takes messages.
    const bool finished = pumpUntil([&] { return WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; });
    if (!finished)
        TerminateThread(worker, 1);
    CloseHandle(worker);
    ASSERT_TRUE(finished) << "the worker's change did not get through";

    EXPECT_EQ(S_OK, job.result);
    EXPECT_EQ(GetCurrentThreadId(), window.lastThread) << "notices are handled by the window's own thread";
    ASSERT_TRUE(
        sequenceIs(window.received, {{MEDIADB_NOTICE_CHANGING, 0}, {MEDIADB_NOTICE_CHANGED, details(1, 1)}}));
    EXPECT_TRUE(detailsAre(window.received[1], {{12, job.record, 2}}));

    // The transfer data lives only during the message.
    MediaDbNotice late = {};
    IMediaDb2 *db2 = query<IMediaDb2>(db, IID_IMediaDb2);
    EXPECT_EQ(E_INVALIDARG, db2->getNotificationData(1, 12, &late));
}

TEST_F(Notices, EachChangeKindIsReported)
{
    NoticeWindow window;
    IMediaDb *db = openClient(window, "kinds-client");
    ASSERT_NE(nullptr, db);
    int32_t record = 0;
    ASSERT_EQ(S_OK, db->addRecord(recordLine("Heino", "Blau").c_str(), &record));
    ASSERT_EQ(S_OK, db->setField(2, record, "Schwarz", 0));
    ASSERT_EQ(S_OK, db->deleteRecord(record));

    // opened, then a change-begins and a detailed change for each operation
    const Expected changing = {MEDIADB_NOTICE_CHANGING, 0};
    const Expected changed = {MEDIADB_NOTICE_CHANGED, details(1, 1)};
    ASSERT_TRUE(
        sequenceIs(window.received,
                   {{MEDIADB_NOTICE_OPENED, 0}, changing, changed, changing, changed, changing, changed}));
    const int32_t kinds[] = {2, 4, 1};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(kinds[i]);
        EXPECT_TRUE(detailsAre(window.received[2 + 2 * i], {{12, record, kinds[i]}}));
    }
}

TEST_F(Notices, HeldChangesArriveAsOneNotice)
{
    NoticeWindow window;
    IMediaDb *db = openClient(window, "holding-client");
    ASSERT_NE(nullptr, db);
    window.received.clear();

    EXPECT_EQ(S_OK, db->holdNotifications(1));
    EXPECT_EQ(0, db->isNotifying());
    int32_t first = 0;
    int32_t second = 0;
    ASSERT_EQ(S_OK, db->addRecord(recordLine("A", "a").c_str(), &first));
    ASSERT_EQ(S_OK, db->addRecord(recordLine("B", "b").c_str(), &second));
    ASSERT_EQ(S_OK, db->setField(2, first, "changed", 0));
    EXPECT_TRUE(window.received.empty()) << "nothing is sent while held";

    EXPECT_EQ(E_FAIL, db->holdNotifications(2)) << "a release alone answers E_FAIL";
    EXPECT_EQ(1, db->isNotifying());
    ASSERT_TRUE(sequenceIs(window.received, {{MEDIADB_NOTICE_CHANGED, details(3, 1)}}));
    EXPECT_TRUE(detailsAre(window.received[0], {{12, first, 2}, {12, second, 2}, {12, first, 4}}));
}

TEST_F(Notices, OnlyOpenClientsThatAskedAreTold)
{
    NoticeWindow asked;
    NoticeWindow silent;
    NoticeWindow closed;
    IMediaDb *db = openClient(asked, "asking-client");
    ASSERT_NE(nullptr, openClient(silent, "silent-client", 0));
    IMediaDb *leaving = openClient(closed, "closing-client");
    ASSERT_TRUE(db && leaving);
    IMediaDb3 *leaving3 = query<IMediaDb3>(leaving, IID_IMediaDb3);
    ASSERT_EQ(S_OK, leaving3->close("closing-client", 0));
    asked.received.clear();
    silent.received.clear();
    closed.received.clear();

    ASSERT_EQ(S_OK, db->addRecord(recordLine("Nena", "Irgendwie").c_str(), nullptr));
    EXPECT_TRUE(
        sequenceIs(asked.received, {{MEDIADB_NOTICE_CHANGING, 0}, {MEDIADB_NOTICE_CHANGED, details(1, 1)}}));
    EXPECT_TRUE(silent.received.empty());
    EXPECT_TRUE(closed.received.empty());
}

TEST_F(Notices, ClientsOfOneNameLeaveWithTheirOwnEntries)
{
    const struct {
        const char *how;
        bool release; // else close
    } cases[] = {{"close", false}, {"last release", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        NoticeWindow staying;
        NoticeWindow leaving;
        IMediaDb *db = openClient(staying, "same-name");
        ASSERT_NE(nullptr, db);
        IMediaDb *other = nullptr;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MediaDb, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDb,
                                         reinterpret_cast<void **>(&other)));
        ASSERT_EQ(S_OK, other->open("SAME-NAME", leaving.handle(), kNoticeMessage, 0, nullptr,
                                    MEDIADB_OPEN_NOTIFY));
        if (c.release) {
            EXPECT_EQ(0u, other->Release());
        } else {
            IMediaDb3 *other3 = nullptr;
            ASSERT_EQ(S_OK, other->QueryInterface(IID_IMediaDb3, reinterpret_cast<void **>(&other3)));
            EXPECT_EQ(S_OK, other3->close("same-name", 0));
            other3->Release();
            other->Release();
        }
        staying.received.clear();
        leaving.received.clear();

        ASSERT_EQ(S_OK, db->addRecord(recordLine("Nena", "Irgendwie").c_str(), nullptr));
        EXPECT_TRUE(sequenceIs(staying.received,
                               {{MEDIADB_NOTICE_CHANGING, 0}, {MEDIADB_NOTICE_CHANGED, details(1, 1)}}));
        EXPECT_TRUE(leaving.received.empty());
        releaseAll();
    }
}

TEST_F(Notices, ImportAnnouncesAGeneralChange)
{
    NoticeWindow window;
    IMediaDb *db = openClient(window, "import-client");
    ASSERT_NE(nullptr, db);
    IMediaDb2 *db2 = query<IMediaDb2>(db, IID_IMediaDb2);
    window.received.clear();

    MediaDbImportRequest request = {sizeof request, 1, {}};
    strcpy_s(request.fileName, (m_server.folder() + "\\list.txt").c_str());
    EXPECT_EQ(E_NOTIMPL, db2->importFile(&request));
    ASSERT_FALSE(window.received.empty());
    EXPECT_TRUE(noticeIs(window.received.back(), MEDIADB_NOTICE_CHANGED, 0));
}

TEST_F(Notices, RestoredCatalogueIsAnnouncedToTheFirstClient)
{
    // Only a backup beside the library: the engine takes it and says so.
    std::ofstream(m_server.folder() + "\\QDDB.BAK", std::ios::binary)
        << "Artist|Title|\r\nNena|Irgendwie|\r\n";
    NoticeWindow window;
    IMediaDb *db = openClient(window, "restored-client");
    ASSERT_NE(nullptr, db);
    EXPECT_TRUE(sequenceIs(window.received, {{MEDIADB_NOTICE_RESTORED, 0}, {MEDIADB_NOTICE_OPENED, 0}}));

    MediaDbInfo info = {};
    ASSERT_EQ(S_OK, db->getInfo(&info));
    EXPECT_EQ(2, info.columns);
    EXPECT_EQ(1, info.records);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES == GetFileAttributesA((m_server.folder() + "\\QDDB.DB").c_str()), false)
        << "the backup was copied over the catalogue file";

    NoticeWindow later;
    ASSERT_NE(nullptr, openClient(later, "later-client"));
    EXPECT_TRUE(sequenceIs(later.received, {{MEDIADB_NOTICE_OPENED, 0}}));
}
