#include "qdwiahost.h"

#include "testwiatext.h"

#include <wiadef.h>

#include <fstream>
#include <sstream>

const GUID kFormatBmp = {0xb96b3cac, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID kFormatJpeg = {0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const GUID kFormatRawRgb = {0xbca48b55, 0xf272, 0x4371, {0xb0, 0xf1, 0x4a, 0x15, 0x0d, 0x05, 0x7b, 0xb4}};
const GUID kFormatUnknown = {0x12345678, 0x9abc, 0xdef0, {0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0}};

namespace
{

std::string programFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/"));
}

void removeTree(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += "\n    " + line;
    return text.empty() ? " (none)" : text;
}

} // namespace

QdWiaLibrary::QdWiaLibrary()
{
    m_module = LoadLibraryA((programFolder() + "\\QDWIA.dll").c_str());
    if (!m_module)
        return;
    m_create = reinterpret_cast<CreateQDWIAFunction>(
        reinterpret_cast<void *>(GetProcAddress(m_module, "CreateQDWIA")));
    m_destroy = reinterpret_cast<DestroyQDWIAFunction>(
        reinterpret_cast<void *>(GetProcAddress(m_module, "DestroyQDWIA")));
}

QdWiaLibrary::~QdWiaLibrary()
{
    if (m_module)
        FreeLibrary(m_module);
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
    if (!m_scratch.empty())
        removeTree(m_scratch);
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
    if (m_scratch.empty()) {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        for (unsigned attempt = 0; attempt < 1000 && m_scratch.empty(); ++attempt) {
            const std::string folder = std::string(temp) + "qdwia-" + std::to_string(GetCurrentProcessId()) +
                                       "-" + std::to_string(attempt);
            if (CreateDirectoryA(folder.c_str(), nullptr))
                m_scratch = folder;
        }
    }
    return m_scratch;
}

::testing::AssertionResult logIs(const std::vector<std::string> &log,
                                 const std::vector<std::string> &expected)
{
    if (log == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "log:" << joined(log) << "\nexpected:" << joined(expected);
}

ULONG refCount(IUnknown *unknown)
{
    unknown->AddRef();
    return unknown->Release();
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool writeFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
    return static_cast<bool>(out);
}

bool fileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool fileExists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool waitPumping(HANDLE handle, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        const DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0)
            return true;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

bool runningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
