#pragma once
// Public interface of the QDWIA image-acquisition library for host programs:
// the two exports, the acquisition object, the item and handler-list objects
// it hands out, the host's event sink and the device record. Texts are
// single-byte strings in the host's ANSI code page. The objects are plain
// virtual interfaces (not COM): their slots are in the order below and none
// has a virtual destructor.

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

// Member functions use the compiler's default for C++ members: this in ECX on 32-bit.
#if defined(_WIN32) && !defined(_WIN64)
#define QDWIA_CALL __thiscall
#else
#define QDWIA_CALL
#endif

struct IWiaEventCallback;

// Device kinds.
enum QdWiaDeviceKind : int32_t {
    QDWIA_DEVICE_UNKNOWN = 0,
    QDWIA_DEVICE_CAMERA = 1,
    QDWIA_DEVICE_SCANNER = 2,
    QDWIA_DEVICE_VIDEO = 3,
};

// Item kinds.
enum QdWiaItemKind : int32_t {
    QDWIA_ITEM_OTHER = 0,
    QDWIA_ITEM_FOLDER = 1,
    QDWIA_ITEM_IMAGE = 2,
    QDWIA_ITEM_AUDIO = 3,
    QDWIA_ITEM_VIDEO = 4,
};

// wParam of the notify window's message.
enum QdWiaNotice : uint32_t {
    QDWIA_NOTICE_STATUS = 0,       // lParam: percent of a transfer done
    QDWIA_NOTICE_CONNECTED = 1,    // lParam: the device identifier (copy it during the message)
    QDWIA_NOTICE_DISCONNECTED = 2, // lParam: the device identifier
};

// One device, filled by getDeviceInfo and getDeviceInfoById.
struct WiaDeviceInfo {
    int32_t reserved; // not written
    int32_t kind;
    char name[128];
    char id[1024];
    int32_t picturesTaken;     // -1 when the device does not count pictures
    int32_t picturesRemaining; // -1 likewise
};
static_assert(sizeof(WiaDeviceInfo) == 1168, "WiaDeviceInfo layout");
static_assert(offsetof(WiaDeviceInfo, reserved) == 0, "WiaDeviceInfo layout");
static_assert(offsetof(WiaDeviceInfo, kind) == 4, "WiaDeviceInfo layout");
static_assert(offsetof(WiaDeviceInfo, name) == 8, "WiaDeviceInfo layout");
static_assert(offsetof(WiaDeviceInfo, id) == 136, "WiaDeviceInfo layout");
static_assert(offsetof(WiaDeviceInfo, picturesTaken) == 1160, "WiaDeviceInfo layout");
static_assert(offsetof(WiaDeviceInfo, picturesRemaining) == 1164, "WiaDeviceInfo layout");

// Implemented by the host: called when a device is connected. The texts are
// valid only during the call; fullItemName may be null.
struct QdWiaEventSink {
    virtual void QDWIA_CALL deviceConnected(int32_t reserved, const char *eventDescription,
                                            const char *deviceId, const char *deviceDescription,
                                            int32_t deviceKind, const char *fullItemName) = 0;
};

// One item of the selected device; owned by the host, which ends it with destroy().
struct IWiaItemWrapper {
    virtual void QDWIA_CALL destroy() = 0;
    virtual int32_t QDWIA_CALL getKind() = 0;
    virtual int32_t QDWIA_CALL getFormat() = 0;
    virtual const char *QDWIA_CALL getName() = 0;
    virtual const char *QDWIA_CALL getFullName() = 0;
    virtual const char *QDWIA_CALL getExtension() = 0;
    virtual int32_t QDWIA_CALL getThumbWidth() = 0;
    virtual int32_t QDWIA_CALL getThumbHeight() = 0;
    virtual int32_t QDWIA_CALL getThumbnailSize() = 0;
    virtual const uint8_t *QDWIA_CALL getThumbnailData() = 0;
    // A bitmap information header followed by the thumbnail's rows.
    virtual const BITMAPINFOHEADER *QDWIA_CALL getThumbnailBitmap() = 0;
    virtual int32_t QDWIA_CALL getImageSize(int32_t *width, int32_t *height) = 0;
    virtual int32_t QDWIA_CALL getItemTime(SYSTEMTIME *time) = 0;
    virtual int32_t QDWIA_CALL getItemSize() = 0;
};

