// The morvel module as a host sees it: exports and the service query.
#include "morvellibrary.h"

#include <algorithm>
#include <vector>

namespace
{

const char *const kExports[] = {
    "GetString",         "GetXppString",       "GetStringAlloc",    "GetXppStringAlloc", "GetTextAlloc",
    "GetTextXppAlloc",   "GetFileAlloc",       "GetFileXppAlloc",   "DisplayMessage",    "GetIconRes",
    "GetMenuRes",        "GetBitmapRes",       "GetDIBRes",         "GetMappedRes",      "GetAccelRes",
    "GetCursorRes",      "GetImageListRes",    "GetPropSheetRes",   "GetDialogRes",      "GetLockedDialog",
    "ExecDialogRes",     "GetBinaryRes",       "GetXppBinaryRes",   "CheckRegPath",      "QueryRegEntry",
    "SetRegEntry",       "DeleteRegEntry",     "GetServiceInfo",    "EnableTools",       "EnableControls",
    "LimitControls",     "InitListBox",        "InitComboBox",      "InitComboBoxEx",    "InitFontSizes",
    "InitFontNames",     "InitFontNamesEx",    "FindFontEntry",     "SelectComboData",   "GetComboData",
    "CenterWinScreen",   "GetSysFontSize",     "GetXPPFontSize",    "GetColorDepth",     "SetButtonType",
    "InitUserColors",    "GetDropTagInfo",     "DrawBitmap",        "CreateXppBitmap",   "GetFileFromPath",
    "CheckTitleChar",    "CheckTitleValidity", "SetFileValidChars", "CheckPathSlash",    "IsPathAbsolute",
    "MakePathRelative",  "IsDirectoryEmpty",   "DeleteDirRecurse",  "CreateFileDrawer",  "EnsureUniqueFile",
    "ProcessPathString", "SearchForString",    "OpenFileRequest",   "OpenPathRequest",   "OpenColorRequest",
};

// Names in the module's export directory.
std::vector<std::string> exportedNames(HMODULE module)
{
    std::vector<std::string> names;
    auto *base = reinterpret_cast<const unsigned char *>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (!directory.VirtualAddress)
        return names;
    const auto *exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + directory.VirtualAddress);
    const auto *nameRvas = reinterpret_cast<const DWORD *>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char *>(base + nameRvas[i]));
    return names;
}

} // namespace

TEST_F(MorvelTest, The65NamesResolve)
{
    static_assert(std::size(kExports) == 65, "the library exports 65 functions");
    for (const char *name : kExports) {
        SCOPED_TRACE(name);
        EXPECT_NE(nullptr, reinterpret_cast<void *>(GetProcAddress(m_morvel.module(), name)));
    }
    std::vector<std::string> names = exportedNames(m_morvel.module());
    std::vector<std::string> expected(std::begin(kExports), std::end(kExports));
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);
}

TEST_F(MorvelTest, ServiceInfo)
{
    auto serviceInfo = MORVEL_FN(m_morvel, GetServiceInfo);
    const struct {
        DWORD code;
        LONG result;
        DWORD stored;
    } cases[] = {{1, 1, 2}, {2, 0, 0xdeadbeef}, {0, 0, 0xdeadbeef}, {3, 0, 0xdeadbeef}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        DWORD value = 0xdeadbeef;
        EXPECT_EQ(c.result, serviceInfo(c.code, &value));
        EXPECT_EQ(c.stored, value);
    }
    EXPECT_EQ(0, serviceInfo(1, nullptr));
}

TEST(MorvelModule, AttachesWithoutCom)
{
    // The library must leave the host's thread free to choose its COM model.
    MorvelLibrary morvel;
    ASSERT_NE(nullptr, morvel.module());
    const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(S_OK, result);
    if (SUCCEEDED(result))
        CoUninitialize();
}
