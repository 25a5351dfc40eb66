#include "wiatables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

using acquire::Identifier;

namespace
{

Identifier parse(const char *text)
{
    Identifier id = {};
    unsigned int d4[8] = {};
    std::sscanf(text, "%8x-%4hx-%4hx-%2x%2x-%2x%2x%2x%2x%2x%2x", &id.data1, &id.data2, &id.data3, &d4[0],
                &d4[1], &d4[2], &d4[3], &d4[4], &d4[5], &d4[6], &d4[7]);
    for (int i = 0; i < 8; ++i)
        id.data4[i] = static_cast<uint8_t>(d4[i]);
    return id;
}

// The numbers hosts know the transfer formats by.
const char *const kFormats[] = {
    "b96b3caa-0728-11d3-9d7b-0000f81ef32e", "b96b3cab-0728-11d3-9d7b-0000f81ef32e",
    "b96b3cac-0728-11d3-9d7b-0000f81ef32e", "b96b3cad-0728-11d3-9d7b-0000f81ef32e",
    "b96b3cae-0728-11d3-9d7b-0000f81ef32e", "b96b3caf-0728-11d3-9d7b-0000f81ef32e",
    "b96b3cb0-0728-11d3-9d7b-0000f81ef32e", "b96b3cb1-0728-11d3-9d7b-0000f81ef32e",
    "b96b3cb2-0728-11d3-9d7b-0000f81ef32e", "b96b3cb3-0728-11d3-9d7b-0000f81ef32e",
    "b96b3cb4-0728-11d3-9d7b-0000f81ef32e", "b96b3cb5-0728-11d3-9d7b-0000f81ef32e",
    "9821a8ab-3a7e-4215-94e0-d27a460c03b2", "a6bc85d8-6b3e-40ee-a95c-25d482e41adc",
    "344ee2b2-39db-4dde-8173-c4b75f8f1e49", "43e14614-c80a-4850-baf3-4b152dc8da27",
    "573dd6a3-4834-432d-a9b5-e198dd9e890d", "b9171457-dac8-4884-b393-15b471d5f07e",
    "fafd4d82-723f-421f-9318-30501ac44b59", "ecd757e4-d2ec-4f57-955d-bcf8a97c4e52",
    "32f8ca14-087c-4908-b7c4-6757fe7e90ab", "8d948ee9-d0aa-4a12-9d9a-9cc5de36199b",
    "fe7d6c53-2dac-446a-b0bd-d73e21e924c9", "485da097-141e-4aa5-bb3b-a5618d95d02b",
    "1b7639b6-6357-47d1-9a07-12452dc073e9", "369eeeab-a0e8-45ca-86a6-a83ce5697e28",
    "f818e146-07af-40ff-ae55-be8f2c065dbe", "0fbc71fb-43bf-49f2-9190-e6fecff37e54",
    "66e2bf4f-b6fc-443f-94c8-2f33c8a65aaf", "d61d6413-8bc2-438f-93ad-21bd484db6a1",
    "c99a4e62-99de-4a94-acca-71956ac2977d", "bca48b55-f272-4371-b0f1-4a150d057bb4",
};
static_assert(sizeof kFormats / sizeof kFormats[0] == WiaTables::kFormatCount, "one text per format");

TEST(WiaTables, EveryFormatHasItsNumber)
{
    for (int32_t number = 1; number <= WiaTables::kFormatCount; ++number) {
        SCOPED_TRACE(kFormats[number - 1]);
        const Identifier id = parse(kFormats[number - 1]);
        EXPECT_EQ(number, WiaTables::formatNumber(id));
        ASSERT_NE(nullptr, WiaTables::format(number));
        EXPECT_TRUE(id == *WiaTables::format(number));
    }
    EXPECT_EQ(nullptr, WiaTables::format(0));
    EXPECT_EQ(nullptr, WiaTables::format(WiaTables::kFormatCount + 1));
}

TEST(WiaTables, NamedFormats)
{
    const struct {
        const char *name;
        const char *id;
        int32_t number;
    } cases[] = {
        {"JPEG", "b96b3caf-0728-11d3-9d7b-0000f81ef32e", 6},
        {"BMP", "b96b3cac-0728-11d3-9d7b-0000f81ef32e", 3},
        {"raw RGB", "bca48b55-f272-4371-b0f1-4a150d057bb4", 32},
        {"the value before the first", "b96b3ca9-0728-11d3-9d7b-0000f81ef32e", 0},
        {"one byte off", "b96b3caf-0728-11d3-9d7b-0000f81ef32f", 0},
        {"null", "00000000-0000-0000-0000-000000000000", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.number, WiaTables::formatNumber(parse(c.id)));
    }
}

TEST(WiaTables, DeviceKinds)
{
    const struct {
        uint32_t stiType;
        int32_t kind;
    } cases[] = {{0, acquire::kDeviceUnknown}, {1, acquire::kDeviceScanner},
                 {2, acquire::kDeviceCamera},  {3, acquire::kDeviceVideo},
                 {4, acquire::kDeviceUnknown}, {0xffff, acquire::kDeviceUnknown}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stiType);
        EXPECT_EQ(c.kind, WiaTables::deviceKind(c.stiType));
        // The device-type property keeps the STI type in its high half, the subtype below.
        EXPECT_EQ(c.kind,
                  WiaTables::deviceKindFromTypeProperty(static_cast<int32_t>((c.stiType << 16) | 0x1234)));
        // An event gives it in the low half.
        EXPECT_EQ(c.kind, WiaTables::deviceKindFromEventType(0xabcd0000u | c.stiType));
    }
}

TEST(WiaTables, ItemKinds)
{
    const struct {
        const char *what;
        int32_t type;
        int32_t kind;
    } cases[] = {
        {"picture", 0x2 | 0x1, acquire::kItemImage},
        {"panorama wins over video", 0x2 | 0x400 | 0x10000, acquire::kItemImage},
        {"video wins over audio", 0x2 | 0x10000 | 0x20, acquire::kItemVideo},
        {"audio wins over picture", 0x2 | 0x20 | 0x1, acquire::kItemAudio},
        {"plain file", 0x2, acquire::kItemOther},
        {"file in a folder's clothes", 0x2 | 0x4, acquire::kItemFolder},
        {"folder", 0x4, acquire::kItemFolder},
        {"root", 0x8, acquire::kItemFolder},
        {"device", 0x40, acquire::kItemFolder},
        {"storage", 0x1000, acquire::kItemFolder},
        {"picture outside a file", 0x1, acquire::kItemOther},
        {"nothing", 0, acquire::kItemOther},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.kind, WiaTables::itemKind(c.type));
    }
    EXPECT_TRUE(WiaTables::isFileOrFolder(0x2));
    EXPECT_TRUE(WiaTables::isFileOrFolder(0x4));
    EXPECT_FALSE(WiaTables::isFileOrFolder(0x1000 | 0x8 | 0x1));
}

TEST(WiaTables, RightsThatAllowDeletion)
{
    std::set<int32_t> allowed;
    for (int32_t rights = -1; rights < 260; ++rights) {
        if (WiaTables::allowsDeletion(rights))
            allowed.insert(rights);
    }
    EXPECT_EQ((std::set<int32_t>{128, 129, 131}), allowed);
}

} // namespace
