// Control, font and bitmap exports on real controls of a host window.
#include "hostwindowtest.h"

#include <cstring>
#include <string>
#include <vector>

namespace
{

const int kList = 101, kCombo = 102, kEdit = 103, kEdit2 = 104, kCheck = 105, kSizes = 106;

// A host window with the standard controls the exports fill.
class ControlHost : public HostWindowTest
{
  protected:
    ControlHost() : HostWindowTest(WS_OVERLAPPEDWINDOW, 400, 300) {}
    void SetUp() override
    {
        HostWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        m_window = parent();
        m_list = child("LISTBOX", LBS_NOTIFY, 150, 200, kList);
        m_combo = child("COMBOBOX", CBS_DROPDOWNLIST, 150, 200, kCombo);
        m_edit = child("EDIT", 0, 150, 20, kEdit);
        child("EDIT", 0, 150, 20, kEdit2);
        child("BUTTON", BS_AUTOCHECKBOX, 150, 20, kCheck);
        m_sizes = child("COMBOBOX", CBS_DROPDOWN, 150, 200, kSizes);
    }

    // Texts and data of a list or combo box, as "text=datum;".
    std::string entries(HWND box, bool combo) const
    {
        std::string out;
        const LRESULT count = SendMessageA(box, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[256] = {};
            SendMessageA(box, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            const LRESULT datum = SendMessageA(box, combo ? CB_GETITEMDATA : LB_GETITEMDATA, i, 0);
            out += std::string(text) + "=" + std::to_string(static_cast<long long>(datum)) + ";";
        }
        return out;
    }

    HWND m_window = nullptr;
    HWND m_list = nullptr;
    HWND m_combo = nullptr;
    HWND m_edit = nullptr;
    HWND m_sizes = nullptr;
};

std::vector<unsigned char> packed(uint32_t count, const std::string &bytes)
{
    std::vector<unsigned char> block(4 + bytes.size());
    memcpy(block.data(), &count, 4);
    memcpy(block.data() + 4, bytes.data(), bytes.size());
    return block;
}

} // namespace

TEST_F(ControlHost, ListBoxFromAPackedList)
{
    auto initListBox = MORVEL_FN(m_morvel, InitListBox);
    const std::string texts("eins\0zwei\0drei\0", 15);
    const DWORD data[] = {7, 8, 9};
    EXPECT_EQ(3, initListBox(m_list, 0, packed(15, texts).data(), data));
    EXPECT_EQ("eins=7;zwei=8;drei=9;", entries(m_list, false));
    SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(3, initListBox(m_window, kList, packed(15, texts).data(), nullptr));
    EXPECT_EQ("eins=0;zwei=0;drei=0;", entries(m_list, false));
    // The first text is taken whatever the count says, once the count holds one.
    for (uint32_t count : {3u, 5u}) {
        SCOPED_TRACE(count);
        SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
        EXPECT_EQ(1, initListBox(m_list, 0, packed(count, texts).data(), data));
        EXPECT_EQ("eins=7;", entries(m_list, false));
    }
    // A count of 0 holds nothing: neither what follows it nor the bytes past a bare count are read.
    for (const std::string &after : {texts, std::string()}) {
        SCOPED_TRACE(after.size());
        SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
        EXPECT_EQ(0, initListBox(m_list, 0, packed(0, after).data(), data));
        EXPECT_EQ("", entries(m_list, false));
    }
    SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(0, initListBox(m_list, 0, nullptr, data));
    EXPECT_EQ("", entries(m_list, false));
}

TEST_F(ControlHost, ListFillsNeedAWindow)
{
    auto initListBox = MORVEL_FN(m_morvel, InitListBox);
    auto initComboBox = MORVEL_FN(m_morvel, InitComboBox);
    auto initComboBoxEx = MORVEL_FN(m_morvel, InitComboBoxEx);
    HWND gone = child("LISTBOX", 0, 10, 10, 0);
    ASSERT_TRUE(DestroyWindow(gone));
    const auto texts = packed(10, std::string("eins\0zwei\0", 10));
    const auto withData = packed(14, std::string("eins\0\x01\0zwei\0\x02\0", 14));
    const struct {
        const char *name;
        HWND window;
        int controlId;
    } targets[] = {{"destroyed window", gone, 0}, {"no such control", m_window, 999}};
    for (const auto &t : targets) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(0, initListBox(t.window, t.controlId, texts.data(), nullptr));
        EXPECT_EQ(0, initComboBox(t.window, t.controlId, texts.data()));
        EXPECT_EQ(0, initComboBoxEx(t.window, t.controlId, withData.data()));
    }
}

