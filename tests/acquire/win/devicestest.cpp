// The device list: names, identifiers, kinds and picture counts as a host
// reads them, device by index and by identifier.
#include "qdwiahost.h"
#include "testwiatext.h"

#include <wiadef.h>

#include <cstring>

namespace
{

struct ListedDevice {
    const char *id;
    const char *name;
    int32_t kind;
    int32_t picturesTaken;
    int32_t picturesRemaining;
};

::testing::AssertionResult infoIs(const WiaDeviceInfo &info, const ListedDevice &expected)
{
    if (std::strcmp(info.id, expected.id) != 0 || std::strcmp(info.name, expected.name) != 0 ||
        info.kind != expected.kind || info.picturesTaken != expected.picturesTaken ||
        info.picturesRemaining != expected.picturesRemaining)
        return ::testing::AssertionFailure()
               << "device (" << info.id << ", " << info.name << ", kind " << info.kind << ", "
               << info.picturesTaken << "/" << info.picturesRemaining << "), expected (" << expected.id
               << ", " << expected.name << ", kind " << expected.kind << ", " << expected.picturesTaken << "/"
               << expected.picturesRemaining << ")";
    return ::testing::AssertionSuccess();
}

WiaDeviceInfo untouchedInfo()
{
    WiaDeviceInfo info;
    std::memset(&info, 0x5a, sizeof info);
    return info;
}

bool isUntouched(const WiaDeviceInfo &info)
{
    const WiaDeviceInfo before = untouchedInfo();
    return std::memcmp(&info, &before, sizeof info) == 0;
}

class Devices : public QdWiaTest
{
  protected:
    // Scanner, camera, video camera and a device of another STI type, in this order.
    void addFourDevices()
    {
        manager().addDevice(L"scan-1", L"Flatbed", kStiScanner | 0x0003);
        addCamera(L"cam-1", L"Holiday Camera");
        manager().addDevice(L"video-1", L"Web Camera", kStiVideo);
        // Names may come as either kind of wide text.
        manager()
            .addDevice(L"other-1", L"", 4 << 16)
            ->properties()
            .setWideText(WIA_DIP_DEV_NAME, L"Film Reader");
    }
};

TEST_F(Devices, ListedWithNamesKindsAndPictureCounts)
{
    addFourDevices();
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(4, wia->getDeviceCount());
    const ListedDevice expected[] = {
        {"scan-1", "Flatbed", QDWIA_DEVICE_SCANNER, -1, -1},
        {"cam-1", "Holiday Camera", QDWIA_DEVICE_CAMERA, 2, 98},
        {"video-1", "Web Camera", QDWIA_DEVICE_VIDEO, -1, -1},
        {"other-1", "Film Reader", QDWIA_DEVICE_UNKNOWN, -1, -1},
    };
    for (int32_t index = 0; index < 4; ++index) {
        SCOPED_TRACE(index);
        WiaDeviceInfo info = untouchedInfo();
        ASSERT_EQ(1, wia->getDeviceInfo(index, &info));
        EXPECT_TRUE(infoIs(info, expected[index]));
        EXPECT_EQ(0x5a5a5a5a, info.reserved) << "the reserved field is not written";
        EXPECT_EQ(expected[index].kind, wia->getDeviceType(index));
    }
    // Only local devices are asked for.
    for (const std::string &call : manager().calls()) {
        if (call.rfind("EnumDeviceInfo", 0) == 0) {
            EXPECT_EQ("EnumDeviceInfo 16", call);
        }
    }
}

TEST_F(Devices, IndexOutsideTheListAnswersZero)
{
    addFourDevices();
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    for (int32_t index : {4, 5, 1000, -1}) {
        SCOPED_TRACE(index);
        WiaDeviceInfo info = untouchedInfo();
        EXPECT_EQ(0, wia->getDeviceInfo(index, &info));
        EXPECT_TRUE(isUntouched(info));
        EXPECT_EQ(0, wia->getDeviceType(index));
    }
    EXPECT_EQ(0, wia->getDeviceInfo(0, nullptr));
}

TEST_F(Devices, CountedByKind)
{
    addFourDevices();
    manager().addDevice(L"scan-2", L"Slide Scanner", kStiScanner);
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    const struct {
        int32_t kind;
        int32_t count;
    } cases[] = {{QDWIA_DEVICE_UNKNOWN, 1},
                 {QDWIA_DEVICE_CAMERA, 1},
                 {QDWIA_DEVICE_SCANNER, 2},
                 {QDWIA_DEVICE_VIDEO, 1},
                 {7, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(c.count, wia->countDevicesOfType(c.kind));
    }
}

TEST_F(Devices, ReadByIdentifier)
{
    addFourDevices();
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    WiaDeviceInfo info = untouchedInfo();
    ASSERT_EQ(1, wia->getDeviceInfoById("cam-1", &info));
    EXPECT_TRUE(infoIs(info, {"cam-1", "Holiday Camera", QDWIA_DEVICE_CAMERA, 2, 98}));
    EXPECT_EQ(0x5a5a5a5a, info.reserved);

    for (const char *id : {"cam-9", ""}) {
        SCOPED_TRACE(id);
        WiaDeviceInfo missing = untouchedInfo();
        EXPECT_EQ(0, wia->getDeviceInfoById(id, &missing));
        EXPECT_TRUE(isUntouched(missing));
    }
    EXPECT_EQ(0, wia->getDeviceInfoById(nullptr, &info));
    EXPECT_EQ(0, wia->getDeviceInfoById("cam-1", nullptr));
}

TEST_F(Devices, MalformedDevicePropertiesAreNotFilledIn)
{
    const struct {
        const char *what;
        PROPID id;
    } cases[] = {{"name is a number", WIA_DIP_DEV_NAME},
                 {"identifier is a number", WIA_DIP_DEV_ID},
                 {"type is a text", WIA_DIP_DEV_TYPE}};
    for (const auto &c : cases) {
        TestWiaItem *device = manager().addDevice(widen(c.what), L"Broken", kStiCamera);
        if (c.id == WIA_DIP_DEV_TYPE)
            device->properties().setText(c.id, L"camera");
        else
            device->properties().setInt(c.id, 7);
    }
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    for (int32_t index = 0; index < 3; ++index) {
        SCOPED_TRACE(cases[index].what);
        WiaDeviceInfo info = untouchedInfo();
        EXPECT_EQ(0, wia->getDeviceInfo(index, &info));
        EXPECT_TRUE(isUntouched(info));
        EXPECT_EQ(0, wia->getDeviceType(index));
    }
}

TEST_F(Devices, LongNameIsCutLongIdentifierRefused)
{
    const std::wstring longName(200, L'N');
    const std::wstring longId(1100, L'i');
    manager().addDevice(L"named", longName, kStiScanner);
    manager().addDevice(longId, L"Long identifier", kStiScanner);
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);

    WiaDeviceInfo info = untouchedInfo();
    ASSERT_EQ(1, wia->getDeviceInfo(0, &info));
    EXPECT_EQ(std::string(127, 'N'), std::string(info.name));
    EXPECT_STREQ("named", info.id);

    WiaDeviceInfo refused = untouchedInfo();
    EXPECT_EQ(0, wia->getDeviceInfo(1, &refused));
    EXPECT_TRUE(isUntouched(refused));
    EXPECT_EQ(1, wia->countDevicesOfType(QDWIA_DEVICE_SCANNER));
}

TEST_F(Devices, WithoutWiaServiceEveryOperationFails)
{
    addCamera();
    m_service->refuseCreation(REGDB_E_CLASSNOTREG);
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(1, m_service->creations());
    EXPECT_EQ(0, wia->getDeviceCount());
    EXPECT_EQ(0, wia->countDevicesOfType(QDWIA_DEVICE_CAMERA));
    EXPECT_EQ(0, wia->getDeviceType(0));
    WiaDeviceInfo info = untouchedInfo();
    EXPECT_EQ(0, wia->getDeviceInfo(0, &info));
    EXPECT_EQ(0, wia->getDeviceInfoById("cam-1", &info));
    EXPECT_TRUE(isUntouched(info));
    EXPECT_EQ(0, wia->selectDevice("cam-1"));
    EXPECT_EQ(nullptr, wia->findFirstItem());
    EXPECT_EQ(nullptr, wia->findNextItem());
    EXPECT_EQ(nullptr, wia->findItem("0000\\Root\\DCIM\\IMG_0001"));
    EXPECT_EQ(0, wia->isAtRoot());
    EXPECT_EQ(0, wia->transferItemToFile("0000\\Root\\DCIM\\IMG_0001", "C:\\picture.jpg"));
    EXPECT_EQ(0, wia->deleteItem("0000\\Root\\DCIM\\IMG_0001"));
    HostWindow window(m_log);
    EXPECT_EQ(0, wia->getImageDlg(window.handle()));
    const GUID handler = kFormatUnknown;
    EXPECT_EQ(E_FAIL, wia->registerConnectEventClsid(&handler, "Lumo", "Imports", "lumo.exe,0", 0));
    EXPECT_EQ(E_FAIL, wia->registerConnectEventProgram("lumo.exe", "Lumo", "Imports", "lumo.exe,0", 0));
    EXPECT_EQ(nullptr, wia->getConnectEventHandlers("cam-1"));
    EXPECT_TRUE(manager().calls().empty());
    EXPECT_EQ(1, destroy());
}

TEST_F(Devices, DeviceManagerIsAskedForAsLocalServer)
{
    // The service's class is registered for local servers only: an in-process
    // request would not reach it.
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(1, m_service->creations());
    EXPECT_TRUE(
        logIs(manager().calls(), {"RegisterEventCallbackInterface 0 all connected",
                                  "RegisterEventCallbackInterface 0 all disconnected", "EnumDeviceInfo 16"}));
    EXPECT_EQ(0, wia->getDeviceCount());
}

TEST(SystemService, WineWiaServiceListsNoDevices)
{
    // Without the test service the system's own WIA service answers; Wine's has no devices.
    QdWiaLibrary library;
    ASSERT_TRUE(library.isLoaded());
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IQdWia *wia = library.create();
    ASSERT_NE(nullptr, wia);
    const int32_t count = wia->getDeviceCount();
    if (runningUnderWine()) {
        EXPECT_EQ(0, count);
    }
    EXPECT_EQ(0, wia->getDeviceType(count));
    EXPECT_EQ(1, library.destroy(wia));
    CoUninitialize();
}

} // namespace
