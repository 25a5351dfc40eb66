#pragma once
// Public interface of the morvel dialog and resource library for host
// programs: 65 exports with the standard Windows calling convention, and the
// messages of the window classes the library registers. Texts are 8-bit
// Windows-1252. Blocks handed out come from vellum; the host frees them with
// OwnFreeMem.

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#ifdef MORVEL_BUILDING
#define MORVEL_API extern "C"
#else
#define MORVEL_API extern "C" __declspec(dllimport)
#endif

// Calls of ProcessPathString: kind 1 a drive, 2 a folder, 3 the last component.
typedef void(WINAPI *MorvelPathProc)(LPCSTR component, LONG kind, void *context);

// Texts
MORVEL_API LONG WINAPI GetString(UINT id, LPSTR buffer);
MORVEL_API LONG WINAPI GetXppString(UINT id, void *buffer);
MORVEL_API LPSTR WINAPI GetStringAlloc(UINT id);
MORVEL_API void *WINAPI GetXppStringAlloc(UINT id);
MORVEL_API LPSTR WINAPI GetTextAlloc(HWND dialog, int controlId);
MORVEL_API void *WINAPI GetTextXppAlloc(HWND dialog, int controlId);
MORVEL_API void *WINAPI GetFileAlloc(LPCSTR path);
MORVEL_API void *WINAPI GetFileXppAlloc(LPCSTR path);
MORVEL_API int WINAPI DisplayMessage(HWND owner, UINT style, UINT captionId, UINT textId);

// Resources
MORVEL_API HICON WINAPI GetIconRes(UINT id);
MORVEL_API HMENU WINAPI GetMenuRes(LPCSTR name);
MORVEL_API HBITMAP WINAPI GetBitmapRes(LPCSTR name);
MORVEL_API HBITMAP WINAPI GetDIBRes(LPCSTR name, HPALETTE *palette);
MORVEL_API HBITMAP WINAPI GetMappedRes(UINT id);
MORVEL_API HACCEL WINAPI GetAccelRes(LPCSTR name);
MORVEL_API HCURSOR WINAPI GetCursorRes(UINT id);
MORVEL_API HIMAGELIST WINAPI GetImageListRes(UINT type, LPCSTR name, int width);
MORVEL_API HPROPSHEETPAGE WINAPI GetPropSheetRes(PROPSHEETPAGEA *page);
MORVEL_API HWND WINAPI GetDialogRes(HWND parent, LPCSTR name, DLGPROC proc, LPARAM parameter);
MORVEL_API void *WINAPI GetLockedDialog(LPCSTR name);
MORVEL_API INT_PTR WINAPI ExecDialogRes(HWND parent, LPCSTR name, DLGPROC proc, LPARAM parameter);
MORVEL_API HGLOBAL WINAPI GetBinaryRes(UINT id);
MORVEL_API void *WINAPI GetXppBinaryRes(LPCSTR name);

// Registry, below the caller's root key in the library's subkey
MORVEL_API void WINAPI CheckRegPath(HKEY root);
MORVEL_API LONG WINAPI QueryRegEntry(HKEY root, LPCSTR name, void *buffer, DWORD size);
MORVEL_API LONG WINAPI SetRegEntry(HKEY root, LPCSTR name, DWORD type, const void *data, DWORD size);
MORVEL_API LONG WINAPI DeleteRegEntry(HKEY root, LPCSTR name);
MORVEL_API LONG WINAPI GetServiceInfo(DWORD code, DWORD *result);

// Controls, fonts and bitmaps
MORVEL_API LONG WINAPI EnableTools(HWND toolbar, BOOL enable, const WORD *ids);
MORVEL_API void WINAPI EnableControls(HWND dialog, BOOL enable, const int *ids);
MORVEL_API void WINAPI LimitControls(HWND dialog, int limit, const int *ids);
MORVEL_API LONG WINAPI InitListBox(HWND window, int controlId, const void *list, const DWORD *data);
MORVEL_API LONG WINAPI InitComboBox(HWND window, int controlId, const void *list);
MORVEL_API LONG WINAPI InitComboBoxEx(HWND window, int controlId, const void *list);
MORVEL_API LONG WINAPI InitFontSizes(HWND window, int controlId);
MORVEL_API LONG WINAPI InitFontNames(HWND window, int controlId, BOOL addNone);
MORVEL_API LONG WINAPI InitFontNamesEx(HWND window, int controlId);
MORVEL_API LONG WINAPI FindFontEntry(HWND box, LPCSTR face, LONG charset);
MORVEL_API LONG WINAPI SelectComboData(HWND dialog, int comboId, LONG datum);
MORVEL_API LONG WINAPI GetComboData(HWND combo, LONG datum, LONG *index);
MORVEL_API void WINAPI CenterWinScreen(HWND window, HWND reference);
MORVEL_API LONG WINAPI GetSysFontSize(const LONG *record, SHORT size, LONG *result);
MORVEL_API LONG WINAPI GetXPPFontSize(const LONG *record, LONG size, LONG *result);
MORVEL_API LONG WINAPI GetColorDepth();
MORVEL_API LONG WINAPI SetButtonType(HWND window, int controlId, LONG type, LONG check);
MORVEL_API void WINAPI InitUserColors(const DWORD *colors);
MORVEL_API const void *WINAPI GetDropTagInfo(LPCSTR name);
MORVEL_API LONG WINAPI DrawBitmap(HWND window, HBITMAP bitmap, HPALETTE palette);
MORVEL_API void *WINAPI CreateXppBitmap(const void *dib);

