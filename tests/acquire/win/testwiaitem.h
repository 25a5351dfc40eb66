#pragma once

#include "testcomobject.h"
#include "testproperties.h"

#include <wia.h>

#include <set>
#include <string>
#include <vector>

class TestWiaDevMgr;

// One item of a scripted device, the device's root item included: its
// properties, children and data, and how it answers a deletion. Records what
// the client asked of it.
class TestWiaItem final : public TestComObject,
                          public IWiaItem,
                          public IWiaPropertyStorage,
                          public IWiaDataTransfer,
                          public IWiaItemExtras
{
  public:
    // How DeleteItem answers (when the access rights allow it at all).
    enum class Deletion { Allowed, Refused, RefusedButHonoursFlags };

    struct Transfer {
        DWORD mediumType;   // the medium as handed in
        bool mediumNamed;   // a file name was already set
        bool callbackGiven; // a data callback came along
        GUID format;        // WIA_IPA_FORMAT at the time
        int32_t tymed;      // WIA_IPA_TYMED at the time
        std::wstring temporaryFile;
    };

    // A device's root item; its children are added with addChild.
    static TestWiaItem *createRoot(TestWiaDevMgr &manager, const std::wstring &deviceNumber);

    // A child held by this item, named with its parent's full name.
    TestWiaItem *addChild(const std::wstring &name, LONG type);

    TestProperties &properties() { return m_properties; }
    const std::wstring &fullName() const { return m_fullName; }
    std::wstring deviceId() const;
    LONG type() const { return m_type; }
    void setType(LONG type) { m_type = type; }

    void setContent(std::vector<uint8_t> content) { m_content = std::move(content); }
    void setDeletion(Deletion deletion) { m_deletion = deletion; }
    void refuseWrite(PROPID id) { m_refusedWrites.insert(id); }
    void setTransferResult(HRESULT result) { m_transferResult = result; }

    // Each WriteMultiple as "first=4098 4106={...} 4108=2", refused ones marked.
    const std::vector<std::string> &writes() const { return m_writes; }
    const std::vector<Transfer> &transfers() const { return m_transfers; }
    int deleteRequests() const { return m_deleteRequests; }
    int extendedErrorRequests() const { return m_extendedErrorRequests; }
    bool deleted() const { return m_deleted; }

    // The item of that full name in this item's subtree, or null.
    TestWiaItem *find(const std::wstring &fullName);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void **out) override;
    TEST_COM_REFERENCES

    // IWiaItem
    HRESULT STDMETHODCALLTYPE GetItemType(LONG *type) override;
    HRESULT STDMETHODCALLTYPE AnalyzeItem(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumChildItems(IEnumWiaItem **children) override;
    HRESULT STDMETHODCALLTYPE DeleteItem(LONG flags) override;
    HRESULT STDMETHODCALLTYPE CreateChildItem(LONG, BSTR, BSTR, IWiaItem **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumRegisterEventInfo(LONG flags, const GUID *event,
                                                    IEnumWIA_DEV_CAPS **handlers) override;
    HRESULT STDMETHODCALLTYPE FindItemByName(LONG flags, BSTR fullName, IWiaItem **item) override;
    HRESULT STDMETHODCALLTYPE DeviceDlg(HWND, LONG, LONG, LONG *, IWiaItem ***) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeviceCommand(LONG, const GUID *, IWiaItem **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRootItem(IWiaItem **root) override;
    HRESULT STDMETHODCALLTYPE EnumDeviceCapabilities(LONG, IEnumWIA_DEV_CAPS **) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DumpItemData(BSTR *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DumpDrvItemData(BSTR *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DumpTreeItemData(BSTR *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Diagnostic(ULONG, BYTE *) override { return E_NOTIMPL; }

    // IWiaPropertyStorage
    HRESULT STDMETHODCALLTYPE ReadMultiple(ULONG count, const PROPSPEC specs[],
                                           PROPVARIANT values[]) override;
    HRESULT STDMETHODCALLTYPE WriteMultiple(ULONG count, const PROPSPEC specs[], const PROPVARIANT values[],
                                            PROPID nameFirst) override;
    HRESULT STDMETHODCALLTYPE DeleteMultiple(ULONG, const PROPSPEC[]) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReadPropertyNames(ULONG, const PROPID[], LPOLESTR[]) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE WritePropertyNames(ULONG, const PROPID[], const LPOLESTR[]) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeletePropertyNames(ULONG, const PROPID[]) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Enum(IEnumSTATPROPSTG **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTimes(const FILETIME *, const FILETIME *, const FILETIME *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATPROPSETSTG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPropertyAttributes(ULONG, PROPSPEC[], ULONG[], PROPVARIANT[]) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCount(ULONG *count) override;
    HRESULT STDMETHODCALLTYPE GetPropertyStream(GUID *, IStream **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPropertyStream(GUID *, IStream *) override { return E_NOTIMPL; }

    // IWiaDataTransfer
    HRESULT STDMETHODCALLTYPE idtGetData(LPSTGMEDIUM medium, IWiaDataCallback *callback) override;
    HRESULT STDMETHODCALLTYPE idtGetBandedData(PWIA_DATA_TRANSFER_INFO, IWiaDataCallback *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE idtQueryGetData(WIA_FORMAT_INFO *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE idtEnumWIA_FORMAT_INFO(IEnumWIA_FORMAT_INFO **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE idtGetExtendedTransferInfo(PWIA_EXTENDED_TRANSFER_INFO) override
    {
        return E_NOTIMPL;
    }

    // IWiaItemExtras
    HRESULT STDMETHODCALLTYPE GetExtendedErrorInfo(BSTR *text) override;
    HRESULT STDMETHODCALLTYPE Escape(DWORD, BYTE *, DWORD, BYTE *, DWORD, DWORD *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CancelPendingIO() override { return E_NOTIMPL; }

  private:
    TestWiaItem(TestWiaDevMgr &manager, TestWiaItem *parent, const std::wstring &name,
                const std::wstring &fullName, LONG type);
    void finalRelease() override;
    TestWiaItem *root();
    // Leaves the parent's children, as a deleted item does.
    void detach();

    TestWiaDevMgr &m_manager;
    TestWiaItem *m_parent;
    std::wstring m_fullName;
    LONG m_type;
    TestProperties m_properties;
    std::vector<TestWiaItem *> m_children;
    std::vector<uint8_t> m_content;
    Deletion m_deletion = Deletion::Allowed;
    std::set<PROPID> m_refusedWrites;
    HRESULT m_transferResult = S_OK;
    std::vector<std::string> m_writes;
    std::vector<Transfer> m_transfers;
    int m_deleteRequests = 0;
    int m_extendedErrorRequests = 0;
    bool m_deleted = false;
};
