// File, folder and colour requesters, driven from inside the test while
// they run: remembered folder and filter, save names, cancel.
#include "dialogdriver.h"
#include "morvellibrary.h"
#include "settingskey.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <cstring>

namespace
{

// The file-name field of a file requester: the edit of the name combo box
// of the Explorer-style dialog, or the plain edit of the older one.
HWND fileNameField(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, cmb13);
    if (combo) {
        HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
        return edit ? edit : combo;
    }
    return GetDlgItem(dialog, edt1);
}

// The filter index shown (counted from 1).
int shownFilter(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, cmb1, CB_GETCURSEL, 0, 0)) + 1;
}

std::string shownFolder(HWND dialog)
{
    char folder[MAX_PATH] = {};
    SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
    return folder;
}

void chooseFilter(HWND dialog, int index)
{
    HWND combo = GetDlgItem(dialog, cmb1);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
    // As after a choice with the mouse: the selection ends with OK, then changes.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// Types a name into the requester and presses its OK button.
void enterName(HWND dialog, const std::string &name)
{
    SetWindowTextA(fileNameField(dialog), name.c_str());
    pressButton(dialog, IDOK);
}

std::string upper(std::string text)
{
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

struct Seen {
    std::string title;
    int filter = 0;
    std::string folder;
    std::string name;
};

// Records what the requester shows, then cancels it.
DialogDriver::Action lookAndCancel(Seen &seen)
{
    return [&seen](HWND dialog, int step) {
        if (step < 2)
            return false; // let the requester fill its fields
        seen.title = windowText(dialog);
        seen.filter = shownFilter(dialog);
        seen.folder = shownFolder(dialog);
        seen.name = windowText(fileNameField(dialog));
        pressButton(dialog, IDCANCEL);
        return true;
    };
}

class RequestTest : public MorvelTest
{
  protected:
    FreshSettings m_settings;
};

} // namespace

TEST_F(RequestTest, UnknownRequestShowsNoDialog)
{
    auto openFileRequest = MORVEL_FN(m_morvel, OpenFileRequest);
    for (LONG id : {0, 5, 16, -1}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(nullptr, openFileRequest(nullptr, id, nullptr));
    }
    EXPECT_EQ(nullptr, findThreadDialog());
}

TEST_F(RequestTest, FirstImageRequestStartsWithAllImagesAndCancelGivesNothing)
{
    auto openFileRequest = MORVEL_FN(m_morvel, OpenFileRequest);
    Seen seen;
    DialogDriver driver(lookAndCancel(seen));
    EXPECT_EQ(nullptr, openFileRequest(nullptr, 3, "ignored.bmp"));
    ASSERT_TRUE(driver.done());
    EXPECT_EQ("Lade Bilddatei", seen.title);
    EXPECT_EQ(7, seen.filter);
    EXPECT_EQ("", seen.name) << "an open request does not use the initial name";
    EXPECT_EQ("(missing)", m_settings.binary("ImageType"));
    EXPECT_EQ("(missing)", m_settings.text("ImagePath"));
}

TEST_F(RequestTest, ChosenFolderAndFilterAreRememberedPerRequest)
{
    auto openFileRequest = MORVEL_FN(m_morvel, OpenFileRequest);
    ScratchFolder folder("morvel");
    ASSERT_TRUE(CreateDirectoryA(folder.file("pics").c_str(), nullptr));
    ASSERT_TRUE(folder.write("pics\\photo.tif", "II*"));
    const std::string chosen = folder.file("pics\\photo.tif");

    void *block = nullptr;
    {
        DialogDriver driver([&](HWND dialog, int step) {
            if (step < 2)
                return false;
            chooseFilter(dialog, 6);
            enterName(dialog, chosen);
            return true;
        });
        block = openFileRequest(nullptr, 3, nullptr);
        ASSERT_TRUE(driver.done());
    }
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(2048, OwnMemSize(block));
    const char *areas = static_cast<const char *>(block);
    EXPECT_EQ(upper(chosen), upper(areas));
    EXPECT_EQ(bytesOf("Bitmap Bilder (*.bmp *.dib)\0*.bmp;*.dib\0GIF", 43), bytesOf(areas + 512, 43));
    EXPECT_STREQ("Lade Bilddatei", areas + 1024);
    OwnFreeMem(block);
    EXPECT_EQ(std::string("\x06", 1), m_settings.binary("ImageType"));
    EXPECT_EQ(upper(folder.file("pics")), upper(m_settings.text("ImagePath")));

    // The next image request starts there; other requests keep their own values.
    Seen seen;
    {
        DialogDriver driver(lookAndCancel(seen));
        EXPECT_EQ(nullptr, openFileRequest(nullptr, 3, nullptr));
        EXPECT_TRUE(driver.done());
    }
    EXPECT_EQ(6, seen.filter);
    EXPECT_EQ(upper(folder.file("pics")), upper(seen.folder));

    Seen movie;
    {
        DialogDriver driver(lookAndCancel(movie));
        EXPECT_EQ(nullptr, openFileRequest(nullptr, 4, nullptr));
        EXPECT_TRUE(driver.done());
    }
    EXPECT_EQ("Lade Filmdatei", movie.title);
    EXPECT_EQ(4, movie.filter);
}

TEST_F(RequestTest, SaveRequestsCutTheExtensionOfTheInitialName)
{
    auto openFileRequest = MORVEL_FN(m_morvel, OpenFileRequest);
    const struct {
        LONG id;
        const char *title;
        const char *shown;
    } cases[] = {{2, "Speichere gesamte Pr\xe4sentation", "show"}, {13, "Speichere Daten", "show.xpp"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.id);
        Seen seen;
        DialogDriver driver(lookAndCancel(seen));
        EXPECT_EQ(nullptr, openFileRequest(nullptr, c.id, "show.xpp"));
        ASSERT_TRUE(driver.done());
        EXPECT_EQ(c.shown, seen.name);
    }
}

TEST_F(RequestTest, SaveRequestAddsTheFirstPatternsExtension)
{
    auto openFileRequest = MORVEL_FN(m_morvel, OpenFileRequest);
    ScratchFolder folder("morvel");
    DialogDriver driver([&](HWND dialog, int step) {
        if (step < 2)
            return false;
        enterName(dialog, folder.file("element"));
        return true;
    });
    void *block = openFileRequest(nullptr, 12, nullptr);
    ASSERT_TRUE(driver.done());
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(upper(folder.file("element.xpe")), upper(static_cast<const char *>(block)));
    OwnFreeMem(block);
    EXPECT_EQ(std::string("\x01", 1), m_settings.binary("SaveType"));
    EXPECT_EQ(upper(folder.path()), upper(m_settings.text("SavePath")));
}

TEST_F(RequestTest, PathRequest)
{
    auto openPathRequest = MORVEL_FN(m_morvel, OpenPathRequest);
    ScratchFolder folder("morvel");
    std::string shownTitle;
    std::string selectedName;
    {
        DialogDriver driver([&](HWND dialog, int step) {
            if (step < 2)
                return false;
            HWND tree = nullptr;
            char text[256] = {};
            // The title is one of the browser's static texts.
            for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                GetWindowTextA(child, text, sizeof text);
                if (strstr(text, "xMORVEL"))
                    shownTitle = text;
                GetClassNameA(child, text, sizeof text);
                if (lstrcmpiA(text, WC_TREEVIEWA) == 0)
                    tree = child;
            }
            if (step == 2) {
                std::wstring wide(folder.path().begin(), folder.path().end());
                SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
                return false;
            }
            // Whatever the browser shows as chosen is what the request must hand back.
            if (!tree)
                return false;
            HTREEITEM selected = TreeView_GetSelection(tree);
            if (!selected && step >= 40) {
                // The browser did not move: choose its first folder instead.
                TreeView_SelectItem(tree, TreeView_GetRoot(tree));
                selected = TreeView_GetSelection(tree);
            }
            if (!selected)
                return false;
            TVITEMA item = {};
            item.mask = TVIF_TEXT;
            item.hItem = selected;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            text[0] = 0;
            TreeView_GetItem(tree, &item);
            // The browser may take a moment to move to the folder; after a while
            // whatever it shows will do.
            const std::string name = folder.path().substr(folder.path().find_last_of('\\') + 1);
            if (!text[0] || (upper(text) != upper(name) && step < 40))
                return false;
            selectedName = text;
            pressButton(dialog, IDOK);
            return true;
        });
        void *block = openPathRequest(nullptr, 20000);
        ASSERT_TRUE(driver.done());
        ASSERT_NE(nullptr, block);
        EXPECT_EQ(260, OwnMemSize(block));
        const std::string chosen = static_cast<const char *>(block);
        OwnFreeMem(block);
        const DWORD attributes = GetFileAttributesA(chosen.c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            << chosen;
        EXPECT_FALSE(selectedName.empty());
        EXPECT_EQ(upper(selectedName), upper(chosen.substr(chosen.find_last_of('\\') + 1)));
    }
    EXPECT_EQ("xMORVEL - Hinweis ..", shownTitle);
    {
        DialogDriver driver([](HWND dialog, int) {
            pressButton(dialog, IDCANCEL);
            return true;
        });
        EXPECT_EQ(nullptr, openPathRequest(nullptr, 0));
        EXPECT_TRUE(driver.done());
    }
    // COM was given back: the thread may still choose its model.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(S_OK, com);
    if (SUCCEEDED(com))
        CoUninitialize();
}

TEST_F(RequestTest, ColorRequest)
{
    auto openColorRequest = MORVEL_FN(m_morvel, OpenColorRequest);
    // The dialog starts on the colour given (its top byte aside); OK on it
    // and Cancel both answer the colour given.
    const struct {
        DWORD colour;
        int button;
        int red, green, blue;
    } cases[] = {
        {0x12ff0000u, IDOK, 255, 0, 0},
        {0x34123456u, IDCANCEL, 0x12, 0x34, 0x56},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button == IDOK ? "OK" : "Cancel");
        ShownColor shown;
        DialogDriver driver(answerColorDialog(shown, c.button));
        EXPECT_EQ(c.colour, openColorRequest(nullptr, c.colour));
        EXPECT_TRUE(driver.done());
        EXPECT_EQ(c.red, shown.red);
        EXPECT_EQ(c.green, shown.green);
        EXPECT_EQ(c.blue, shown.blue);
    }
}
