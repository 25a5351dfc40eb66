// Control, font and bitmap exports: the message traffic of standard
// controls done for the host.
#define MORVEL_BUILDING
#include "morvel.h"
#include "morvelbitmap.h"
#include "morveldroptags.h"
#include "morvelfontsize.h"
#include "morvelmodule.h"
#include "morvelpackedlist.h"
#include "morvelxppblock.h"
#include "vellum.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{

const LONG kFailed = static_cast<LONG>(0x80004005); // E_FAIL
const UINT kNoFontString = 20254;
const UINT kToolbarEnableButton = WM_USER + 1;

// Null unless the control is a window: a message to anything else answers 0,
// which reads as an entry added at index 0.
HWND controlOf(HWND window, int controlId)
{
    HWND control = controlId ? GetDlgItem(window, controlId) : window;
    return control && IsWindow(control) ? control : nullptr;
}

// The messages of a list box or of a combo box, chosen by the control's class.
struct ListMessages {
    UINT add, insert, setData, getData, count, getText, getTextLength;
};
const ListMessages kListBox = {LB_ADDSTRING, LB_INSERTSTRING, LB_SETITEMDATA, LB_GETITEMDATA,
                               LB_GETCOUNT,  LB_GETTEXT,      LB_GETTEXTLEN};
const ListMessages kComboBox = {CB_ADDSTRING, CB_INSERTSTRING, CB_SETITEMDATA, CB_GETITEMDATA,
                                CB_GETCOUNT,  CB_GETLBTEXT,    CB_GETLBTEXTLEN};

// Null for a control that is neither a list box nor a combo box.
const ListMessages *listMessages(HWND control)
{
    char name[32] = {};
    if (!control || !GetClassNameA(control, name, sizeof name))
        return nullptr;
    if (lstrcmpiA(name, "LISTBOX") == 0)
        return &kListBox;
    if (lstrcmpiA(name, "COMBOBOX") == 0)
        return &kComboBox;
    return nullptr;
}

// Adds a text with its datum; false when the control refuses it.
bool addEntry(HWND control, const ListMessages &messages, const char *text, LPARAM datum)
{
    const LRESULT index = SendMessageA(control, messages.add, 0, reinterpret_cast<LPARAM>(text));
    if (index < 0)
        return false;
    return SendMessageA(control, messages.setData, static_cast<WPARAM>(index), datum) != -1;
}

struct FontFill {
    HWND control;
    const ListMessages *messages;
    LONG added;
};

int CALLBACK addFamily(const LOGFONTA *font, const TEXTMETRICA *, DWORD type, LPARAM parameter)
{
    auto *fill = reinterpret_cast<FontFill *>(parameter);
    if ((type & TRUETYPE_FONTTYPE) &&
        SendMessageA(fill->control, fill->messages->add, 0, reinterpret_cast<LPARAM>(font->lfFaceName)) >= 0)
        ++fill->added;
    return 1;
}

int CALLBACK addFamilyScript(const LOGFONTA *font, const TEXTMETRICA *, DWORD type, LPARAM parameter)
{
    auto *fill = reinterpret_cast<FontFill *>(parameter);
    if (!(type & TRUETYPE_FONTTYPE))
        return 1;
    const auto *full = reinterpret_cast<const ENUMLOGFONTEXA *>(font);
    char text[LF_FACESIZE + LF_FACESIZE + 8];
    snprintf(text, sizeof text, "%s (%s)", font->lfFaceName, reinterpret_cast<const char *>(full->elfScript));
    if (addEntry(fill->control, *fill->messages, text, font->lfCharSet))
        ++fill->added;
    return 1;
}

// Index of the first entry whose datum equals datum (32 bits compared); -1 when none.
LONG findData(HWND combo, LONG count, LONG datum)
{
    for (LONG i = 0; i < count; ++i) {
        const LRESULT value = SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        if (static_cast<DWORD>(value) == static_cast<DWORD>(datum))
            return i;
    }
    return -1;
}

bool startsWithFace(const std::string &text, const char *face)
{
    const size_t length = strlen(face);
    return text.size() >= length + 2 &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, text.data(), static_cast<int>(length), face,
                          static_cast<int>(length)) == CSTR_EQUAL &&
           text.compare(length, 2, " (") == 0;
}

} // namespace

MORVEL_API LONG WINAPI EnableTools(HWND toolbar, BOOL enable, const WORD *ids)
{
    if (!toolbar)
        return 0;
    for (const WORD *id = ids; id && *id; ++id)
        SendMessageA(toolbar, kToolbarEnableButton, *id, MAKELPARAM(enable ? TRUE : FALSE, 0));
    return 1;
}

