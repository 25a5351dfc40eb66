#include "mediadblock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{

TEST(MediaDbLockTest, HolderMayReenterAndReadAsWell)
{
    MediaDbLock lock;
    lock.lockExclusive();
    lock.lockExclusive();
    lock.lockShared();
    lock.unlockShared();
    lock.unlockExclusive();
    lock.unlockExclusive();

    // Free again: another thread gets the exclusive side.
    std::atomic<bool> got{false};
    std::thread other([&] {
        MediaDbExclusive exclusive(lock);
        got = true;
    });
    other.join();
    EXPECT_TRUE(got);
}

TEST(MediaDbLockTest, ReadersShareAndWritersWaitForThem)
{
    MediaDbLock lock;
    lock.lockShared();
    std::atomic<bool> readerIn{false};
    std::thread reader([&] {
        MediaDbShared shared(lock);
        readerIn = true;
    });
    reader.join();
    EXPECT_TRUE(readerIn);

    std::atomic<bool> writerIn{false};
    std::thread writer([&] {
        MediaDbExclusive exclusive(lock);
        writerIn = true;
    });
    // The writer cannot get in while this thread reads; it does once it stops.
    EXPECT_FALSE(writerIn);
    lock.unlockShared();
    writer.join();
    EXPECT_TRUE(writerIn);
}

} // namespace
