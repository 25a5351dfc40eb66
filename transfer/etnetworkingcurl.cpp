#include "etnetworkingcurl.h"

#include "etcurleventloop.h"
#include "etfileutils.h"
#include "etnetworking.h"
#include "etnetworkinglog.h"
#include "etnetworkingtimes.h"
#include "etpostedfile.h"
#include "etprotocollevel.h"
#include "etsecretmask.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

namespace
{

Q_LOGGING_CATEGORY(lcCurl, "lumo.curl")

// Servers of the older protocols sent Latin-1 under any declaration. A reply
// that names its encoding (byte-order mark or declaration) and whose bytes
// are in it is read in it; one that names none, or whose bytes break the
// encoding it names, is read as Latin-1.
QString olderProtocolText(const QByteArray &bytes)
{
    std::optional<QStringDecoder> decoder;
    if (const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes)) {
        decoder.emplace(*marked);
    } else {
        static const QRegularExpression declared(
            QStringLiteral("^<\\?xml\\s[^>]*\\bencoding\\s*=\\s*([\"'])([A-Za-z0-9._:-]+)\\1"));
        const QRegularExpressionMatch match = declared.match(QString::fromLatin1(bytes.left(256)));
        if (match.hasMatch())
            decoder.emplace(match.captured(2).toLatin1().constData());
    }
    if (decoder && decoder->isValid()) {
        const QString text = decoder->decode(bytes);
        if (!decoder->hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

// Connections, TLS sessions and name look-ups outlive one transfer object, so
// consecutive requests to the same server reuse their connection.
std::mutex shareLocks[CURL_LOCK_DATA_LAST];
CURLSH *share = nullptr;

void lockShare(CURL *, curl_lock_data data, curl_lock_access, void *)
{
    shareLocks[data].lock();
}
void unlockShare(CURL *, curl_lock_data data, void *)
{
    shareLocks[data].unlock();
}

void globalInit()
{
    static std::once_flag once;
    std::call_once(once, [] {
        qCDebug(lcNetworking, "cURL global init");
        curl_global_init(CURL_GLOBAL_SSL | CURL_GLOBAL_WIN32);
        share = curl_share_init();
        if (share) {
            curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lockShare);
            curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlockShare);
            curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
            curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
            curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        }
    });
}

// Idle handles. An easy handle with the multi handle that drives it carries
// transfer machinery (a wake-up socket pair, buffers) that costs more to make
// and tear down than a small request takes on a reused connection;
// curl_easy_reset clears every option but keeps that machinery and the share.
// Never destroyed: idle handles stay reachable until the process ends.
struct Handles {
    CURL *easy = nullptr;
    CURLM *multi = nullptr;
};
std::mutex poolMutex;
std::vector<Handles> &idleHandles = *new std::vector<Handles>;
const size_t maxIdleHandles = 4;

Handles takeHandles()
{
    {
        std::lock_guard<std::mutex> lock(poolMutex);
        if (!idleHandles.empty()) {
            const Handles handles = idleHandles.back();
            idleHandles.pop_back();
            return handles;
        }
    }
    Handles handles{curl_easy_init(), curl_multi_init()};
    if (!handles.easy || !handles.multi) {
        if (handles.easy)
            curl_easy_cleanup(handles.easy);
        if (handles.multi)
            curl_multi_cleanup(handles.multi);
        return Handles();
    }
    if (share)
        curl_easy_setopt(handles.easy, CURLOPT_SHARE, share);
    return handles;
}

void returnHandles(const Handles &handles)
{
    curl_easy_reset(handles.easy);
    {
        std::lock_guard<std::mutex> lock(poolMutex);
        if (idleHandles.size() < maxIdleHandles) {
            idleHandles.push_back(handles);
            return;
        }
    }
    curl_easy_cleanup(handles.easy);
    curl_multi_cleanup(handles.multi);
}

// The longest a transfer waits for its sockets before it looks at the cancel
// flag again; a cancel wakes it at once anyway.
const int pollMilliseconds = 1000;

const qint64 progressReportIntervalMs = 50;

const long uploadBufferBytes = 512 * 1024;

int traceToDebug(CURL *, curl_infotype type, char *data, size_t size, void *)
{
    if (type == CURLINFO_TEXT || type == CURLINFO_HEADER_IN || type == CURLINFO_HEADER_OUT)
        qCDebug(lcCurl).noquote() << QString::fromLatin1(data, int(size)).trimmed();
    return 0;
}

QString now()
{
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

std::atomic<quint64> serials{0};

std::atomic<ETNetworkingCurl::ConnectionCheck> connectionCheck{nullptr};

// Bodies are masked and copied only for debug output that someone reads.
bool debugWanted()
{
    return lcNetworking().isDebugEnabled();
}

} // namespace

ETNetworkingCurl::ETNetworkingCurl(const QString &url, QObject *parent) : QObject(parent), m_serial(++serials)
{
    m_errorBuffer[0] = '\0';
    globalInit();
    qCDebug(lcNetworking, "cURL init");
    const Handles handles = takeHandles();
    m_handle = handles.easy;
    m_multi = handles.multi;
    if (!m_handle) {
        qCDebug(lcNetworking, "**** cURL init failed ***");
        return;
    }
    // Every transfer looks at the cancel flag, whether it reports progress or not.
    curl_easy_setopt(m_handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(m_handle, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_handle, CURLOPT_XFERINFOFUNCTION, progressCallback);
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, writeToBuffer);
    curl_easy_setopt(m_handle, CURLOPT_VERBOSE, lcCurl().isDebugEnabled() ? 1L : 0L);
    curl_easy_setopt(m_handle, CURLOPT_DEBUGFUNCTION, traceToDebug);
    // Redirects are not followed: one from HTTPS to plain HTTP would post the
    // login in clear, one to another host would hand it to a stranger. A
    // redirect reply fails with its HTTP status.
    curl_easy_setopt(m_handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(m_handle, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(m_handle, CURLOPT_USERAGENT, "Varnok");
    curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, 1L);
    // Certificates are always checked: against the shipped bundle when there
    // is one, else against the system's store.
    if (QFileInfo::exists(QStringLiteral("ca-bundle.crt"))) {
        qCDebug(lcNetworking, "enable peer certificate verification");
        curl_easy_setopt(m_handle, CURLOPT_CAINFO, "ca-bundle.crt");
    }
    curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYHOST, 2L);
    setURL(url);
}

ETNetworkingCurl::~ETNetworkingCurl()
{
    qCDebug(lcNetworking, "cURL cleanup");
    // The handle lets go of the form before the form goes.
    if (m_handle)
        returnHandles(Handles{m_handle, m_multi});
    if (m_form)
        curl_mime_free(m_form);
}

void ETNetworkingCurl::setURL(const QString &url)
{
    m_url = url;
    m_urlBytes = url.toLocal8Bit();
    if (!m_handle)
        return;
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, writeToBuffer);
    curl_easy_setopt(m_handle, CURLOPT_URL, m_urlBytes.constData());
}

