#pragma once

#include "etthumbnailloader.h"

// The chain's loader for every picture the image loaders can read.
class ETImageThumbnailLoader : public ETThumbnailLoader
{
  public:
    ETImageThumbnailLoader();

    QImage *load(const QString &path, int width, int height, int *outWidth, int *outHeight) override;
};