MORVEL_API void WINAPI EnableControls(HWND dialog, BOOL enable, const int *ids)
{
    for (const int *id = ids; id && *id; ++id)
        EnableWindow(GetDlgItem(dialog, *id), enable);
}

MORVEL_API void WINAPI LimitControls(HWND dialog, int limit, const int *ids)
{
    for (const int *id = ids; id && *id; ++id)
        SendDlgItemMessageA(dialog, *id, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
}

MORVEL_API LONG WINAPI InitListBox(HWND window, int controlId, const void *list, const DWORD *data)
{
    HWND box = controlOf(window, controlId);
    if (!box || !list)
        return 0;
    LONG added = 0;
    for (const std::string &text : MorvelPackedList::texts(static_cast<const unsigned char *>(list))) {
        const LRESULT index = SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (index < 0)
            break;
        if (data)
            SendMessageA(box, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data[added]));
        ++added;
    }
    return added;
}

MORVEL_API LONG WINAPI InitComboBox(HWND window, int controlId, const void *list)
{
    HWND combo = controlOf(window, controlId);
    if (!combo || !list)
        return 0;
    LONG added = 0;
    for (const std::string &text : MorvelPackedList::texts(static_cast<const unsigned char *>(list))) {
        if (SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())) < 0)
            break;
        ++added;
    }
    return added;
}

MORVEL_API LONG WINAPI InitComboBoxEx(HWND window, int controlId, const void *list)
{
    HWND combo = controlOf(window, controlId);
    if (!combo || !list)
        return 0;
    LONG added = 0;
    for (const auto &entry : MorvelPackedList::textsWithData(static_cast<const unsigned char *>(list))) {
        if (!addEntry(combo, kComboBox, entry.text.c_str(), static_cast<LPARAM>(entry.datum)))
            break;
        ++added;
    }
    return added;
}

MORVEL_API LONG WINAPI InitFontSizes(HWND window, int controlId)
{
    HWND control = controlOf(window, controlId);
    const ListMessages *messages = listMessages(control);
    if (!messages)
        return 0;
    LONG added = 0;
    for (uint8_t size : MorvelFontSize::kSizes) {
        char text[8];
        snprintf(text, sizeof text, "%u", unsigned(size));
        if (!addEntry(control, *messages, text, size))
            break;
        ++added;
    }
    return added;
}

MORVEL_API LONG WINAPI InitFontNames(HWND window, int controlId, BOOL addNone)
{
    HWND control = controlOf(window, controlId);
    const ListMessages *messages = listMessages(control);
    if (!messages)
        return 0;
    FontFill fill = {control, messages, 0};
    HDC dc = GetDC(control);
    EnumFontFamiliesA(dc, nullptr, addFamily, reinterpret_cast<LPARAM>(&fill));
    ReleaseDC(control, dc);
    if (addNone) {
        const std::string none = morvelString(kNoFontString);
        if (SendMessageA(control, messages->insert, 0, reinterpret_cast<LPARAM>(none.c_str())) >= 0)
            ++fill.added;
    }
    return fill.added;
}

MORVEL_API LONG WINAPI InitFontNamesEx(HWND window, int controlId)
{
    HWND control = controlOf(window, controlId);
    const ListMessages *messages = listMessages(control);
    if (!messages)
        return 0;
    FontFill fill = {control, messages, 0};
    LOGFONTA wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    HDC dc = GetDC(control);
    EnumFontFamiliesExA(dc, &wanted, addFamilyScript, reinterpret_cast<LPARAM>(&fill), 0);
    ReleaseDC(control, dc);
    return fill.added;
}

