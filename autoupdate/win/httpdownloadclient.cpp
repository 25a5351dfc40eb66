#include "httpdownloadclient.h"

#include "autoupdateresource.h"
#include "updaterapp.h"
#include "updatetext.h"

#include <cstring>
#include <memory>
#include <vector>

namespace
{

const char kTransferFile[] = "TanduHttpTransferFile.dat";

void copyText(char (&target)[MAX_PATH], const char *text)
{
    lstrcpynA(target, text, MAX_PATH);
}

bool valid(HANDLE file)
{
    return file != nullptr && file != INVALID_HANDLE_VALUE;
}

} // namespace

HttpDownloadClient::HttpDownloadClient()
{
    copyText(m_defaultTransferFile, kTransferFile);
    copyText(m_destinationPath, kTransferFile);
    copyText(m_userName, "TanduHttpUser");
    m_password[0] = m_scheme[0] = m_host[0] = m_urlPath[0] = m_extraInfo[0] = '\0';
    std::memset(&m_urlParts, 0, sizeof m_urlParts);
    m_urlParts.dwStructSize = sizeof m_urlParts;
}

HttpDownloadClient::~HttpDownloadClient()
{
    closeHandles();
    if (valid(m_file))
        CloseHandle(m_file);
}

bool HttpDownloadClient::sendRequest()
{
    // The connect and the wait for the headers: what the call reaches is its own.
    auto sent = std::make_shared<BOOL>(FALSE);
    const HINTERNET request = m_request;
    if (m_calls.run([request, sent] { *sent = HttpSendRequestA(request, nullptr, 0, nullptr, 0); }) ==
        DetachedCall::Cancelled) {
        closeRequest();
        return false;
    }
    return *sent != FALSE;
}

void HttpDownloadClient::closeRequest()
{
    // Where the system can, this ends a call left waiting on the request.
    if (m_request)
        InternetCloseHandle(m_request);
    m_request = nullptr;
}

void HttpDownloadClient::closeHandles()
{
    if (m_request)
        InternetCloseHandle(m_request);
    if (m_connection)
        InternetCloseHandle(m_connection);
    if (m_internet)
        InternetCloseHandle(m_internet);
    m_request = m_connection = m_internet = nullptr;
}

int HttpDownloadClient::download(const std::string &url, int32_t expectedTotal,
                                 const std::string &destination, int32_t)
{
    if (!destination.empty())
        copyText(m_destinationPath, destination.c_str());
    if (expectedTotal > 0)
        m_expectedTotal = expectedTotal;
    m_urlParts.lpszScheme = m_scheme;
    m_urlParts.dwSchemeLength = MAX_PATH;
    m_urlParts.lpszHostName = m_host;
    m_urlParts.dwHostNameLength = MAX_PATH;
    m_urlParts.lpszUserName = m_userName;
    m_urlParts.dwUserNameLength = MAX_PATH;
    m_urlParts.lpszPassword = m_password;
    m_urlParts.dwPasswordLength = MAX_PATH;
    m_urlParts.lpszUrlPath = m_urlPath;
    m_urlParts.dwUrlPathLength = MAX_PATH;
    m_urlParts.lpszExtraInfo = m_extraInfo;
    m_urlParts.dwExtraInfoLength = MAX_PATH;
    // No decoding: the address goes out as the caller wrote it.
    if (!InternetCrackUrlA(url.c_str(), 0, 0, &m_urlParts))
        return 0;
    return run();
}

int HttpDownloadClient::run()
{
    m_answerTransferred = 0;
    if (m_host[0] == '\0' || m_urlPath[0] == '\0') {
        error(IDS_NO_UPDATE);
        return 0;
    }
    closeHandles();
    m_internet = InternetOpenA("TanduHttpClient", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!m_internet) {
        error(IDS_NO_CONNECTION);
        return 0;
    }
    status(IDS_CONNECTING);
    const INTERNET_PORT port = m_urlParts.nPort ? m_urlParts.nPort : INTERNET_DEFAULT_HTTP_PORT;
    m_connection =
        InternetConnectA(m_internet, m_host, port, m_userName, nullptr, INTERNET_SERVICE_HTTP, 0, m_context);
    if (!m_connection) {
        error(IDS_NO_CONNECTION);
        return 0;
    }
    status(IDS_SENDING_REQUEST);
    const std::string object = std::string(m_urlPath) + m_extraInfo;
    const char *acceptTypes[] = {"*/*", nullptr};
    m_request = HttpOpenRequestA(m_connection, nullptr, object.c_str(), nullptr, nullptr, acceptTypes,
                                 INTERNET_FLAG_NO_CACHE_WRITE, m_context);
    if (!m_request) {
        error(IDS_NO_CONNECTION);
        return 0;
    }
    if (!sendRequest()) {
        if (!cancelled())
            error(IDS_NO_CONNECTION);
        return 0;
    }
    if (checkStatus()) {
        status(IDS_TRANSFERRING);
        if (readAnswer()) {
            status(IDS_DONE);
            return 1;
        }
        if (cancelled())
            return 0;
        error(IDS_NO_UPDATE);
        return 0;
    }
    if (m_lastStatus == 404) {
        error(IDS_NO_UPDATE);
    } else if (m_transferAnswerOnError) {
        m_answerTransferred = 1;
        statusText("Transfering server answer ....");
        if (readAnswer()) {
            statusText("Done.");
            return 0;
        }
        error(IDS_NO_UPDATE);
    } else {
        error(IDS_NO_UPDATE);
    }
    return 0;
}

