#include "cqdwia.h"

#include "ansitext.h"
#include "wiaeventhandlerlist.h"
#include "wiaitemwrapper.h"
#include "wiapropertyvalue.h"
#include "wiatables.h"

#include <wiadef.h>

#include <cstring>
#include <new>
#include <string>
#include <type_traits>
#include <utility>

#if !defined(_WIN64)
static_assert(std::is_same_v<decltype(&IQdWia::getDeviceCount), int32_t (__thiscall IQdWia::*)()>,
              "acquisition slots use this-call");
static_assert(std::is_same_v<decltype(&IQdWia::transferItemToFile),
                             int32_t (__thiscall IQdWia::*)(const char *, const char *)>,
              "acquisition slots use this-call");
static_assert(std::is_same_v<decltype(&QdWiaEventSink::deviceConnected),
                             void (__thiscall QdWiaEventSink::*)(int32_t, const char *, const char *,
                                                                 const char *, int32_t, const char *)>,
              "the host's sink uses this-call");
#endif

namespace
{

constexpr LONG kDigitalCamera = 2; // STI device type of the picture dialog
constexpr int kDeviceIdCapacity = 1024;
constexpr int kItemNameCapacity = 256;
constexpr int kHandlerNameCapacity = 256;
constexpr int kHandlerTextCapacity = 512;
// Deeper trees than this are not searched: a device could report a cycle.
constexpr int kMaxSearchDepth = 32;

LONG itemType(IWiaItem *item)
{
    LONG type = 0;
    return SUCCEEDED(item->GetItemType(&type)) ? type : 0;
}

// The next child of the enumeration (a reference of the caller's), or null at the end.
IWiaItem *nextChild(IEnumWiaItem *children)
{
    IWiaItem *child = nullptr;
    ULONG fetched = 0;
    if (children->Next(1, &child, &fetched) == S_OK && fetched == 1 && child)
        return child;
    if (child)
        child->Release();
    return nullptr;
}

IWiaItem *nextFileOrFolder(IEnumWiaItem *children)
{
    while (IWiaItem *child = nextChild(children)) {
        if (WiaTables::isFileOrFolder(itemType(child)))
            return child;
        child->Release();
    }
    return nullptr;
}

// The first file or folder below parent, depth first, descending into items
// that are neither; level receives the enumeration it was found in.
IWiaItem *searchSubtree(IWiaItem *parent, IEnumWiaItem **level, int depth)
{
    if (depth > kMaxSearchDepth)
        return nullptr;
    IEnumWiaItem *children = nullptr;
    if (FAILED(parent->EnumChildItems(&children)) || !children)
        return nullptr;
    children->Reset();
    while (IWiaItem *child = nextChild(children)) {
        if (WiaTables::isFileOrFolder(itemType(child))) {
            *level = children;
            return child;
        }
        IWiaItem *found = searchSubtree(child, level, depth + 1);
        child->Release();
        if (found) {
            children->Release();
            return found;
        }
    }
    children->Release();
    return nullptr;
}

// Hands the item to a new wrapper; the caller's reference is given up either way.
IWiaItemWrapper *wrap(IWiaItem *item)
{
    if (!item)
        return nullptr;
    WiaItemWrapper *wrapper = WiaItemWrapper::create(item);
    item->Release();
    return wrapper;
}

template <typename Interface> Interface *query(IUnknown *object, REFIID interfaceId)
{
    Interface *out = nullptr;
    if (FAILED(object->QueryInterface(interfaceId, reinterpret_cast<void **>(&out))))
        return nullptr;
    return out;
}

bool fillDeviceInfo(IWiaPropertyStorage *storage, WiaDeviceInfo *info)
{
    PROPSPEC specs[3] = {};
    const PROPID ids[3] = {WIA_DIP_DEV_NAME, WIA_DIP_DEV_ID, WIA_DIP_DEV_TYPE};
    PROPVARIANT values[3];
    for (int i = 0; i < 3; ++i) {
        specs[i].ulKind = PRSPEC_PROPID;
        specs[i].propid = ids[i];
        PropVariantInit(&values[i]);
    }
    WiaDeviceInfo filled = {};
    const auto text = [](const PROPVARIANT &value) -> const wchar_t * {
        if (value.vt == VT_BSTR)
            return value.bstrVal;
        return value.vt == VT_LPWSTR ? value.pwszVal : nullptr;
    };
    bool ok = storage && storage->ReadMultiple(3, specs, values) == S_OK && text(values[0]) &&
              text(values[1]) && values[2].vt == VT_I4;
    if (ok) {
        filled.kind = WiaTables::deviceKindFromTypeProperty(values[2].lVal);
        // A long name is cut for display; an identifier must be whole to be of use.
        qdwia::toAnsiTruncated(text(values[0]), filled.name, sizeof filled.name);
        ok = qdwia::toAnsiBuffer(text(values[1]), filled.id, sizeof filled.id);
    }
    FreePropVariantArray(3, values);
    if (!ok)
        return false;
    filled.picturesTaken = -1;
    filled.picturesRemaining = -1;
    WiaPropertyValue::readInt32(storage, WIA_DPC_PICTURES_TAKEN, filled.picturesTaken);
    WiaPropertyValue::readInt32(storage, WIA_DPC_PICTURES_REMAINING, filled.picturesRemaining);
    info->kind = filled.kind;
    std::memcpy(info->name, filled.name, sizeof info->name);
    std::memcpy(info->id, filled.id, sizeof info->id);
    info->picturesTaken = filled.picturesTaken;
    info->picturesRemaining = filled.picturesRemaining;
    return true;
}

// Frees the texts of one fetched handler whatever happens to its copies.
struct FetchedHandler {
    WIA_DEV_CAP cap = {};
    FetchedHandler() = default;
    FetchedHandler(const FetchedHandler &) = delete;
    FetchedHandler &operator=(const FetchedHandler &) = delete;
    ~FetchedHandler()
    {
        SysFreeString(cap.bstrName);
        SysFreeString(cap.bstrDescription);
        SysFreeString(cap.bstrIcon);
        SysFreeString(cap.bstrCommandline);
    }
};

} // namespace

