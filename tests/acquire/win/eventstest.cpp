// Device events reaching the host's window and sink, the connect-event
// handler registrations and the camera picture dialog.
#include "qdwiahost.h"
#include "testwiatext.h"

#include <wiadef.h>

#include <process.h>

namespace
{

// {4f1c9a2e-7d3b-4a55-9e0c-2b8d6f1a3c77}
const GUID kHostHandler = {0x4f1c9a2e, 0x7d3b, 0x4a55, {0x9e, 0x0c, 0x2b, 0x8d, 0x6f, 0x1a, 0x3c, 0x77}};
// {0b5e3c11-52aa-4c6e-8f27-91d0e4b6a210}
const GUID kSystemHandler = {0x0b5e3c11, 0x52aa, 0x4c6e, {0x8f, 0x27, 0x91, 0xd0, 0xe4, 0xb6, 0xa2, 0x10}};

class Events : public QdWiaTest
{
  protected:
    IQdWia *createListening(bool withSink = true)
    {
        IQdWia *wia = create();
        if (!wia)
            return nullptr;
        m_window = std::make_unique<HostWindow>(m_log);
        EXPECT_EQ(nullptr, wia->setNotifyWindow(m_window->handle(), HostWindow::kMessage))
            << "no window before";
        if (withSink)
            wia->setEventSink(&m_sink);
        return wia;
    }

    RecordingSink m_sink{m_log};
    std::unique_ptr<HostWindow> m_window;
};

TEST_F(Events, ConnectAndDisconnectReachWindowAndSink)
{
    addCamera(L"cam-1");
    IQdWia *wia = createListening();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(1, wia->getDeviceCount());

    EXPECT_EQ(std::vector<HRESULT>{S_OK}, manager().connect(L"cam-9", L"Pocket Camera", kStiCamera));
    EXPECT_TRUE(logIs(m_log, {"connected cam-9", "sink 0|Device connected|cam-9|Pocket Camera|1|(null)"}));
    EXPECT_EQ(2, wia->getDeviceCount()) << "the count follows the event";

    m_log.clear();
    EXPECT_EQ(std::vector<HRESULT>{S_OK}, manager().disconnect(L"cam-9"));
    EXPECT_TRUE(logIs(m_log, {"disconnected cam-9"}));
    EXPECT_EQ(1, wia->getDeviceCount());
}

TEST_F(Events, SinkLearnsTheKindAndItemOfTheEvent)
{
    const struct {
        DWORD deviceType;
        const wchar_t *item;
        const char *expected;
    } cases[] = {
        {1, nullptr, "sink 0|Device connected|dev|Reader|2|(null)"},
        {2, L"0000\\Root\\DCIM", "sink 0|Device connected|dev|Reader|1|0000\\Root\\DCIM"},
        {3, nullptr, "sink 0|Device connected|dev|Reader|3|(null)"},
        {0x00050002, nullptr, "sink 0|Device connected|dev|Reader|1|(null)"},
        {0x00020000, nullptr, "sink 0|Device connected|dev|Reader|0|(null)"},
        {4, nullptr, "sink 0|Device connected|dev|Reader|0|(null)"},
    };
    IQdWia *wia = createListening();
    ASSERT_NE(nullptr, wia);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.deviceType);
        m_log.clear();
        manager().fire(WIA_EVENT_DEVICE_CONNECTED, L"dev", L"Reader", c.deviceType, c.item);
        EXPECT_TRUE(logIs(m_log, {"connected dev", c.expected}));
    }
}

TEST_F(Events, SinkOffWindowStays)
{
    IQdWia *wia = createListening();
    ASSERT_NE(nullptr, wia);
    IWiaEventCallback *callback = wia->setEventSink(nullptr);
    ASSERT_NE(nullptr, callback);
    manager().connect(L"cam-9", L"Pocket Camera", kStiCamera);
    EXPECT_TRUE(logIs(m_log, {"connected cam-9"}));
    // The answer is the object's own event callback.
    IWiaEventCallback *queried = nullptr;
    ASSERT_EQ(S_OK, callback->QueryInterface(IID_IWiaEventCallback, reinterpret_cast<void **>(&queried)));
    EXPECT_EQ(callback, queried);
    queried->Release();
}

