#include "etprocessstate.h"

#include <mutex>
#include <vector>

namespace
{

std::mutex &resetMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<ETProcessState::Reset> &resets()
{
    static std::vector<ETProcessState::Reset> list;
    return list;
}

} // namespace

void ETProcessState::addReset(Reset reset)
{
    std::lock_guard<std::mutex> lock(resetMutex());
    resets().push_back(std::move(reset));
}

void ETProcessState::resetForTests()
{
    // A reset may make or forget other state (a destructor that asks a
    // singleton), so the list is taken out before any of them runs.
    for (;;) {
        std::vector<Reset> pending;
        {
            std::lock_guard<std::mutex> lock(resetMutex());
            pending.swap(resets());
        }
        if (pending.empty())
            return;
        for (auto it = pending.rbegin(); it != pending.rend(); ++it)
            (*it)();
    }
}
