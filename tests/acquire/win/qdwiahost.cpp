#include "qdwiahost.h"

#include "testwiatext.h"

#include <wiadef.h>

const GUID kFormatBmp = {0xb96b3cac, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID kFormatJpeg = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID kFormatRawRgb = {0xbca48b55, 0xf272, 0x4371, {0xb0, 0xf1, 0x4a, 0x15, 0x0d, 0x05, 0x7b, 0xb4}};
const GUID kFormatUnknown = {0x12345678, 0x9abc, 0xdef0, {0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0}};

namespace
{

std::string joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += "\n    " + line;
    return text.empty() ? " (none)" : text;
}

} // namespace

QdWiaLibrary::QdWiaLibrary()
    : m_library(besideProgram("QDWIA.dll")), m_create(m_library.get<CreateQDWIAFunction>("CreateQDWIA")),
      m_destroy(m_library.get<DestroyQDWIAFunction>("DestroyQDWIA"))
{
}

void QdWiaTest::SetUp()
{
    ASSERT_TRUE(m_library.isLoaded());
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    m_comReady = true;
    m_service = std::make_unique<TestWiaService>();
    ASSERT_EQ(S_OK, m_service->registration());
}

void QdWiaTest::TearDown()
{
    if (m_object)
        destroy();
    if (m_service)
        m_service->stop();
    TestComTracker &tracker = TestComTracker::instance();
    EXPECT_EQ(0, tracker.overReleases()) << "released once too often:" << joined(tracker.overReleased());
    const std::vector<std::string> referenced = tracker.stillReferenced();
    EXPECT_TRUE(referenced.empty()) << "still referenced:" << joined(referenced);
    tracker.clear();
    m_service.reset();
    m_scratch.reset();
    if (m_comReady)
        CoUninitialize();
}

IQdWia *QdWiaTest::create()
{
    m_object = m_library.create();
    EXPECT_NE(nullptr, m_object);
    return m_object;
}

int32_t QdWiaTest::destroy()
{
    IQdWia *object = m_object;
    m_object = nullptr;
    return m_library.destroy(object);
}

TestWiaItem *QdWiaTest::addCamera(const std::wstring &id, const std::wstring &name)
{
    TestWiaItem *camera = manager().addDevice(id, name, kStiCamera);
    camera->properties().setInt(WIA_DPC_PICTURES_TAKEN, 2);
    camera->properties().setInt(WIA_DPC_PICTURES_REMAINING, 98);
    TestWiaItem *folder = camera->addChild(L"DCIM", WiaItemTypeFolder);
    addPicture(folder, L"IMG_0001", kFormatJpeg);
    addPicture(folder, L"IMG_0002", kFormatBmp);
    camera->addChild(L"Settings", WiaItemTypeFree);
    return camera;
}

TestWiaItem *QdWiaTest::addPicture(TestWiaItem *folder, const std::wstring &name, const GUID &format)
{
    TestWiaItem *picture = folder->addChild(name, WiaItemTypeFile | WiaItemTypeImage);
    picture->properties().setClsid(WIA_IPA_FORMAT, format);
    picture->properties().setClsid(WIA_IPA_PREFERRED_FORMAT, format);
    picture->properties().setText(WIA_IPA_FILENAME_EXTENSION, format == kFormatJpeg ? L"JPG" : L"BMP");
    picture->setContent(std::vector<uint8_t>(name.begin(), name.end()));
    return picture;
}

std::string QdWiaTest::scratchFolder()
{
    if (!m_scratch)
        m_scratch = std::make_unique<ScratchFolder>("qdwia");
    return m_scratch->path();
}

::testing::AssertionResult logIs(const std::vector<std::string> &log,
                                 const std::vector<std::string> &expected)
{
    if (log == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "log:" << joined(log) << "\nexpected:" << joined(expected);
}