TEST_F(Events, SinkWithoutWindow)
{
    IQdWia *wia = createListening();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(m_window->handle(), wia->setNotifyWindow(nullptr, 0)) << "the window set before";
    manager().connect(L"cam-9", L"Pocket Camera", kStiCamera);
    manager().disconnect(L"cam-9");
    EXPECT_TRUE(logIs(m_log, {"sink 0|Device connected|cam-9|Pocket Camera|1|(null)"}));
}

unsigned __stdcall disconnectFromWorker(void *argument)
{
    static_cast<TestWiaDevMgr *>(argument)->disconnect(L"cam-1");
    return 0;
}

TEST_F(Events, EventFromAnotherThreadReachesTheWindowOnItsThread)
{
    addCamera(L"cam-1");
    IQdWia *wia = createListening();
    ASSERT_NE(nullptr, wia);
    // WIA calls back on its own threads; the window's thread handles the message.
    HANDLE worker =
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &disconnectFromWorker, &manager(), 0, nullptr));
    ASSERT_NE(nullptr, worker);
    EXPECT_TRUE(waitPumping(worker));
    CloseHandle(worker);
    EXPECT_TRUE(logIs(m_log, {"disconnected cam-1"}));
    EXPECT_EQ(GetCurrentThreadId(), m_window->lastThread());
    EXPECT_EQ(0, wia->getDeviceCount());
}

TEST_F(Events, CallbackRefusesMissingArgumentsAndIgnoresOtherEvents)
{
    IQdWia *wia = createListening();
    ASSERT_NE(nullptr, wia);
    IWiaEventCallback *callback = wia->setEventSink(&m_sink);
    BSTR text = SysAllocString(L"Device connected");
    BSTR id = SysAllocString(L"cam-9");
    ULONG eventType = WIA_NOTIFICATION_EVENT;
    const GUID connected = WIA_EVENT_DEVICE_CONNECTED;
    const struct {
        const char *what;
        const GUID *event;
        BSTR description;
        BSTR deviceId;
        ULONG *eventType;
        HRESULT result;
    } cases[] = {
        {"no event", nullptr, text, id, &eventType, E_POINTER},
        {"no description", &connected, nullptr, id, &eventType, E_POINTER},
        {"no device", &connected, text, nullptr, &eventType, E_POINTER},
        {"no event type", &connected, text, id, nullptr, E_POINTER},
        {"another event", &WIA_EVENT_ITEM_CREATED, text, id, &eventType, S_OK},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, callback->ImageEventCallback(c.event, c.description, c.deviceId, nullptr, 2,
                                                         nullptr, c.eventType, 0));
    }
    EXPECT_TRUE(m_log.empty());
    // A failing count read is the callback's answer.
    manager().setEnumResult(E_ACCESSDENIED);
    EXPECT_EQ(E_ACCESSDENIED,
              callback->ImageEventCallback(&connected, text, id, nullptr, 2, nullptr, &eventType, 0));
    EXPECT_TRUE(logIs(m_log, {"connected cam-9", "sink 0|Device connected|cam-9||1|(null)"}));
    SysFreeString(text);
    SysFreeString(id);
}

TEST_F(Events, DataCallbackSendsStatusOnly)
{
    IQdWia *wia = createListening();
    ASSERT_NE(nullptr, wia);
    IWiaDataCallback *data = nullptr;
    ASSERT_EQ(S_OK, wia->setEventSink(&m_sink)->QueryInterface(IID_IWiaDataCallback,
                                                               reinterpret_cast<void **>(&data)));
    const struct {
        LONG message;
        LONG percent;
    } calls[] = {{IT_MSG_DATA_HEADER, 0}, {IT_MSG_STATUS, 10},       {IT_MSG_DATA, 20},
                 {IT_MSG_STATUS, 90},     {IT_MSG_TERMINATION, 100}, {IT_MSG_NEW_PAGE, 100}};
    for (const auto &call : calls)
        EXPECT_EQ(S_OK, data->BandedDataCallback(call.message, IT_STATUS_TRANSFER_TO_CLIENT, call.percent, 0,
                                                 0, 0, 0, nullptr));
    EXPECT_TRUE(logIs(m_log, {"status 10", "status 90"}));
    data->Release();
}

