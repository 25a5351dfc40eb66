#include "mediadblock.h"

void MediaDbLock::lockExclusive()
{
    std::unique_lock<std::mutex> guard(m_mutex);
    const std::thread::id self = std::this_thread::get_id();
    if (m_depth > 0 && m_owner == self) {
        ++m_depth;
        return;
    }
    m_changed.wait(guard, [this] { return m_depth == 0 && m_readers == 0; });
    m_owner = self;
    m_depth = 1;
}

void MediaDbLock::unlockExclusive()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (--m_depth == 0) {
        m_owner = std::thread::id();
        m_changed.notify_all();
    }
}

void MediaDbLock::lockShared()
{
    std::unique_lock<std::mutex> guard(m_mutex);
    if (m_depth > 0 && m_owner == std::this_thread::get_id()) {
        ++m_ownerReaders;
        return;
    }
    m_changed.wait(guard, [this] { return m_depth == 0; });
    ++m_readers;
}

void MediaDbLock::unlockShared()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_ownerReaders > 0 && m_depth > 0 && m_owner == std::this_thread::get_id()) {
        --m_ownerReaders;
        return;
    }
    if (--m_readers == 0)
        m_changed.notify_all();
}
