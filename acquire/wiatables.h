#pragma once

// Lookup tables of the acquisition library: format numbers, device and item
// kinds and the access rights that allow a deletion. Plain C++, no Windows
// headers, so the tables are tested natively.

#include <cstdint>

namespace acquire
{

// A format or class identifier laid out like a Windows GUID.
struct Identifier {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
static_assert(sizeof(Identifier) == 16, "Identifier layout");

bool operator==(const Identifier &a, const Identifier &b);
inline bool operator!=(const Identifier &a, const Identifier &b)
{
    return !(a == b);
}

// Device kinds handed to hosts.
constexpr int32_t kDeviceUnknown = 0;
constexpr int32_t kDeviceCamera = 1;
constexpr int32_t kDeviceScanner = 2;
constexpr int32_t kDeviceVideo = 3;

// Item kinds handed to hosts.
constexpr int32_t kItemOther = 0;
constexpr int32_t kItemFolder = 1;
constexpr int32_t kItemImage = 2;
constexpr int32_t kItemAudio = 3;
constexpr int32_t kItemVideo = 4;

} // namespace acquire

class WiaTables
{
  public:
    // Number of a transfer format (1 to 32), 0 for a format hosts do not know.
    static int32_t formatNumber(const acquire::Identifier &format);
    // The identifier of format number 1 to 32, or null.
    static const acquire::Identifier *format(int32_t number);
    static constexpr int32_t kFormatCount = 32;

    // Kind of an STI device type: scanner 1, camera 2, video 3.
    static int32_t deviceKind(uint32_t stiType);
    // Kind from the device-type property (STI type in the high 16 bits).
    static int32_t deviceKindFromTypeProperty(int32_t typeProperty);
    // Kind from the device type of a connect event (STI type in the low 16 bits).
    static int32_t deviceKindFromEventType(uint32_t eventDeviceType);

    // Kind of an item from its WIA item-type flags.
    static int32_t itemKind(int32_t itemType);
    // True for the item-type flags of a file or folder, the items a walk stops at.
    static bool isFileOrFolder(int32_t itemType);

    // True when the access-rights value already lets the item be deleted.
    static bool allowsDeletion(int32_t accessRights);
    // The access rights written before a deletion: may be deleted.
    static constexpr int32_t kDeletableRights = 128;
    // The item flags written when the device refuses the deletion: deleted and removed.
    static constexpr uint32_t kDeletedItemFlags = 0x80000080u;
};
