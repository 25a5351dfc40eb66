#include "etuploader.h"

#include "etconfig.h"
#include "etnetworkingcurl.h"
#include "etnetworkingerror.h"
#include "etnetworkinglog.h"
#include "etnetworkingtimes.h"
#include "etorder.h"
#include "etorderlog.h"
#include "etorderxmlbuilder.h"
#include "etservercode.h"
#include "ettransferrunner.h"
#include "etxmlreader.h"

#include <QDebug>
#include <QFileInfo>

#include <limits>
#include <memory>

ETUploader::ETUploader(ETTransferRunner *runner, QObject *parent) : QObject(parent), m_runner(runner) {}

bool ETUploader::checkOrderPictures()
{
    const QStringList unreadable = ETOrder::instance()->unreadablePictures();
    if (unreadable.isEmpty())
        return true;
    for (const QString &name : unreadable)
        qCWarning(lcNetworking).noquote() << QStringLiteral("picture missing or unreadable: ") + name;
    m_runner->error()->raise(ETNetworkingError::PicturesUnreadable, unreadable.join(QLatin1Char('\n')));
    return false;
}

bool ETUploader::orderDeclarationRequest(const QString &directory, bool archive)
{
    // A picture that cannot be read would be declared with size and checksum 0.
    if (!checkOrderPictures())
        return false;
    emit uploadOrderData();
    const QString body = m_runner->builder()->buildOrderDeclarationBody(directory, archive);
    ETOrderLog::write(body);
    m_uploadRun.declare(body, directory);
    const std::unique_ptr<QDomDocument> reply =
        m_runner->request(QStringLiteral("orderdeclaration_request"), body);
    if (!reply)
        return false;
    ETConfig::instance()->saveSessionID();
    m_runner->replyContent(reply.get());
    return !m_runner->error()->hasError();
}

bool ETUploader::stopUpload()
{
    qCDebug(lcNetworking, "retrying upload...");
    const std::unique_ptr<QDomDocument> reply =
        m_runner->request(QStringLiteral("uploadctrl_request"),
                          m_runner->builder()->buildUploadCtrlRequest(QStringLiteral("stop")));
    if (!reply)
        return false;
    m_runner->replyContent(reply.get());
    ETNetworkingError *error = m_runner->error();
    if (error->code() == ETServerCode::UploadStopped)
        error->clear();
    return !error->hasError();
}

bool ETUploader::upload()
{
    const bool more = uploadControlStep();
    if (m_runner->error()->hasError())
        m_uploadRun.endAttempt();
    return more;
}

bool ETUploader::uploadControlStep()
{
    ETNetworkingError *error = m_runner->error();
    const QString body = m_runner->builder()->buildUploadCtrlRequest(QStringLiteral("start"));
    std::unique_ptr<QDomDocument> control;
    QDomNode node;
    int tries = ETNetworkingTimes::uploadStartTries;
    while (tries > 0) {
        control = m_runner->request(QStringLiteral("uploadctrl_request"), body);
        node = control ? m_runner->replyContent(control.get()).firstChildElement(QStringLiteral("upload"))
                       : QDomNode();
        const int code = error->code();
        if (code == ETServerCode::UploadRestart) {
            if (!m_runner->pause(ETNetworkingTimes::uploadRestartPauseSeconds) || !stopUpload())
                return false;
            --tries;
        } else if (code == ETServerCode::UploadComplete) {
            m_uploadRun.complete();
            return false;
        } else {
            break;
        }
    }
    // Every try was sent back to start anew: the server is too busy to take the pictures now.
    if (tries == 0) {
        error->raise(ETNetworkingError::ServerBusy);
        return false;
    }
    if (error->code() != ETNetworkingError::NoError)
        return false;
    const auto number = [&node](const char *name) {
        return ETTransferRunner::childText(node, QLatin1String(name)).trimmed().toInt();
    };
    m_uploadRun.setByteCounts(number("total_bytes"), number("submitted_bytes"));
    emit uploadTotalBytes(m_uploadRun.totalBytes());
    emit uploadProgress(m_uploadRun.submittedBytes());

    if (!m_uploadRun.advanceTo(number("pos"))) {
        error->raise(ETNetworkingError::fromCurl(m_uploadRun.lastPostResult()));
        return false;
    }
    return uploadStep(*control);
}

