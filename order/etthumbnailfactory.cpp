#include "etthumbnailfactory.h"

#include "etimageloader.h"
#include "etsingleton.h"
#include "etthumbnailconfig.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <memory>

ETThumbnailFactory::ETThumbnailFactory(int width, int height, int frame)
    : m_width(width), m_height(height), m_frame(frame)
{
}

ETThumbnailFactory *ETThumbnailFactory::instance()
{
    static ETSingleton<ETThumbnailFactory> factory;
    return factory.get([] {
        const ETThumbnailConfig *config = ETThumbnailConfig::instance();
        return new ETThumbnailFactory(config->width(), config->height(), config->frame());
    });
}

int ETThumbnailFactory::thumbWidth() const
{
    return m_width == -1 ? 60 : m_width;
}

int ETThumbnailFactory::thumbHeight() const
{
    return m_height == -1 ? thumbWidth() : m_height;
}

int ETThumbnailFactory::frameWidth() const
{
    return m_frame == -1 ? 10 : m_frame;
}

int ETThumbnailFactory::totalWidth() const
{
    return thumbWidth() + frameWidth();
}

QPixmap ETThumbnailFactory::thumbnail(const QImage &image) const
{
    return compose(image.scaled(thumbWidth(), thumbHeight(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

QPixmap ETThumbnailFactory::compose(const QImage &image) const
{
    const int w = thumbWidth();
    const int h = thumbHeight();
    const int f = frameWidth();
    // Painted as an image: a pixmap painted on keeps its paint engine as long as it lives.
    QImage composed = background().toImage();
    QPainter painter(&composed);
    painter.drawImage((w - image.width()) / 2 + f, (h - image.height()) / 2 + f, image);
    painter.end();
    return QPixmap::fromImage(std::move(composed));
}

QPixmap ETThumbnailFactory::background() const
{
    if (!m_backgroundMade) {
        m_background = makeBackground();
        m_backgroundMade = true;
    }
    return m_background;
}

QPixmap ETThumbnailFactory::makeBackground() const
{
    const int w = thumbWidth();
    const int h = thumbHeight();
    const int f = frameWidth();
    QPixmap pixmap;
    std::unique_ptr<QPixmap> frame(ETImageLoader::loadPixmap(QStringLiteral("thumbframe")));
    if (frame) {
        pixmap = *frame;
    } else {
        pixmap = QPixmap(w + f, h + f);
        pixmap.fill(Qt::white);
        QPainter painter(&pixmap);
        painter.fillRect(0, 0, w + f, h + f, Qt::yellow);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::gray);
        // A pen of width 1 draws one pixel beyond the rectangle's right and
        // bottom; the outline must stay on the pixmap.
        painter.drawRoundedRect(QRect(0, 0, w + f - 1, h + f - 1), 20, 20, Qt::RelativeSize);
    }
    if (ETThumbnailConfig::instance()->transparent())
        pixmap.setMask(pixmap.createHeuristicMask(true));
    return pixmap;
}
