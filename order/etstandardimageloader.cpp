#include "etstandardimageloader.h"

#include "etfileutils.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

ETStandardImageLoader::ETStandardImageLoader() : ETImageLoader(0) {}

QImage *ETStandardImageLoader::load(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return nullptr;
    return new QImage(std::move(image));
}

bool ETStandardImageLoader::save(const QImage &image, const QString &path, int quality)
{
    // Encoded in memory and written through the checked writer: a writer on
    // the file itself does not report a failed final flush, and a picture cut
    // short on a full disk would count as saved.
    const QByteArray encoded = encode(image, quality);
    return !encoded.isEmpty() && writeFileAtomically(path, encoded);
}

QByteArray ETStandardImageLoader::encode(const QImage &image, int quality)
{
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(quality);
    if (!writer.write(image))
        return QByteArray();
    return encoded;
}

int ETStandardImageLoader::reductionFor(const QSize &full, int width, int height)
{
    if (full.isEmpty() || width <= 0 || height <= 0)
        return 1;
    const QSize fit = full.scaled(width, height, Qt::KeepAspectRatio);
    for (int factor = 8; factor > 1; factor /= 2) {
        if (full.width() / factor >= fit.width() && full.height() / factor >= fit.height())
            return factor;
    }
    return 1;
}

QImage *ETStandardImageLoader::loadCovering(const QString &path, int width, int height, int *fullWidth,
                                            int *fullHeight)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize full = reader.size();
    if (reader.format() != "jpeg" || !full.isValid())
        return ETImageLoader::loadCovering(path, width, height, fullWidth, fullHeight);

    // libjpeg decodes at 1/2, 1/4 or 1/8 of the size for a fraction of the
    // work; sizes rounded down keep the reader from resampling on its own.
    const int factor = reductionFor(full, width, height);
    if (factor > 1)
        reader.setScaledSize(QSize(full.width() / factor, full.height() / factor));
    QImage image = reader.read();
    if (image.isNull())
        return nullptr;
    if (fullWidth)
        *fullWidth = full.width();
    if (fullHeight)
        *fullHeight = full.height();
    return new QImage(std::move(image));
}
