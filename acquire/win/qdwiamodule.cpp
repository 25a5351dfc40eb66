// The two exports of QDWIA.
#include "cqdwia.h"

#include <new>
#include <type_traits>

#if !defined(_WIN64)
static_assert(std::is_same_v<decltype(&CreateQDWIA), IQdWia *(__cdecl *)(void)>,
              "exports use the C convention");
static_assert(std::is_same_v<decltype(&DestroyQDWIA), int32_t(__cdecl *)(IQdWia *)>,
              "exports use the C convention");
#endif

IQdWia *__cdecl CreateQDWIA(void)
{
    return new (std::nothrow) CQDWIA();
}

int32_t __cdecl DestroyQDWIA(IQdWia *object)
{
    if (!object)
        return 0;
    // Only objects of this library reach the host.
    static_cast<CQDWIA *>(object)->destroyByHost();
    return 1;
}
