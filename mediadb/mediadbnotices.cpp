#include "mediadbnotices.h"

#include "mediadbplatform.h"
#include "mediadbtext.h"

#include <algorithm>
#include <cstring>
#include <utility>

using namespace mediadb;

MediaDbNotices::MediaDbNotices(MediaDbPlatform &platform) : m_platform(platform) {}

// ---------------------------------------------------------------------------
// Clients

int32_t MediaDbNotices::openClient(const MediaDbClientRecord *record, const void *owner)
{
    if (!record)
        return kPointer;
    if (record->name[0] == '\0')
        return kInvalidArg;
    bool restored = false;
    {
        std::lock_guard<std::mutex> guard(m_clientMutex);
        if (m_clientCount >= kMaxClients)
            return kTooManyClients;
        auto entry = std::find_if(m_clients.begin(), m_clients.end(),
                                  [](const Client &client) { return client.name.empty(); });
        if (entry == m_clients.end())
            return kTooManyClients;
        Client &client = *entry;
        client.name.assign(record->name, strnlen(record->name, kClientNameSize));
        client.owner = owner;
        client.flags = record->flags;
        client.window = record->window;
        client.message = record->message;
        client.conditions.clear();
        if (record->conditions && record->conditionCount > 0)
            client.conditions.assign(record->conditions, record->conditions + record->conditionCount);
        ++m_clientCount;
        restored = m_restored;
        m_restored = false;
    }
    if (restored && m_holdCount.load() == 0)
        notifyClients(kNoticeRestored, 0);
    if (record->window && record->message)
        m_platform.sendMessage(record->window, record->message, kNoticeOpened, 0);
    return kOk;
}

int32_t MediaDbNotices::closeClient(const char *name, const void *owner)
{
    if (!name)
        return kPointer;
    std::lock_guard<std::mutex> guard(m_clientMutex);
    if (m_clientCount == 0)
        return kNoSuchClient;
    for (Client &client : m_clients) {
        if (client.name.empty() || (owner && client.owner != owner))
            continue;
        if (equalNoCase(client.name.c_str(), name, kClientNameSize)) {
            client = Client();
            --m_clientCount;
            return kOk;
        }
    }
    return kNoSuchClient;
}

void MediaDbNotices::setRestored()
{
    std::lock_guard<std::mutex> guard(m_clientMutex);
    m_restored = true;
}

void MediaDbNotices::announceRestored()
{
    bool send = false;
    {
        std::lock_guard<std::mutex> guard(m_clientMutex);
        send = m_restored && m_clientCount > 0;
        if (send)
            m_restored = false;
    }
    if (send && m_holdCount.load() == 0)
        notifyClients(kNoticeRestored, 0);
}

void MediaDbNotices::notifyClients(uint32_t code, intptr_t lParam)
{
    std::vector<std::pair<void *, uint32_t>> targets;
    {
        std::lock_guard<std::mutex> guard(m_clientMutex);
        for (const Client &client : m_clients) {
            if (!client.name.empty() && (client.flags & kClientNotify) && client.window && client.message)
                targets.emplace_back(client.window, client.message);
        }
    }
    for (const auto &target : targets)
        m_platform.sendMessage(target.first, target.second, code, lParam);
}

// ---------------------------------------------------------------------------
// Notices and holds

void MediaDbNotices::changeBegins()
{
    if (m_holdCount.load() > 0)
        return;
    notifyClients(kNoticeChangeBegins, 0);
}

void MediaDbNotices::changed()
{
    {
        std::lock_guard<std::mutex> guard(m_noticeMutex);
        if (m_holdCount.load() > 0) {
            m_queueCount = kNoticeQueueSize + 1;
            return;
        }
    }
    notifyClients(kNoticeChanged, 0);
}

void MediaDbNotices::recordChanged(int32_t record, int32_t kind)
{
    const MediaDbNotice notice{static_cast<int32_t>(sizeof(MediaDbNotice)), record, kind};
    if (!queue(notice))
        sendTransfer(&notice, sizeof notice);
}

