#pragma once

#include "testcomobject.h"
#include "testwiahandler.h"

#include <wia.h>

#include <mutex>
#include <string>
#include <vector>

class TestWiaItem;
class TestWiaRegistration;

// The WIA device manager of the tests: scripted devices with their item
// trees, registered event handlers and callbacks, and connect and disconnect
// events played on request. Logs what its client asked.
class TestWiaDevMgr final : public TestComObject, public IWiaDevMgr
{
  public:
    struct ImageDialog {
        HWND parent;
        LONG deviceType;
        LONG flags;
        LONG intent;
        bool itemGiven;
        std::wstring fileName;
        bool formatGiven;
    };

    TestWiaDevMgr();

    // A connected device: its root item carries the device properties. The
    // type property holds the STI type in its high 16 bits.
    TestWiaItem *addDevice(const std::wstring &id, const std::wstring &name, int32_t typeProperty);
    TestWiaItem *device(const std::wstring &id) const;
    // Connects a device as addDevice does and tells the registered callbacks;
    // the event's device type is the STI type. Answers the callbacks' results.
    std::vector<HRESULT> connect(const std::wstring &id, const std::wstring &name, int32_t typeProperty,
                                 const wchar_t *fullItemName = nullptr);
    std::vector<HRESULT> disconnect(const std::wstring &id);
    // Calls every callback registered for the event.
    std::vector<HRESULT> fire(const GUID &event, const std::wstring &deviceId,
                              const std::wstring &description, DWORD deviceType, const wchar_t *fullItemName);

    void addHandler(const TestWiaHandler &handler) { m_handlers.push_back(handler); }
    std::vector<TestWiaHandler> handlersFor(const GUID &event, const std::wstring &deviceId) const;
    int registrationCount() const;
    void dropRegistration(TestWiaRegistration *registration);

    void setEnumResult(HRESULT result) { m_enumResult = result; }
    void setRegisterResult(HRESULT result) { m_registerResult = result; }
    void setImageDialogResult(HRESULT result) { m_imageDialogResult = result; }

    // "EnumDeviceInfo 16", "CreateDevice cam-1", "RegisterEventCallbackInterface 0 all connected", ...
    std::vector<std::string> calls() const;
    void clearCalls();
    const std::vector<ImageDialog> &imageDialogs() const { return m_imageDialogs; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override;
    TEST_COM_REFERENCES

    // IWiaDevMgr
    HRESULT STDMETHODCALLTYPE EnumDeviceInfo(LONG flags, IEnumWIA_DEV_INFO **devices) override;
    HRESULT STDMETHODCALLTYPE CreateDevice(BSTR deviceId, IWiaItem **root) override;
    HRESULT STDMETHODCALLTYPE SelectDeviceDlg(HWND, LONG, LONG, BSTR *, IWiaItem **) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SelectDeviceDlgID(HWND, LONG, LONG, BSTR *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetImageDlg(HWND parent, LONG deviceType, LONG flags, LONG intent,
                                          IWiaItem *root, BSTR fileName, GUID *format) override;
    HRESULT STDMETHODCALLTYPE RegisterEventCallbackProgram(LONG flags, BSTR deviceId, const GUID *event,
                                                           BSTR commandLine, BSTR name, BSTR description,
                                                           BSTR icon) override;
    HRESULT STDMETHODCALLTYPE RegisterEventCallbackInterface(LONG flags, BSTR deviceId, const GUID *event,
                                                             IWiaEventCallback *callback,
                                                             IUnknown **registration) override;
    HRESULT STDMETHODCALLTYPE RegisterEventCallbackCLSID(LONG flags, BSTR deviceId, const GUID *event,
                                                         const GUID *classId, BSTR name, BSTR description,
                                                         BSTR icon) override;
    HRESULT STDMETHODCALLTYPE AddDeviceDlg(HWND, LONG) override { return E_NOTIMPL; }

  private:
    void finalRelease() override;
    void log(const std::string &call);
    HRESULT registerHandler(LONG flags, BSTR deviceId, const GUID *event, const TestWiaHandler &handler,
                            const std::string &call);

    std::vector<TestWiaItem *> m_devices;
    int m_deviceNumber = 0;
    std::vector<TestWiaHandler> m_handlers;
    std::vector<TestWiaRegistration *> m_registrations;
    HRESULT m_enumResult = S_OK;
    HRESULT m_registerResult = S_OK;
    HRESULT m_imageDialogResult = S_OK;
    std::vector<ImageDialog> m_imageDialogs;
    mutable std::mutex m_lock; // events may be played from another thread
    std::vector<std::string> m_calls;
};

// Short names of the events in the logs: "connected", "disconnected", else the identifier.
std::string eventName(const GUID &event);
