#include "crmupload.h"

#include "connectconsentdialog.h"
#include "internetsession.h"
#include "multipartbody.h"
#include "redirecttarget.h"
#include "settingslookup.h"
#include "updatedialog.h"
#include "updaterapp.h"
#include "updatesettings.h"
#include "updatetext.h"

#include <windows.h>

namespace
{

const char kUploadTag[] = "CRM Upload";
const int32_t kUnspecifiedFailure = static_cast<int32_t>(0x80004005);

class Archive
{
  public:
    explicit Archive(const std::string &path)
        : m_file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~Archive() { close(); }
    bool isOpen() const { return m_file != INVALID_HANDLE_VALUE; }
    uint64_t size() const
    {
        LARGE_INTEGER size = {};
        return GetFileSizeEx(m_file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    }
    DWORD read(char *buffer, DWORD length)
    {
        DWORD read = 0;
        return ReadFile(m_file, buffer, length, &read, nullptr) ? read : 0;
    }
    void close()
    {
        if (isOpen())
            CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE m_file;
};

} // namespace

namespace
{

// Asks the host for its two files and deletes the first; the archive's path.
std::string deleteFirstUploadFile()
{
    std::string fileToDelete, archive;
    UpdaterApp::instance().process().uploadFiles(fileToDelete, archive);
    if (!fileToDelete.empty())
        DeleteFileA(fileToDelete.c_str());
    return archive;
}

} // namespace

void CrmUpload::dropHostData()
{
    deleteFirstUploadFile();
}

int CrmUpload::startUpload(HANDLE cancel)
{
    uploadCrm(deleteFirstUploadFile(), true, cancel);
    return 1;
}

void CrmUpload::runUploadMode(UpdateDialog &dialog)
{
    ConnectConsentDialog consent(dialog.productName());
    if (consent.doModal() == IDOK)
        startUpload();
    else
        dropHostData();
    dialog.postEndOperation(true);
}

int CrmUpload::uploadCrm(const std::string &archivePath, bool deleteAfter, HANDLE cancel)
{
    const HostProcess process = UpdaterApp::instance().process();
    try {
        InternetSession session;
        session.setCancelEvent(cancel);
        bool fetched = false;
        const std::string address = SettingsLookup::lookUpValue(
            UpdateSettings::kWebSection, UpdateSettings::kCrmRedirectKey, UpdateSettings::kCrmRedirectDefault,
            std::string(), fetched, UpdateSettings::eIniFileOnly);
        RedirectTarget target;
        try {
            auto reply = session.openUrl(address);
            try {
                target = RedirectTarget::parse(autoupdate::joinLines(reply->readAll()));
            } catch (const InternetException &e) {
                // A reply that breaks off names no server.
                if (e.cancelled())
                    return 0;
            }
            if (target.found())
                process.trace(
                    "CRM Redirect",
                    "Redirect found and parsed: server=" + target.server() + ", URL=" + target.path(), 4);
        } catch (const InternetException &e) {
            if (!e.cancelled())
                process.reportError(kUploadTag, "Unable to redirect path", kUnspecifiedFailure);
            return 0;
        }

        std::unique_ptr<HttpConnection> connection;
        try {
            if (!target.host().empty() && target.port() != 0)
                connection = session.httpConnection(target.host(), target.port(), nullptr, nullptr);
        } catch (const InternetException &) {
        }
        if (!connection) {
            process.reportError(kUploadTag, "Unable to get Http Connection", kUnspecifiedFailure);
            return 0;
        }
        std::unique_ptr<InternetFile> request;
        try {
            request = connection->openRequest("POST", target.path());
        } catch (const InternetException &) {
        }
        if (!request) {
            process.reportError(kUploadTag, "Unable to get Http File (OpenRequest)", kUnspecifiedFailure);
            return 0;
        }

        Archive archive(archivePath);
        if (!archive.isOpen())
            return 0;
        const uint64_t size = archive.size();
        const std::string head = MultipartBody::head(size);
        const std::string tail = MultipartBody::tail();
        try {
            request->addRequestHeaders(MultipartBody::contentTypeHeader());
            request->addRequestHeaders(MultipartBody::contentLengthHeader(size));
            request->sendRequestEx(static_cast<DWORD>(size));
        } catch (const InternetException &e) {
            if (!e.cancelled())
                process.trace(kUploadTag, "Error: " + e.message(), 4);
            return 0;
        }
        int result = 0;
        try {
            request->write(head.data(), static_cast<DWORD>(head.size()));
            char piece[1000];
            for (DWORD read = archive.read(piece, sizeof piece); read > 0;
                 read = archive.read(piece, sizeof piece))
                request->write(piece, read);
            archive.close();
            request->write(tail.data(), static_cast<DWORD>(tail.size()));
            request->endRequest();
            result = 1;
        } catch (const InternetException &e) {
            if (!e.cancelled())
                process.trace(kUploadTag, "Error: " + e.message(), 4);
        }
        archive.close();
        if (deleteAfter)
            DeleteFileA(archivePath.c_str());
        return result;
    } catch (const InternetException &e) {
        // The session itself could not be opened.
        process.trace(kUploadTag, "Error: " + e.message(), 4);
        return 0;
    }
}