MORVEL_API LONG WINAPI FindFontEntry(HWND box, LPCSTR face, LONG charset)
{
    const ListMessages *messages = listMessages(box);
    if (!messages || !face)
        return -1;
    const LRESULT count = SendMessageA(box, messages->count, 0, 0);
    for (LRESULT i = count - 1; i >= 0; --i) {
        const LRESULT datum = SendMessageA(box, messages->getData, static_cast<WPARAM>(i), 0);
        if (static_cast<DWORD>(datum) != static_cast<DWORD>(charset))
            continue;
        const LRESULT length = SendMessageA(box, messages->getTextLength, static_cast<WPARAM>(i), 0);
        if (length <= 0)
            continue;
        std::string text(static_cast<size_t>(length) + 1, '\0');
        const LRESULT copied = SendMessageA(box, messages->getText, static_cast<WPARAM>(i),
                                            reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        if (startsWithFace(text, face))
            return static_cast<LONG>(i);
    }
    return -1;
}

MORVEL_API LONG WINAPI SelectComboData(HWND dialog, int comboId, LONG datum)
{
    HWND combo = GetDlgItem(dialog, comboId);
    const LRESULT count = combo ? SendMessageA(combo, CB_GETCOUNT, 0, 0) : CB_ERR;
    if (count == CB_ERR)
        return kFailed;
    const LONG index = findData(combo, static_cast<LONG>(count), datum);
    if (index >= 0) {
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    return 0;
}

MORVEL_API LONG WINAPI GetComboData(HWND combo, LONG datum, LONG *index)
{
    if (index)
        *index = 0;
    const LRESULT count = combo ? SendMessageA(combo, CB_GETCOUNT, 0, 0) : CB_ERR;
    if (count == CB_ERR)
        return kFailed;
    const LONG found = findData(combo, static_cast<LONG>(count), datum);
    if (found >= 0 && index)
        *index = found;
    return 0;
}

MORVEL_API void WINAPI CenterWinScreen(HWND window, HWND reference)
{
    RECT own, other;
    if (!GetWindowRect(window, &own) || !GetWindowRect(reference, &other))
        return;
    const LONG width = own.right - own.left, height = own.bottom - own.top;
    const LONG dx = (other.right - other.left) - width;
    const LONG dy = (other.bottom - other.top) - height;
    if (dx < 0 || dy < 0)
        return;
    MoveWindow(window, dx / 2, dy / 2, width, height, FALSE);
}

MORVEL_API LONG WINAPI GetSysFontSize(const LONG *record, SHORT size, LONG *result)
{
    static_assert(sizeof(LONG) == sizeof(int32_t), "the record's fields are 32 bits");
    const LONG value =
        record ? MorvelFontSize::systemSize(reinterpret_cast<const int32_t *>(record), size) : 0;
    if (result)
        *result = value;
    return value;
}

MORVEL_API LONG WINAPI GetXPPFontSize(const LONG *record, LONG size, LONG *result)
{
    const LONG value = record ? MorvelFontSize::hostSize(reinterpret_cast<const int32_t *>(record), size) : 0;
    if (result)
        *result = value;
    return value;
}

MORVEL_API LONG WINAPI GetColorDepth()
{
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return 0;
    const LONG bits = GetDeviceCaps(dc, BITSPIXEL);
    DeleteDC(dc);
    return bits;
}

MORVEL_API LONG WINAPI SetButtonType(HWND window, int controlId, LONG type, LONG check)
{
    HWND button = controlOf(window, controlId);
    if (!button)
        return 0;
    const LONG style = GetWindowLongA(button, GWL_STYLE);
    if (!style)
        return 0;
    SetWindowLongA(button, GWL_STYLE, (style & ~7L) | (type & 7L));
    SendMessageA(button, BM_SETCHECK, static_cast<WPARAM>(check), 0);
    return 1;
}

MORVEL_API void WINAPI InitUserColors(const DWORD *colors)
{
    morvelSetUserColors(colors);
}

MORVEL_API const void *WINAPI GetDropTagInfo(LPCSTR name)
{
    return MorvelDropTags::find(name);
}

MORVEL_API LONG WINAPI DrawBitmap(HWND window, HBITMAP bitmap, HPALETTE palette)
{
    BITMAP info;
    RECT client;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || !GetClientRect(window, &client))
        return 0;
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HPALETTE oldPalette = nullptr, oldMemoryPalette = nullptr;
    if (palette) {
        oldPalette = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        oldMemoryPalette = SelectPalette(memory, palette, FALSE);
        RealizePalette(memory);
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    const BOOL done =
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    if (palette) {
        SelectPalette(memory, oldMemoryPalette, FALSE);
        SelectPalette(dc, oldPalette, FALSE);
    }
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return done ? 1 : 0;
}

MORVEL_API void *WINAPI CreateXppBitmap(const void *dib)
{
    MorvelBitmap::Layout layout;
    if (!MorvelBitmap::layout(static_cast<const unsigned char *>(dib), layout))
        return nullptr;
    const std::vector<unsigned char> header = MorvelBitmap::fileHeader(layout);
    void *block = OwnAllocMem(static_cast<DWORD>(MorvelXppBlock::kCountSize + header.size()));
    if (!block)
        return nullptr;
    MorvelXppBlock::setCount(block, static_cast<uint32_t>(header.size()) + layout.packedSize());
    memcpy(static_cast<char *>(block) + MorvelXppBlock::kCountSize, header.data(), header.size());
    if (IDMIndirect(&block, -1, dib, layout.packedSize()) != 0) {
        OwnFreeMem(block);
        return nullptr;
    }
    return block;
}