CQDWIA::CQDWIA() : m_refCount(1)
{
    // S_FALSE (already initialised) is balanced too; a refusal must not be.
    m_comInitialised = SUCCEEDED(CoInitialize(nullptr));
    m_comThread = GetCurrentThreadId();
    connect();
}

CQDWIA::~CQDWIA()
{
    if (InterlockedCompareExchange(&m_refCount, 0, 0) != 0)
        OutputDebugStringA("Someone DELETES CQDWIA-Object with NONZERO reference counter!!!!\n");
    releaseItems();
    releaseService();
    // Only the thread that initialised COM may end it.
    if (m_comInitialised && GetCurrentThreadId() == m_comThread)
        CoUninitialize();
}

void CQDWIA::connect()
{
    IWiaDevMgr *manager = nullptr;
    if (FAILED(CoCreateInstance(CLSID_WiaDevMgr, nullptr, CLSCTX_LOCAL_SERVER, IID_IWiaDevMgr,
                                reinterpret_cast<void **>(&manager))) ||
        !manager)
        return;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_manager = manager;
    }
    IWiaEventCallback *callback = this;
    if (FAILED(manager->RegisterEventCallbackInterface(0, nullptr, &WIA_EVENT_DEVICE_CONNECTED, callback,
                                                       &m_connectRegistration)))
        m_connectRegistration = nullptr;
    if (FAILED(manager->RegisterEventCallbackInterface(0, nullptr, &WIA_EVENT_DEVICE_DISCONNECTED, callback,
                                                       &m_disconnectRegistration)))
        m_disconnectRegistration = nullptr;
    refreshDeviceCount();
}

void CQDWIA::destroyByHost()
{
    setNotifyWindow(nullptr, 0);
    releaseService();
    Release();
}

