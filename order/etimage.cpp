#include "etimage.h"

#include "etapplicationconfig.h"
#include "etcopyrecords.h"
#include "etfileutils.h"
#include "etimageloader.h"
#include "etimagepathprovider.h"
#include "etrequestercontroller.h"
#include "etsingleton.h"
#include "etthumbnailconfig.h"
#include "etthumbnailfactory.h"

#include <QBitmap>
#include <QCursor>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>

#include <atomic>
#include <memory>

namespace
{

// Pictures live until the program ends, and so does their registry.
QMap<QString, ETImage *> &registry()
{
    static ETSingleton<QMap<QString, ETImage *>> map;
    return *map.get([] { return new QMap<QString, ETImage *>; },
                    [](QMap<QString, ETImage *> *gone) { qDeleteAll(*gone); });
}

QString lastExtension(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

} // namespace

ETImage *ETImage::create(const QString &fullPath)
{
    const QFileInfo info(fullPath);
    return create(info.path(), info.fileName());
}

ETImage *ETImage::create(const QString &fullPath, const ETDecodedThumbnail &thumbnail)
{
    const QFileInfo info(fullPath);
    const QString internalName =
        ETImagePathProvider::instance()->numberedName(lastExtension(info.fileName()));
    auto *image = new ETImage(info.path(), info.fileName(), internalName, thumbnail);
    registry().insert(internalName, image);
    return image;
}

ETImage *ETImage::create(const QString &dir, const QString &fileName)
{
    const QString internalName = ETImagePathProvider::instance()->numberedName(lastExtension(fileName));
    auto *image = new ETImage(dir, fileName, internalName);
    registry().insert(internalName, image);
    return image;
}

ETImage *ETImage::createIn(const QString &dir, const QString &path)
{
    if (QFileInfo(path).isAbsolute())
        return create(path);
    return create(dir, path);
}

ETImage *ETImage::createFromImage(const QImage &image, const QString &fileName)
{
    ETImagePathProvider *provider = ETImagePathProvider::instance();
    const QString internalName = provider->numberedName(QStringLiteral("JPG"));
    saveJpeg(image, provider->workPath(internalName));
    auto *created = new ETImage(provider->imageDir(), internalName, internalName);
    created->m_copied = true;
    created->m_metaData.setFileName(fileName);
    created->saveThumbnail(true);
    registry().insert(internalName, created);
    return created;
}

ETImage *ETImage::createFromPath(const QString &path)
{
    return new ETImage(path);
}

ETImage *ETImage::restore(const QString &internalName)
{
    if (ETImage *known = registered(internalName))
        return known;
    auto *restored =
        new ETImage(QString::fromUtf8("dieser String wird überschrieben"), internalName, false, true);
    registry().insert(internalName, restored);
    return restored;
}

ETImage *ETImage::registered(const QString &internalName)
{
    return registry().value(internalName);
}

ETImage::ETImage(const QString &dir, const QString &fileName, const QString &internalName, QObject *parent)
    : QObject(parent), m_internalName(internalName), m_path(absoluteFilePath(dir, fileName)),
      m_originalPath(m_path), m_metaData(this, fileName)
{
    makeThumbnail();
}

ETImage::ETImage(const QString &dir, const QString &fileName, const QString &internalName,
                 const ETDecodedThumbnail &thumbnail, QObject *parent)
    : QObject(parent), m_internalName(internalName), m_path(absoluteFilePath(dir, fileName)),
      m_originalPath(m_path), m_metaData(this, fileName)
{
    showThumbnail(thumbnail);
}

ETImage::ETImage(const QString &path, QObject *parent)
    : QObject(parent), m_path(path), m_metaData(this, path), m_copied(true)
{
}

ETImage::ETImage(const QString &fileName, const QString &internalName, bool isOriginal, bool withThumbnail,
                 QObject *parent)
    : QObject(parent), m_internalName(internalName),
      m_path(ETImagePathProvider::instance()->workPath(internalName)), m_metaData(this, fileName),
      m_copied(!isOriginal)
{
    if (withThumbnail)
        loadOrMakeThumbnail();
    m_metaData.read(true);
    if (m_metaData.type().isEmpty())
        m_metaData.setType(QStringLiteral("JPG"));
}

QString ETImage::customerPath() const
{
    return QDir::toNativeSeparators(m_originalPath.isEmpty() ? m_path : m_originalPath);
}

QString ETImage::baseName() const
{
    const QString name = m_metaData.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

void ETImage::replaceImage(const QImage &image)
{
    if (!ETImagePathProvider::instance()->makesWorkCopies())
        return;
    saveJpeg(image, m_path);
    m_metaData.setFromImage(image);
    makeThumbnail();
    saveThumbnail(true);
    m_metaData.write();
}

int ETImage::width()
{
    return m_metaData.width();
}

int ETImage::height()
{
    return m_metaData.height();
}

QString ETImage::optimizedCopyPath() const
{
    const QString copy = ETCopyRecords::instance()->copyOf(m_number);
    return copy.isEmpty() ? m_path + QStringLiteral(".opti.jpg") : copy;
}

QString ETImage::optiFileName() const
{
    return hasOptimizedCopy() ? m_internalName + QStringLiteral(".opti.jpg") : m_internalName;
}

QString ETImage::uploadSource() const
{
    const QString copy = ETCopyRecords::instance()->copyOf(m_number);
    return copy.isEmpty() ? m_path : copy;
}

bool ETImage::hasOptimizedCopy() const
{
    return !ETCopyRecords::instance()->copyOf(m_number).isEmpty();
}

bool ETImage::storeOptimizedCopy(const QByteArray &jpeg)
{
    removeOptimizedCopy();
    if (jpeg.isEmpty())
        return false;
    return !ETCopyRecords::instance()->write(m_number, m_path + QStringLiteral(".opti.jpg"), jpeg).isEmpty();
}

void ETImage::removeOptimizedCopy()
{
    ETCopyRecords::instance()->remove(m_number);
}

quint64 ETImage::nextNumber()
{
    static std::atomic<quint64> number{0};
    return ++number;
}

qint64 ETImage::fileSize() const
{
    return QFileInfo(uploadSource()).size();
}

QImage ETImage::loadImage()
{
    const std::unique_ptr<QImage> image(ETImageLoader::loadImage(m_path, m_metaData.type()));
    if (!image || image->isNull()) {
        qWarning().noquote() << QStringLiteral("Datei ") + m_path +
                                    QStringLiteral(
                                        " wuerde in der Zwischenzeit entfernt, laden nicht moeglich.");
        return QImage();
    }
    return *image;
}

QImage ETImage::loadImageCovering(const QSize &size)
{
    const std::unique_ptr<QImage> image(ETImageLoader::loadImageCovering(
        m_path, m_metaData.type(), size.width(), size.height(), nullptr, nullptr));
    if (!image || image->isNull())
        return loadImage();
    return *image;
}

bool ETImage::saveJpeg(const QImage &image, const QString &destination)
{
    ETImageLoader *loader = ETImageLoader::findLoader(QStringLiteral("JPEG"));
    if (!loader)
        return false;
    // Written under a side name first so that a failed save leaves no half file behind.
    const QString partial = destination + QStringLiteral(".part");
    QFile::remove(partial);
    if (!loader->save(image, partial, ETApplicationConfig::instance()->jpegQuality())) {
        QFile::remove(partial);
        return false;
    }
    QFile::remove(destination);
    if (!QFile::rename(partial, destination)) {
        QFile::remove(partial);
        return false;
    }
    return true;
}

QByteArray ETImage::encodeJpeg(const QImage &image)
{
    ETImageLoader *loader = ETImageLoader::findLoader(QStringLiteral("JPEG"));
    return loader ? loader->encode(image, ETApplicationConfig::instance()->jpegQuality()) : QByteArray();
}

void ETImage::showLoadFailed()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    ETRequesterController::instance()->imageLoadFailed();
    QGuiApplication::restoreOverrideCursor();
}

QString ETImage::dump()
{
    return QStringLiteral("Filename: ") + m_metaData.fileName() + QStringLiteral(" InternalName: ") +
           m_internalName + QStringLiteral("\nFullpath: ") + m_path +
           QStringLiteral("\nPhysikalischer Pfad des Originals: ") + m_originalPath;
}

void ETImage::makeThumbnail()
{
    const ETThumbnailFactory *factory = ETThumbnailFactory::instance();
    showThumbnail(ETThumbnailBatch::decode(m_path, QSize(factory->thumbWidth(), factory->thumbHeight())));
}

void ETImage::showThumbnail(const ETDecodedThumbnail &decoded)
{
    ETThumbnailFactory *factory = ETThumbnailFactory::instance();
    if (!decoded.image.isNull()) {
        m_thumbnail = factory->compose(decoded.image);
        m_metaData.setSize(decoded.fullSize.width(), decoded.fullSize.height());
        return;
    }
    qDebug().noquote() << QStringLiteral("broken image ") + m_path;
    const std::unique_ptr<QPixmap> broken(ETImageLoader::loadPixmap(QStringLiteral("brokenimage"), nullptr));
    if (broken)
        m_thumbnail = factory->thumbnail(broken->toImage());
    m_invalid = true;
    m_metaData.setSize(0, 0);
}

void ETImage::loadOrMakeThumbnail()
{
    ETImagePathProvider *provider = ETImagePathProvider::instance();
    if (!provider->keepsThumbnailFiles()) {
        makeThumbnail();
        return;
    }
    if (m_thumbnail.load(provider->thumbnailPath(this))) {
        if (ETThumbnailConfig::instance()->transparent())
            m_thumbnail.setMask(m_thumbnail.createHeuristicMask(true));
        return;
    }
    makeThumbnail();
    saveThumbnail(false);
}

void ETImage::saveThumbnail(bool withMetaData)
{
    m_thumbnail.save(ETImagePathProvider::instance()->thumbnailPath(this), "BMP");
    if (withMetaData)
        m_metaData.write();
}

bool ETImage::copyToWorkFile()
{
    ETImagePathProvider *provider = ETImagePathProvider::instance();
    if (!provider->makesWorkCopies())
        return true;
    if (!m_copied) {
        saveThumbnail(true);
        const QString workPath = provider->workPath(m_internalName);
        m_copied = copyFile(m_path, workPath);
        if (m_copied)
            m_path = workPath;
    }
    return m_copied;
}

bool ETImage::copyAsJpeg(const QString &destination, bool fromUploadSource, bool flag)
{
    Q_UNUSED(flag)
    // Also without work copies: the caller asked for the file to be written.
    const QString source = fromUploadSource ? uploadSource() : m_path;
    const QString type = m_metaData.type().toLower();
    if (type == QLatin1String("jpg") || type == QLatin1String("jpeg"))
        return copyFile(source, destination);
    const std::unique_ptr<QImage> image(ETImageLoader::loadImage(source, m_metaData.type()));
    if (!image || image->isNull())
        return false;
    return saveJpeg(*image, destination);
}

bool ETImage::writeJpeg(const QString &target, bool preferWorkCopy, bool overwrite)
{
    if (!overwrite && QFileInfo::exists(target))
        return true;
    return copyAsJpeg(target, preferWorkCopy, overwrite);
}

QString ETImage::setFilename(const QString &newName)
{
    if (newName == m_metaData.fileName())
        return m_metaData.fileName();
    renameOriginal(newName);
    m_metaData.setFileName(newName);
    if (m_copied)
        m_metaData.write();
    emit nameChanged();
    return m_metaData.fileName();
}

void ETImage::renameOriginal(const QString &newName)
{
    if (m_originalPath.isEmpty())
        return;
    const QFileInfo old(m_originalPath);
    // Only a file name is accepted: a name with folders in it must not move the file elsewhere.
    QString name = QFileInfo(newName).fileName();
    const QString oldExtension = old.suffix();
    if (lastExtension(name) != oldExtension) {
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        name = dot < 0 ? name : name.left(dot);
        if (!oldExtension.isEmpty())
            name += QLatin1Char('.') + oldExtension;
    }
    QDir dir = old.dir();
    if (!dir.rename(old.fileName(), name)) {
        ETRequesterController::instance()->renameFailed(old.fileName(), name);
        return;
    }
    const bool pathFollows = !m_copied && m_path == m_originalPath;
    m_originalPath = dir.absoluteFilePath(name);
    // Without a work copy the client works on the original itself, so it follows the rename.
    if (pathFollows)
        m_path = m_originalPath;
}
