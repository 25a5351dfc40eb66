#pragma once

#include <QString>

class QImage;

// A member of the thumbnail loader chain, and the chain itself: loaders asked
// in order of priority, highest first, until one makes the thumbnail.
class ETThumbnailLoader
{
  public:
    explicit ETThumbnailLoader(int priority);
    // Takes the loader out of the chain, so the chain never holds a dead one.
    virtual ~ETThumbnailLoader();
    ETThumbnailLoader(const ETThumbnailLoader &) = delete;
    ETThumbnailLoader &operator=(const ETThumbnailLoader &) = delete;

    // A new image scaled to fit width x height, the full size in outWidth and
    // outHeight (either may be null); null when this loader cannot read it.
    virtual QImage *load(const QString &path, int width, int height, int *outWidth, int *outHeight) = 0;

    int priority() const { return m_priority; }

    // Loaders of equal priority added later are asked first.
    static void addToChain(ETThumbnailLoader *loader);
    static void removeFromChain(ETThumbnailLoader *loader);
    static QImage *imageLoaderChainLoad(const QString &path, int width, int height, int *outWidth,
                                        int *outHeight);

  private:
    int m_priority;
};
