// Every dialog template of the library opens with its caption, size and
// controls, the library's window classes among them, and closes.
#include "hostwindowtest.h"

#include <map>
#include <string>

namespace
{

struct Template {
    int id;
    const char *caption; // Windows-1252
    int width, height;   // dialog units
    int controls;
    int rangeFields, colorControls, fontSizes, fontNames;
};

const Template kTemplates[] = {
    {4000, "Kennwort eingeben ..", 227, 72, 6, 0, 0, 0, 0},
    {4010, "Informationen", 241, 120, 11, 0, 0, 0, 0},
    {4020, "Sicherheit", 212, 158, 10, 0, 0, 0, 0},
    {4030, "Allgemein", 212, 158, 10, 0, 0, 0, 0},
    {4040, "Fortschritt ..", 235, 54, 3, 0, 0, 0, 0},
    {4050, "Vorlagen - Assistent", 365, 207, 5, 0, 0, 0, 0},
    {4070, "Suchen", 377, 238, 20, 0, 0, 0, 0},
    {4090, "Raster", 212, 158, 12, 2, 1, 0, 0},
    {4100, "Umriss", 217, 219, 17, 3, 2, 0, 0},
    {4200, "Hintergrund", 217, 219, 23, 2, 2, 0, 0},
    {4300, "Steuerung", 217, 219, 13, 1, 0, 0, 0},
    {4400, "xPalden", 217, 219, 7, 1, 0, 0, 0},
    {4500, "Fenster", 217, 219, 21, 3, 1, 0, 0},
    {4600, "Suchbegriffe", 217, 219, 8, 0, 0, 0, 0},
    {4700, "Datei", 217, 219, 17, 1, 0, 0, 0},
    {4800, "Absatz", 217, 219, 17, 3, 0, 0, 0},
    {4900, "Text", 217, 219, 24, 2, 1, 0, 0},
    {5000, "Audio", 217, 219, 7, 0, 0, 0, 0},
    {5100, "Sprachen", 217, 219, 5, 0, 0, 0, 0},
    {5200, "Schrift", 217, 219, 27, 3, 1, 1, 1},
    {5300, "Datei", 217, 219, 11, 2, 0, 0, 0},
    {5400, "Datei", 217, 219, 8, 1, 0, 0, 0},
    {5600, "Effekte", 217, 219, 16, 1, 0, 0, 0},
    {5700, "Eigenschaften", 217, 219, 11, 2, 0, 0, 0},
    {5800, "Eigenschaften", 217, 219, 11, 1, 1, 0, 0},
    {5900, "Informationen", 217, 219, 14, 0, 0, 0, 0},
    {6000, "Eigenschaften", 217, 219, 10, 2, 0, 0, 0},
    {6050, "Schriften", 217, 219, 2, 0, 0, 0, 0},
    {6100, "Datei", 217, 219, 5, 0, 0, 0, 0},
    {6200, "Eigenschaften", 217, 219, 18, 3, 1, 0, 0},
    {6300, "Ebenen", 217, 219, 4, 0, 0, 0, 0},
    {6400, "Eigenschaften", 217, 219, 21, 3, 1, 0, 0},
    {6500, "Weiterleitung", 217, 219, 11, 1, 0, 0, 0},
    {6600, "Eigenschaften", 217, 219, 3, 0, 0, 0, 0},
    {6700, "Eigenschaften", 217, 219, 8, 1, 0, 0, 0},
    {6800, "Eigenschaften", 217, 219, 10, 0, 0, 0, 0},
    {6900, "Eigenschaften", 217, 219, 13, 1, 0, 0, 0},
    {7000, "", 350, 160, 10, 0, 0, 0, 0},
    {7100, "Elementvorlagen", 180, 216, 4, 0, 0, 0, 0},
    {7200, "", 206, 122, 5, 0, 0, 0, 0},
    {7220, "Vorlagen", 212, 158, 9, 0, 0, 0, 0},
    {7230, "Einbetten", 212, 158, 7, 0, 0, 0, 0},
    {7300,
     "Sonderzeichen einf\xfc"
     "gen",
     412, 120, 6, 0, 0, 0, 0},
    {7500, "1. Festlegen des Zielverzeichnisses", 322, 158, 8, 0, 0, 0, 0},
    {7510, "1. Festlegen des Zielverzeichnisses", 322, 158, 7, 0, 0, 0, 0},
    {7520, "2. Liste der Dateien erstellen ..", 322, 158, 3, 0, 0, 0, 0},
    {7580,
     "5. Brennen der Pr\xe4"
     "sentation ..",
     322, 158, 3, 0, 0, 0, 0},
    {7600,
     "Neue Ebene einf\xfc"
     "gen ...",
     227, 92, 8, 0, 0, 0, 0},
};

INT_PTR CALLBACK quietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

LRESULT CALLBACK fontNamesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// The font a template names: its point size and face.
std::pair<int, std::wstring> templateFont(const void *resource)
{
    const auto *words = static_cast<const WORD *>(resource);
    const auto *head = static_cast<const DLGTEMPLATE *>(resource);
    if (!(head->style & DS_SETFONT))
        return {0, L""};
    const WORD *p = words + sizeof(DLGTEMPLATE) / sizeof(WORD);
    for (int field = 0; field < 3; ++field) { // menu, class, title
        if (*p == 0xffff)
            p += 2;
        else {
            while (*p)
                ++p;
            ++p;
        }
    }
    const int points = *p++;
    return {points, std::wstring(reinterpret_cast<const wchar_t *>(p))};
}

// The dialogs open on a host window of their own.
class DialogTest : public HostWindowTest
{
  protected:
    DialogTest() : HostWindowTest(WS_OVERLAPPEDWINDOW, 800, 600) {}
    void SetUp() override
    {
        HostWindowTest::SetUp();
        // The host registers "xFontNames" itself, for every module's dialogs.
        WNDCLASSA fontNames = {};
        fontNames.style = CS_GLOBALCLASS;
        fontNames.lpfnWndProc = fontNamesProc;
        fontNames.hInstance = GetModuleHandleA(nullptr);
        fontNames.lpszClassName = "xFontNames";
        RegisterClassA(&fontNames);
    }
};

} // namespace

