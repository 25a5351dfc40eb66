#include "testwiaitem.h"

#include "testwiadevmgr.h"
#include "testwiaenum.h"
#include "testwiahandlerenum.h"
#include "testwiatext.h"

#include <wiadef.h>

TestWiaItem *TestWiaItem::createRoot(TestWiaDevMgr &manager, const std::wstring &deviceNumber)
{
    return new TestWiaItem(manager, nullptr, L"Root", deviceNumber + L"\\Root",
                           WiaItemTypeRoot | WiaItemTypeFolder | WiaItemTypeDevice);
}

TestWiaItem::TestWiaItem(TestWiaDevMgr &manager, TestWiaItem *parent, const std::wstring &name,
                         const std::wstring &fullName, LONG type)
    : TestComObject("item " + narrow(fullName)), m_manager(manager), m_parent(parent), m_fullName(fullName),
      m_type(type)
{
    m_properties.setText(WIA_IPA_ITEM_NAME, name);
    m_properties.setText(WIA_IPA_FULL_ITEM_NAME, fullName);
    m_properties.setInt(WIA_IPA_ACCESS_RIGHTS, WIA_ITEM_RD);
}

TestWiaItem *TestWiaItem::addChild(const std::wstring &name, LONG type)
{
    auto *child = new TestWiaItem(m_manager, this, name, m_fullName + L"\\" + name, type);
    m_children.push_back(child); // the reference the child was born with
    return child;
}

TestWiaItem *TestWiaItem::root()
{
    TestWiaItem *item = this;
    while (item->m_parent)
        item = item->m_parent;
    return item;
}

std::wstring TestWiaItem::deviceId() const
{
    const TestWiaItem *item = this;
    while (item->m_parent)
        item = item->m_parent;
    const PROPVARIANT *id = item->m_properties.find(WIA_DIP_DEV_ID);
    return id && id->vt == VT_BSTR ? std::wstring(id->bstrVal) : std::wstring();
}

TestWiaItem *TestWiaItem::find(const std::wstring &fullName)
{
    if (m_fullName == fullName)
        return this;
    for (TestWiaItem *child : m_children) {
        if (TestWiaItem *found = child->find(fullName))
            return found;
    }
    return nullptr;
}

void TestWiaItem::detach()
{
    m_deleted = true;
    if (!m_parent)
        return;
    auto &siblings = m_parent->m_children;
    for (auto it = siblings.begin(); it != siblings.end(); ++it) {
        if (*it == this) {
            siblings.erase(it);
            Release(); // the parent's reference
            break;
        }
    }
}

void TestWiaItem::finalRelease()
{
    std::vector<TestWiaItem *> children;
    children.swap(m_children);
    for (TestWiaItem *child : children)
        child->Release();
}

