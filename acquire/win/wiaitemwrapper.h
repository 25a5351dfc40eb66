#pragma once

#include "qdwia.h"

#include <wia.h>

#include <cstdint>
#include <memory>
#include <vector>

// One item of a device as handed to the host: answers from the item's
// properties and caches what it read. Keeps its own reference on the item,
// so it may outlive the device selection. Used on the host's thread.
class WiaItemWrapper final : public IWiaItemWrapper
{
  public:
    // A wrapper holding its own reference on the item; null when memory is short.
    static WiaItemWrapper *create(IWiaItem *item);

    IWiaItem *item() const { return m_item; }

    void QDWIA_CALL destroy() override;
    int32_t QDWIA_CALL getKind() override;
    int32_t QDWIA_CALL getFormat() override;
    const char *QDWIA_CALL getName() override;
    const char *QDWIA_CALL getFullName() override;
    const char *QDWIA_CALL getExtension() override;
    int32_t QDWIA_CALL getThumbWidth() override;
    int32_t QDWIA_CALL getThumbHeight() override;
    int32_t QDWIA_CALL getThumbnailSize() override;
    const uint8_t *QDWIA_CALL getThumbnailData() override;
    const BITMAPINFOHEADER *QDWIA_CALL getThumbnailBitmap() override;
    int32_t QDWIA_CALL getImageSize(int32_t *width, int32_t *height) override;
    int32_t QDWIA_CALL getItemTime(SYSTEMTIME *time) override;
    int32_t QDWIA_CALL getItemSize() override;

  private:
    explicit WiaItemWrapper(IWiaItem *item);
    ~WiaItemWrapper();
    WiaItemWrapper(const WiaItemWrapper &) = delete;
    WiaItemWrapper &operator=(const WiaItemWrapper &) = delete;

    // The text property, converted once; null when absent.
    const char *cachedText(std::unique_ptr<char[]> &cache, PROPID id);
    int32_t readInt32Or0(PROPID id);
    // The thumbnail bytes, read once.
    const PROPVARIANT &thumbnail();

    IWiaItem *m_item;
    IWiaPropertyStorage *m_storage = nullptr;
    std::unique_ptr<char[]> m_name;
    std::unique_ptr<char[]> m_fullName;
    std::unique_ptr<char[]> m_extension;
    PROPVARIANT m_thumbnail;
    bool m_thumbnailRead = false;
    std::vector<uint8_t> m_bitmap;
    bool m_bitmapBuilt = false;
};
