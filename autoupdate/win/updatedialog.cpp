#include "updatedialog.h"

#include "aboutupdaterdialog.h"
#include "autoupdateresource.h"
#include "crmupload.h"
#include "updatecheck.h"
#include "updaterapp.h"
#include "updatetext.h"
#include "versioninfo.h"

#include <commctrl.h>

UpdateDialog::UpdateDialog()
    : ModalDialog(IDD_UPDATE), m_cancelEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
}

UpdateDialog::~UpdateDialog()
{
    m_worker.join();
    if (m_cancelEvent)
        CloseHandle(m_cancelEvent);
    if (m_bigIcon)
        DestroyIcon(m_bigIcon);
    if (m_smallIcon)
        DestroyIcon(m_smallIcon);
}

bool UpdateDialog::onInitDialog()
{
    setItemText(IDC_STATUS, m_status);
    setItemText(IDC_TRANSFER_CAPTION, m_transferCaption);
    setItemText(IDC_SIZE_TEXT, m_size);
    m_progress = GetDlgItem(window(), IDC_PROGRESS);

    const UpdaterApp &app = UpdaterApp::instance();
    const std::string about = app.loadString(IDS_ABOUT_MENU);
    if (!about.empty()) {
        if (HMENU menu = GetSystemMenu(window(), FALSE)) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, IDM_ABOUT_UPDATER, about.c_str());
        }
    }

    app.process().programInfo(m_versionName, m_programPath);
    m_productName = autoupdate::doubleAmpersands(VersionInfo::string(m_programPath, "ProductName"));

    m_bigIcon = static_cast<HICON>(LoadImageA(app.module(), MAKEINTRESOURCEA(IDI_UPDATER), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    m_smallIcon =
        static_cast<HICON>(LoadImageA(app.module(), MAKEINTRESOURCEA(IDI_UPDATER), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageA(window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    SendMessageA(window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));

    PostMessageA(window(), StartOperation, 0, 0);
    SetFocus(window());
    return false;
}

void UpdateDialog::onCancel()
{
    m_cancelRequested.store(true);
    if (m_cancelEvent)
        SetEvent(m_cancelEvent);
    if (!m_running.load())
        endDialog(IDCANCEL);
}

bool UpdateDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result)
{
    static const MessageMapEntry<UpdateDialog> map[] = {
        {StartOperation, &UpdateDialog::onStartOperation},
        {EndOperation, &UpdateDialog::onEndOperation},
        {RefreshTexts, &UpdateDialog::onRefreshTexts},
        {WM_SYSCOMMAND, &UpdateDialog::onSysCommand},
        {WM_PAINT, &UpdateDialog::onPaint},
        {WM_QUERYDRAGICON, &UpdateDialog::onQueryDragIcon},
    };
    if (!dispatchMessage(this, map, message, wParam, lParam, result))
        return false;
    // Messages a handler passes on go to the default handling.
    return result != -1;
}

LRESULT UpdateDialog::onStartOperation(WPARAM, LPARAM)
{
    m_running.store(true);
    const UpdaterApp &app = UpdaterApp::instance();
    const int32_t mode = app.process().operationMode();
    switch (mode) {
    case 0:
    case 1:
        UpdateCheck::runUpdateMode(*this);
        break;
    case 3:
        CrmUpload::runUploadMode(*this);
        break;
    case 2:
        app.messageBox(window(), "not yet implemented - sorry ;-(", MB_OK);
        postEndOperation(false);
        break;
    default:
        app.messageBox(window(),
                       "Unknown operation mode inside QdAutoUpdate Dll - please check your installation !",
                       MB_OK);
        postEndOperation(false);
        break;
    }
    return 0;
}

LRESULT UpdateDialog::onEndOperation(WPARAM, LPARAM)
{
    m_running.store(false);
    PostMessageA(window(), WM_CLOSE, 0, 0);
    return 0;
}

LRESULT UpdateDialog::onRefreshTexts(WPARAM, LPARAM)
{
    std::string status, caption, size;
    {
        std::lock_guard<std::mutex> lock(m_textMutex);
        status = m_status;
        caption = m_transferCaption;
        size = m_size;
    }
    setItemText(IDC_STATUS, status);
    setItemText(IDC_TRANSFER_CAPTION, caption);
    setItemText(IDC_SIZE_TEXT, size);
    return 0;
}

LRESULT UpdateDialog::onSysCommand(WPARAM wParam, LPARAM)
{
    if ((wParam & 0xfff0) != IDM_ABOUT_UPDATER)
        return -1;
    AboutUpdaterDialog about;
    about.doModal(window());
    return 0;
}

LRESULT UpdateDialog::onPaint(WPARAM, LPARAM)
{
    if (!IsIconic(window()))
        return -1;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window(), &paint);
    SendMessageA(window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_bigIcon);
    EndPaint(window(), &paint);
    return 0;
}

LRESULT UpdateDialog::onQueryDragIcon(WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>(m_bigIcon);
}

void UpdateDialog::postEndOperation(bool alsoClose)
{
    PostMessageA(window(), EndOperation, 0, 0);
    if (alsoClose)
        PostMessageA(window(), WM_CLOSE, 0, 0);
}

int UpdateDialog::setStatusText(const char *text)
{
    {
        std::lock_guard<std::mutex> lock(m_textMutex);
        m_status = text ? text : "";
    }
    PostMessageA(window(), RefreshTexts, 0, 0);
    return 0;
}

int UpdateDialog::beginTransfer(const char *caption, int32_t low, int32_t high)
{
    {
        std::lock_guard<std::mutex> lock(m_textMutex);
        m_transferCaption = caption ? caption : "";
    }
    PostMessageA(window(), RefreshTexts, 0, 0);
    SendMessageA(m_progress, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
    return 0;
}

int UpdateDialog::setProgress(int32_t position)
{
    SendMessageA(m_progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    const auto upper = static_cast<int32_t>(SendMessageA(m_progress, PBM_GETRANGE, FALSE, 0));
    {
        std::lock_guard<std::mutex> lock(m_textMutex);
        m_size = autoupdate::progressText(position, upper);
    }
    PostMessageA(window(), RefreshTexts, 0, 0);
    return 0;
}

int UpdateDialog::disableProgress()
{
    EnableWindow(m_progress, FALSE);
    return 0;
}

int UpdateDialog::isPaused()
{
    return 0;
}

int UpdateDialog::shouldContinue()
{
    return m_cancelRequested.load() ? 0 : 1;
}

int UpdateDialog::reportError(const char *text)
{
    UpdaterApp::instance().process().reportError("QdAutoUpdate process interface:", text ? text : "", -1);
    return 0;
}

int UpdateDialog::reserved(int32_t, int32_t, int32_t)
{
    return 0;
}
