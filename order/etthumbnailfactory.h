#pragma once

#include <QObject>
#include <QPixmap>

class QImage;

// Paints the framed thumbnails of the order's pictures (GUI thread).
class ETThumbnailFactory : public QObject
{
    Q_OBJECT

  public:
    static ETThumbnailFactory *instance();

    virtual int thumbWidth() const;
    virtual int thumbHeight() const;
    // The image scaled to fit the thumbnail size, then composed.
    virtual QPixmap thumbnail(const QImage &image) const;
    // The image centred on the background.
    virtual QPixmap compose(const QImage &image) const;
    virtual int totalWidth() const;
    virtual QPixmap background() const;
    virtual int frameWidth() const;

  protected:
    ETThumbnailFactory(int width, int height, int frame);

  private:
    QPixmap makeBackground() const;

    // Made once: every picture of the order is drawn on it.
    mutable QPixmap m_background;
    mutable bool m_backgroundMade = false;
    int m_width;
    int m_height;
    int m_frame;
};