IWiaDevMgr *CQDWIA::manager()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_manager)
        m_manager->AddRef();
    return m_manager;
}

HRESULT CQDWIA::refreshDeviceCount()
{
    IWiaDevMgr *manager = this->manager();
    if (!manager)
        return E_FAIL;
    IEnumWIA_DEV_INFO *devices = nullptr;
    HRESULT result = manager->EnumDeviceInfo(WIA_DEVINFO_ENUM_LOCAL, &devices);
    if (SUCCEEDED(result) && devices) {
        ULONG count = 0;
        result = devices->GetCount(&count);
        if (SUCCEEDED(result))
            m_deviceCount = static_cast<int32_t>(count);
    }
    if (devices)
        devices->Release();
    manager->Release();
    return result;
}

CQDWIA::NotifyTarget CQDWIA::notifyTarget()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return {m_notifyWindow, m_notifyMessage, m_sink};
}

void CQDWIA::releaseItems()
{
    if (m_current && m_current != m_root)
        m_current->Release();
    if (m_root)
        m_root->Release();
    if (m_enumeration)
        m_enumeration->Release();
    m_current = nullptr;
    m_root = nullptr;
    m_enumeration = nullptr;
}

void CQDWIA::releaseService()
{
    IUnknown *connected = nullptr;
    IUnknown *disconnected = nullptr;
    IWiaDevMgr *manager = nullptr;
    {
        // Taken out first, so each is released once, here or never.
        std::lock_guard<std::mutex> guard(m_lock);
        std::swap(connected, m_connectRegistration);
        std::swap(disconnected, m_disconnectRegistration);
        std::swap(manager, m_manager);
    }
    if (connected)
        connected->Release();
    if (disconnected)
        disconnected->Release();
    if (manager)
        manager->Release();
}

int32_t QDWIA_CALL CQDWIA::countDevicesOfType(int32_t kind)
{
    int32_t matches = 0;
    const int32_t count = m_deviceCount;
    for (int32_t index = 0; index < count; ++index) {
        if (getDeviceType(index) == kind)
            ++matches;
    }
    return matches;
}

int32_t QDWIA_CALL CQDWIA::getDeviceCount()
{
    return m_deviceCount;
}

int32_t QDWIA_CALL CQDWIA::getDeviceType(int32_t index)
{
    WiaDeviceInfo info = {};
    return getDeviceInfo(index, &info) ? info.kind : 0;
}

int32_t QDWIA_CALL CQDWIA::getDeviceInfoById(const char *deviceId, WiaDeviceInfo *info)
{
    if (!deviceId || !info)
        return 0;
    IWiaItem *root = createDevice(deviceId);
    if (!root)
        return 0;
    IWiaPropertyStorage *storage = query<IWiaPropertyStorage>(root, IID_IWiaPropertyStorage);
    const bool filled = storage && fillDeviceInfo(storage, info);
    if (storage)
        storage->Release();
    root->Release();
    return filled ? 1 : 0;
}

int32_t QDWIA_CALL CQDWIA::getDeviceInfo(int32_t index, WiaDeviceInfo *info)
{
    if (!info || !m_manager || index < 0)
        return 0;
    IEnumWIA_DEV_INFO *devices = nullptr;
    if (FAILED(m_manager->EnumDeviceInfo(WIA_DEVINFO_ENUM_LOCAL, &devices)) || !devices)
        return 0;
    ULONG count = 0;
    IWiaPropertyStorage *storage = nullptr;
    if (SUCCEEDED(devices->GetCount(&count)) && count > 0 && static_cast<ULONG>(index) < count &&
        SUCCEEDED(devices->Reset())) {
        for (int32_t at = 0; at <= index; ++at) {
            if (storage)
                storage->Release();
            storage = nullptr;
            ULONG fetched = 0;
            if (devices->Next(1, &storage, &fetched) != S_OK || fetched != 1) {
                if (storage)
                    storage->Release();
                storage = nullptr;
                break;
            }
        }
    }
    devices->Release();
    const bool filled = storage && fillDeviceInfo(storage, info);
    if (storage)
        storage->Release();
    return filled ? 1 : 0;
}

