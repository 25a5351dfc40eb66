#include "comchecks.h"

#include <sstream>

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

::testing::AssertionResult answersQueries(IUnknown *object, std::initializer_list<QueryCase> cases)
{
    std::ostringstream faults;
    for (const QueryCase &c : cases) {
        const ::testing::AssertionResult answer = answersQuery(object, *c.interfaceId, c.result);
        if (!answer)
            faults << "\n  " << c.name << ": " << answer.message();
    }
    const HRESULT nullOut = object->QueryInterface(IID_IUnknown, nullptr);
    if (nullOut != E_POINTER)
        faults << "\n  null out pointer: 0x" << std::hex << nullOut << ", expected E_POINTER" << std::dec;
    if (faults.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "QueryInterface:" << faults.str();
}