void ETNetworkingCurl::setProxy(const QString &proxy)
{
    m_proxy = proxy;
    m_proxyBytes = proxy.toLocal8Bit();
    if (m_handle)
        curl_easy_setopt(m_handle, CURLOPT_PROXY, m_proxyBytes.constData());
}

void ETNetworkingCurl::setProxyPort(int port)
{
    if (m_handle)
        curl_easy_setopt(m_handle, CURLOPT_PROXYPORT, long(port));
}

void ETNetworkingCurl::enableProgress(int total)
{
    m_progressScale = total;
    m_progressEnabled = true;
}

void ETNetworkingCurl::setRequestTimeout(int seconds)
{
    m_requestTimeoutSeconds = seconds;
}

int ETNetworkingCurl::get(const QString &url)
{
    if (!url.isEmpty())
        setURL(url);
    perform();
    return m_curlError;
}

int ETNetworkingCurl::download(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return m_curlError;
    if (m_handle) {
        curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, &file);
        curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, writeToFile);
    }
    m_downloadMode = true;
    perform();
    m_downloadMode = false;
    file.close();
    if (m_handle) {
        curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, writeToBuffer);
    }
    if (m_curlError == CURLE_OK && m_httpCode == 404)
        m_curlError = RemoteFileMissing;
    return m_curlError;
}