// An added record deleted again is one change; a record changed twice is one notice.
bool MediaDbNotices::queue(const MediaDbNotice &notice)
{
    std::lock_guard<std::mutex> guard(m_noticeMutex);
    if (m_holdCount.load() == 0)
        return false;
    const bool haveLast = m_queueCount > 0 && m_queueCount <= kNoticeQueueSize;
    MediaDbNotice *last = haveLast ? &m_queue[static_cast<size_t>(m_queueCount - 1)] : nullptr;
    if (last && last->kind == kChangeAdded && last->record == notice.record && notice.kind == kChangeDeleted)
        last->kind = kChangeChanged;
    else if (m_queueCount < kNoticeQueueSize)
        m_queue[static_cast<size_t>(m_queueCount++)] = notice;
    if (m_queueCount > 0 && m_queueCount <= kNoticeQueueSize) {
        const MediaDbNotice &now = m_queue[static_cast<size_t>(m_queueCount - 1)];
        if (now.kind == kChangeChanged) {
            for (int32_t i = 0; i < m_queueCount - 1; ++i) {
                const MediaDbNotice &earlier = m_queue[static_cast<size_t>(i)];
                if (earlier.kind == kChangeChanged && earlier.record == now.record) {
                    --m_queueCount;
                    break;
                }
            }
        }
    }
    return true;
}

int32_t MediaDbNotices::hold(uint32_t flags)
{
    if (flags & kHoldNotices)
        ++m_holdCount;
    if (flags & kReleaseNotices) {
        std::vector<MediaDbNotice> queued;
        bool general = false;
        bool flush = false;
        {
            std::lock_guard<std::mutex> guard(m_noticeMutex);
            // Releasing a hold nobody holds changes nothing.
            if (m_holdCount.load() > 0 && --m_holdCount == 0) {
                flush = true;
                if (m_queueCount >= kNoticeQueueSize - 1)
                    general = true;
                else
                    queued.assign(m_queue.begin(), m_queue.begin() + m_queueCount);
                m_queueCount = 0;
            }
        }
        if (flush && general)
            notifyClients(kNoticeChanged, 0);
        else if (flush && !queued.empty())
            sendTransfer(queued.data(), queued.size() * sizeof(MediaDbNotice));
    }
    return (flags & kHoldNotices) ? kOk : kFail;
}

int32_t MediaDbNotices::isNotifying() const
{
    return m_holdCount.load() == 0 ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Transfer slots

void MediaDbNotices::sendTransfer(const void *data, size_t bytes)
{
    int32_t slot = 0;
    {
        std::lock_guard<std::mutex> guard(m_noticeMutex);
        for (int32_t i = 1; i < kTransferSlots; ++i) {
            if (!m_slots[static_cast<size_t>(i)].used) {
                slot = i;
                break;
            }
        }
        if (slot == 0)
            return;
        TransferSlot &s = m_slots[static_cast<size_t>(slot)];
        s.used = true;
        s.references = -1;
        s.data.assign(static_cast<const char *>(data), static_cast<const char *>(data) + bytes);
    }
    notifyClients(kNoticeChanged, static_cast<intptr_t>((bytes << 16) | static_cast<size_t>(slot)));
    std::lock_guard<std::mutex> guard(m_noticeMutex);
    TransferSlot &s = m_slots[static_cast<size_t>(slot)];
    s.used = false;
    s.references = 0;
    s.data.clear();
}

int32_t MediaDbNotices::notificationData(int32_t slot, int32_t count, void *buffer)
{
    if (slot < 1 || slot >= kTransferSlots || count < 0 || !buffer)
        return kInvalidArg;
    std::lock_guard<std::mutex> guard(m_noticeMutex);
    TransferSlot &s = m_slots[static_cast<size_t>(slot)];
    if (!s.used)
        return kInvalidArg;
    const size_t n = std::min(static_cast<size_t>(count), s.data.size());
    std::memcpy(buffer, s.data.data(), n);
    if (s.references == 1) {
        s.used = false;
        s.data.clear();
        s.references = 0;
    } else {
        --s.references;
    }
    return kOk;
}