bool ETUploader::uploadStep(const QDomDocument &control)
{
    ETNetworkingError *error = m_runner->error();
    const QDomNode node = control.documentElement()
                              .firstChildElement(QStringLiteral("content"))
                              .firstChildElement(QStringLiteral("upload"));
    const QString uploadId = ETTransferRunner::childText(node, QStringLiteral("uplid"));
    const QString declaredName = ETTransferRunner::childText(node, QStringLiteral("filename"));
    const QString uploadUrl = ETTransferRunner::childText(node, QStringLiteral("uplurl"));
    // The server names the file to send; only the order's own pictures ever leave the machine.
    const QString fileName = m_uploadRun.localFile(declaredName);
    if (fileName.isEmpty()) {
        qCWarning(lcNetworking).noquote()
            << QStringLiteral("upload of undeclared file refused: ") + declaredName;
        error->raise(ETNetworkingError::UndeclaredFile);
        return false;
    }
    // A server that keeps switching between positions escapes the stall rule; the posts stay bounded.
    if (!m_uploadRun.countPost(fileName)) {
        qCWarning(lcNetworking).noquote()
            << QStringLiteral("upload stopped: posted often enough already: ") + fileName;
        error->raise(ETNetworkingError::UploadRunaway);
        return false;
    }
    // Exactly the declared bytes go: the size is checked now, the checksum
    // on the bytes as they are posted.
    ETPostedFile picture;
    switch (m_uploadRun.openDeclaredFile(declaredName, picture)) {
    case ETPostedFile::Reading:
        break;
    case ETPostedFile::Changed:
        qCWarning(lcNetworking).noquote()
            << QStringLiteral("picture changed since the declaration: ") + fileName;
        error->raise(ETNetworkingError::PictureChanged, ETUploadRun::pictureName(fileName));
        return false;
    default:
        qCWarning(lcNetworking).noquote() << QStringLiteral("picture missing or unreadable: ") + fileName;
        error->raise(ETNetworkingError::PicturesUnreadable, ETUploadRun::pictureName(fileName));
        return false;
    }
    emit uploadImage(fileName);
    if (!m_runner->pause(ETNetworkingTimes::picturePauseSeconds))
        return false;
    return post(uploadId, uploadUrl, fileName, picture);
}

bool ETUploader::post(const QString &uploadId, const QString &uploadUrl, const QString &fileName,
                      ETPostedFile &file)
{
    ETNetworkingError *error = m_runner->error();
    std::unique_ptr<ETNetworkingCurl> transfer(m_runner->createCurlConnection(uploadUrl));
    m_runner->setCurrentTransfer(transfer.get());
    // The post's progress counts in an int.
    transfer->enableProgress(int(qMin<qint64>(file.size(), std::numeric_limits<int>::max())));
    // The transfer reports from this thread; the sum is emitted from here too.
    connect(transfer.get(), &ETNetworkingCurl::progress, this, &ETUploader::curlProgress,
            Qt::DirectConnection);
    const int rc =
        transfer->postFile(uploadId, file, QFileInfo(fileName).fileName(), QStringLiteral("image/jpeg"));
    m_runner->setCurrentTransfer(nullptr);
    m_uploadRun.setLastPostResult(rc);
    // The file ended the post before its last byte: what reached the server is no picture.
    if (file.state() == ETPostedFile::Changed) {
        qCWarning(lcNetworking).noquote()
            << QStringLiteral("picture changed while it was posted: ") + fileName;
        error->raise(ETNetworkingError::PictureChanged, ETUploadRun::pictureName(fileName));
        return false;
    }
    if (file.state() == ETPostedFile::Unreadable) {
        qCWarning(lcNetworking).noquote()
            << QStringLiteral("picture unreadable while it was posted: ") + fileName;
        error->raise(ETNetworkingError::PicturesUnreadable, ETUploadRun::pictureName(fileName));
        return false;
    }
    if (rc == CURLE_OK) {
        // Only the head of the post's reply counts: an upload host that answers
        // in plain text has taken the picture, and the next upload control
        // tells what the server really received.
        QDomDocument document;
        const ETXMLReader::Result read = transfer->readReply(document);
        if (transfer->httpCode() >= 300) {
            error->raise(ETNetworkingError::fromHttpStatus(transfer->httpCode()));
        } else if (read == ETXMLReader::TooDeep || read == ETXMLReader::TooLarge) {
            error->raise(ETNetworkingError::ReplyOutOfBounds);
        } else {
            m_runner->replyErrorCode(&document);
            m_runner->replyErrorText(&document);
        }
        return !error->hasError();
    }
    if (rc == CURLE_ABORTED_BY_CALLBACK)
        return false;
    transfer.reset();
    if (!m_runner->pause(ETNetworkingTimes::failedPostPauseSeconds))
        return false;
    return stopUpload();
}

void ETUploader::curlProgress(int bytes)
{
    emit uploadProgress(m_uploadRun.bytesSent(bytes));
}