TEST_F(Events, HandlerRegistrationRoundTrip)
{
    addCamera(L"cam-1");
    manager().addHandler({WIA_EVENT_DEVICE_CONNECTED, L"", kSystemHandler, WIA_IS_DEFAULT_HANDLER,
                          L"Scanner Wizard", L"Copies pictures", L"wiashext.dll,1", L""});
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    manager().clearCalls();
    EXPECT_EQ(S_OK, wia->registerConnectEventClsid(&kHostHandler, "Lumo", "Order prints", "lumo.exe,0", 0));
    EXPECT_EQ(S_OK, wia->registerConnectEventProgram("C:\\Lumo\\lumo.exe /import", "Lumo import",
                                                     "Import pictures", "lumo.exe,1", 0));
    EXPECT_TRUE(
        logIs(manager().calls(), {"RegisterEventCallbackCLSID 1 all connected " + guidText(kHostHandler) +
                                      " Lumo|Order prints|lumo.exe,0",
                                  "RegisterEventCallbackProgram 1 all connected C:\\Lumo\\lumo.exe /import "
                                  "Lumo import|Import pictures|lumo.exe,1"}));

    HandlerList list(wia->getConnectEventHandlers("cam-1"));
    ASSERT_TRUE(list);
    EXPECT_STREQ("cam-1", list->getDeviceId());
    ASSERT_EQ(3, list->getCount());
    const struct {
        const char *name;
        const char *description;
        const char *icon;
        const char *commandLine;
        GUID id;
        int32_t isDefault;
    } expected[] = {
        {"Scanner Wizard", "Copies pictures", "wiashext.dll,1", "", kSystemHandler, 1},
        {"Lumo", "Order prints", "lumo.exe,0", "", kHostHandler, 0},
        {"Lumo import", "Import pictures", "lumo.exe,1", "C:\\Lumo\\lumo.exe /import", GUID_NULL, 0},
    };
    for (int32_t index = 0; index < 3; ++index) {
        SCOPED_TRACE(index);
        EXPECT_STREQ(expected[index].name, list->getName(index));
        EXPECT_STREQ(expected[index].description, list->getDescription(index));
        EXPECT_STREQ(expected[index].icon, list->getIcon(index));
        EXPECT_STREQ(expected[index].commandLine, list->getCommandLine(index));
        ASSERT_NE(nullptr, list->getHandlerId(index));
        EXPECT_EQ(expected[index].id, *list->getHandlerId(index));
        EXPECT_EQ(expected[index].isDefault, list->isDefault(index));
    }
    for (int32_t index : {-1, 3, 100}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(nullptr, list->getName(index));
        EXPECT_EQ(nullptr, list->getDescription(index));
        EXPECT_EQ(nullptr, list->getIcon(index));
        EXPECT_EQ(nullptr, list->getCommandLine(index));
        EXPECT_EQ(nullptr, list->getHandlerId(index));
        EXPECT_EQ(0, list->isDefault(index));
    }

    EXPECT_EQ(S_OK, wia->registerConnectEventClsid(&kHostHandler, "Lumo", "Order prints", "lumo.exe,0", 1));
    EXPECT_EQ(S_OK, wia->registerConnectEventProgram("C:\\Lumo\\lumo.exe /import", "Lumo import",
                                                     "Import pictures", "lumo.exe,1", 7));
    HandlerList after(wia->getConnectEventHandlers("cam-1"));
    ASSERT_TRUE(after);
    ASSERT_EQ(1, after->getCount());
    EXPECT_STREQ("Scanner Wizard", after->getName(0));
    const std::vector<std::string> calls = manager().calls();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(0u, calls[3].rfind("RegisterEventCallbackCLSID 2 all connected", 0)) << calls[3];
    EXPECT_EQ(0u, calls[4].rfind("RegisterEventCallbackProgram 2 all connected", 0)) << calls[4];
}