TEST_F(ControlHost, ComboBoxesFromPackedLists)
{
    auto initComboBox = MORVEL_FN(m_morvel, InitComboBox);
    auto initComboBoxEx = MORVEL_FN(m_morvel, InitComboBoxEx);
    EXPECT_EQ(2, initComboBox(m_window, kCombo, packed(10, std::string("eins\0zwei\0", 10)).data()));
    EXPECT_EQ("eins=0;zwei=0;", entries(m_combo, true));
    SendMessageA(m_combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(1, initComboBox(m_combo, 0, packed(2, std::string("eins\0zwei\0", 10)).data()))
        << "the first text is taken whatever the count says";
    EXPECT_EQ("eins=0;", entries(m_combo, true));
    SendMessageA(m_combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(0, initComboBox(m_combo, 0, packed(0, std::string()).data()));
    EXPECT_EQ("", entries(m_combo, true));

    const std::string withData("minus\0\xfe\xff"
                               "plus\0\x2c\x01",
                               15);
    EXPECT_EQ(2, initComboBoxEx(m_combo, 0, packed(15, withData).data()));
    EXPECT_EQ("minus=-2;plus=300;", entries(m_combo, true));
    EXPECT_EQ(0, initComboBoxEx(m_combo, 0, nullptr));
}

TEST_F(ControlHost, ListsFromTheLibrarysRawData)
{
    auto getXppBinaryRes = MORVEL_FN(m_morvel, GetXppBinaryRes);
    auto initListBox = MORVEL_FN(m_morvel, InitListBox);
    auto initComboBoxEx = MORVEL_FN(m_morvel, InitComboBoxEx);

    void *colours = getXppBinaryRes(MAKEINTRESOURCEA(20095));
    ASSERT_NE(nullptr, colours);
    EXPECT_EQ(35, initListBox(m_list, 0, colours, nullptr));
    OwnFreeMem(colours);
    char text[64] = {};
    SendMessageA(m_list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("automatisch", text);
    SendMessageA(m_list, LB_GETTEXT, 4, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("gr\xfcn", text);
    SendMessageA(m_list, LB_GETTEXT, 18, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("-", text);
    SendMessageA(m_list, LB_GETTEXT, 34, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("Benutzerfarbe 16", text);

    const struct {
        UINT id;
        const char *first;
        LONG count;
    } lists[] = {
        {20271, "sehr langsam=1;langsam=3;normal=5;schnell=15;sehr schnell=25;", 5},
        {20273, "<kein Effekt>=32767;", 10},
        {20274, "<keine Bewegung>=32767;", 7},
    };
    for (const auto &l : lists) {
        SCOPED_TRACE(l.id);
        SendMessageA(m_combo, CB_RESETCONTENT, 0, 0);
        void *block = getXppBinaryRes(MAKEINTRESOURCEA(l.id));
        ASSERT_NE(nullptr, block);
        EXPECT_EQ(l.count, initComboBoxEx(m_window, kCombo, block));
        OwnFreeMem(block);
        EXPECT_EQ(0u, entries(m_combo, true).find(l.first));
    }
}

TEST_F(ControlHost, FontSizesAndNames)
{
    auto initFontSizes = MORVEL_FN(m_morvel, InitFontSizes);
    auto initFontNames = MORVEL_FN(m_morvel, InitFontNames);
    auto initFontNamesEx = MORVEL_FN(m_morvel, InitFontNamesEx);
    EXPECT_EQ(16, initFontSizes(m_window, kSizes));
    EXPECT_EQ("8=8;9=9;10=10;11=11;12=12;14=14;16=16;18=18;20=20;22=22;24=24;26=26;28=28;36=36;48=48;72=72;",
              entries(m_sizes, true));

    const LONG names = initFontNames(m_combo, 0, TRUE);
    ASSERT_GE(names, 2) << "no TrueType font found: install fonts-dejavu-core";
    char text[64] = {};
    SendMessageA(m_combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("-- keine Schriftart --", text);
    EXPECT_EQ(names, SendMessageA(m_combo, CB_GETCOUNT, 0, 0));

    const LONG scripts = initFontNamesEx(m_list, 0);
    EXPECT_GE(scripts, 1);
    for (LONG i = 0; i < scripts; ++i) {
        char entry[128] = {};
        SendMessageA(m_list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
        const std::string s = entry;
        EXPECT_NE(std::string::npos, s.find(" (")) << s;
        EXPECT_EQ(')', s.back()) << s;
    }
    EXPECT_EQ(0, initFontNamesEx(m_edit, 0)) << "neither list nor combo box";
}

TEST_F(ControlHost, FindFontEntry)
{
    auto findFontEntry = MORVEL_FN(m_morvel, FindFontEntry);
    EXPECT_EQ(-1, findFontEntry(m_list, "Arial", 0)) << "no entries";
    const struct {
        const char *text;
        LPARAM charset;
    } fonts[] = {{"Arial (Western)", 0}, {"Arial Black (Western)", 0}, {"Arial (Greek)", 161}, {"Arial", 0}};
    for (const auto &f : fonts) {
        const LRESULT index = SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.text));
        SendMessageA(m_list, LB_SETITEMDATA, index, f.charset);
    }
    const struct {
        const char *face;
        LONG charset;
        LONG index;
    } cases[] = {{"Arial", 0, 0},    {"ARIAL", 0, 0},    {"Arial", 161, 2}, {"Arial Black", 0, 1},
                 {"Arial", 238, -1}, {"Courier", 0, -1}, {"Arial B", 0, -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.charset));
        EXPECT_EQ(c.index, findFontEntry(m_list, c.face, c.charset));
    }
    EXPECT_EQ(-1, findFontEntry(m_edit, "Arial", 0));
}

TEST_F(ControlHost, ComboData)
{
    auto selectComboData = MORVEL_FN(m_morvel, SelectComboData);
    auto getComboData = MORVEL_FN(m_morvel, GetComboData);
    for (LPARAM datum : {10, 20, 30, 20}) {
        const LRESULT index = SendMessageA(m_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
        SendMessageA(m_combo, CB_SETITEMDATA, index, datum);
    }
    EXPECT_EQ(0, selectComboData(m_window, kCombo, 20));
    EXPECT_EQ(1, SendMessageA(m_combo, CB_GETCURSEL, 0, 0));
    ASSERT_EQ(1u, notices().size());
    EXPECT_EQ(kCombo, notices()[0].id);
    EXPECT_EQ(CBN_SELCHANGE, notices()[0].code);
    EXPECT_EQ(m_combo, notices()[0].from);

    EXPECT_EQ(0, selectComboData(m_window, kCombo, 99));
    EXPECT_EQ(1, SendMessageA(m_combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(1u, notices().size());
    EXPECT_EQ(static_cast<LONG>(0x80004005), selectComboData(m_window, 4711, 20));

    LONG index = -5;
    EXPECT_EQ(0, getComboData(m_combo, 30, &index));
    EXPECT_EQ(2, index);
    EXPECT_EQ(0, getComboData(m_combo, 99, &index));
    EXPECT_EQ(0, index);
    EXPECT_EQ(static_cast<LONG>(0x80004005), getComboData(nullptr, 30, &index));
}

TEST_F(ControlHost, EnableLimitAndButtonType)
{
    auto enableControls = MORVEL_FN(m_morvel, EnableControls);
    auto limitControls = MORVEL_FN(m_morvel, LimitControls);
    auto setButtonType = MORVEL_FN(m_morvel, SetButtonType);
    auto enableTools = MORVEL_FN(m_morvel, EnableTools);

    const int ids[] = {kEdit, kEdit2, 0};
    enableControls(m_window, FALSE, ids);
    EXPECT_FALSE(IsWindowEnabled(m_edit));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_window, kEdit2)));
    EXPECT_TRUE(IsWindowEnabled(m_list));
    enableControls(m_window, TRUE, ids);
    EXPECT_TRUE(IsWindowEnabled(m_edit));

    limitControls(m_window, 5, ids);
    EXPECT_EQ(5, SendMessageA(m_edit, EM_GETLIMITTEXT, 0, 0));
    EXPECT_EQ(5, SendDlgItemMessageA(m_window, kEdit2, EM_GETLIMITTEXT, 0, 0));

    EXPECT_EQ(1, setButtonType(m_window, kCheck, BS_RADIOBUTTON, BST_CHECKED));
    HWND check = GetDlgItem(m_window, kCheck);
    EXPECT_EQ(static_cast<LONG>(BS_RADIOBUTTON), GetWindowLongA(check, GWL_STYLE) & 7);
    EXPECT_EQ(BST_CHECKED, SendMessageA(check, BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, setButtonType(m_window, 4711, BS_RADIOBUTTON, BST_CHECKED));

    HWND toolbar = CreateWindowA(TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 30, m_window,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, toolbar);
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[2] = {};
    buttons[0] = {I_IMAGENONE, 201, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
    buttons[1] = {I_IMAGENONE, 202, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0};
    SendMessageA(toolbar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(buttons));
    const WORD tools[] = {201, 0};
    EXPECT_EQ(1, enableTools(toolbar, FALSE, tools));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, 201, 0));
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, 202, 0));
    EXPECT_EQ(0, enableTools(nullptr, TRUE, tools));
}

TEST_F(MorvelTest, CenterWinScreen)
{
    auto centerWinScreen = MORVEL_FN(m_morvel, CenterWinScreen);
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND big = CreateWindowA("STATIC", "", WS_POPUP, 50, 50, 600, 400, nullptr, nullptr, nullptr, nullptr);
    HWND narrow = CreateWindowA("STATIC", "", WS_POPUP, 50, 50, 100, 400, nullptr, nullptr, nullptr, nullptr);
    centerWinScreen(window, narrow);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(10, rect.left) << "a narrower reference leaves the window";
    EXPECT_EQ(10, rect.top);
    centerWinScreen(window, big);
    GetWindowRect(window, &rect);
    EXPECT_EQ(200, rect.left);
    EXPECT_EQ(150, rect.top);
    EXPECT_EQ(200, rect.right - rect.left);
    EXPECT_EQ(100, rect.bottom - rect.top);
    DestroyWindow(window);
    DestroyWindow(big);
    DestroyWindow(narrow);
}

TEST_F(MorvelTest, FontSizeConversions)
{
    auto getSysFontSize = MORVEL_FN(m_morvel, GetSysFontSize);
    auto getXPPFontSize = MORVEL_FN(m_morvel, GetXPPFontSize);
    LONG record[30] = {};
    record[13] = 2; // field 14
    record[24] = 3; // field 25
    LONG result = 0;
    EXPECT_EQ(24, getSysFontSize(record, 12, &result));
    EXPECT_EQ(24, result);
    EXPECT_EQ(6, getXPPFontSize(record, 12, &result));
    EXPECT_EQ(6, result);
    record[13] = 0;
    EXPECT_EQ(0, getSysFontSize(record, 12, &result)) << "no division by zero";
}

TEST_F(MorvelTest, ColorDepthOfTheScreen)
{
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(bits, MORVEL_FN(m_morvel, GetColorDepth)());
}

TEST_F(MorvelTest, DropTags)
{
    auto getDropTagInfo = MORVEL_FN(m_morvel, GetDropTagInfo);
    const struct {
        const char *name;
        const char *tag;
    } cases[] = {{"photo.JPG", "IMAG"},    {"C:\\texte\\brief.rtf", "TEXT"},
                 {"film.Mpeg", "MOVI"},    {"abc.qt", "MOVI"},
                 {"noextension", nullptr}, {"show.xpp", nullptr},
                 {"a.JPG", nullptr},       {"a.qt", nullptr}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const void *record = getDropTagInfo(c.name);
        if (!c.tag)
            EXPECT_EQ(nullptr, record);
        else {
            ASSERT_NE(nullptr, record);
            EXPECT_EQ(bytesOf(c.tag, 4), bytesOf(record, 4));
        }
    }
    // The "TEXT" record: values 0x102, 0x16, 0x17, two extensions.
    EXPECT_EQ(bytesOf("TEXT\x02\x01\0\0\x16\0\0\0\x17\0\0\0\x02txt\0rtf\0", 25),
              bytesOf(getDropTagInfo("brief.txt"), 25));
}

TEST_F(ControlHost, DrawBitmapStretchesOverTheClientArea)
{
    auto drawBitmap = MORVEL_FN(m_morvel, DrawBitmap);
    const COLORREF pixels[2] = {0x000000ff, 0x00ff0000}; // blue, red: a 32-bit DIB pixel is 0x00RRGGBB
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, pixels, &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(nullptr, bitmap);
    // Pixels are read back from the screen, so the host window is shown here.
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
    HWND canvas = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 200, 100, 40, 20, m_window, nullptr,
                                nullptr, nullptr);
    UpdateWindow(canvas);
    pumpPending();
    EXPECT_EQ(1, drawBitmap(canvas, bitmap, nullptr));
    HDC dc = GetDC(canvas);
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(dc, 5, 10));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 35, 10));
    ReleaseDC(canvas, dc);
    DeleteObject(bitmap);
    EXPECT_EQ(0, drawBitmap(canvas, nullptr, nullptr));
}