IWiaItem *CQDWIA::createDevice(const char *deviceId)
{
    if (!m_manager)
        return nullptr;
    BSTR id = qdwia::toBstr(deviceId, kDeviceIdCapacity);
    if (!id)
        return nullptr;
    IWiaItem *root = createRoot(id);
    SysFreeString(id);
    return root;
}

IWiaItem *CQDWIA::createSelectedDevice()
{
    if (!m_manager || !m_deviceId[0])
        return nullptr;
    BSTR id = SysAllocString(m_deviceId);
    if (!id)
        return nullptr;
    IWiaItem *root = createRoot(id);
    SysFreeString(id);
    return root;
}

IWiaItem *CQDWIA::createRoot(BSTR deviceId)
{
    IWiaItem *root = nullptr;
    // An item handed out with a failure is given back.
    if (FAILED(m_manager->CreateDevice(deviceId, &root)) && root) {
        root->Release();
        root = nullptr;
    }
    return root;
}

int32_t QDWIA_CALL CQDWIA::selectDevice(const char *deviceId)
{
    if (!deviceId || !m_manager)
        return 0;
    BSTR id = qdwia::toBstr(deviceId, kDeviceIdCapacity);
    if (!id)
        return 0;
    IWiaItem *root = createRoot(id);
    if (!root) {
        SysFreeString(id);
        return 0;
    }
    releaseItems();
    lstrcpynW(m_deviceId, id, kDeviceIdCapacity);
    SysFreeString(id);
    m_root = root;
    m_current = root;
    return 1;
}

IWiaItemWrapper *QDWIA_CALL CQDWIA::findFirstItem()
{
    if (!m_root || !m_current)
        return nullptr;
    if (m_enumeration)
        m_enumeration->Release();
    m_enumeration = nullptr;
    if (FAILED(m_current->EnumChildItems(&m_enumeration)) || !m_enumeration) {
        m_enumeration = nullptr;
        return nullptr;
    }
    m_enumeration->Reset();
    IWiaItem *found = nextFileOrFolder(m_enumeration);
    if (!found) {
        // None at the top level: the first one in the subtrees of the top-level items.
        m_enumeration->Reset();
        while (!found) {
            IWiaItem *child = nextChild(m_enumeration);
            if (!child)
                break;
            IEnumWiaItem *level = nullptr;
            found = searchSubtree(child, &level, 1);
            child->Release();
            if (found) {
                // The walk goes on beside the item found.
                m_enumeration->Release();
                m_enumeration = level;
            }
        }
    }
    return wrap(found);
}

IWiaItemWrapper *QDWIA_CALL CQDWIA::findNextItem()
{
    return m_enumeration ? wrap(nextFileOrFolder(m_enumeration)) : nullptr;
}

void QDWIA_CALL CQDWIA::setCurrentItem(IWiaItemWrapper *item)
{
    // Only wrappers of this library reach the host, so the cast is safe.
    IWiaItem *next = item ? static_cast<WiaItemWrapper *>(item)->item() : m_root;
    if (next && next != m_root)
        next->AddRef();
    if (m_current && m_current != m_root)
        m_current->Release();
    m_current = next;
}

int32_t QDWIA_CALL CQDWIA::isAtRoot()
{
    return m_root && m_current == m_root ? 1 : 0;
}

HRESULT CQDWIA::findByName(const char *fullItemName, IWiaItem **item)
{
    *item = nullptr;
    BSTR name = qdwia::toBstr(fullItemName, kItemNameCapacity);
    if (!name)
        return E_INVALIDARG;
    HRESULT result = E_FAIL;
    if (IWiaItem *root = createSelectedDevice()) {
        result = root->FindItemByName(0, name, item);
        root->Release();
    }
    SysFreeString(name);
    if (result != S_OK && *item) {
        (*item)->Release();
        *item = nullptr;
    }
    return result;
}

