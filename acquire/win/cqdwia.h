#pragma once

#include "qdwia.h"

#include <wia.h>

#include <atomic>
#include <mutex>

// The acquisition object: the host's view of the WIA device manager, and the
// data and event callbacks WIA calls (both share one reference count). The
// host uses it from the thread that created it; WIA may call the callbacks
// from its own threads, so the notify target and the device count are guarded.
class CQDWIA final : public IQdWia, public IWiaDataCallback, public IWiaEventCallback
{
  public:
    CQDWIA();

    // The host is done: no more messages, registrations and the device
    // manager released, the host's reference dropped.
    void destroyByHost();

    // IQdWia
    int32_t QDWIA_CALL countDevicesOfType(int32_t kind) override;
    int32_t QDWIA_CALL getDeviceCount() override;
    int32_t QDWIA_CALL getDeviceType(int32_t index) override;
    int32_t QDWIA_CALL getDeviceInfoById(const char *deviceId, WiaDeviceInfo *info) override;
    int32_t QDWIA_CALL getDeviceInfo(int32_t index, WiaDeviceInfo *info) override;
    int32_t QDWIA_CALL selectDevice(const char *deviceId) override;
    IWiaItemWrapper *QDWIA_CALL findFirstItem() override;
    IWiaItemWrapper *QDWIA_CALL findNextItem() override;
    void QDWIA_CALL setCurrentItem(IWiaItemWrapper *item) override;
    int32_t QDWIA_CALL isAtRoot() override;
    IWiaItemWrapper *QDWIA_CALL findItem(const char *fullItemName) override;
    int32_t QDWIA_CALL transferItemToFile(const char *fullItemName, const char *destination) override;
    int32_t QDWIA_CALL deleteItem(const char *fullItemName) override;
    int32_t QDWIA_CALL getImageDlg(HWND parent) override;
    HWND QDWIA_CALL setNotifyWindow(HWND window, UINT message) override;
    HRESULT QDWIA_CALL registerConnectEventClsid(const GUID *classId, const char *name,
                                                 const char *description, const char *icon,
                                                 int32_t unregister) override;
    HRESULT QDWIA_CALL registerConnectEventProgram(const char *commandLine, const char *name,
                                                   const char *description, const char *icon,
                                                   int32_t unregister) override;
    IWiaEventHandlerList *QDWIA_CALL getConnectEventHandlers(const char *deviceId) override;
    IWiaEventCallback *QDWIA_CALL setEventSink(QdWiaEventSink *sink) override;

    // IUnknown of both callbacks
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IWiaDataCallback
    HRESULT STDMETHODCALLTYPE BandedDataCallback(LONG message, LONG status, LONG percentComplete, LONG offset,
                                                 LONG length, LONG reserved, LONG resultLength,
                                                 BYTE *buffer) override;

    // IWiaEventCallback
    HRESULT STDMETHODCALLTYPE ImageEventCallback(const GUID *event, BSTR eventDescription, BSTR deviceId,
                                                 BSTR deviceDescription, DWORD deviceType, BSTR fullItemName,
                                                 ULONG *eventType, ULONG reserved) override;

  private:
    ~CQDWIA();
    CQDWIA(const CQDWIA &) = delete;
    CQDWIA &operator=(const CQDWIA &) = delete;

    struct NotifyTarget {
        HWND window;
        UINT message;
        QdWiaEventSink *sink;
    };

    void connect();
    HRESULT refreshDeviceCount();
    // The device manager with a reference of the caller's, or null.
    IWiaDevMgr *manager();
    NotifyTarget notifyTarget();
    void releaseItems();
    void releaseService();

    // A device's root item (a reference of the caller's), or null.
    IWiaItem *createDevice(const char *deviceId);
    IWiaItem *createSelectedDevice();
    IWiaItem *createRoot(BSTR deviceId);
    // FindItemByName on a fresh root of the selected device: S_OK with the
    // item (a reference of the caller's), S_FALSE when there is none.
    HRESULT findByName(const char *fullItemName, IWiaItem **item);
    // The item of the selected device with that full name (a reference of the caller's), or null.
    IWiaItem *locateItem(const char *fullItemName);
    // Sets the transfer format and medium, fetches the item's data and moves it to the destination.
    bool transfer(IWiaItem *item, const char *destination);
    HRESULT registerConnectEvent(const GUID *classId, const char *commandLine, const char *name,
                                 const char *description, const char *icon, int32_t unregister);

    LONG volatile m_refCount;
    IWiaDevMgr *m_manager = nullptr;
    IUnknown *m_connectRegistration = nullptr;
    IUnknown *m_disconnectRegistration = nullptr;
    std::atomic<int32_t> m_deviceCount{0};
    wchar_t m_deviceId[1024] = {};
    IWiaItem *m_current = nullptr;
    IWiaItem *m_root = nullptr;
    IEnumWiaItem *m_enumeration = nullptr;
    std::mutex m_lock; // guards the manager pointer and the notify target
    HWND m_notifyWindow = nullptr;
    UINT m_notifyMessage = 0;
    QdWiaEventSink *m_sink = nullptr;
    bool m_comInitialised = false;
    DWORD m_comThread = 0;
};
