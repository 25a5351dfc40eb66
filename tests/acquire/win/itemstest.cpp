// Walking the items of the selected device and what the item objects answer.
#include "qdwiahost.h"
#include "testwiatext.h"

#include <wiadef.h>

#include <cstring>

namespace
{

class Items : public QdWiaTest
{
  protected:
    IQdWia *createSelecting(const char *deviceId)
    {
        IQdWia *wia = create();
        if (wia) {
            EXPECT_EQ(1, wia->selectDevice(deviceId));
        }
        return wia;
    }
};

// Names of the items a walk from the current item meets, first to last.
std::vector<std::string> walk(IQdWia *wia)
{
    std::vector<std::string> names;
    for (Item item(wia->findFirstItem()); item; item.reset(wia->findNextItem())) {
        const char *name = item->getName();
        names.push_back(name ? name : "(null)");
    }
    return names;
}

::testing::AssertionResult namesAre(const std::vector<std::string> &names,
                                    const std::vector<std::string> &expected)
{
    return logIs(names, expected);
}

TEST_F(Items, WalkMeetsFilesAndFoldersOfTheCurrentItem)
{
    TestWiaItem *camera = manager().addDevice(L"cam-1", L"Camera", kStiCamera);
    TestWiaItem *folder = camera->addChild(L"DCIM", WiaItemTypeFolder);
    addPicture(folder, L"IMG_0001", kFormatJpeg);
    addPicture(folder, L"IMG_0002", kFormatJpeg);
    addPicture(camera, L"IMG_0100", kFormatJpeg);
    camera->addChild(L"Settings", WiaItemTypeFree);
    camera->addChild(L"CLIP", WiaItemTypeFile | WiaItemTypeVideo);
    camera->addChild(L"VOICE", WiaItemTypeFile | WiaItemTypeAudio);
    IQdWia *wia = createSelecting("cam-1");
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(1, wia->isAtRoot());
    EXPECT_TRUE(namesAre(walk(wia), {"DCIM", "IMG_0100", "CLIP", "VOICE"}));

    Item dcim(wia->findFirstItem());
    ASSERT_TRUE(dcim);
    EXPECT_EQ(QDWIA_ITEM_FOLDER, dcim->getKind());
    wia->setCurrentItem(dcim.get());
    EXPECT_EQ(0, wia->isAtRoot());
    EXPECT_TRUE(namesAre(walk(wia), {"IMG_0001", "IMG_0002"}));

    // The current item keeps its own reference: the wrapper may go first.
    dcim.reset();
    EXPECT_TRUE(namesAre(walk(wia), {"IMG_0001", "IMG_0002"}));
    wia->setCurrentItem(nullptr);
    EXPECT_EQ(1, wia->isAtRoot());
    EXPECT_TRUE(namesAre(walk(wia), {"DCIM", "IMG_0100", "CLIP", "VOICE"}));
}

TEST_F(Items, WalkSearchesSubtreesWhenTheTopLevelHasNoFileOrFolder)
{
    TestWiaItem *camera = manager().addDevice(L"cam-1", L"Camera", kStiCamera);
    TestWiaItem *cardA = camera->addChild(L"Card A", WiaItemTypeStorage);
    cardA->addChild(L"Empty", WiaItemTypeFree);
    TestWiaItem *cardB = camera->addChild(L"Card B", WiaItemTypeStorage);
    TestWiaItem *inner = cardB->addChild(L"Inner", WiaItemTypeFree);
    inner->addChild(L"Notes", WiaItemTypeFree);
    TestWiaItem *dcim = inner->addChild(L"DCIM", WiaItemTypeFolder);
    addPicture(dcim, L"IMG_0001", kFormatJpeg);
    inner->addChild(L"MISC", WiaItemTypeFolder);
    TestWiaItem *cardC = camera->addChild(L"Card C", WiaItemTypeStorage);
    addPicture(cardC, L"IMG_0009", kFormatJpeg);
    IQdWia *wia = createSelecting("cam-1");
    ASSERT_NE(nullptr, wia);
    // Depth first, children in their order; the walk goes on beside the item found.
    EXPECT_TRUE(namesAre(walk(wia), {"DCIM", "MISC"}));
}

TEST_F(Items, WalkNeedsASelectedDevice)
{
    addCamera();
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(0, wia->isAtRoot());
    EXPECT_EQ(nullptr, wia->findFirstItem());
    EXPECT_EQ(nullptr, wia->findNextItem());
    ASSERT_EQ(1, wia->selectDevice("cam-1"));
    EXPECT_EQ(nullptr, wia->findNextItem()) << "no walk started yet";
}

TEST_F(Items, UnknownDeviceLeavesTheSelection)
{
    addCamera(L"cam-1");
    addCamera(L"cam-2");
    IQdWia *wia = createSelecting("cam-1");
    ASSERT_NE(nullptr, wia);
    Item dcim(wia->findFirstItem());
    ASSERT_TRUE(dcim);
    wia->setCurrentItem(dcim.get());
    EXPECT_EQ(0, wia->selectDevice("cam-9"));
    EXPECT_EQ(0, wia->selectDevice(nullptr));
    EXPECT_EQ(0, wia->isAtRoot());
    EXPECT_TRUE(namesAre(walk(wia), {"IMG_0001", "IMG_0002"}));
    EXPECT_EQ(1, wia->selectDevice("cam-2"));
    EXPECT_EQ(1, wia->isAtRoot());
}

TEST_F(Items, KindFromTheItemType)
{
    const struct {
        const wchar_t *name;
        LONG type;
        int32_t kind;
    } cases[] = {
        {L"folder", WiaItemTypeFolder, QDWIA_ITEM_FOLDER},
        {L"picture", WiaItemTypeFile | WiaItemTypeImage, QDWIA_ITEM_IMAGE},
        {L"video", WiaItemTypeFile | WiaItemTypeVideo, QDWIA_ITEM_VIDEO},
        {L"audio", WiaItemTypeFile | WiaItemTypeAudio, QDWIA_ITEM_AUDIO},
        {L"panorama video", WiaItemTypeFile | WiaItemTypeVPanorama | WiaItemTypeVideo, QDWIA_ITEM_IMAGE},
        {L"plain file", WiaItemTypeFile, QDWIA_ITEM_OTHER},
        {L"file on storage", WiaItemTypeFile | WiaItemTypeStorage, QDWIA_ITEM_FOLDER},
        {L"storage", WiaItemTypeStorage, QDWIA_ITEM_FOLDER},
        {L"device", WiaItemTypeDevice, QDWIA_ITEM_FOLDER},
        {L"video without file", WiaItemTypeVideo, QDWIA_ITEM_OTHER},
        {L"free", WiaItemTypeFree, QDWIA_ITEM_OTHER},
    };
    TestWiaItem *camera = manager().addDevice(L"cam-1", L"Camera", kStiCamera);
    for (const auto &c : cases)
        camera->addChild(c.name, c.type);
    IQdWia *wia = createSelecting("cam-1");
    ASSERT_NE(nullptr, wia);
    for (const auto &c : cases) {
        SCOPED_TRACE(narrow(c.name));
        Item item(wia->findItem(("0000\\Root\\" + narrow(c.name)).c_str()));
        ASSERT_TRUE(item);
        EXPECT_EQ(c.kind, item->getKind());
    }
}

TEST_F(Items, FormatByItsNumber)
{
    TestWiaItem *camera = manager().addDevice(L"cam-1", L"Camera", kStiCamera);
    addPicture(camera, L"jpeg", kFormatJpeg);
    addPicture(camera, L"bmp", kFormatBmp);
    addPicture(camera, L"raw", kFormatRawRgb);
    addPicture(camera, L"unknown", kFormatUnknown);
    addPicture(camera, L"absent", kFormatJpeg)->properties().erase(WIA_IPA_FORMAT);
    addPicture(camera, L"text", kFormatJpeg)
        ->properties()
        .setText(WIA_IPA_FORMAT, L"{b96b3caf-0728-11d3-9d7b-0000f81ef32e}");
    const struct {
        const char *name;
        int32_t format;
    } cases[] = {{"jpeg", 6}, {"bmp", 3}, {"raw", 32}, {"unknown", 0}, {"absent", 0}, {"text", 0}};
    IQdWia *wia = createSelecting("cam-1");
    ASSERT_NE(nullptr, wia);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Item item(wia->findItem((std::string("0000\\Root\\") + c.name).c_str()));
        ASSERT_TRUE(item);
        EXPECT_EQ(c.format, item->getFormat());
    }
}