int ETNetworkingCurl::postString(const QString &text)
{
    curl_slist *headers = curl_slist_append(nullptr, "Content-Type: text/xml");
    if (!headers)
        qCDebug(lcNetworking, "curl_slist_append failed!");
    m_postBody = text.toUtf8();
    if (debugWanted())
        qCDebug(lcNetworking).noquote()
            << QStringLiteral("postString(") + maskSecrets(text).left(8000) + QLatin1Char(')');
    if (m_handle) {
        curl_easy_setopt(m_handle, CURLOPT_POSTFIELDSIZE, long(m_postBody.size()));
        curl_easy_setopt(m_handle, CURLOPT_POSTFIELDS, m_postBody.constData());
        curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(m_handle, CURLOPT_TIMEOUT_MS,
                         ETNetworkingTimes::timeoutMilliseconds(m_requestTimeoutSeconds));
    }
    perform();
    if (m_handle)
        curl_easy_setopt(m_handle, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    if (debugWanted())
        qCDebug(lcNetworking).noquote()
            << QStringLiteral("postString result=") + maskSecrets(QString::fromUtf8(m_reply)).left(8000);
    return m_curlError;
}

int ETNetworkingCurl::postFile(const QString &uploadId, const QString &path, const QString &contentType)
{
    ETPostedFile file;
    if (file.open(path) != ETPostedFile::Reading) {
        m_curlError = CURLE_READ_ERROR; // 26, as a missing picture always gave
        qstrncpy(m_errorBuffer, "cannot read the file", CURL_ERROR_SIZE);
        return m_curlError;
    }
    return postFile(uploadId, file, QFileInfo(path).fileName(), contentType);
}

int ETNetworkingCurl::postFile(const QString &uploadId, ETPostedFile &file, const QString &fileName,
                               const QString &contentType)
{
    if (m_form)
        curl_mime_free(m_form);
    m_postedFile = &file;
    m_form = m_handle ? curl_mime_init(m_handle) : nullptr;
    bool built = m_form != nullptr;
    if (built) {
        curl_mimepart *id = curl_mime_addpart(m_form);
        built = id && curl_mime_name(id, "uplid") == CURLE_OK &&
                curl_mime_data(id, uploadId.toUtf8().constData(), CURL_ZERO_TERMINATED) == CURLE_OK;
        curl_mimepart *part = built ? curl_mime_addpart(m_form) : nullptr;
        built = part && curl_mime_name(part, "upload") == CURLE_OK &&
                curl_mime_data_cb(part, curl_off_t(file.size()), readPostedFile, seekPostedFile, nullptr,
                                  this) == CURLE_OK &&
                curl_mime_filename(part, fileName.toUtf8().constData()) == CURLE_OK &&
                curl_mime_type(part, contentType.toUtf8().constData()) == CURLE_OK;
    }
    if (!built) {
        m_postedFile = nullptr;
        m_curlError = CURLE_FUNCTION_NOT_FOUND; // 41, as a form that cannot be built always gave
        qstrncpy(m_errorBuffer, "formadd() failed", CURL_ERROR_SIZE);
        return m_curlError;
    }
    curl_easy_setopt(m_handle, CURLOPT_MIMEPOST, m_form);
    // Larger pieces from the file: fewer calls, the same flat memory.
    curl_easy_setopt(m_handle, CURLOPT_UPLOAD_BUFFERSIZE, uploadBufferBytes);
    curl_easy_setopt(m_handle, CURLOPT_TIMEOUT_MS,
                     ETNetworkingTimes::timeoutMilliseconds(ETNetworkingTimes::pictureTimeoutSeconds));
    perform();
    // The form reads from the file no more.
    curl_easy_setopt(m_handle, CURLOPT_MIMEPOST, nullptr);
    curl_mime_free(m_form);
    m_form = nullptr;
    m_postedFile = nullptr;
    if (debugWanted())
        qCDebug(lcNetworking).noquote() << QStringLiteral("postFile result=") + QString::fromUtf8(m_reply);
    return m_curlError;
}

bool ETNetworkingCurl::dialledUpAfter(int result, bool &tried)
{
    const bool noConnection = result == CURLE_COULDNT_RESOLVE_PROXY || result == CURLE_COULDNT_RESOLVE_HOST ||
                              result == CURLE_COULDNT_CONNECT;
    if (!noConnection || tried)
        return false;
    tried = true;
    // True only when a connection has just been made.
    const ConnectionCheck check = connectionCheck;
    return check ? check() : ensureInternetConnection();
}

void ETNetworkingCurl::setConnectionCheckForTests(ConnectionCheck check)
{
    connectionCheck = check;
}

int ETNetworkingCurl::performWithDialUp(int (ETNetworkingCurl::*step)(const QString &),
                                        const QString &argument)
{
    bool dialUpTried = false;
    for (;;) {
        (this->*step)(argument);
        if (m_curlError != CURLE_OK)
            m_reply.clear();
        if (!dialledUpAfter(m_curlError, dialUpTried))
            return m_curlError;
    }
}

int ETNetworkingCurl::httpCode() const
{
    return int(m_httpCode);
}

int ETNetworkingCurl::curlError() const
{
    return m_curlError;
}

QString ETNetworkingCurl::errorText() const
{
    return QString::fromLocal8Bit(m_errorBuffer);
}

QByteArray &ETNetworkingCurl::replyBytes()
{
    return m_reply;
}

QDomDocument ETNetworkingCurl::replyDocument(bool *parsed) const
{
    // A reply that is not read leaves the document empty.
    QDomDocument document;
    const bool ok = readReply(document) == ETXMLReader::Parsed;
    if (parsed)
        *parsed = ok;
    return document;
}

ETXMLReader::Result ETNetworkingCurl::readReply(QDomDocument &document) const
{
    const ETXMLReader::Result result = ETNetworking::protocolVersion() < ETProtocolLevel::V1_6
                                           ? ETXMLReader::parse(document, olderProtocolText(m_reply))
                                           : ETXMLReader::parse(document, m_reply);
    if (result != ETXMLReader::Parsed)
        document.clear();
    return result;
}

void ETNetworkingCurl::cancel()
{
    m_cancel = true;
    cancelRunning();
}

void ETNetworkingCurl::cancelRunning()
{
    // The application thread's loop ends the transfer at once; a transfer
    // that blocks another thread is woken from its wait for the sockets.
    if (m_inEventLoop)
        ETCurlEventLoop::cancelFromAnyThread(m_serial);
    else if (m_multi)
        curl_multi_wakeup(m_multi);
}

int ETNetworkingCurl::perform()
{
    qCDebug(lcNetworking, ">> ETNetworkingCurl::perform()");
    qCDebug(lcNetworking).noquote() << QStringLiteral(">>    time=") + now();
    for (int attempt = 1; attempt <= ETNetworkingTimes::transferAttempts; ++attempt) {
        // A failed attempt may have left part of a reply behind.
        m_reply.clear();
        m_replyTooLarge = false;
        m_reportedStep = -1;
        m_httpCode = 0;
        m_errorBuffer[0] = '\0';
        m_curlError = transfer();
        if (m_handle)
            curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &m_httpCode);
        if ((m_curlError != CURLE_SSL_CONNECT_ERROR && m_curlError != CURLE_RECV_ERROR) ||
            attempt == ETNetworkingTimes::transferAttempts)
            break;
        qCWarning(lcNetworking, "    curl_error %d (http_code %ld), retrying...", m_curlError, m_httpCode);
        if (!ETNetworkingTimes::waitSeconds(ETNetworkingTimes::transferRetryPauseSeconds, m_cancel)) {
            m_curlError = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
    }
    qCDebug(lcNetworking, "<< ETNetworkingCurl::perform() curl_error=%d http_code=%ld errorBuffer=%s",
            m_curlError, m_httpCode, m_curlError == CURLE_OK ? "" : m_errorBuffer);
    qCDebug(lcNetworking).noquote() << QStringLiteral("<<    time=") + now();
    return m_curlError;
}

int ETNetworkingCurl::transfer()
{
    // A cancelled object sends nothing more.
    if (m_cancel)
        return CURLE_ABORTED_BY_CALLBACK;
    if (!m_handle)
        return CURLE_FAILED_INIT;
    if (ETCurlEventLoop *loop = ETCurlEventLoop::instance()) {
        m_inEventLoop = true;
        // A cancel that came between the look above and now.
        CURLcode result = m_cancel ? CURLE_ABORTED_BY_CALLBACK : loop->run(m_handle, m_serial);
        m_inEventLoop = false;
        if (m_cancel)
            result = CURLE_ABORTED_BY_CALLBACK;
        if (result == CURLE_ABORTED_BY_CALLBACK)
            qCDebug(lcNetworking, "##### ETNetworkingCurl: transfer cancelled #####");
        return result;
    }
    if (curl_multi_add_handle(m_multi, m_handle) != CURLM_OK)
        return CURLE_FAILED_INIT;
    // The multi interface waits for the sockets in a way a cancel can
    // interrupt; libcurl's own time-outs and the transfer callback work as
    // with a plain perform.
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
        bool done = false;
        int queued = 0;
        while (const CURLMsg *message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == m_handle) {
                result = message->data.result;
                done = true;
            }
        }
        if (done)
            break;
        if (m_cancel) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (running == 0 || curl_multi_poll(m_multi, nullptr, 0, pollMilliseconds, nullptr) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
    }
    curl_multi_remove_handle(m_multi, m_handle);
    if (result == CURLE_ABORTED_BY_CALLBACK)
        qCDebug(lcNetworking, "##### ETNetworkingCurl: transfer cancelled #####");
    return result;
}