// The programs registered for a device's connect event; owned by the host,
// which ends it with release() or the deleting destructor of the last slot.
struct IWiaEventHandlerList {
    virtual void QDWIA_CALL release() = 0;
    virtual const char *QDWIA_CALL getDeviceId() = 0;
    virtual int32_t QDWIA_CALL getCount() = 0;
    virtual const char *QDWIA_CALL getName(int32_t index) = 0;
    virtual const char *QDWIA_CALL getDescription(int32_t index) = 0;
    virtual const char *QDWIA_CALL getIcon(int32_t index) = 0;
    virtual const char *QDWIA_CALL getCommandLine(int32_t index) = 0;
    virtual const GUID *QDWIA_CALL getHandlerId(int32_t index) = 0;
    virtual int32_t QDWIA_CALL isDefault(int32_t index) = 0;
    // Bit 0 of flags frees the list; returns the list's address.
    virtual void *QDWIA_CALL deletingDestructor(uint32_t flags) = 0;
};

// The acquisition object from CreateQDWIA.
struct IQdWia {
    virtual int32_t QDWIA_CALL countDevicesOfType(int32_t kind) = 0;
    virtual int32_t QDWIA_CALL getDeviceCount() = 0;
    virtual int32_t QDWIA_CALL getDeviceType(int32_t index) = 0;
    virtual int32_t QDWIA_CALL getDeviceInfoById(const char *deviceId, WiaDeviceInfo *info) = 0;
    virtual int32_t QDWIA_CALL getDeviceInfo(int32_t index, WiaDeviceInfo *info) = 0;
    virtual int32_t QDWIA_CALL selectDevice(const char *deviceId) = 0;
    virtual IWiaItemWrapper *QDWIA_CALL findFirstItem() = 0;
    virtual IWiaItemWrapper *QDWIA_CALL findNextItem() = 0;
    virtual void QDWIA_CALL setCurrentItem(IWiaItemWrapper *item) = 0;
    virtual int32_t QDWIA_CALL isAtRoot() = 0;
    virtual IWiaItemWrapper *QDWIA_CALL findItem(const char *fullItemName) = 0;
    virtual int32_t QDWIA_CALL transferItemToFile(const char *fullItemName, const char *destination) = 0;
    virtual int32_t QDWIA_CALL deleteItem(const char *fullItemName) = 0;
    virtual int32_t QDWIA_CALL getImageDlg(HWND parent) = 0;
    virtual HWND QDWIA_CALL setNotifyWindow(HWND window, UINT message) = 0;
    virtual HRESULT QDWIA_CALL registerConnectEventClsid(const GUID *classId, const char *name,
                                                         const char *description, const char *icon,
                                                         int32_t unregister) = 0;
    virtual HRESULT QDWIA_CALL registerConnectEventProgram(const char *commandLine, const char *name,
                                                           const char *description, const char *icon,
                                                           int32_t unregister) = 0;
    virtual IWiaEventHandlerList *QDWIA_CALL getConnectEventHandlers(const char *deviceId) = 0;
    virtual IWiaEventCallback *QDWIA_CALL setEventSink(QdWiaEventSink *sink) = 0;
};

// The exports (C calling convention, undecorated names).
extern "C" {
typedef IQdWia *(__cdecl *CreateQDWIAFunction)(void);
typedef int32_t(__cdecl *DestroyQDWIAFunction)(IQdWia *object);
IQdWia *__cdecl CreateQDWIA(void);
int32_t __cdecl DestroyQDWIA(IQdWia *object);
}