HRESULT STDMETHODCALLTYPE TestWiaItem::QueryInterface(REFIID interfaceId, void **out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IWiaItem))
        *out = static_cast<IWiaItem *>(this);
    else if (IsEqualIID(interfaceId, IID_IWiaPropertyStorage))
        *out = static_cast<IWiaPropertyStorage *>(this);
    else if (IsEqualIID(interfaceId, IID_IWiaDataTransfer))
        *out = static_cast<IWiaDataTransfer *>(this);
    else if (IsEqualIID(interfaceId, IID_IWiaItemExtras))
        *out = static_cast<IWiaItemExtras *>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::GetItemType(LONG *type)
{
    if (!type)
        return E_POINTER;
    *type = m_type;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::EnumChildItems(IEnumWiaItem **children)
{
    if (!children)
        return E_POINTER;
    std::vector<IWiaItem *> items(m_children.begin(), m_children.end());
    *children = new TestWiaItemEnum("children of " + narrow(m_fullName), IID_IEnumWiaItem, items);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::DeleteItem(LONG)
{
    ++m_deleteRequests;
    if (!(m_properties.intValue(WIA_IPA_ACCESS_RIGHTS, 0) & WIA_ITEM_CAN_BE_DELETED))
        return E_ACCESSDENIED;
    if (m_deletion != Deletion::Allowed)
        return WIA_ERROR_GENERAL_ERROR;
    detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::EnumRegisterEventInfo(LONG, const GUID *event,
                                                             IEnumWIA_DEV_CAPS **handlers)
{
    if (!event || !handlers)
        return E_POINTER;
    *handlers = new TestWiaHandlerEnum(m_manager.handlersFor(*event, deviceId()));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::FindItemByName(LONG, BSTR fullName, IWiaItem **item)
{
    if (!fullName || !item)
        return E_POINTER;
    TestWiaItem *found = root()->find(fullName);
    if (!found || found->m_deleted) {
        *item = nullptr;
        return S_FALSE;
    }
    found->AddRef();
    *item = found;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::GetRootItem(IWiaItem **rootItem)
{
    if (!rootItem)
        return E_POINTER;
    TestWiaItem *top = root();
    top->AddRef();
    *rootItem = top;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::ReadMultiple(ULONG count, const PROPSPEC specs[], PROPVARIANT values[])
{
    if (!specs || !values)
        return E_POINTER;
    bool any = false;
    for (ULONG i = 0; i < count; ++i) {
        PropVariantInit(&values[i]);
        const PROPVARIANT *value =
            specs[i].ulKind == PRSPEC_PROPID ? m_properties.find(specs[i].propid) : nullptr;
        if (value) {
            PropVariantCopy(&values[i], value);
            any = true;
        }
    }
    return any ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::WriteMultiple(ULONG count, const PROPSPEC specs[],
                                                     const PROPVARIANT values[], PROPID nameFirst)
{
    if (!specs || !values)
        return E_POINTER;
    std::string entry = "first=" + std::to_string(nameFirst);
    bool refused = false;
    for (ULONG i = 0; i < count; ++i) {
        entry += " " + std::to_string(specs[i].propid) + "=" + variantText(values[i]);
        refused = refused || m_refusedWrites.count(specs[i].propid) != 0;
    }
    if (refused) {
        m_writes.push_back(entry + " refused");
        return E_ACCESSDENIED;
    }
    m_writes.push_back(entry);
    for (ULONG i = 0; i < count; ++i) {
        m_properties.set(specs[i].propid, values[i]);
        if (specs[i].propid == WIA_IPA_ITEM_FLAGS && values[i].vt == VT_I4 &&
            (values[i].lVal & WiaItemTypeDeleted) && m_deletion == Deletion::RefusedButHonoursFlags)
            detach();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::GetCount(ULONG *count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::idtGetData(LPSTGMEDIUM medium, IWiaDataCallback *callback)
{
    if (!medium)
        return E_POINTER;
    Transfer transfer = {medium->tymed,
                         medium->tymed == TYMED_FILE && medium->lpszFileName != nullptr,
                         callback != nullptr,
                         m_properties.clsidValue(WIA_IPA_FORMAT),
                         m_properties.intValue(WIA_IPA_TYMED),
                         {}};
    if (FAILED(m_transferResult) || medium->tymed != TYMED_FILE || transfer.tymed != TYMED_FILE) {
        m_transfers.push_back(transfer);
        return FAILED(m_transferResult) ? m_transferResult : E_INVALIDARG;
    }
    // Progress as a device reports it: status messages between the data ones.
    if (callback) {
        callback->BandedDataCallback(IT_MSG_STATUS, IT_STATUS_TRANSFER_FROM_DEVICE, 0, 0, 0, 0, 0, nullptr);
        callback->BandedDataCallback(IT_MSG_DATA, IT_STATUS_TRANSFER_TO_CLIENT, 40, 0, 0, 0, 0, nullptr);
        callback->BandedDataCallback(IT_MSG_STATUS, IT_STATUS_TRANSFER_FROM_DEVICE, 50, 0, 0, 0, 0, nullptr);
        callback->BandedDataCallback(IT_MSG_STATUS, IT_STATUS_TRANSFER_TO_CLIENT, 100, 0, 0, 0, 0, nullptr);
        callback->BandedDataCallback(IT_MSG_TERMINATION, 0, 100, 0, 0, 0, 0, nullptr);
    }
    wchar_t folder[MAX_PATH] = {};
    wchar_t path[MAX_PATH] = {};
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"wia", 0, path))
        return E_FAIL;
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return E_FAIL;
    DWORD written = 0;
    WriteFile(file, m_content.data(), static_cast<DWORD>(m_content.size()), &written, nullptr);
    CloseHandle(file);
    const size_t bytes = (wcslen(path) + 1) * sizeof(wchar_t);
    medium->lpszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    memcpy(medium->lpszFileName, path, bytes);
    medium->pUnkForRelease = nullptr;
    transfer.temporaryFile = path;
    m_transfers.push_back(transfer);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestWiaItem::GetExtendedErrorInfo(BSTR *text)
{
    if (!text)
        return E_POINTER;
    ++m_extendedErrorRequests;
    *text = SysAllocString(L"The camera keeps this picture");
    return S_OK;
}