TEST_F(Items, NamesAndExtension)
{
    TestWiaItem *camera = addCamera();
    TestWiaItem *bare = camera->addChild(L"bare", WiaItemTypeFile);
    bare->properties().erase(WIA_IPA_ITEM_NAME);
    bare->properties().erase(WIA_IPA_FULL_ITEM_NAME);
    IQdWia *wia = createSelecting("cam-1");
    ASSERT_NE(nullptr, wia);

    Item picture(wia->findItem("0000\\Root\\DCIM\\IMG_0001"));
    ASSERT_TRUE(picture);
    EXPECT_STREQ("IMG_0001", picture->getName());
    EXPECT_STREQ("0000\\Root\\DCIM\\IMG_0001", picture->getFullName());
    EXPECT_STREQ("JPG", picture->getExtension());
    EXPECT_EQ(picture->getName(), picture->getName()) << "read once and kept";
    EXPECT_EQ(QDWIA_ITEM_IMAGE, picture->getKind());
    EXPECT_EQ(6, picture->getFormat());

    Item nameless(wia->findItem("0000\\Root\\bare"));
    ASSERT_TRUE(nameless);
    EXPECT_EQ(nullptr, nameless->getName());
    EXPECT_EQ(nullptr, nameless->getFullName());
    ASSERT_NE(nullptr, nameless->getExtension());
    EXPECT_STREQ("", nameless->getExtension());
}

