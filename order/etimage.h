#pragma once

#include "etimagemetadata.h"
#include "etthumbnailbatch.h"

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QString>

// One picture of the order: its file, numbered internal name, thumbnail, metadata and optimised copy.
// Made in the GUI thread; the upload thread reads it and writes the optimised copy.
class ETImage : public QObject
{
    Q_OBJECT

  public:
    static ETImage *create(const QString &fullPath);
    // With its thumbnail decoded beforehand (a null image: the picture cannot be read).
    static ETImage *create(const QString &fullPath, const ETDecodedThumbnail &thumbnail);
    static ETImage *create(const QString &dir, const QString &fileName);
    static ETImage *createIn(const QString &dir, const QString &path);
    // The registered picture of that internal name, or none.
    static ETImage *registered(const QString &internalName);

    // A picture from a file outside the order's own flows, and pictures kept in the work folder.
    static ETImage *createFromImage(const QImage &image, const QString &fileName);
    static ETImage *createFromPath(const QString &path);
    static ETImage *restore(const QString &internalName);

    ETImage(const QString &dir, const QString &fileName, const QString &internalName,
            QObject *parent = nullptr);
    ETImage(const QString &dir, const QString &fileName, const QString &internalName,
            const ETDecodedThumbnail &thumbnail, QObject *parent = nullptr);
    // Works on the file at path itself: no original, no thumbnail.
    explicit ETImage(const QString &path, QObject *parent = nullptr);
    // A picture restored from its work copy and imageinfo file.
    ETImage(const QString &fileName, const QString &internalName, bool isOriginal, bool withThumbnail,
            QObject *parent = nullptr);

    int width();
    int height();
    QPixmap *thumbnail() { return &m_thumbnail; }
    QString internalName() const { return m_internalName; }
    bool isInvalid() const { return m_invalid; }
    bool isCopied() const { return m_copied; }
    QString path() const { return m_path; }
    QString originalPath() const { return m_originalPath; }
    // The picture's own file as the customer knows it, for messages.
    QString customerPath() const;
    ETImageMetaData *metaData() { return &m_metaData; }
    // The file name the metadata keeps: the path under which the picture entered the order.
    QString metaFileName() const { return m_metaData.fileName(); }

    QString baseName() const;
    // Replaces the work copy's picture; only while work copies are kept.
    void replaceImage(const QImage &image);

    // The optimised copy is a file the program wrote for this picture and
    // recorded (ETCopyRecords), and only while it is still as written: a file
    // of the copy's name is never taken for one by its name.
    // Where the copy lies; without one, where a new one goes unless a file has
    // that name: beside the picture, its name followed by ".opti.jpg".
    QString optimizedCopyPath() const;
    QString optiFileName() const;
    QString uploadSource() const;
    bool hasOptimizedCopy() const;
    // Writes the JPEG data as the picture's copy (its earlier one removed
    // first), never over a file; false when none could be written.
    bool storeOptimizedCopy(const QByteArray &jpeg);
    // Removes the copy when it is still as written; a changed one is no longer the program's and stays.
    void removeOptimizedCopy();
    qint64 fileSize() const;

    // The picture at path through the loader registry; a null image when it cannot be read.
    QImage loadImage();
    // The picture decoded at a reduced size that still covers the given size where its loader can (JPEG),
    // else the whole picture; a null image when it cannot be read.
    QImage loadImageCovering(const QSize &size);
    // Saves as JPEG with the dealer's quality; on failure nothing is left at the destination.
    static bool saveJpeg(const QImage &image, const QString &destination);
    // The image as JPEG data with the dealer's quality; empty when it cannot be encoded.
    static QByteArray encodeJpeg(const QImage &image);
    static void showLoadFailed();

    virtual QString dump();
    virtual bool copyToWorkFile();
    virtual bool copyAsJpeg(const QString &destination, bool fromUploadSource, bool flag);
    // The picture as a JPEG file at target, from the upload source (the
    // optimised copy where there is one) when preferWorkCopy is set, else from
    // the picture's own path; an existing target stays unless overwrite is set.
    // False when the source cannot be read or the write fails.
    bool writeJpeg(const QString &target, bool preferWorkCopy, bool overwrite);

  signals:
    void nameChanged();

  public slots:
    QString setFilename(const QString &newName);

  private:
    void makeThumbnail();
    void showThumbnail(const ETDecodedThumbnail &decoded);
    void loadOrMakeThumbnail();
    void saveThumbnail(bool withMetaData);
    void renameOriginal(const QString &newName);

    QPixmap m_thumbnail;
    QString m_internalName;
    QString m_path;
    QString m_originalPath;
    ETImageMetaData m_metaData;
    bool m_invalid = false;
    bool m_copied = false;
    // Names the picture's copy in the records; never reused within a run.
    const quint64 m_number = nextNumber();

    static quint64 nextNumber();
};
