#pragma once

#include "comchecks.h"
#include "hostfiles.h"
#include "hostlibrary.h"
#include "hostmessages.h"
#include "hostwindow.h"
#include "qdwia.h"
#include "recordingsink.h"
#include "scratchfolder.h"
#include "testwiaitem.h"
#include "testwiaservice.h"
#include "winetodo.h"

#include <gtest/gtest.h>
#include <wia.h>

#include <memory>
#include <string>
#include <vector>

// The device-type property: STI type in the high 16 bits.
constexpr int32_t kStiScanner = 1 << 16;
constexpr int32_t kStiCamera = 2 << 16;
constexpr int32_t kStiVideo = 3 << 16;

// Transfer formats by the values hosts know them under (the SDK headers'
// names for these values are one off: its "PNG" is this "JPEG").
extern const GUID kFormatBmp;
extern const GUID kFormatJpeg;
extern const GUID kFormatRawRgb;
extern const GUID kFormatUnknown;

// QDWIA.dll built beside this test program, loaded as a host loads it.
class QdWiaLibrary
{
  public:
    QdWiaLibrary();
    QdWiaLibrary(const QdWiaLibrary &) = delete;
    QdWiaLibrary &operator=(const QdWiaLibrary &) = delete;

    bool isLoaded() const { return m_create && m_destroy; }
    HMODULE module() const { return m_library.module(); }
    IQdWia *create() const { return m_create(); }
    int32_t destroy(IQdWia *object) const { return m_destroy(object); }

  private:
    HostLibrary m_library;
    CreateQDWIAFunction m_create = nullptr;
    DestroyQDWIAFunction m_destroy = nullptr;
};

struct ItemDestroyer {
    void operator()(IWiaItemWrapper *item) const { item->destroy(); }
};
using Item = std::unique_ptr<IWiaItemWrapper, ItemDestroyer>;

struct ListReleaser {
    void operator()(IWiaEventHandlerList *list) const { list->release(); }
};
using HandlerList = std::unique_ptr<IWiaEventHandlerList, ListReleaser>;

// A host with the test WIA service in place of the system's. Each test
// scripts its devices, then creates the acquisition object; at the end the
// fixture destroys it and checks that every reference the library took on
// the service's objects was given back, none twice.
class QdWiaTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    TestWiaDevMgr &manager() { return m_service->manager(); }
    IQdWia *create();
    // DestroyQDWIA on the fixture's object.
    int32_t destroy();

    // A camera: DCIM folder with IMG_0001 (JPEG) and IMG_0002 (BMP), a settings item.
    TestWiaItem *addCamera(const std::wstring &id = L"cam-1", const std::wstring &name = L"Holiday Camera");
    // A picture file in the folder with its format and preferred format.
    TestWiaItem *addPicture(TestWiaItem *folder, const std::wstring &name, const GUID &format);
    // A folder of its own for files of this test, removed at the end.
    std::string scratchFolder();

    QdWiaLibrary m_library;
    std::unique_ptr<TestWiaService> m_service;
    IQdWia *m_object = nullptr;
    std::vector<std::string> m_log;

  private:
    bool m_comReady = false;
    std::unique_ptr<ScratchFolder> m_scratch;
};

// The whole log, in order.
::testing::AssertionResult logIs(const std::vector<std::string> &log,
                                 const std::vector<std::string> &expected);
