#include "etimagethumbnailloader.h"

#include "etimageloader.h"

#include <QImage>
#include <memory>

ETImageThumbnailLoader::ETImageThumbnailLoader() : ETThumbnailLoader(0) {}

QImage *ETImageThumbnailLoader::load(const QString &path, int width, int height, int *outWidth,
                                     int *outHeight)
{
    int fullWidth = 0;
    int fullHeight = 0;
    std::unique_ptr<QImage> picture(
        ETImageLoader::loadImageCovering(path, QString(), width, height, &fullWidth, &fullHeight));
    if (!picture)
        return nullptr;
    if (outWidth)
        *outWidth = fullWidth;
    if (outHeight)
        *outHeight = fullHeight;
    // The size comes from the full picture, so a reduced decode gives the
    // same thumbnail size as the whole one would.
    const QSize fit = QSize(fullWidth, fullHeight).scaled(width, height, Qt::KeepAspectRatio);
    return new QImage(picture->scaled(fit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}
