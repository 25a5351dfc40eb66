#include "etimageoperations.h"

#include "etimage.h"

#include <QCursor>
#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QThread>

#include <cmath>
#include <limits>

namespace
{

// Shows the wait cursor while a pixel operation runs; only in the GUI thread of a GUI application.
class WaitCursor
{
  public:
    WaitCursor()
        : m_active(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr &&
                   QThread::currentThread() == QCoreApplication::instance()->thread())
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~WaitCursor()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

  private:
    bool m_active;
};

bool isIndexed(const QImage &image)
{
    return image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
           image.format() == QImage::Format_MonoLSB;
}

// Pixel words are read as 32-bit ARGB; other depths are converted first.
void ensure32Bit(QImage &image)
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
}

QImage rotated(const QImage &image, bool left)
{
    const int w = image.width();
    const int h = image.height();
    QImage result(h, w, image.format());
    result.setColorTable(image.colorTable());
    const bool indexed = isIndexed(image);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int nx = left ? y : h - 1 - y;
            const int ny = left ? w - 1 - x : x;
            if (indexed)
                result.setPixel(nx, ny, image.pixelIndex(x, y));
            else
                result.setPixel(nx, ny, image.pixel(x, y));
        }
    }
    return result;
}

} // namespace

QImage ETImageOperations::rotateLeft(const QImage &image)
{
    WaitCursor cursor;
    return rotated(image, true);
}

QImage ETImageOperations::rotateRight(const QImage &image)
{
    WaitCursor cursor;
    return rotated(image, false);
}

QImage &ETImageOperations::toGray(QImage &image)
{
    WaitCursor cursor;
    ensure32Bit(image);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int g = (11 * qRed(p) + 16 * qGreen(p) + 5 * qBlue(p)) / 32;
            line[x] = qRgba(g, g, g, 255);
        }
    }
    return image;
}

QImage &ETImageOperations::reduceRedEye(QImage &image, const QRect &area)
{
    WaitCursor cursor;
    ensure32Bit(image);
    QRect r = area.normalized();
    // Keep the whole area inside the picture, on every side.
    const int left = qMax(r.left(), 0);
    const int top = qMax(r.top(), 0);
    const int right = qMin(r.right(), image.width());
    const int bottom = qMin(r.bottom(), image.height());
    const int mw = right - left;
    const int mh = bottom - top;
    if (mw <= 0 || mh <= 0)
        return image;

    QImage mask(mw, mh, QImage::Format_RGB32);
    mask.fill(Qt::white);
    {
        QPainter painter(&mask);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        painter.drawEllipse(QRect(0, 0, mw, mh));
    }

    for (int x = left; x < right; ++x) {
        for (int y = top; y < bottom; ++y) {
            if (qRed(mask.pixel(x - left, y - top)) == 255)
                continue;
            const QRgb p = image.pixel(x, y);
            const int red = qRed(p);
            const int green = qGreen(p);
            const int blue = qBlue(p);
            if (red <= green || red <= blue || red <= 0.7 * (green + blue))
                continue;
            image.setPixel(x, y, qRgba(int(red * 0.4), int(green * 0.8), int(blue * 0.8), 255));
        }
    }
    return image;
}

QImage ETImageOperations::crop(const QImage &image, const QRect &area)
{
    return image.copy(area.normalized());
}

QImage ETImageOperations::scale(const QImage &image, int resolution, float widthInches, float heightInches,
                                float tolerance)
{
    if (image.width() < image.height() && widthInches > heightInches)
        std::swap(widthInches, heightInches);
    const double rW = ratio(image.width(), resolution, widthInches);
    const double rH = ratio(image.height(), resolution, heightInches);
    int tw = 0;
    int th = 0;
    if (rW > tolerance && rH > tolerance && toPixels(resolution * double(widthInches), tw) &&
        toPixels(resolution * double(heightInches), th)) {
        qDebug("Scaling to %f*%f", double(widthInches), double(heightInches));
        QImage result = image.scaled(tw, th, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        qDebug("groesse nach Skalieren: %d*%d", result.width(), result.height());
        return result;
    }
    return image.copy();
}

bool ETImageOperations::toPixels(double value, int &pixels)
{
    // Truncation keeps values short of the next whole number in range.
    if (!std::isfinite(value) || value <= double(std::numeric_limits<int>::min()) - 1.0 ||
        value >= double(std::numeric_limits<int>::max()) + 1.0)
        return false;
    pixels = int(value);
    return true;
}

double ETImageOperations::ratio(int pixels, int resolution, float inches)
{
    return pixels / (resolution * double(inches));
}

double ETImageOperations::ratioOfRatios(int a, int b, float c, float d)
{
    return (double(a) / b) / (double(c) / double(d));
}

bool ETImageOperations::writeOptimizedCopy(ETImage *image, const QSize &size)
{
    image->removeOptimizedCopy();
    const int width = image->width();
    const int height = image->height();
    // An empty target is no size to scale to: the picture goes as it is.
    if (!size.isEmpty() && size.width() * 1.05 < width && size.height() * 1.05 < height) {
        float targetWidth = float(size.width());
        float targetHeight = float(size.height());
        if (width < height && targetWidth > targetHeight)
            std::swap(targetWidth, targetHeight);
        // A float holds an int only to 24 bits: near the int limit it may round beyond it.
        QSize targetSize;
        int pixels = 0;
        if (!toPixels(targetWidth, pixels))
            return false;
        targetSize.setWidth(pixels);
        if (!toPixels(targetHeight, pixels))
            return false;
        targetSize.setHeight(pixels);
        const QSize cover = QSize(width, height).scaled(targetSize, Qt::KeepAspectRatioByExpanding);
        // Decoded at a reduced size where the format allows it: the same smooth scale for far less work.
        const QImage picture = image->loadImageCovering(cover);
        if (picture.isNull())
            return false;
        QImage scaled;
        if (picture.width() < width && picture.height() < height) {
            // Decoded smaller already: finish the same smooth scale to the covering size.
            qDebug("Scaling to %f*%f", double(targetWidth), double(targetHeight));
            scaled = picture.size() == cover
                         ? picture
                         : picture.scaled(cover, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            qDebug("groesse nach Skalieren: %d*%d", scaled.width(), scaled.height());
        } else {
            scaled = scale(picture, 1, targetWidth, targetHeight, 1.05f);
        }
        return saveOptimized(scaled, image);
    }
    if (image->metaData()->type().toLower() != QLatin1String("jpg")) {
        const QImage picture = image->loadImage();
        if (picture.isNull())
            return false;
        return saveOptimized(picture, image);
    }
    return false;
}

bool ETImageOperations::saveOptimized(const QImage &picture, ETImage *image)
{
    if (image->storeOptimizedCopy(ETImage::encodeJpeg(picture)))
        return true;
    qWarning().noquote() << QStringLiteral("cannot write optimised copy ") + image->optimizedCopyPath();
    return false;
}