size_t ETNetworkingCurl::writeToBuffer(char *data, size_t size, size_t count, void *self)
{
    const size_t bytes = size * count;
    auto *curl = static_cast<ETNetworkingCurl *>(self);
    QByteArray &reply = curl->m_reply;
    // Nothing beyond what could be read is kept: a server that sends without end stops here.
    if (bytes > size_t(ETXMLReader::maxSize) || reply.size() > ETXMLReader::maxSize - qsizetype(bytes)) {
        curl->m_replyTooLarge = true;
        return 0;
    }
    reply.append(data, qsizetype(bytes));
    return bytes;
}

size_t ETNetworkingCurl::readPostedFile(char *buffer, size_t size, size_t count, void *self)
{
    auto *curl = static_cast<ETNetworkingCurl *>(self);
    if (curl->m_cancel || !curl->m_postedFile)
        return CURL_READFUNC_ABORT;
    const qint64 bytes = curl->m_postedFile->read(buffer, qint64(size * count));
    // A file that is not what was declared ends the post before its last byte.
    return bytes < 0 ? CURL_READFUNC_ABORT : size_t(bytes);
}

// libcurl rewinds the form when it sends it again (a retried transfer).
int ETNetworkingCurl::seekPostedFile(void *self, curl_off_t offset, int origin)
{
    auto *curl = static_cast<ETNetworkingCurl *>(self);
    if (origin != SEEK_SET || offset != 0 || !curl->m_postedFile)
        return CURL_SEEKFUNC_CANTSEEK;
    return curl->m_postedFile->rewind() ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
}

