#pragma once

#include "mediadbtypes.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class MediaDbPlatform;

// The engine's clients and the change notices they get as window messages:
// the client entries, the notification holds with their queue, and the
// transfer slots that carry a notice's details during its message. Callable
// from any thread; guards itself and sends no message while it holds a lock.
class MediaDbNotices
{
  public:
    explicit MediaDbNotices(MediaDbPlatform &platform);
    MediaDbNotices(const MediaDbNotices &) = delete;
    MediaDbNotices &operator=(const MediaDbNotices &) = delete;

    // A close with an owner ends the entry that owner opened; without one,
    // the first entry of the name (case ignored).
    int32_t openClient(const MediaDbClientRecord *record, const void *owner = nullptr);
    int32_t closeClient(const char *name, const void *owner = nullptr);

    void changeBegins();
    // A change without details: everything may have changed.
    void changed();
    void recordChanged(int32_t record, int32_t kind);
    // The catalogue came from its backup: the first client hears of it.
    void setRestored();
    void announceRestored();

    // mediadb::kHoldNotices holds notices back, kReleaseNotices ends a hold;
    // the last release sends what waited.
    int32_t hold(uint32_t flags);
    int32_t isNotifying() const;
    int32_t notificationData(int32_t slot, int32_t count, void *buffer);

  private:
    struct Client {
        std::string name;
        const void *owner = nullptr;
        uint32_t flags = 0;
        void *window = nullptr;
        uint32_t message = 0;
        std::vector<MediaDbCondition> conditions;
    };

    struct TransferSlot {
        std::vector<char> data;
        int32_t references = 0;
        bool used = false;
    };

    void notifyClients(uint32_t code, intptr_t lParam);
    void sendTransfer(const void *data, size_t bytes);
    // Queues a notice while held; false when it is to be sent now.
    bool queue(const MediaDbNotice &notice);

    MediaDbPlatform &m_platform;

    std::mutex m_clientMutex;
    std::array<Client, mediadb::kMaxClients> m_clients;
    int32_t m_clientCount = 0;
    bool m_restored = false;

    std::atomic<int32_t> m_holdCount{0};
    std::mutex m_noticeMutex;
    int32_t m_queueCount = 0;
    std::array<MediaDbNotice, mediadb::kNoticeQueueSize> m_queue{};
    std::array<TransferSlot, mediadb::kTransferSlots> m_slots;
};
