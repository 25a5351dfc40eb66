#include "dbqdserver.h"

#include <vector>

const char kClassKey[] = "CLSID\\{f060823e-f726-48c4-8f3b-fe71ffee339b}";
const char kServerKey[] = "CLSID\\{f060823e-f726-48c4-8f3b-fe71ffee339b}\\InprocServer32";

namespace
{

using ExportFn = HRESULT(STDAPICALLTYPE *)();
using GetClassObjectFn = HRESULT(STDAPICALLTYPE *)(REFCLSID, REFIID, void **);

} // namespace

std::string builtDllPath()
{
    return besideProgram("DB_QD.dll");
}

DbqdServer::DbqdServer() : m_scratch("dbqd")
{
    if (m_scratch.path().empty())
        return;
    m_dllPath = m_scratch.file("DB_QD.dll");
    if (CopyFileA(builtDllPath().c_str(), m_dllPath.c_str(), FALSE))
        m_library.load(m_dllPath);
}

HRESULT DbqdServer::callExport(const char *name) const
{
    auto fn = m_library.get<ExportFn>(name);
    return fn ? fn() : E_NOTIMPL;
}

HRESULT DbqdServer::canUnloadNow() const
{
    return callExport("DllCanUnloadNow");
}

HRESULT DbqdServer::getClassObject(REFCLSID classId, REFIID interfaceId, void **out) const
{
    auto fn = m_library.get<GetClassObjectFn>("DllGetClassObject");
    return fn ? fn(classId, interfaceId, out) : E_NOTIMPL;
}

HRESULT DbqdServer::registerServer() const
{
    return callExport("DllRegisterServer");
}

HRESULT DbqdServer::unregisterServer() const
{
    return callExport("DllUnregisterServer");
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
