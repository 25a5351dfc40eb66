#include "morvelpackedlist.h"

#include <cstring>

uint32_t MorvelPackedList::count(const unsigned char *block)
{
    uint32_t value = 0;
    if (block)
        memcpy(&value, block, sizeof value);
    return value;
}

std::vector<std::string> MorvelPackedList::texts(const unsigned char *block)
{
    std::vector<std::string> result;
    if (!block)
        return result;
    const uint32_t size = count(block);
    // A list of no bytes may end with its count: nothing after it is the list's.
    if (size == 0)
        return result;
    const auto *data = reinterpret_cast<const char *>(block + 4);
    // The first text is taken whatever the count says.
    result.emplace_back(data);
    uint32_t consumed = static_cast<uint32_t>(result.back().size()) + 1;
    while (consumed < size) {
        const void *zero = memchr(data + consumed, 0, size - consumed);
        if (!zero)
            break;
        const auto length = static_cast<uint32_t>(static_cast<const char *>(zero) - (data + consumed));
        result.emplace_back(data + consumed, length);
        consumed += length + 1;
    }
    return result;
}

std::vector<MorvelPackedList::Entry> MorvelPackedList::textsWithData(const unsigned char *block)
{
    std::vector<Entry> result;
    const uint32_t size = count(block);
    if (size == 0)
        return result;
    // Entries must end within the count field and the counted bytes.
    const uint64_t limit = uint64_t(size) + 4;
    uint64_t offset = 4;
    do {
        const auto *text = reinterpret_cast<const char *>(block + offset);
        const void *zero = memchr(text, 0, static_cast<size_t>(limit - offset));
        if (!zero)
            break;
        const auto length = static_cast<uint64_t>(static_cast<const char *>(zero) - text);
        if (offset + length + 1 + 2 > limit)
            break;
        Entry entry;
        entry.text.assign(text, static_cast<size_t>(length));
        memcpy(&entry.datum, block + offset + length + 1, sizeof entry.datum);
        result.push_back(entry);
        offset += length + 1 + 2;
    } while (offset < size);
    return result;
}
