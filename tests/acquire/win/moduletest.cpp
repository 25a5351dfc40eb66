// The exports, the object's life and references, its COM callbacks and the
// slot order of the objects as hosts call them.
#include "qdwiahost.h"

#include <wiadef.h>

namespace
{

// Calls a slot of a host-visible object by its position, as a host compiled
// against its own declaration does.
template <typename Result, typename... Args> Result callSlot(void *object, int slot, Args... args)
{
    using Slot = Result(QDWIA_CALL *)(void *, Args...);
    void **table = *static_cast<void ***>(object);
    return reinterpret_cast<Slot>(table[slot])(object, args...);
}

TEST(Exports, CreateAndDestroyByName)
{
    QdWiaLibrary library;
    ASSERT_TRUE(library.isLoaded());
    EXPECT_NE(nullptr, GetProcAddress(library.module(), "CreateQDWIA"));
    EXPECT_NE(nullptr, GetProcAddress(library.module(), "DestroyQDWIA"));
    EXPECT_EQ(0, library.destroy(nullptr));
}

class Module : public QdWiaTest
{
};

TEST_F(Module, DestroyAnswersOneAndGivesBackEveryReference)
{
    addCamera();
    const LONG managerBefore = manager().references();
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(2, manager().registrationCount());
    EXPECT_EQ(managerBefore + 1, manager().references());
    ASSERT_EQ(1, wia->selectDevice("cam-1"));
    Item folder(wia->findFirstItem());
    ASSERT_TRUE(folder);
    wia->setCurrentItem(folder.get());
    folder.reset();
    Item picture(wia->findFirstItem());
    ASSERT_TRUE(picture);
    picture.reset();
    EXPECT_EQ(1, destroy());
    EXPECT_EQ(0, manager().registrationCount());
    EXPECT_EQ(managerBefore, manager().references());
    // The fixture checks that nothing was released twice and nothing is still held.
}

TEST_F(Module, CallbacksShareOneCountAndAnswerTheirInterfaces)
{
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    IWiaEventCallback *events = wia->setEventSink(nullptr);
    ASSERT_NE(nullptr, events);
    IWiaDataCallback *data = nullptr;
    ASSERT_EQ(S_OK, events->QueryInterface(IID_IWiaDataCallback, reinterpret_cast<void **>(&data)));
    // The host's reference and the two event registrations.
    EXPECT_EQ(4u, refCount(events));
    EXPECT_EQ(4u, refCount(data));
    const struct {
        const char *what;
        IID interfaceId;
        void *expected;
    } cases[] = {
        {"IUnknown", IID_IUnknown, data},
        {"IWiaDataCallback", IID_IWiaDataCallback, data},
        {"IWiaEventCallback", IID_IWiaEventCallback, events},
        {"IWiaItem", IID_IWiaItem, nullptr},
        {"IClassFactory", IID_IClassFactory, nullptr},
    };
    for (IUnknown *from : {static_cast<IUnknown *>(events), static_cast<IUnknown *>(data)}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(c.what);
            void *out = reinterpret_cast<void *>(1);
            const HRESULT result = from->QueryInterface(c.interfaceId, &out);
            EXPECT_EQ(c.expected ? S_OK : E_NOINTERFACE, result);
            EXPECT_EQ(c.expected, out);
            if (out)
                static_cast<IUnknown *>(out)->Release();
        }
        EXPECT_EQ(E_POINTER, from->QueryInterface(IID_IUnknown, nullptr));
    }
    EXPECT_EQ(4u, refCount(events));
    data->Release();
    EXPECT_EQ(3u, refCount(events));
}