TEST_F(Events, DeviceWithoutHandlers)
{
    addCamera(L"cam-1");
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    IWiaEventHandlerList *list = wia->getConnectEventHandlers("cam-1");
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(0, list->getCount());
    EXPECT_EQ(0, list->isDefault(-1)) << "no default handler";
    EXPECT_EQ(nullptr, list->getName(0));
    // The last slot is the deleting destructor: bit 0 frees the list.
    EXPECT_EQ(static_cast<void *>(list), list->deletingDestructor(1));
    EXPECT_EQ(nullptr, wia->getConnectEventHandlers("cam-9"));
    EXPECT_EQ(nullptr, wia->getConnectEventHandlers(nullptr));
}

TEST_F(Events, RegistrationArgumentsAreChecked)
{
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    manager().clearCalls();
    const std::string longName(256, 'n');
    const std::string longText(512, 't');
    const struct {
        const char *what;
        HRESULT (*call)(IQdWia *, const std::string &, const std::string &);
        HRESULT result;
    } cases[] = {
        {"no class",
         [](IQdWia *w, const std::string &, const std::string &) {
             return w->registerConnectEventClsid(nullptr, "Lumo", "Order prints", "lumo.exe,0", 0);
         },
         E_POINTER},
        {"no name",
         [](IQdWia *w, const std::string &, const std::string &) {
             return w->registerConnectEventClsid(&kHostHandler, nullptr, "Order prints", "lumo.exe,0", 0);
         },
         E_POINTER},
        {"no icon",
         [](IQdWia *w, const std::string &, const std::string &) {
             return w->registerConnectEventProgram("lumo.exe", "Lumo", "Order prints", nullptr, 0);
         },
         E_POINTER},
        {"no command line",
         [](IQdWia *w, const std::string &, const std::string &) {
             return w->registerConnectEventProgram(nullptr, "Lumo", "Order prints", "lumo.exe,0", 0);
         },
         E_POINTER},
        {"name of 256",
         [](IQdWia *w, const std::string &name, const std::string &) {
             return w->registerConnectEventClsid(&kHostHandler, name.c_str(), "Order prints", "lumo.exe,0",
                                                 0);
         },
         E_INVALIDARG},
        {"description of 512",
         [](IQdWia *w, const std::string &, const std::string &text) {
             return w->registerConnectEventProgram("lumo.exe", "Lumo", text.c_str(), "lumo.exe,0", 0);
         },
         E_INVALIDARG},
        {"command line of 512",
         [](IQdWia *w, const std::string &, const std::string &text) {
             return w->registerConnectEventProgram(text.c_str(), "Lumo", "Order prints", "lumo.exe,0", 0);
         },
         E_INVALIDARG},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.result, c.call(wia, longName, longText));
    }
    EXPECT_TRUE(manager().calls().empty());
    // What fits goes through, and WIA's own answer reaches the host.
    manager().setRegisterResult(E_ACCESSDENIED);
    EXPECT_EQ(E_ACCESSDENIED, wia->registerConnectEventClsid(&kHostHandler, longName.substr(1).c_str(),
                                                             longText.substr(1).c_str(), "lumo.exe,0", 0));
}

TEST_F(Events, PictureDialogForCameras)
{
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(static_cast<int32_t>(E_POINTER), wia->getImageDlg(nullptr));
    EXPECT_TRUE(manager().imageDialogs().empty());
    HostWindow window(m_log);
    const struct {
        HRESULT answer;
        int32_t result;
    } cases[] = {{S_OK, 1}, {S_FALSE, 0}, {E_FAIL, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.answer);
        manager().setImageDialogResult(c.answer);
        EXPECT_EQ(c.result, wia->getImageDlg(window.handle()));
    }
    ASSERT_EQ(3u, manager().imageDialogs().size());
    const TestWiaDevMgr::ImageDialog &dialog = manager().imageDialogs()[0];
    EXPECT_EQ(window.handle(), dialog.parent);
    EXPECT_EQ(2, dialog.deviceType) << "digital camera";
    EXPECT_EQ(1, dialog.flags);
    EXPECT_EQ(0, dialog.intent);
    EXPECT_FALSE(dialog.itemGiven);
    EXPECT_EQ(L"c:\\test.jpg", dialog.fileName);
    EXPECT_FALSE(dialog.formatGiven);
}

} // namespace
