#include "updatecheck.h"

#include "autoupdateresource.h"
#include "connectconsentdialog.h"
#include "crmupload.h"
#include "httpdownloadclient.h"
#include "internetsession.h"
#include "updatedialog.h"
#include "updateinfodialog.h"
#include "updaterapp.h"
#include "updatetext.h"
#include "versioninfo.h"

#include <windows.h>

void UpdateCheck::runUpdateMode(UpdateDialog &dialog)
{
    ConnectConsentDialog consent(dialog.productName());
    if (consent.doModal() == IDOK && dialog.worker().start(&UpdateCheck::checkForUpdate, &dialog))
        return;
    CrmUpload::dropHostData();
    dialog.postEndOperation(true);
}

void UpdateCheck::checkForUpdate(void *argument)
{
    auto &dialog = *static_cast<UpdateDialog *>(argument);
    UpdaterApp &app = UpdaterApp::instance();
    const HANDLE cancel = dialog.cancelEvent();
    const auto cancelled = [cancel] { return WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0; };
    CrmUpload::startUpload(cancel);

    char module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const std::string destination = autoupdate::folderOf(module) + "QdUpdater.exe";
        HttpDownloadClient client;
        client.setSink(&dialog);
        client.setCancelEvent(cancel);
        const std::string version = VersionInfo::productVersion(dialog.programPath());
        const std::string query = autoupdate::queryAddress(app.process().updateUrl(), version,
                                                           dialog.versionName(), app.languageId());
        const std::string versionReply = queryServerText(query + "&getversion=1", cancel);
        const std::string sizeReply = queryServerText(query + "&getfilesize=1", cancel);
        const int32_t size = autoupdate::leadingInteger(sizeReply);
        const std::string offer = autoupdate::offerText(dialog.productName(), versionReply, size);
        // A cancel ends the check here, the queries having given up at once: no offer, no download.
        bool wanted = !cancelled();
        if (wanted && size > 0) {
            UpdateInfoDialog info(offer);
            wanted = info.doModal() == IDOK;
        }
        if (wanted) {
            if (client.download(query, size, destination)) {
                app.messageBox(nullptr, app.loadString(IDS_UPDATE_FOUND), MB_OK);
                app.process().updaterReady(destination);
                app.setResult(1);
            } else if (client.wroteDestination()) {
                DeleteFileA(destination.c_str());
            }
        }
    }
    dialog.postEndOperation(false);
}

std::string UpdateCheck::queryServerText(const std::string &url, HANDLE cancel)
{
    try {
        InternetSession session;
        session.setCancelEvent(cancel);
        auto reply = session.openUrl(url);
        return autoupdate::joinLines(reply->readAll());
    } catch (const InternetException &) {
        return std::string();
    }
}