namespace
{

// A packed DIB: header, colour table or masks, then rows of the given bytes.
std::vector<unsigned char> packedDib(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                                     uint32_t used, const std::vector<unsigned char> &table,
                                     size_t imageBytes)
{
    BITMAPINFOHEADER header = {sizeof header, width, height, 1, bits, compression, 0, 0, 0, used, 0};
    std::vector<unsigned char> dib(sizeof header);
    memcpy(dib.data(), &header, sizeof header);
    dib.insert(dib.end(), table.begin(), table.end());
    for (size_t i = 0; i < imageBytes; ++i)
        dib.push_back(static_cast<unsigned char>(i * 37));
    return dib;
}

uint32_t u32At(const void *block, size_t offset)
{
    uint32_t value;
    memcpy(&value, static_cast<const char *>(block) + offset, 4);
    return value;
}

} // namespace

TEST_F(MorvelTest, CreateXppBitmapMakesABitmapFile)
{
    auto createXppBitmap = MORVEL_FN(m_morvel, CreateXppBitmap);
    const std::vector<unsigned char> twoColours = {0, 0, 0, 0, 255, 255, 255, 0};
    const std::vector<unsigned char> masks565 = {0x00, 0xf8, 0, 0, 0xe0, 0x07, 0, 0, 0x1f, 0, 0, 0};
    const struct {
        const char *name;
        std::vector<unsigned char> dib;
        uint32_t bitsOffset;
        int32_t width, height;
    } cases[] = {
        {"8 bits, two colours used", packedDib(3, 2, 8, BI_RGB, 2, twoColours, 8), 14 + 40 + 8, 3, 2},
        {"24 bits, top-down", packedDib(3, -2, 24, BI_RGB, 0, {}, 24), 14 + 40, 3, 2},
        {"16 bits with colour masks", packedDib(2, 2, 16, BI_BITFIELDS, 0, masks565, 8), 14 + 40 + 12, 2, 2},
        {"1 bit", packedDib(9, 2, 1, BI_RGB, 0, twoColours, 8), 14 + 40 + 8, 9, 2},
    };
    ScratchFolder folder("morvel");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        void *block = createXppBitmap(c.dib.data());
        ASSERT_NE(nullptr, block);
        const uint32_t fileSize = static_cast<uint32_t>(14 + c.dib.size());
        EXPECT_EQ(static_cast<LONG>(4 + fileSize), OwnMemSize(block));
        EXPECT_EQ(fileSize, u32At(block, 0)) << "the count is the file's size";
        const char *file = static_cast<const char *>(block) + 4;
        EXPECT_EQ("BM", std::string(file, 2));
        EXPECT_EQ(fileSize, u32At(file, 2));
        EXPECT_EQ(0u, u32At(file, 6));
        EXPECT_EQ(c.bitsOffset, u32At(file, 10));
        EXPECT_EQ(bytesOf(c.dib.data(), c.dib.size()), bytesOf(file + 14, c.dib.size()));

        // The system reads it as a bitmap file.
        ASSERT_TRUE(folder.write("picture.bmp", std::string(file, fileSize)));
        HBITMAP loaded =
            static_cast<HBITMAP>(LoadImageA(nullptr, folder.file("picture.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                                            LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_NE(nullptr, loaded);
        BITMAP info = {};
        GetObjectA(loaded, sizeof info, &info);
        EXPECT_EQ(c.width, info.bmWidth);
        EXPECT_EQ(c.height, info.bmHeight);
        DeleteObject(loaded);
        OwnFreeMem(block);
    }
    std::vector<unsigned char> core = packedDib(3, 2, 8, BI_RGB, 0, {}, 8);
    core[0] = 12;
    EXPECT_EQ(nullptr, createXppBitmap(core.data())) << "an old core header";
    EXPECT_EQ(nullptr, createXppBitmap(nullptr));
}
