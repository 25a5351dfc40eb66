// Copying an item to a file with progress messages, and deleting items.
#include "qdwiahost.h"
#include "testwiatext.h"

#include <wiadef.h>

namespace
{

const char kPicture[] = "0000\\Root\\DCIM\\IMG_0001";

class Transfers : public QdWiaTest
{
  protected:
    void SetUp() override
    {
        QdWiaTest::SetUp();
        if (HasFatalFailure())
            return;
        m_camera = addCamera();
        m_picture = m_camera->find(L"0000\\Root\\DCIM\\IMG_0001");
        m_picture->setContent({'J', 'F', 'I', 'F', 0, 1, 2, 3});
    }

    IQdWia *createWithWindow()
    {
        IQdWia *wia = create();
        if (!wia)
            return nullptr;
        m_window = std::make_unique<HostWindow>(m_log);
        EXPECT_EQ(nullptr, wia->setNotifyWindow(m_window->handle(), HostWindow::kMessage));
        EXPECT_EQ(1, wia->selectDevice("cam-1"));
        return wia;
    }

    TestWiaItem *m_camera = nullptr;
    TestWiaItem *m_picture = nullptr;
    std::unique_ptr<HostWindow> m_window;
};

TEST_F(Transfers, ItemArrivesAtItsDestinationWithProgress)
{
    IQdWia *wia = createWithWindow();
    ASSERT_NE(nullptr, wia);
    const std::string destination = scratchFolder() + "\\holiday.jpg";
    ASSERT_EQ(1, wia->transferItemToFile(kPicture, destination.c_str()));
    EXPECT_EQ(std::string("JFIF\0\1\2\3", 8), readFile(destination));
    // Format and medium in one write, then the data as a file.
    EXPECT_TRUE(logIs(m_picture->writes(), {"first=4098 4106=" + guidText(kFormatJpeg) + " 4108=2"}));
    ASSERT_EQ(1u, m_picture->transfers().size());
    const TestWiaItem::Transfer &transfer = m_picture->transfers()[0];
    EXPECT_EQ(static_cast<DWORD>(TYMED_FILE), transfer.mediumType);
    EXPECT_FALSE(transfer.mediumNamed) << "the service names the file";
    EXPECT_TRUE(transfer.callbackGiven);
    EXPECT_EQ(kFormatJpeg, transfer.format);
    EXPECT_EQ(TYMED_FILE, transfer.tymed);
    EXPECT_FALSE(fileExists(transfer.temporaryFile));
    // Status messages only, synchronously during the transfer.
    EXPECT_TRUE(logIs(m_log, {"status 0", "status 50", "status 100"}));
}

TEST_F(Transfers, PreferredFormatGivenAsText)
{
    m_picture->properties().setText(WIA_IPA_PREFERRED_FORMAT, L"{bca48b55-f272-4371-b0f1-4a150d057bb4}");
    IQdWia *wia = createWithWindow();
    ASSERT_NE(nullptr, wia);
    const std::string destination = scratchFolder() + "\\raw.rgb";
    ASSERT_EQ(1, wia->transferItemToFile(kPicture, destination.c_str()));
    EXPECT_TRUE(logIs(m_picture->writes(), {"first=4098 4106=" + guidText(kFormatRawRgb) + " 4108=2"}));
    EXPECT_TRUE(fileExists(destination));
}

TEST_F(Transfers, WithoutNotifyWindowNoMessages)
{
    IQdWia *wia = createWithWindow();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(m_window->handle(), wia->setNotifyWindow(nullptr, 0));
    ASSERT_EQ(1, wia->transferItemToFile(kPicture, (scratchFolder() + "\\quiet.jpg").c_str()));
    EXPECT_TRUE(m_log.empty());
    // A window without a message number gets nothing either.
    wia->setNotifyWindow(m_window->handle(), 0);
    ASSERT_EQ(1, wia->transferItemToFile(kPicture, (scratchFolder() + "\\quiet2.jpg").c_str()));
    EXPECT_TRUE(m_log.empty());
}

struct FailedTransfer {
    const char *what;
    void (*script)(TestWiaItem *picture);
    const char *destination; // below the scratch folder; null: none given
    size_t writes;
    size_t transfers;
};

TEST_F(Transfers, FailuresAnswerZeroAndLeaveNoFile)
{
    const FailedTransfer cases[] = {
        {"device refuses the format", [](TestWiaItem *p) { p->refuseWrite(WIA_IPA_FORMAT); }, "\\a.jpg", 1,
         0},
        {"transfer fails", [](TestWiaItem *p) { p->setTransferResult(WIA_ERROR_OFFLINE); }, "\\b.jpg", 1, 1},
        {"no preferred format", [](TestWiaItem *p) { p->properties().erase(WIA_IPA_PREFERRED_FORMAT); },
         "\\c.jpg", 0, 0},
        {"preferred format is a number",
         [](TestWiaItem *p) { p->properties().setInt(WIA_IPA_PREFERRED_FORMAT, 6); }, "\\d.jpg", 0, 0},
        {"destination folder missing", [](TestWiaItem *) {}, "\\missing\\e.jpg", 1, 1},
    };
    for (const FailedTransfer &c : cases) {
        SCOPED_TRACE(c.what);
        TestWiaItem *picture = addPicture(m_camera, widen(c.what), kFormatJpeg);
        c.script(picture);
    }
    IQdWia *wia = createWithWindow();
    ASSERT_NE(nullptr, wia);
    for (const FailedTransfer &c : cases) {
        SCOPED_TRACE(c.what);
        TestWiaItem *picture = m_camera->find(L"0000\\Root\\" + widen(c.what));
        const std::string destination = scratchFolder() + c.destination;
        EXPECT_EQ(
            0, wia->transferItemToFile(("0000\\Root\\" + std::string(c.what)).c_str(), destination.c_str()));
        EXPECT_FALSE(fileExists(destination));
        EXPECT_EQ(c.writes, picture->writes().size());
        ASSERT_EQ(c.transfers, picture->transfers().size());
        if (c.transfers) {
            EXPECT_FALSE(fileExists(picture->transfers()[0].temporaryFile))
                << "the temporary file is removed";
        }
    }
}

TEST_F(Transfers, ExistingDestinationIsKept)
{
    IQdWia *wia = createWithWindow();
    ASSERT_NE(nullptr, wia);
    const std::string destination = scratchFolder() + "\\taken.jpg";
    ASSERT_TRUE(writeFile(destination, "the customer's own picture"));
    EXPECT_EQ(0, wia->transferItemToFile(kPicture, destination.c_str()));
    EXPECT_EQ("the customer's own picture", readFile(destination));
    ASSERT_EQ(1u, m_picture->transfers().size());
    EXPECT_FALSE(fileExists(m_picture->transfers()[0].temporaryFile));
}

TEST_F(Transfers, MissingArgumentsOrItemAnswerZero)
{
    IQdWia *wia = createWithWindow();
    ASSERT_NE(nullptr, wia);
    const std::string destination = scratchFolder() + "\\x.jpg";
    EXPECT_EQ(0, wia->transferItemToFile(kPicture, ""));
    EXPECT_EQ(0, wia->transferItemToFile(kPicture, nullptr));
    EXPECT_EQ(0, wia->transferItemToFile(nullptr, destination.c_str()));
    EXPECT_EQ(0, wia->transferItemToFile("0000\\Root\\DCIM\\IMG_0404", destination.c_str()));
    EXPECT_TRUE(m_picture->writes().empty());
    EXPECT_TRUE(m_picture->transfers().empty());
    EXPECT_FALSE(fileExists(destination));
}

struct DeletionCase {
    const char *what;
    int32_t rights;
    TestWiaItem::Deletion deletion;
    bool refuseFlags;
    int32_t result;
    std::vector<std::string> writes;
    int extendedErrors;
};

TEST_F(Transfers, DeletionFollowsTheAccessRights)
{
    const std::string deleted = "first=4098 4101=" + std::to_string(static_cast<int32_t>(0x80000080));
    const DeletionCase cases[] = {
        {"read and delete", WIA_ITEM_RD, TestWiaItem::Deletion::Allowed, false, 1, {}, 0},
        {"read, write and delete", WIA_ITEM_RWD, TestWiaItem::Deletion::Allowed, false, 1, {}, 0},
        {"delete only", WIA_ITEM_CAN_BE_DELETED, TestWiaItem::Deletion::Allowed, false, 1, {}, 0},
        {"read only", WIA_ITEM_READ, TestWiaItem::Deletion::Allowed, false, 1, {"first=4098 4102=128"}, 0},
        {"read and write",
         WIA_ITEM_READ | WIA_ITEM_WRITE,
         TestWiaItem::Deletion::Allowed,
         false,
         1,
         {"first=4098 4102=128"},
         0},
        {"refused, marked deleted",
         WIA_ITEM_RD,
         TestWiaItem::Deletion::RefusedButHonoursFlags,
         false,
         1,
         {deleted},
         1},
        {"refused, mark ignored", WIA_ITEM_RD, TestWiaItem::Deletion::Refused, false, 0, {deleted}, 1},
        {"refused, mark refused",
         WIA_ITEM_RD,
         TestWiaItem::Deletion::Refused,
         true,
         0,
         {deleted + " refused"},
         1},
    };
    for (const DeletionCase &c : cases) {
        TestWiaItem *picture = addPicture(m_camera, widen(c.what), kFormatJpeg);
        picture->properties().setInt(WIA_IPA_ACCESS_RIGHTS, c.rights);
        picture->setDeletion(c.deletion);
        if (c.refuseFlags)
            picture->refuseWrite(WIA_IPA_ITEM_FLAGS);
    }
    IQdWia *wia = createWithWindow();
    ASSERT_NE(nullptr, wia);
    for (const DeletionCase &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "0000\\Root\\" + std::string(c.what);
        TestWiaItem *picture = m_camera->find(widen(name));
        ASSERT_NE(nullptr, picture);
        picture->AddRef(); // watched after it left the tree
        EXPECT_EQ(c.result, wia->deleteItem(name.c_str()));
        EXPECT_TRUE(logIs(picture->writes(), c.writes));
        EXPECT_EQ(1, picture->deleteRequests());
        EXPECT_EQ(c.extendedErrors, picture->extendedErrorRequests());
        EXPECT_EQ(c.result == 1, picture->deleted());
        Item again(wia->findItem(name.c_str()));
        EXPECT_EQ(c.result == 0, again != nullptr);
        picture->Release();
    }
}

TEST_F(Transfers, DeletionNeedsReadableRightsAndAnItem)
{
    m_picture->properties().erase(WIA_IPA_ACCESS_RIGHTS);
    IQdWia *wia = createWithWindow();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(0, wia->deleteItem(kPicture));
    EXPECT_EQ(0, m_picture->deleteRequests());
    EXPECT_EQ(0, wia->deleteItem("0000\\Root\\DCIM\\IMG_0404"));
    EXPECT_EQ(0, wia->deleteItem(nullptr));
    EXPECT_FALSE(m_picture->deleted());
}

} // namespace
