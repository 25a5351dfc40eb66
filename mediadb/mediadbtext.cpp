#include "mediadbtext.h"

#include <memory>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace mediadb
{

bool copyFile(const std::string &from, const std::string &to)
{
    std::FILE *in = std::fopen(from.c_str(), "rb");
    if (!in)
        return false;
    std::FILE *out = std::fopen(to.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    const size_t chunk = 1 << 20;
    std::unique_ptr<char[]> buffer(new char[chunk]);
    bool ok = true;
    size_t n;
    while ((n = std::fread(buffer.get(), 1, chunk, in)) > 0) {
        if (std::fwrite(buffer.get(), 1, n, out) != n) {
            ok = false;
            break;
        }
    }
    if (std::ferror(in))
        ok = false;
    std::fclose(in);
    if (std::fclose(out) != 0)
        ok = false;
    return ok;
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