// Paths, file names and text search
MORVEL_API LONG WINAPI GetFileFromPath(LPCSTR path);
MORVEL_API LONG WINAPI CheckTitleChar(LONG character);
MORVEL_API LONG WINAPI CheckTitleValidity(LPSTR text);
MORVEL_API void WINAPI SetFileValidChars(LPSTR text);
MORVEL_API LONG WINAPI CheckPathSlash(LPSTR path);
MORVEL_API LONG WINAPI IsPathAbsolute(LPCSTR path);
MORVEL_API void WINAPI MakePathRelative(LPCSTR base, LPSTR path);
MORVEL_API LONG WINAPI IsDirectoryEmpty(LPCSTR folder, LONG *result);
MORVEL_API LONG WINAPI DeleteDirRecurse(LPCSTR folder, BOOL clearReadOnly);
MORVEL_API LONG WINAPI CreateFileDrawer(LPCSTR path);
MORVEL_API void WINAPI EnsureUniqueFile(LPSTR path);
MORVEL_API void WINAPI ProcessPathString(LPCSTR path, LPCSTR base, MorvelPathProc proc, void *context);
MORVEL_API LONG WINAPI SearchForString(LPCSTR text, LPCSTR pattern, DWORD flags, LONG *position);

// Requesters
MORVEL_API void *WINAPI OpenFileRequest(HWND owner, LONG id, LPCSTR initialName);
MORVEL_API void *WINAPI OpenPathRequest(HWND owner, UINT titleId);
MORVEL_API DWORD WINAPI OpenColorRequest(HWND owner, DWORD colour);

// Messages of the window classes. "xColorControl" and "xRangeField" take a
// single argument (a colour, a value or an address) in wParam, two in wParam
// and lParam; "xFontSize" takes its size or address in lParam; the picture
// list and the ruler take an index or value in wParam and an address or text
// in lParam. Notices arrive as WM_COMMAND with the control's identifier.

// Messages of "xColorControl"
#define XCC_SETCOLOR (WM_USER + 1)
#define XCC_GETCOLOR (WM_USER + 2)
#define XCC_SELECTFIRST (WM_USER + 3)
#define XCC_GETCOMBO (WM_USER + 4)
#define XCC_CLEAR (WM_USER + 5)
#define XCC_SETAUTOCOLOR (WM_USER + 6)
// Kinds answered by XCC_GETCOLOR
#define XCC_KIND_NONE 0
#define XCC_KIND_NOCOLOR 1
#define XCC_KIND_CUSTOM 2
#define XCC_KIND_FIXED 3
#define XCC_KIND_USER 4
#define XCC_KIND_AUTOMATIC 5

// Messages of "xRangeField"
#define XRF_SETRANGE (WM_USER + 1)
#define XRF_SETVALUE (WM_USER + 2)
#define XRF_GETVALUE (WM_USER + 3)
#define XRF_CHANGED 0x401
#define XRF_EDITCHANGE 0x402

// Messages of "xFontSize"
#define XFS_SETSIZE (WM_USER + 1)
#define XFS_GETSIZE (WM_USER + 2)
#define XFS_CLEAR (WM_USER + 3)

// Messages of "xListControl"
#define XLC_INSERTITEM 0x0FFC
#define XLC_ADDTOOLTIP 0x0FFD
#define XLC_DRAGIMAGE 0x0FFE
#define XLC_GETITEMDATA 0x0FFF
#define XLC_DELETEALLITEMS 0x1009

// Messages of "xMorvel32 Ruler"
#define XRL_SETBAND (WM_USER + 1)
#define XRL_SETRANGE (WM_USER + 2)
#define XRL_GETRANGE (WM_USER + 3)
#define XRL_SETMARKER1 (WM_USER + 4)
#define XRL_GETMARKER1 (WM_USER + 5)
#define XRL_SETMARKER2 (WM_USER + 6)
#define XRL_GETMARKER2 (WM_USER + 7)
#define XRL_SETMARKER3 (WM_USER + 8)
#define XRL_GETMARKER3 (WM_USER + 9)
#define XRL_GETHEIGHT (WM_USER + 10)
#define XRL_SETSCALE (WM_USER + 11)
#define XRL_GETSTART (WM_USER + 12)
#define XRL_GETBAND (WM_USER + 13)