size_t ETNetworkingCurl::writeToFile(char *data, size_t size, size_t count, void *file)
{
    const qint64 written = static_cast<QFile *>(file)->write(data, qint64(size * count));
    return written < 0 ? 0 : size_t(written);
}

int ETNetworkingCurl::progressCallback(void *self, curl_off_t downloadTotal, curl_off_t downloadNow,
                                       curl_off_t uploadTotal, curl_off_t uploadNow)
{
    auto *curl = static_cast<ETNetworkingCurl *>(self);
    if (curl->m_cancel) {
        qCDebug(lcNetworking, "##### ETNetworkingCurl::progressCallback() cancelling #####");
        // Any value but 0 ends the transfer with CURLE_ABORTED_BY_CALLBACK.
        return 1;
    }
    if (!curl->m_progressEnabled)
        return 0;
    const curl_off_t total = curl->m_downloadMode ? downloadTotal : uploadTotal;
    const curl_off_t done = curl->m_downloadMode ? downloadNow : uploadNow;
    // Nothing is known before the size is: report 0 then.
    const int step = total > 0 ? int(double(done) * (curl->m_progressScale / double(total))) : 0;
    // libcurl calls back every few kilobytes; a display needs a few reports a
    // second, and each may cost the GUI a repaint. The first and the last step
    // are always reported.
    if (step != curl->m_reportedStep && (curl->m_reportedStep < 0 || step >= int(curl->m_progressScale) ||
                                         curl->m_sinceReport.elapsed() >= progressReportIntervalMs)) {
        curl->m_reportedStep = step;
        curl->m_sinceReport.start();
        qCDebug(lcNetworking).noquote()
            << QStringLiteral("ETNetworkingCurl::progressCallback step: ") + QString::number(step);
        emit curl->progress(step);
    }
    return 0;
}
