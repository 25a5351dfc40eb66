#pragma once

#include "etimageloader.h"

// The loader for every format Qt reads; it writes JPEG whatever the name says
// and decodes JPEGs at a reduced size for thumbnails.
class ETStandardImageLoader : public ETImageLoader
{
  public:
    ETStandardImageLoader();

    QImage *load(const QString &path) override;
    bool save(const QImage &image, const QString &path, int quality) override;
    QByteArray encode(const QImage &image, int quality) override;
    QImage *loadCovering(const QString &path, int width, int height, int *fullWidth,
                         int *fullHeight) override;

    // The largest power-of-two reduction (up to 8) of full that still covers
    // the size full takes when scaled to fit width x height.
    static int reductionFor(const QSize &full, int width, int height);
};