struct ThumbnailCase {
    const char *what;
    int32_t width;
    int32_t height;
    int32_t bytes; // -1: no thumbnail property
    bool bitmap;
};

TEST_F(Items, ThumbnailPacksIntoABitmapWhenItsSizeFits)
{
    const ThumbnailCase cases[] = {
        {"5 x 2, rows padded to 16", 5, 2, 32, true},
        {"5 x 2, a byte short", 5, 2, 31, false},
        {"5 x 2, a byte over", 5, 2, 33, false},
        {"4 x 1, no padding", 4, 1, 12, true},
        {"no thumbnail", 5, 2, -1, false},
        {"no dimensions", 0, 0, 3, false},
    };
    TestWiaItem *camera = manager().addDevice(L"cam-1", L"Camera", kStiCamera);
    for (const ThumbnailCase &c : cases) {
        TestWiaItem *picture = addPicture(camera, widen(c.what), kFormatJpeg);
        picture->properties().setInt(WIA_IPC_THUMB_WIDTH, c.width);
        picture->properties().setInt(WIA_IPC_THUMB_HEIGHT, c.height);
        if (c.bytes >= 0) {
            std::vector<uint8_t> pixels(static_cast<size_t>(c.bytes));
            for (size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = static_cast<uint8_t>(i * 7 + 1);
            picture->properties().setBytes(WIA_IPC_THUMBNAIL, pixels);
        }
    }
    IQdWia *wia = createSelecting("cam-1");
    ASSERT_NE(nullptr, wia);
    for (const ThumbnailCase &c : cases) {
        SCOPED_TRACE(c.what);
        Item item(wia->findItem((std::string("0000\\Root\\") + c.what).c_str()));
        ASSERT_TRUE(item);
        EXPECT_EQ(c.width, item->getThumbWidth());
        EXPECT_EQ(c.height, item->getThumbHeight());
        EXPECT_EQ(c.bytes < 0 ? 0 : c.bytes, item->getThumbnailSize());
        const uint8_t *data = item->getThumbnailData();
        EXPECT_EQ(c.bytes < 0, data == nullptr);
        const BITMAPINFOHEADER *bitmap = item->getThumbnailBitmap();
        ASSERT_EQ(c.bitmap, bitmap != nullptr);
        if (!bitmap)
            continue;
        EXPECT_EQ(bitmap, item->getThumbnailBitmap()) << "built once and kept";
        EXPECT_EQ(40u, bitmap->biSize);
        EXPECT_EQ(c.width, bitmap->biWidth);
        EXPECT_EQ(c.height, bitmap->biHeight);
        EXPECT_EQ(1, bitmap->biPlanes);
        EXPECT_EQ(24, bitmap->biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), bitmap->biCompression);
        EXPECT_EQ(static_cast<DWORD>(40 + c.bytes), bitmap->biSizeImage);
        EXPECT_EQ(0, bitmap->biXPelsPerMeter);
        EXPECT_EQ(0u, bitmap->biClrUsed);
        EXPECT_EQ(0, std::memcmp(bitmap + 1, data, static_cast<size_t>(c.bytes)));
    }
}

