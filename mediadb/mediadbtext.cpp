#include "mediadbtext.h"

#include <memory>
#include <thread>

#ifdef __linux__
#include <sched.h>
#include <sys/mman.h>
#endif

namespace mediadb
{

bool copyFile(const std::string &from, const std::string &to)
{
    MediaDbFile in(from, "rb");
    if (!in)
        return false;
    MediaDbFile out(to, "wb");
    if (!out)
        return false;
    const size_t chunk = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[chunk]);
    bool ok = true;
    size_t n;
    while ((n = std::fread(buffer.get(), 1, chunk, in.get())) > 0) {
        if (std::fwrite(buffer.get(), 1, n, out.get()) != n) {
            ok = false;
            break;
        }
    }
    if (std::ferror(in.get()))
        ok = false;
    if (!out.close())
        ok = false;
    return ok;
}

unsigned usableProcessors()
{
#ifdef __linux__
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
#endif
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}

void *allocateLarge(size_t bytes)
{
#ifdef __linux__
    constexpr size_t kHuge = size_t(2) << 20;
    if (bytes >= 2 * kHuge) {
        const size_t rounded = (bytes + kHuge - 1) & ~(kHuge - 1);
        if (void *p = std::aligned_alloc(kHuge, rounded)) {
            madvise(p, rounded, MADV_HUGEPAGE);
            return p;
        }
    }
#endif
    return std::malloc(bytes ? bytes : 1);
}

} // namespace mediadb