TEST_F(Module, ObjectHeldByAnotherLivesOnQuietly)
{
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    HostWindow window(m_log);
    wia->setNotifyWindow(window.handle(), HostWindow::kMessage);
    IWiaEventCallback *events = wia->setEventSink(nullptr);
    events->AddRef();
    const LONG managerHeld = manager().references();
    EXPECT_EQ(1, destroy());
    // Registrations and the device manager went at once; the object waits for its last holder.
    EXPECT_EQ(0, manager().registrationCount());
    EXPECT_EQ(managerHeld - 1, manager().references());
    EXPECT_EQ(1u, refCount(events));
    BSTR text = SysAllocString(L"Device connected");
    BSTR id = SysAllocString(L"cam-9");
    ULONG eventType = WIA_NOTIFICATION_EVENT;
    EXPECT_EQ(E_FAIL, events->ImageEventCallback(&WIA_EVENT_DEVICE_CONNECTED, text, id, nullptr, 2, nullptr,
                                                 &eventType, 0))
        << "no device manager to count with";
    SysFreeString(text);
    SysFreeString(id);
    EXPECT_TRUE(m_log.empty()) << "no messages once the host is gone";
    EXPECT_EQ(0u, events->Release());
    EXPECT_EQ(managerHeld - 1, manager().references()) << "the device manager is not released again";
}

TEST_F(Module, SlotsWhereHostsFindThem)
{
    TestWiaItem *camera = addCamera();
    camera->find(L"0000\\Root\\DCIM\\IMG_0001")->properties().setInt(WIA_IPA_ITEM_SIZE, 4711);
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(1, (callSlot<int32_t>(wia, 1)));
    EXPECT_EQ(QDWIA_DEVICE_CAMERA, (callSlot<int32_t, int32_t>(wia, 2, 0)));
    EXPECT_EQ(1, (callSlot<int32_t, const char *>(wia, 5, "cam-1")));
    EXPECT_EQ(1, (callSlot<int32_t>(wia, 9)));
    EXPECT_EQ(static_cast<int32_t>(E_POINTER), (callSlot<int32_t, HWND>(wia, 13, nullptr)));
    HostWindow window(m_log);
    EXPECT_EQ(nullptr, (callSlot<HWND, HWND, UINT>(wia, 14, window.handle(), HostWindow::kMessage)));
    EXPECT_EQ(window.handle(), (callSlot<HWND, HWND, UINT>(wia, 14, nullptr, 0u)));
    EXPECT_EQ(wia->setEventSink(nullptr),
              (callSlot<IWiaEventCallback *, QdWiaEventSink *>(wia, 18, nullptr)));

    void *item = callSlot<void *, const char *>(wia, 10, "0000\\Root\\DCIM\\IMG_0001");
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(QDWIA_ITEM_IMAGE, (callSlot<int32_t>(item, 1)));
    EXPECT_EQ(6, (callSlot<int32_t>(item, 2)));
    EXPECT_STREQ("IMG_0001", (callSlot<const char *>(item, 3)));
    EXPECT_STREQ("JPG", (callSlot<const char *>(item, 5)));
    EXPECT_EQ(4711, (callSlot<int32_t>(item, 13)));
    callSlot<void>(item, 0);

    void *list = callSlot<void *, const char *>(wia, 17, "cam-1");
    ASSERT_NE(nullptr, list);
    EXPECT_STREQ("cam-1", (callSlot<const char *>(list, 1)));
    EXPECT_EQ(0, (callSlot<int32_t>(list, 2)));
    EXPECT_EQ(0, (callSlot<int32_t, int32_t>(list, 8, 0)));
    EXPECT_EQ(list, (callSlot<void *, uint32_t>(list, 9, 1u)));
}

TEST(ComApartment, LeftAsTheHostHadIt)
{
    QdWiaLibrary library;
    ASSERT_TRUE(library.isLoaded());
    const struct {
        const char *what;
        DWORD model;
    } cases[] = {{"single-threaded", COINIT_APARTMENTTHREADED}, {"multi-threaded", COINIT_MULTITHREADED}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, c.model));
        {
            TestWiaService service;
            ASSERT_EQ(S_OK, service.registration());
            service.manager().addDevice(L"scan-1", L"Flatbed", kStiScanner);
            IQdWia *wia = library.create();
            ASSERT_NE(nullptr, wia);
            EXPECT_EQ(1, wia->getDeviceCount());
            EXPECT_EQ(1, library.destroy(wia));
            // Still the host's apartment: initialising again only counts up.
            EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, c.model));
            CoUninitialize();
        }
        CoUninitialize();
        // Nothing of the library's is left: any apartment may start now.
        const DWORD other = c.model == COINIT_MULTITHREADED ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED;
        EXPECT_EQ(S_OK, CoInitializeEx(nullptr, other));
        CoUninitialize();
        TestComTracker::instance().clear();
    }
}

} // namespace