IWiaItem *CQDWIA::locateItem(const char *fullItemName)
{
    IWiaItem *item = nullptr;
    if (!fullItemName || findByName(fullItemName, &item) != S_OK)
        return nullptr;
    return item;
}

IWiaItemWrapper *QDWIA_CALL CQDWIA::findItem(const char *fullItemName)
{
    return wrap(locateItem(fullItemName));
}

bool CQDWIA::transfer(IWiaItem *item, const char *destination)
{
    wchar_t target[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, destination, -1, target, MAX_PATH) <= 0)
        return false;
    IWiaPropertyStorage *storage = query<IWiaPropertyStorage>(item, IID_IWiaPropertyStorage);
    if (!storage)
        return false;
    GUID format;
    bool ready = WiaPropertyValue::readIdentifier(storage, WIA_IPA_PREFERRED_FORMAT, true, format);
    if (ready) {
        PROPSPEC specs[2] = {};
        specs[0].ulKind = PRSPEC_PROPID;
        specs[0].propid = WIA_IPA_FORMAT;
        specs[1].ulKind = PRSPEC_PROPID;
        specs[1].propid = WIA_IPA_TYMED;
        PROPVARIANT values[2];
        PropVariantInit(&values[0]);
        PropVariantInit(&values[1]);
        values[0].vt = VT_CLSID;
        values[0].puuid = &format;
        values[1].vt = VT_I4;
        values[1].lVal = TYMED_FILE;
        ready = SUCCEEDED(storage->WriteMultiple(2, specs, values, WIA_IPA_FIRST));
    }
    storage->Release();
    if (!ready)
        return false;
    IWiaDataTransfer *data = query<IWiaDataTransfer>(item, IID_IWiaDataTransfer);
    if (!data)
        return false;
    STGMEDIUM medium = {};
    medium.tymed = TYMED_FILE;
    const HRESULT result = data->idtGetData(&medium, static_cast<IWiaDataCallback *>(this));
    data->Release();
    bool arrived = false;
    if (SUCCEEDED(result) && medium.tymed == TYMED_FILE && medium.lpszFileName) {
        // Wide names: the temporary folder may hold characters the ANSI code page lacks.
        // An existing destination is kept: the move fails and so does the transfer.
        arrived = MoveFileExW(medium.lpszFileName, target, MOVEFILE_COPY_ALLOWED) &&
                  GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES;
    }
    // Frees the name and deletes the temporary file when it is still there.
    ReleaseStgMedium(&medium);
    return arrived;
}

int32_t QDWIA_CALL CQDWIA::transferItemToFile(const char *fullItemName, const char *destination)
{
    if (!fullItemName || !destination)
        return 0;
    IWiaItem *item = locateItem(fullItemName);
    if (!item)
        return 0;
    const bool done = destination[0] && transfer(item, destination);
    item->Release();
    return done ? 1 : 0;
}

int32_t QDWIA_CALL CQDWIA::deleteItem(const char *fullItemName)
{
    IWiaItem *item = locateItem(fullItemName);
    if (!item)
        return 0;
    IWiaPropertyStorage *storage = query<IWiaPropertyStorage>(item, IID_IWiaPropertyStorage);
    int32_t rights = 0;
    if (!storage || !WiaPropertyValue::readInt32(storage, WIA_IPA_ACCESS_RIGHTS, rights)) {
        if (storage)
            storage->Release();
        item->Release();
        return 0;
    }
    if (!WiaTables::allowsDeletion(rights))
        WiaPropertyValue::writeInt32(storage, WIA_IPA_ACCESS_RIGHTS, WiaTables::kDeletableRights);
    int32_t deleted = SUCCEEDED(item->DeleteItem(0)) ? 1 : 0;
    if (!deleted) {
        if (IWiaItemExtras *extras = query<IWiaItemExtras>(item, IID_IWiaItemExtras)) {
            BSTR text = nullptr;
            extras->GetExtendedErrorInfo(&text);
            SysFreeString(text);
            extras->Release();
        }
        // Marking the item deleted counts only when the device then drops it.
        IWiaItem *still = nullptr;
        deleted = SUCCEEDED(WiaPropertyValue::writeInt32(
                      storage, WIA_IPA_ITEM_FLAGS, static_cast<int32_t>(WiaTables::kDeletedItemFlags))) &&
                          findByName(fullItemName, &still) == S_FALSE
                      ? 1
                      : 0;
        if (still)
            still->Release();
    }
    storage->Release();
    item->Release();
    return deleted;
}

