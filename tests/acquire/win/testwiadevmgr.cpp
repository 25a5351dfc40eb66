#include "testwiadevmgr.h"

#include "testwiaenum.h"
#include "testwiaitem.h"
#include "testwiaregistration.h"
#include "testwiatext.h"

#include <wiadef.h>

#include <algorithm>
#include <cstdio>

namespace
{

std::string deviceText(BSTR deviceId)
{
    return deviceId ? narrow(deviceId) : "all";
}

std::string handlerTexts(BSTR name, BSTR description, BSTR icon)
{
    return narrow(name ? name : L"(null)") + "|" + narrow(description ? description : L"(null)") + "|" +
           narrow(icon ? icon : L"(null)");
}

} // namespace

std::string eventName(const GUID &event)
{
    if (IsEqualGUID(event, WIA_EVENT_DEVICE_CONNECTED))
        return "connected";
    if (IsEqualGUID(event, WIA_EVENT_DEVICE_DISCONNECTED))
        return "disconnected";
    return guidText(event);
}

TestWiaDevMgr::TestWiaDevMgr() : TestComObject("device manager") {}

TestWiaItem *TestWiaDevMgr::addDevice(const std::wstring &id, const std::wstring &name, int32_t typeProperty)
{
    wchar_t number[8];
    swprintf(number, 8, L"%04d", m_deviceNumber++);
    TestWiaItem *root = TestWiaItem::createRoot(*this, number);
    root->properties().setText(WIA_DIP_DEV_ID, id);
    root->properties().setText(WIA_DIP_DEV_NAME, name);
    root->properties().setInt(WIA_DIP_DEV_TYPE, typeProperty);
    std::lock_guard<std::mutex> guard(m_lock);
    m_devices.push_back(root); // the reference the root was born with
    return root;
}

TestWiaItem *TestWiaDevMgr::device(const std::wstring &id) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (TestWiaItem *root : m_devices) {
        if (root->deviceId() == id)
            return root;
    }
    return nullptr;
}

std::vector<HRESULT> TestWiaDevMgr::connect(const std::wstring &id, const std::wstring &name,
                                            int32_t typeProperty, const wchar_t *fullItemName)
{
    addDevice(id, name, typeProperty);
    return fire(WIA_EVENT_DEVICE_CONNECTED, id, name, static_cast<DWORD>(typeProperty) >> 16, fullItemName);
}

std::vector<HRESULT> TestWiaDevMgr::disconnect(const std::wstring &id)
{
    TestWiaItem *gone = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = std::find_if(m_devices.begin(), m_devices.end(),
                                  [&id](TestWiaItem *root) { return root->deviceId() == id; });
        if (found != m_devices.end()) {
            gone = *found;
            m_devices.erase(found);
        }
    }
    std::wstring name;
    DWORD type = 0;
    if (gone) {
        const PROPVARIANT *value = gone->properties().find(WIA_DIP_DEV_NAME);
        name = value && value->vt == VT_BSTR ? value->bstrVal : L"";
        type = static_cast<DWORD>(gone->properties().intValue(WIA_DIP_DEV_TYPE, 0)) >> 16;
        gone->Release();
    }
    return fire(WIA_EVENT_DEVICE_DISCONNECTED, id, name, type, nullptr);
}

std::vector<HRESULT> TestWiaDevMgr::fire(const GUID &event, const std::wstring &deviceId,
                                         const std::wstring &description, DWORD deviceType,
                                         const wchar_t *fullItemName)
{
    std::vector<IWiaEventCallback *> callbacks;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (TestWiaRegistration *registration : m_registrations) {
            if (IsEqualGUID(registration->event(), event)) {
                if (IWiaEventCallback *callback = registration->callback())
                    callbacks.push_back(callback);
            }
        }
    }
    const wchar_t *what =
        IsEqualGUID(event, WIA_EVENT_DEVICE_CONNECTED) ? L"Device connected" : L"Device disconnected";
    BSTR eventDescription = SysAllocString(what);
    BSTR id = SysAllocString(deviceId.c_str());
    BSTR deviceDescription = SysAllocString(description.c_str());
    BSTR item = fullItemName ? SysAllocString(fullItemName) : nullptr;
    std::vector<HRESULT> results;
    for (IWiaEventCallback *callback : callbacks) {
        ULONG eventType = WIA_NOTIFICATION_EVENT;
        results.push_back(callback->ImageEventCallback(&event, eventDescription, id, deviceDescription,
                                                       deviceType, item, &eventType, 0));
        callback->Release();
    }
    SysFreeString(eventDescription);
    SysFreeString(id);
    SysFreeString(deviceDescription);
    SysFreeString(item);
    return results;
}

std::vector<TestWiaHandler> TestWiaDevMgr::handlersFor(const GUID &event, const std::wstring &deviceId) const
{
    std::vector<TestWiaHandler> matching;
    for (const TestWiaHandler &handler : m_handlers) {
        if (IsEqualGUID(handler.event, event) && (handler.deviceId.empty() || handler.deviceId == deviceId))
            matching.push_back(handler);
    }
    return matching;
}

int TestWiaDevMgr::registrationCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<int>(m_registrations.size());
}

void TestWiaDevMgr::dropRegistration(TestWiaRegistration *registration)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_registrations.erase(std::remove(m_registrations.begin(), m_registrations.end(), registration),
                          m_registrations.end());
}

std::vector<std::string> TestWiaDevMgr::calls() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_calls;
}

void TestWiaDevMgr::clearCalls()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_calls.clear();
}

