#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// Readers-writer lock of the engine. The exclusive side may be entered again
// by its holder, and its holder may also take the shared side; a thread that
// holds the shared side never waits for it again.
class MediaDbLock
{
  public:
    MediaDbLock() = default;
    MediaDbLock(const MediaDbLock &) = delete;
    MediaDbLock &operator=(const MediaDbLock &) = delete;

    void lockExclusive();
    void unlockExclusive();
    void lockShared();
    void unlockShared();

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread::id m_owner;
    int m_depth = 0;
    int m_readers = 0;
    int m_ownerReaders = 0;
};

// Scoped exclusive side.
class MediaDbExclusive
{
  public:
    explicit MediaDbExclusive(MediaDbLock &lock) : m_lock(lock) { m_lock.lockExclusive(); }
    ~MediaDbExclusive() { m_lock.unlockExclusive(); }
    MediaDbExclusive(const MediaDbExclusive &) = delete;
    MediaDbExclusive &operator=(const MediaDbExclusive &) = delete;

  private:
    MediaDbLock &m_lock;
};

// Scoped shared side.
class MediaDbShared
{
  public:
    explicit MediaDbShared(MediaDbLock &lock) : m_lock(lock) { m_lock.lockShared(); }
    ~MediaDbShared() { m_lock.unlockShared(); }
    MediaDbShared(const MediaDbShared &) = delete;
    MediaDbShared &operator=(const MediaDbShared &) = delete;

  private:
    MediaDbLock &m_lock;
};