int32_t QDWIA_CALL CQDWIA::getImageDlg(HWND parent)
{
    if (!parent)
        return static_cast<int32_t>(E_POINTER);
    if (!m_manager)
        return 0;
    BSTR fileName = SysAllocString(L"c:\\test.jpg");
    if (!fileName)
        return 0;
    const HRESULT result = m_manager->GetImageDlg(parent, kDigitalCamera, 1, 0, nullptr, fileName, nullptr);
    SysFreeString(fileName);
    // S_FALSE is the customer's cancel.
    return result == S_OK ? 1 : 0;
}

HWND QDWIA_CALL CQDWIA::setNotifyWindow(HWND window, UINT message)
{
    std::lock_guard<std::mutex> guard(m_lock);
    HWND previous = m_notifyWindow;
    m_notifyWindow = window;
    m_notifyMessage = message;
    return previous;
}

HRESULT CQDWIA::registerConnectEvent(const GUID *classId, const char *commandLine, const char *name,
                                     const char *description, const char *icon, int32_t unregister)
{
    if (!m_manager)
        return E_FAIL;
    if ((!classId && !commandLine) || !name || !description || !icon)
        return E_POINTER;
    BSTR wideName = qdwia::toBstr(name, kHandlerNameCapacity);
    BSTR wideDescription = qdwia::toBstr(description, kHandlerTextCapacity);
    BSTR wideIcon = qdwia::toBstr(icon, kHandlerTextCapacity);
    BSTR wideCommandLine = commandLine ? qdwia::toBstr(commandLine, kHandlerTextCapacity) : nullptr;
    HRESULT result = E_INVALIDARG;
    if (wideName && wideDescription && wideIcon && (!commandLine || wideCommandLine)) {
        const LONG flag = unregister ? WIA_UNREGISTER_EVENT_CALLBACK : WIA_REGISTER_EVENT_CALLBACK;
        result = classId ? m_manager->RegisterEventCallbackCLSID(flag, nullptr, &WIA_EVENT_DEVICE_CONNECTED,
                                                                 classId, wideName, wideDescription, wideIcon)
                         : m_manager->RegisterEventCallbackProgram(flag, nullptr, &WIA_EVENT_DEVICE_CONNECTED,
                                                                   wideCommandLine, wideName, wideDescription,
                                                                   wideIcon);
    }
    SysFreeString(wideName);
    SysFreeString(wideDescription);
    SysFreeString(wideIcon);
    SysFreeString(wideCommandLine);
    return result;
}

HRESULT QDWIA_CALL CQDWIA::registerConnectEventClsid(const GUID *classId, const char *name,
                                                     const char *description, const char *icon,
                                                     int32_t unregister)
{
    return registerConnectEvent(classId, nullptr, name, description, icon, unregister);
}

HRESULT QDWIA_CALL CQDWIA::registerConnectEventProgram(const char *commandLine, const char *name,
                                                       const char *description, const char *icon,
                                                       int32_t unregister)
{
    return registerConnectEvent(nullptr, commandLine, name, description, icon, unregister);
}

