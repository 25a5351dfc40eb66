#pragma once

#include "etuploadrun.h"

#include <QDomDocument>
#include <QObject>
#include <QString>

class ETTransferRunner;

// Sends an order's pictures under the server's control: the declaration,
// the upload-control steps and the picture posts, each picture read from its
// file as it is posted and checked against its declaration on the way.
// Runs in the upload thread; its signals reach the screen from there.
class ETUploader : public QObject
{
    Q_OBJECT

  public:
    explicit ETUploader(ETTransferRunner *runner, QObject *parent = nullptr);

    // Every picture to be sent can be read; else the error names those that cannot.
    bool checkOrderPictures();
    bool orderDeclarationRequest(const QString &directory, bool archive);
    // One upload step: true while there is more to send.
    bool upload();
    bool stopUpload();

  public slots:
    // Bytes of the picture being posted.
    void curlProgress(int bytes);

  signals:
    void uploadProgress(int bytes);
    void uploadTotalBytes(int bytes);
    void uploadImage(const QString &path);
    void uploadOrderData();

  private:
    bool uploadControlStep();
    bool uploadStep(const QDomDocument &control);
    bool post(const QString &uploadId, const QString &uploadUrl, const QString &fileName, ETPostedFile &file);

    ETTransferRunner *m_runner;
    ETUploadRun m_uploadRun;
};
