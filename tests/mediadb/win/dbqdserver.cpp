#include "dbqdserver.h"

#include <sstream>
#include <vector>

const char kClassKey[] = "CLSID\\{f060823e-f726-48c4-8f3b-fe71ffee339b}";
const char kServerKey[] = "CLSID\\{f060823e-f726-48c4-8f3b-fe71ffee339b}\\InprocServer32";

namespace
{

using ExportFn = HRESULT(STDAPICALLTYPE *)();
using GetClassObjectFn = HRESULT(STDAPICALLTYPE *)(REFCLSID, REFIID, void **);

std::string moduleFolder(HMODULE module)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/"));
}

std::string makeScratchFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::string folder = std::string(temp) + "dbqd-" + std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(GetTickCount() + attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return folder;
    }
    return {};
}

HRESULT callExport(HMODULE module, const char *name)
{
    auto fn = reinterpret_cast<ExportFn>(reinterpret_cast<void *>(GetProcAddress(module, name)));
    return fn ? fn() : E_NOTIMPL;
}

} // namespace

std::string builtDllPath()
{
    return moduleFolder(nullptr) + "\\DB_QD.dll";
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

DbqdServer::DbqdServer() : m_folder(makeScratchFolder())
{
    if (m_folder.empty())
        return;
    m_dllPath = m_folder + "\\DB_QD.dll";
    if (CopyFileA(builtDllPath().c_str(), m_dllPath.c_str(), FALSE))
        m_module = LoadLibraryA(m_dllPath.c_str());
}

DbqdServer::~DbqdServer()
{
    if (m_module)
        FreeLibrary(m_module);
    if (!m_folder.empty())
        removeTree(m_folder);
}

HRESULT DbqdServer::canUnloadNow() const
{
    return callExport(m_module, "DllCanUnloadNow");
}

HRESULT DbqdServer::getClassObject(REFCLSID classId, REFIID interfaceId, void **out) const
{
    auto fn = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void *>(GetProcAddress(m_module, "DllGetClassObject")));
    return fn ? fn(classId, interfaceId, out) : E_NOTIMPL;
}

HRESULT DbqdServer::registerServer() const
{
    return callExport(m_module, "DllRegisterServer");
}

HRESULT DbqdServer::unregisterServer() const
{
    return callExport(m_module, "DllUnregisterServer");
}

::testing::AssertionResult hasDefaultValue(const char *key, const std::string &expected)
{
    std::vector<char> value(1024);
    LONG size = static_cast<LONG>(value.size());
    const LONG status = RegQueryValueA(HKEY_CLASSES_ROOT, key, value.data(), &size);
    if (status != ERROR_SUCCESS)
        return ::testing::AssertionFailure() << "HKCR\\" << key << " cannot be read: error " << status;
    if (expected != value.data())
        return ::testing::AssertionFailure()
               << "HKCR\\" << key << " holds \"" << value.data() << "\", expected \"" << expected << "\"";
    return ::testing::AssertionSuccess();
}

bool keyExists(const char *key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

bool runningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

ULONG refCount(IUnknown *unknown)
{
    unknown->AddRef();
    return unknown->Release();
}

::testing::AssertionResult answersQuery(IUnknown *object, REFIID interfaceId, HRESULT expected)
{
    void *const untouched = reinterpret_cast<void *>(0x1234);
    void *out = untouched;
    const HRESULT result = object->QueryInterface(interfaceId, &out);
    std::ostringstream faults;
    if (result != expected)
        faults << "QueryInterface gave 0x" << std::hex << result << ", expected 0x" << expected << std::dec
               << "; ";
    if (expected == S_OK) {
        if (out != static_cast<void *>(object))
            faults << "another pointer handed out; ";
        const ULONG count = refCount(object);
        if (count != 2)
            faults << "reference count " << count << ", expected 2; ";
        if (result == S_OK && out)
            static_cast<IUnknown *>(out)->Release();
    } else if (out != untouched) {
        faults << "out pointer not left as it was; ";
    }
    if (faults.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << faults.str();
}

::testing::AssertionResult todoWine(bool windowsBehaviour, const char *wineDifference)
{
    if (!runningUnderWine())
        return windowsBehaviour ? ::testing::AssertionSuccess()
                                : ::testing::AssertionFailure() << "Windows behaviour expected";
    if (windowsBehaviour)
        return ::testing::AssertionFailure()
               << "Wine behaves like Windows now; drop the todoWine marker: " << wineDifference;
    return ::testing::AssertionSuccess() << "todo_wine: " << wineDifference;
}
