// DoAutoUpdate as a host calls it, and its update window, before any
// transfer: the export, a null host, the modes without an operation, a
// second call while the window is open.
#include "updaterhost.h"

TEST(Exports, DoAutoUpdateByNameIsOrdinalOne)
{
    UpdaterLibrary library;
    ASSERT_TRUE(library.module());
    const FARPROC byName = GetProcAddress(library.module(), "DoAutoUpdate");
    EXPECT_NE(nullptr, byName);
    EXPECT_EQ(byName, GetProcAddress(library.module(), MAKEINTRESOURCEA(1)));
}

TEST(Exports, NullHostAnswersZeroWithoutAWindow)
{
    UpdaterLibrary library;
    ASSERT_TRUE(library.entry());
    DialogDriver driver;
    driver.start();
    EXPECT_EQ(0, library.entry()(nullptr));
    driver.stop();
    EXPECT_TRUE(driver.seen().empty());
}

class EntryTest : public UpdaterTest
{
};

TEST_F(EntryTest, ModeTwoIsNotYetImplemented)
{
    m_process.mode = 2;
    m_driver.press(kBoxCaption, IDOK, "not yet implemented - sorry ;-(");
    EXPECT_EQ(0, run());
    const auto boxes = m_driver.seen(kBoxCaption);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_TRUE(boxes[0].answered);
    EXPECT_EQ(1u, m_driver.seen(kUpdateCaption).size());
    EXPECT_TRUE(noErrors());
    EXPECT_TRUE(m_process.updaters().empty());
}

TEST_F(EntryTest, UnknownModesAreRejected)
{
    const int32_t modes[] = {4, -1, 99};
    for (const int32_t mode : modes) {
        SCOPED_TRACE(mode);
        m_process.mode = mode;
        DialogDriver driver;
        driver.press(kBoxCaption, IDOK,
                     "Unknown operation mode inside QdAutoUpdate Dll - please check your installation !");
        EXPECT_EQ(0, run(driver));
        const auto boxes = driver.seen(kBoxCaption);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_TRUE(boxes[0].answered);
    }
}

TEST_F(EntryTest, UpdateWindowAsBuilt)
{
    m_process.mode = 2;
    std::string menuItem;
    bool hasIcon = false;
    m_driver.on(kBoxCaption, [&](HWND box, const SeenDialog &) {
        HWND window = DialogDriver::findDialog(kUpdateCaption);
        if (HMENU menu = GetSystemMenu(window, FALSE)) {
            char text[128] = {};
            GetMenuStringA(menu, 0x10, text, sizeof text, MF_BYCOMMAND);
            menuItem = utf8FromAnsi(text);
        }
        DWORD_PTR icon = 0;
        SendMessageTimeoutW(window, WM_GETICON, ICON_BIG, 0, SMTO_NORMAL, 5000, &icon);
        hasIcon = icon != 0;
        pressButton(box, IDOK);
        return true;
    });
    EXPECT_EQ(0, run());
    const auto windows = m_driver.seen(kUpdateCaption);
    ASSERT_EQ(1u, windows.size());
    EXPECT_EQ("Inf&o concernant la mise à jour du Kestrix...", menuItem);
    EXPECT_TRUE(hasIcon);
    // The bound texts are empty once the window is initialised.
    for (const int id : {1001, 1002, 1004}) {
        SCOPED_TRACE(id);
        EXPECT_EQ("", windows[0].firstText(id));
    }
    EXPECT_EQ("Annuler", windows[0].firstText(IDCANCEL));
    bool explained = false;
    for (const auto &item : windows[0].first)
        explained =
            explained ||
            item.text ==
                "La version la plus récente pourra être  téléchargée à partir d'Internet et installée.";
    EXPECT_TRUE(explained);
}

TEST_F(EntryTest, SecondCallWhileTheWindowIsOpenIsRefused)
{
    m_process.mode = 2;
    int32_t nested = -1;
    int32_t concurrent = -1;
    m_process.onOperationMode = [&] { nested = m_library.entry()(&m_process); };
    m_driver.on(kBoxCaption, [&](HWND box, const SeenDialog &) {
        concurrent = m_library.entry()(&m_process);
        pressButton(box, IDOK);
        return true;
    });
    EXPECT_EQ(0, run());
    EXPECT_EQ(0, nested);
    EXPECT_EQ(0, concurrent);
    EXPECT_EQ(1, m_process.operationModeCalls());
    EXPECT_EQ(1u, m_driver.seen(kUpdateCaption).size());
    // The window is free again afterwards.
    m_process.onOperationMode = nullptr;
    DialogDriver driver;
    driver.press(kBoxCaption, IDOK);
    EXPECT_EQ(0, run(driver));
    EXPECT_EQ(2, m_process.operationModeCalls());
}