TEST_F(Items, ImageSizeTimeAndByteCount)
{
    TestWiaItem *camera = manager().addDevice(L"cam-1", L"Camera", kStiCamera);
    TestWiaItem *full = addPicture(camera, L"full", kFormatJpeg);
    full->properties().setInt(WIA_IPA_PIXELS_PER_LINE, 640);
    full->properties().setInt(WIA_IPA_NUMBER_OF_LINES, 480);
    full->properties().setShorts(WIA_IPA_ITEM_TIME, {2004, 6, 3, 2, 15, 10, 30, 250});
    full->properties().setInt(WIA_IPA_ITEM_SIZE, 123456);
    TestWiaItem *partial = addPicture(camera, L"partial", kFormatJpeg);
    partial->properties().setInt(WIA_IPA_PIXELS_PER_LINE, 640);
    partial->properties().setShorts(WIA_IPA_ITEM_TIME, {2004, 6, 3, 2, 15, 10, 30});
    partial->properties().setText(WIA_IPA_ITEM_SIZE, L"123456");
    IQdWia *wia = createSelecting("cam-1");
    ASSERT_NE(nullptr, wia);

    Item item(wia->findItem("0000\\Root\\full"));
    ASSERT_TRUE(item);
    int32_t width = 0;
    int32_t height = 0;
    EXPECT_EQ(1, item->getImageSize(&width, &height));
    EXPECT_EQ(640, width);
    EXPECT_EQ(480, height);
    SYSTEMTIME time = {};
    ASSERT_EQ(1, item->getItemTime(&time));
    EXPECT_EQ(2004, time.wYear);
    EXPECT_EQ(6, time.wMonth);
    EXPECT_EQ(2, time.wDay);
    EXPECT_EQ(250, time.wMilliseconds);
    EXPECT_EQ(123456, item->getItemSize());

    Item lacking(wia->findItem("0000\\Root\\partial"));
    ASSERT_TRUE(lacking);
    EXPECT_EQ(0, lacking->getImageSize(&width, &height)) << "no height";
    EXPECT_EQ(0, lacking->getItemTime(&time)) << "seven values are no time";
    EXPECT_EQ(0, lacking->getItemSize()) << "a text is no size";
}

TEST_F(Items, FoundByFullName)
{
    addCamera();
    IQdWia *wia = create();
    ASSERT_NE(nullptr, wia);
    EXPECT_EQ(nullptr, wia->findItem("0000\\Root\\DCIM\\IMG_0001")) << "no device selected";
    ASSERT_EQ(1, wia->selectDevice("cam-1"));
    Item item(wia->findItem("0000\\Root\\DCIM\\IMG_0002"));
    ASSERT_TRUE(item);
    EXPECT_STREQ("IMG_0002", item->getName());
    EXPECT_EQ(3, item->getFormat());
    EXPECT_EQ(nullptr, wia->findItem("0000\\Root\\DCIM\\IMG_0003"));
    EXPECT_EQ(nullptr, wia->findItem(nullptr));
    const std::string tooLong = "0000\\Root\\" + std::string(250, 'x');
    manager().clearCalls();
    EXPECT_EQ(nullptr, wia->findItem(tooLong.c_str()));
    EXPECT_TRUE(manager().calls().empty()) << "a name that does not fit is not looked for";
}

TEST_F(Items, ItemOutlivesTheSelectionAndTheObject)
{
    addCamera(L"cam-1");
    addCamera(L"cam-2");
    IQdWia *wia = createSelecting("cam-1");
    ASSERT_NE(nullptr, wia);
    Item item(wia->findItem("0000\\Root\\DCIM\\IMG_0001"));
    ASSERT_TRUE(item);
    ASSERT_EQ(1, wia->selectDevice("cam-2"));
    EXPECT_EQ(1, destroy());
    EXPECT_STREQ("0000\\Root\\DCIM\\IMG_0001", item->getFullName());
    EXPECT_EQ(QDWIA_ITEM_IMAGE, item->getKind());
}

} // namespace
