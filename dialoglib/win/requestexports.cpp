// File, folder and colour requesters on the system's common dialogs.
#define MORVEL_BUILDING
#include "morvel.h"
#include "morvelmodule.h"
#include "morvelrequesttable.h"
#include "vellum.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include <cstddef>

// The open-file description without the places bar: 76 bytes in the 32-bit ABI.
static const DWORD kOpenFileSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == (sizeof(void *) == 4 ? 76 : 136),
              "the 76-byte open-file description");

namespace
{

const size_t kArea = MorvelRequestTable::kAreaSize;
const DWORD kFolderBlock = MAX_PATH;

// The request's remembered values, below HKEY_CURRENT_USER in the library's subkey.
class RememberedValues
{
  public:
    explicit RememberedValues(REGSAM access, bool create)
    {
        const std::string key = morvelRegistryKey();
        const LONG status = create
                                ? RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr,
                                                  REG_OPTION_NON_VOLATILE, access, nullptr, &m_key, nullptr)
                                : RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, access, &m_key);
        if (status != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RememberedValues()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    RememberedValues(const RememberedValues &) = delete;
    RememberedValues &operator=(const RememberedValues &) = delete;

    bool read(const char *name, void *buffer, DWORD size) const
    {
        return m_key && RegQueryValueExA(m_key, name, nullptr, nullptr, static_cast<BYTE *>(buffer), &size) ==
                            ERROR_SUCCESS;
    }
    void write(const char *name, DWORD type, const void *data, DWORD size) const
    {
        if (m_key)
            RegSetValueExA(m_key, name, 0, type, static_cast<const BYTE *>(data), size);
    }

  private:
    HKEY m_key = nullptr;
};

// The user's custom colours of the colour requester, kept for the process.
COLORREF s_customColors[16] = {
    0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff,
    0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff, 0xffffff,
};
CHOOSECOLORA s_chooseColor;

} // namespace

MORVEL_API void *WINAPI OpenFileRequest(HWND owner, LONG id, LPCSTR initialName)
{
    const MorvelRequestTable::Row *row = MorvelRequestTable::find(id);
    if (!row)
        return nullptr;
    auto *block = static_cast<char *>(OwnAllocMem(4 * kArea));
    if (!block)
        return nullptr;
    memset(block, 0, 4 * kArea);
    char *file = block;
    char *filters = block + kArea;
    char *title = block + 2 * kArea;
    char *folder = block + 3 * kArea;

    std::vector<std::string> texts;
    for (const auto &filter : row->filters) {
        texts.push_back(morvelString(filter.description));
        texts.push_back(morvelString(filter.pattern));
    }
    std::string list;
    if (!MorvelRequestTable::filterList(texts, list)) {
        OwnFreeMem(block);
        return nullptr;
    }
    memcpy(filters, list.data(), list.size());
    const std::string titleText = morvelString(row->title).substr(0, kArea - 1);
    memcpy(title, titleText.c_str(), titleText.size() + 1);

    unsigned char remembered = 0;
    bool hasFilter = false;
    {
        RememberedValues values(KEY_QUERY_VALUE, false);
        if (!values.read(row->folderValue, folder, kArea - 1))
            folder[0] = 0;
        hasFilter = values.read(row->filterValue, &remembered, 1);
    }

    OPENFILENAMEA request = {};
    request.lStructSize = kOpenFileSize;
    request.hwndOwner = owner;
    request.lpstrFilter = filters;
    request.nFilterIndex = MorvelRequestTable::startFilter(*row, hasFilter, remembered);
    request.lpstrFile = file;
    request.nMaxFile = kArea;
    request.lpstrInitialDir = folder[0] ? folder : nullptr;
    request.lpstrTitle = title;
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;

    BOOL chosen = FALSE;
    std::string extension;
    if (!row->save) {
        request.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameA(&request);
    } else {
        request.Flags |= OFN_OVERWRITEPROMPT;
        extension = MorvelRequestTable::defaultExtension(texts.size() > 1 ? texts[1] : std::string());
        request.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
        const std::string name = MorvelRequestTable::initialSaveName(initialName, row->stripExtension);
        memcpy(file, name.c_str(), name.size() + 1);
        chosen = GetSaveFileNameA(&request);
    }
    if (!chosen) {
        OwnFreeMem(block);
        return nullptr;
    }

    const unsigned char index = static_cast<unsigned char>(request.nFilterIndex);
    const std::string chosenFolder = MorvelRequestTable::folderOfChoice(file, request.nFileOffset);
    // Made when missing, so that a fresh profile remembers too.
    RememberedValues values(KEY_SET_VALUE, true);
    values.write(row->filterValue, REG_BINARY, &index, 1);
    values.write(row->folderValue, REG_SZ, chosenFolder.c_str(), static_cast<DWORD>(chosenFolder.size() + 1));
    return block;
}

MORVEL_API void *WINAPI OpenPathRequest(HWND owner, UINT titleId)
{
    auto *block = static_cast<char *>(OwnAllocMem(kFolderBlock));
    if (!block)
        return nullptr;
    block[0] = 0;
    const std::string title = titleId ? morvelString(titleId) : std::string();

    // The folder browser needs COM on this thread; only this call holds it.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pszDisplayName = block;
    browse.lpszTitle = titleId ? title.c_str() : nullptr;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    bool ok = false;
    if (chosen) {
        ok = SHGetPathFromIDListA(chosen, block) != FALSE;
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    if (!ok) {
        OwnFreeMem(block);
        return nullptr;
    }
    return block;
}

MORVEL_API DWORD WINAPI OpenColorRequest(HWND owner, DWORD colour)
{
    s_chooseColor.lStructSize = sizeof s_chooseColor;
    s_chooseColor.hwndOwner = owner;
    s_chooseColor.rgbResult = morvelSwapRedBlue(colour) & 0x00ffffffu;
    s_chooseColor.lpCustColors = s_customColors;
    s_chooseColor.Flags = CC_RGBINIT | CC_FULLOPEN | CC_SHOWHELP;
    if (!ChooseColorA(&s_chooseColor))
        return colour;
    return (colour & 0xff000000u) | (morvelSwapRedBlue(s_chooseColor.rgbResult) & 0x00ffffffu);
}