bool HttpDownloadClient::checkStatus()
{
    char text[128];
    std::memset(text, 0, sizeof text);
    DWORD size = sizeof text - 1;
    if (!m_request || !HttpQueryInfoA(m_request, HTTP_QUERY_STATUS_CODE, text, &size, nullptr))
        return false;
    int32_t code = 0;
    if (!autoupdate::parseStatusCode(text, code)) {
        m_lastStatus = -1;
        errorText(std::string(" Unable to parse ReturnCode from server, server answer was \"") + text + "\"");
        return false;
    }
    m_lastStatus = code;
    return autoupdate::isSuccessStatus(code);
}

bool HttpDownloadClient::openDestination()
{
    if (valid(m_file))
        CloseHandle(m_file);
    m_file =
        CreateFileA(m_destinationPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!valid(m_file) && GetLastError() == ERROR_FILE_EXISTS) {
        bool overwrite = true;
        if (m_askBeforeOverwrite) {
            const UpdaterApp &app = UpdaterApp::instance();
            const std::string question =
                autoupdate::fillPath(app.loadString(IDS_OVERWRITE), m_destinationPath);
            overwrite = app.messageBox(nullptr, question, MB_YESNO | MB_ICONQUESTION) == IDYES;
        }
        if (overwrite)
            m_file = CreateFileA(m_destinationPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (valid(m_file))
        m_wroteDestination = true;
    m_bytesWritten = 0;
    if (m_sink && m_expectedTotal > 0)
        m_sink->beginTransfer(UpdaterApp::instance().loadString(IDS_DOWNLOAD_FILE).c_str(), 0,
                              m_expectedTotal);
    if (!valid(m_file)) {
        m_file = nullptr;
        return false;
    }
    return true;
}

bool HttpDownloadClient::readAnswer()
{
    if (!m_request)
        return false;
    if (!openDestination())
        return false;
    // The buffer is the reads' own: one left behind still writes into it.
    struct Piece {
        std::vector<char> bytes;
        DWORD length = 0;
        BOOL ok = FALSE;
    };
    auto piece = std::make_shared<Piece>();
    piece->bytes.resize(m_chunkSize);
    bool ok = true;
    for (;;) {
        const HINTERNET request = m_request;
        const DetachedCall::Result result = m_calls.run([request, piece] {
            piece->length = 0;
            piece->ok = InternetReadFile(request, piece->bytes.data(),
                                         static_cast<DWORD>(piece->bytes.size()), &piece->length);
        });
        if (result == DetachedCall::Cancelled)
            closeRequest();
        if (result != DetachedCall::Done || !piece->ok) {
            ok = false;
            break;
        }
        if (piece->length == 0)
            break;
        if (!writeChunk(piece->bytes.data(), piece->length))
            ok = false;
        if (m_sink && !m_sink->shouldContinue())
            ok = false;
        if (!ok)
            break;
    }
    // A reply that ends before its announced length is not the whole file.
    if (ok && m_request) {
        DWORD length = 0;
        DWORD size = sizeof length;
        if (HttpQueryInfoA(m_request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size,
                           nullptr) &&
            m_bytesWritten < length)
            ok = false;
    }
    CloseHandle(m_file);
    m_file = nullptr;
    return ok;
}

int HttpDownloadClient::writeChunk(const char *data, DWORD length)
{
    if (!valid(m_file))
        return 0;
    DWORD written = 0;
    if (!WriteFile(m_file, data, length, &written, nullptr) || written != length)
        return 0;
    m_bytesWritten += length;
    if (m_sink && m_expectedTotal > 0)
        m_sink->setProgress(static_cast<int32_t>(m_bytesWritten));
    return 1;
}

bool HttpDownloadClient::cancelled()
{
    return (m_sink && !m_sink->shouldContinue()) || m_calls.cancelled();
}

void HttpDownloadClient::status(UINT stringId)
{
    if (m_sink)
        m_sink->setStatusText(UpdaterApp::instance().loadString(stringId).c_str());
}

void HttpDownloadClient::statusText(const std::string &text)
{
    if (m_sink)
        m_sink->setStatusText(text.c_str());
}

void HttpDownloadClient::error(UINT stringId)
{
    if (m_sink)
        m_sink->reportError(UpdaterApp::instance().loadString(stringId).c_str());
}

void HttpDownloadClient::errorText(const std::string &text)
{
    if (m_sink)
        m_sink->reportError(text.c_str());
}
