#include "wiaitemwrapper.h"

#include "ansitext.h"
#include "wiapropertyvalue.h"
#include "wiatables.h"
#include "wiathumbnail.h"

#include <wiadef.h>

#include <cstring>
#include <new>
#include <type_traits>

static_assert(sizeof(SYSTEMTIME) == 16, "SYSTEMTIME layout");
static_assert(sizeof(BITMAPINFOHEADER) == WiaThumbnail::kHeaderSize, "BITMAPINFOHEADER layout");
#if !defined(_WIN64)
static_assert(std::is_same_v<decltype(&IWiaItemWrapper::getKind), int32_t (__thiscall IWiaItemWrapper::*)()>,
              "item slots use this-call");
static_assert(std::is_same_v<decltype(&IWiaItemWrapper::getImageSize),
                             int32_t (__thiscall IWiaItemWrapper::*)(int32_t *, int32_t *)>,
              "item slots use this-call");
#endif

WiaItemWrapper *WiaItemWrapper::create(IWiaItem *item)
{
    return item ? new (std::nothrow) WiaItemWrapper(item) : nullptr;
}

WiaItemWrapper::WiaItemWrapper(IWiaItem *item) : m_item(item)
{
    PropVariantInit(&m_thumbnail);
    m_item->AddRef();
    if (FAILED(m_item->QueryInterface(IID_IWiaPropertyStorage, reinterpret_cast<void **>(&m_storage))))
        m_storage = nullptr;
}

WiaItemWrapper::~WiaItemWrapper()
{
    PropVariantClear(&m_thumbnail);
    if (m_storage)
        m_storage->Release();
    m_item->Release();
}

void QDWIA_CALL WiaItemWrapper::destroy()
{
    delete this;
}

const char *WiaItemWrapper::cachedText(std::unique_ptr<char[]> &cache, PROPID id)
{
    if (!cache) {
        WiaPropertyValue value;
        if (value.read(m_storage, id) && value.text())
            cache = qdwia::newAnsi(value.text());
    }
    return cache.get();
}

int32_t WiaItemWrapper::readInt32Or0(PROPID id)
{
    int32_t value = 0;
    return WiaPropertyValue::readInt32(m_storage, id, value) ? value : 0;
}

const PROPVARIANT &WiaItemWrapper::thumbnail()
{
    if (!m_thumbnailRead) {
        m_thumbnailRead = true;
        if (m_storage) {
            PROPSPEC spec = {};
            spec.ulKind = PRSPEC_PROPID;
            spec.propid = WIA_IPC_THUMBNAIL;
            if (m_storage->ReadMultiple(1, &spec, &m_thumbnail) != S_OK ||
                m_thumbnail.vt != (VT_VECTOR | VT_UI1))
                PropVariantClear(&m_thumbnail);
        }
    }
    return m_thumbnail;
}

int32_t QDWIA_CALL WiaItemWrapper::getKind()
{
    LONG type = 0;
    if (FAILED(m_item->GetItemType(&type)))
        return 0;
    return WiaTables::itemKind(type);
}

int32_t QDWIA_CALL WiaItemWrapper::getFormat()
{
    GUID format;
    if (!WiaPropertyValue::readIdentifier(m_storage, WIA_IPA_FORMAT, false, format))
        return 0;
    acquire::Identifier identifier;
    std::memcpy(&identifier, &format, sizeof identifier);
    return WiaTables::formatNumber(identifier);
}

const char *QDWIA_CALL WiaItemWrapper::getName()
{
    return cachedText(m_name, WIA_IPA_ITEM_NAME);
}

const char *QDWIA_CALL WiaItemWrapper::getFullName()
{
    return cachedText(m_fullName, WIA_IPA_FULL_ITEM_NAME);
}

const char *QDWIA_CALL WiaItemWrapper::getExtension()
{
    const char *extension = cachedText(m_extension, WIA_IPA_FILENAME_EXTENSION);
    return extension ? extension : "";
}

int32_t QDWIA_CALL WiaItemWrapper::getThumbWidth()
{
    return readInt32Or0(WIA_IPC_THUMB_WIDTH);
}

int32_t QDWIA_CALL WiaItemWrapper::getThumbHeight()
{
    return readInt32Or0(WIA_IPC_THUMB_HEIGHT);
}

int32_t QDWIA_CALL WiaItemWrapper::getThumbnailSize()
{
    const PROPVARIANT &value = thumbnail();
    return value.vt == (VT_VECTOR | VT_UI1) ? static_cast<int32_t>(value.caub.cElems) : 0;
}

const uint8_t *QDWIA_CALL WiaItemWrapper::getThumbnailData()
{
    const PROPVARIANT &value = thumbnail();
    return value.vt == (VT_VECTOR | VT_UI1) ? value.caub.pElems : nullptr;
}

const BITMAPINFOHEADER *QDWIA_CALL WiaItemWrapper::getThumbnailBitmap()
{
    if (!m_bitmapBuilt) {
        m_bitmapBuilt = true;
        try {
            m_bitmap = WiaThumbnail::pack(getThumbWidth(), getThumbHeight(), getThumbnailData(),
                                          static_cast<size_t>(getThumbnailSize()));
        } catch (const std::bad_alloc &) {
            m_bitmap.clear();
        }
    }
    return m_bitmap.empty() ? nullptr : reinterpret_cast<const BITMAPINFOHEADER *>(m_bitmap.data());
}

int32_t QDWIA_CALL WiaItemWrapper::getImageSize(int32_t *width, int32_t *height)
{
    if (!width || !height)
        return 0;
    const bool haveWidth = WiaPropertyValue::readInt32(m_storage, WIA_IPA_PIXELS_PER_LINE, *width);
    const bool haveHeight = WiaPropertyValue::readInt32(m_storage, WIA_IPA_NUMBER_OF_LINES, *height);
    return haveWidth && haveHeight ? 1 : 0;
}

int32_t QDWIA_CALL WiaItemWrapper::getItemTime(SYSTEMTIME *time)
{
    WiaPropertyValue value;
    if (!time || !value.read(m_storage, WIA_IPA_ITEM_TIME))
        return 0;
    const PROPVARIANT &variant = value.value();
    if (variant.vt != (VT_VECTOR | VT_UI2) || variant.caui.cElems != 8 || !variant.caui.pElems)
        return 0;
    std::memcpy(time, variant.caui.pElems, sizeof *time);
    return 1;
}

int32_t QDWIA_CALL WiaItemWrapper::getItemSize()
{
    return readInt32Or0(WIA_IPA_ITEM_SIZE);
}