void TestWiaDevMgr::log(const std::string &call)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_calls.push_back(call);
}

void TestWiaDevMgr::finalRelease()
{
    std::vector<TestWiaItem *> devices;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        devices.swap(m_devices);
    }
    for (TestWiaItem *root : devices)
        root->Release();
}

HRESULT STDMETHODCALLTYPE TestWiaDevMgr::QueryInterface(REFIID interfaceId, void **out)
{
    return queryOneInterface<IWiaDevMgr>(this, IID_IWiaDevMgr, interfaceId, out);
}

HRESULT STDMETHODCALLTYPE TestWiaDevMgr::EnumDeviceInfo(LONG flags, IEnumWIA_DEV_INFO **devices)
{
    log("EnumDeviceInfo " + std::to_string(flags));
    if (!devices)
        return E_POINTER;
    if (FAILED(m_enumResult)) {
        *devices = nullptr;
        return m_enumResult;
    }
    std::vector<IWiaPropertyStorage *> storages;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (TestWiaItem *root : m_devices)
            storages.push_back(root);
    }
    *devices = new TestWiaDeviceEnum("device enumeration", IID_IEnumWIA_DEV_INFO, storages);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaDevMgr::CreateDevice(BSTR deviceId, IWiaItem **root)
{
    log("CreateDevice " + deviceText(deviceId));
    if (!deviceId || !root)
        return E_POINTER;
    TestWiaItem *found = device(deviceId);
    if (!found) {
        *root = nullptr;
        return WIA_S_NO_DEVICE_AVAILABLE;
    }
    found->AddRef();
    *root = found;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaDevMgr::GetImageDlg(HWND parent, LONG deviceType, LONG flags, LONG intent,
                                                     IWiaItem *root, BSTR fileName, GUID *format)
{
    log("GetImageDlg");
    m_imageDialogs.push_back({parent, deviceType, flags, intent, root != nullptr,
                              fileName ? fileName : L"(null)", format != nullptr});
    return m_imageDialogResult;
}

HRESULT TestWiaDevMgr::registerHandler(LONG flags, BSTR deviceId, const GUID *event,
                                       const TestWiaHandler &handler, const std::string &call)
{
    log(call);
    if (!event)
        return E_POINTER;
    const auto same = [&](const TestWiaHandler &other) {
        return IsEqualGUID(other.event, *event) && other.deviceId == handler.deviceId &&
               IsEqualGUID(other.id, handler.id) && other.commandLine == handler.commandLine;
    };
    if (flags == WIA_REGISTER_EVENT_CALLBACK) {
        if (FAILED(m_registerResult))
            return m_registerResult;
        m_handlers.erase(std::remove_if(m_handlers.begin(), m_handlers.end(), same), m_handlers.end());
        m_handlers.push_back(handler);
        return S_OK;
    }
    if (flags == WIA_UNREGISTER_EVENT_CALLBACK) {
        const auto before = m_handlers.size();
        m_handlers.erase(std::remove_if(m_handlers.begin(), m_handlers.end(), same), m_handlers.end());
        return m_handlers.size() < before ? S_OK : E_INVALIDARG;
    }
    (void)deviceId;
    return E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE TestWiaDevMgr::RegisterEventCallbackProgram(LONG flags, BSTR deviceId,
                                                                      const GUID *event, BSTR commandLine,
                                                                      BSTR name, BSTR description, BSTR icon)
{
    TestWiaHandler handler = {event ? *event : GUID_NULL,
                              deviceId ? deviceId : L"",
                              GUID_NULL,
                              0,
                              name ? name : L"",
                              description ? description : L"",
                              icon ? icon : L"",
                              commandLine ? commandLine : L""};
    return registerHandler(flags, deviceId, event, handler,
                           "RegisterEventCallbackProgram " + std::to_string(flags) + " " +
                               deviceText(deviceId) + " " + (event ? eventName(*event) : "(null)") + " " +
                               narrow(commandLine ? commandLine : L"(null)") + " " +
                               handlerTexts(name, description, icon));
}

HRESULT STDMETHODCALLTYPE TestWiaDevMgr::RegisterEventCallbackInterface(LONG flags, BSTR deviceId,
                                                                        const GUID *event,
                                                                        IWiaEventCallback *callback,
                                                                        IUnknown **registration)
{
    log("RegisterEventCallbackInterface " + std::to_string(flags) + " " + deviceText(deviceId) + " " +
        (event ? eventName(*event) : "(null)"));
    if (!event || !callback || !registration)
        return E_POINTER;
    auto *made = new TestWiaRegistration(*this, *event, callback);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_registrations.push_back(made);
    }
    *registration = made; // the reference it was born with
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaDevMgr::RegisterEventCallbackCLSID(LONG flags, BSTR deviceId,
                                                                    const GUID *event, const GUID *classId,
                                                                    BSTR name, BSTR description, BSTR icon)
{
    TestWiaHandler handler = {event ? *event : GUID_NULL,
                              deviceId ? deviceId : L"",
                              classId ? *classId : GUID_NULL,
                              0,
                              name ? name : L"",
                              description ? description : L"",
                              icon ? icon : L"",
                              L""};
    return registerHandler(flags, deviceId, event, handler,
                           "RegisterEventCallbackCLSID " + std::to_string(flags) + " " +
                               deviceText(deviceId) + " " + (event ? eventName(*event) : "(null)") + " " +
                               (classId ? guidText(*classId) : "(null)") + " " +
                               handlerTexts(name, description, icon));
}