TEST_F(DialogTest, EveryTemplateOpensWithItsCaptionSizeAndControls)
{
    auto getDialogRes = MORVEL_FN(m_morvel, GetDialogRes);
    auto getLockedDialog = MORVEL_FN(m_morvel, GetLockedDialog);
    static_assert(std::size(kTemplates) == 48, "48 templates");
    int rangeFields = 0, colorControls = 0;
    for (const Template &t : kTemplates) {
        SCOPED_TRACE(t.id);
        const auto *resource = static_cast<const DLGTEMPLATE *>(getLockedDialog(MAKEINTRESOURCEA(t.id)));
        ASSERT_NE(nullptr, resource);
        EXPECT_EQ(t.controls, resource->cdit);
        EXPECT_EQ(t.width, resource->cx);
        EXPECT_EQ(t.height, resource->cy);
        const auto font = templateFont(resource);
        EXPECT_EQ(8, font.first);
        EXPECT_TRUE(font.second == L"MS Sans Serif");

        HWND dialog = getDialogRes(parent(), MAKEINTRESOURCEA(t.id), quietDialog, 0);
        ASSERT_NE(nullptr, dialog);
        wchar_t caption[128] = {}, expectedCaption[128] = {};
        GetWindowTextW(dialog, caption, 128);
        MultiByteToWideChar(1252, 0, t.caption, -1, expectedCaption, 128);
        EXPECT_TRUE(std::wstring(expectedCaption) == caption) << t.caption;
        RECT expected = {0, 0, t.width, t.height};
        MapDialogRect(dialog, &expected);
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(expected.right, client.right);
        EXPECT_EQ(expected.bottom, client.bottom);

        std::map<std::string, int> classes;
        int controls = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char name[64] = {};
            GetClassNameA(child, name, sizeof name);
            ++classes[name];
            ++controls;
        }
        EXPECT_EQ(t.controls, controls);
        EXPECT_EQ(t.rangeFields, classes["xRangeField"]);
        EXPECT_EQ(t.colorControls, classes["xColorControl"]);
        EXPECT_EQ(t.fontSizes, classes["xFontSize"]);
        EXPECT_EQ(t.fontNames, classes["xFontNames"]);
        rangeFields += classes["xRangeField"];
        colorControls += classes["xColorControl"];
        EXPECT_TRUE(DestroyWindow(dialog));
    }
    EXPECT_EQ(39, rangeFields);
    EXPECT_EQ(11, colorControls);
}