IWiaEventHandlerList *QDWIA_CALL CQDWIA::getConnectEventHandlers(const char *deviceId)
{
    if (!deviceId)
        return nullptr;
    IWiaItem *root = createDevice(deviceId);
    if (!root)
        return nullptr;
    IEnumWIA_DEV_CAPS *handlers = nullptr;
    const HRESULT result = root->EnumRegisterEventInfo(0, &WIA_EVENT_DEVICE_CONNECTED, &handlers);
    root->Release();
    if (FAILED(result) || !handlers || FAILED(handlers->Reset())) {
        if (handlers)
            handlers->Release();
        return nullptr;
    }
    WiaEventHandlerList *list = nullptr;
    try {
        list = new WiaEventHandlerList(deviceId);
        for (;;) {
            FetchedHandler fetched;
            ULONG count = 0;
            if (handlers->Next(1, &fetched.cap, &count) != S_OK || count != 1)
                break;
            WiaHandlerTable::Handler handler;
            handler.name = qdwia::toAnsi(fetched.cap.bstrName);
            handler.description = qdwia::toAnsi(fetched.cap.bstrDescription);
            handler.icon = qdwia::toAnsi(fetched.cap.bstrIcon);
            handler.commandLine = qdwia::toAnsi(fetched.cap.bstrCommandline);
            std::memcpy(&handler.id, &fetched.cap.guid, sizeof handler.id);
            list->table().append(std::move(handler), (fetched.cap.ulFlags & WIA_IS_DEFAULT_HANDLER) != 0);
        }
    } catch (const std::bad_alloc &) {
        if (list)
            list->release();
        list = nullptr;
    }
    handlers->Release();
    return list;
}

IWiaEventCallback *QDWIA_CALL CQDWIA::setEventSink(QdWiaEventSink *sink)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_sink = sink;
    return static_cast<IWiaEventCallback *>(this);
}

HRESULT STDMETHODCALLTYPE CQDWIA::QueryInterface(REFIID interfaceId, void **out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IWiaDataCallback)) {
        *out = static_cast<IWiaDataCallback *>(this);
    } else if (IsEqualIID(interfaceId, IID_IWiaEventCallback)) {
        *out = static_cast<IWiaEventCallback *>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CQDWIA::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

ULONG STDMETHODCALLTYPE CQDWIA::Release()
{
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE CQDWIA::BandedDataCallback(LONG message, LONG, LONG percentComplete, LONG, LONG,
                                                     LONG, LONG, BYTE *)
{
    if (message == IT_MSG_STATUS) {
        const NotifyTarget target = notifyTarget();
        if (target.window && target.message)
            SendMessageA(target.window, target.message, QDWIA_NOTICE_STATUS, percentComplete);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CQDWIA::ImageEventCallback(const GUID *event, BSTR eventDescription, BSTR deviceId,
                                                     BSTR deviceDescription, DWORD deviceType,
                                                     BSTR fullItemName, ULONG *eventType, ULONG)
{
    const HRESULT result = refreshDeviceCount();
    if (!event || !eventDescription || !deviceId || !eventType)
        return E_POINTER;
    std::string id;
    std::string description;
    std::string device;
    std::string item;
    try {
        id = qdwia::toAnsi(deviceId);
        description = qdwia::toAnsi(eventDescription);
        device = qdwia::toAnsi(deviceDescription);
        item = qdwia::toAnsi(fullItemName);
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    }
    const NotifyTarget target = notifyTarget();
    const LPARAM idText = reinterpret_cast<LPARAM>(id.c_str());
    if (IsEqualGUID(*event, WIA_EVENT_DEVICE_CONNECTED)) {
        if (target.window && target.message)
            SendMessageA(target.window, target.message, QDWIA_NOTICE_CONNECTED, idText);
        if (target.sink)
            target.sink->deviceConnected(0, description.c_str(), id.c_str(), device.c_str(),
                                         WiaTables::deviceKindFromEventType(deviceType),
                                         fullItemName ? item.c_str() : nullptr);
    } else if (IsEqualGUID(*event, WIA_EVENT_DEVICE_DISCONNECTED)) {
        if (target.window && target.message)
            SendMessageA(target.window, target.message, QDWIA_NOTICE_DISCONNECTED, idText);
    }
    return result;
}
