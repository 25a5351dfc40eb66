#pragma once

#include "eticonset.h"

#include <QString>

class QImage;
class QPixmap;

// Base of the picture loaders and, through its static operations, the registry
// of loaders by file extension and the finder of icons in the resource folder.
// Pictures load in any thread; loaders are registered and pixmaps and icons
// made in the GUI thread only.
class ETImageLoader
{
  public:
    explicit ETImageLoader(int priority);
    virtual ~ETImageLoader();
    ETImageLoader(const ETImageLoader &) = delete;
    ETImageLoader &operator=(const ETImageLoader &) = delete;

    // Reads the file; the caller frees the image. Null when it cannot be read.
    virtual QImage *load(const QString &path) = 0;
    virtual bool save(const QImage &image, const QString &path, int quality) = 0;
    // The image as this loader saves it, in memory; empty on failure. Loaders
    // that cannot encode into memory save into a temporary file of their own.
    virtual QByteArray encode(const QImage &image, int quality);
    // Reads the file at a size that still covers width x height once scaled to
    // fit (the whole picture when the format cannot decode smaller) and reports
    // the full pixel size. Formats that decode at reduced sizes override it.
    virtual QImage *loadCovering(const QString &path, int width, int height, int *fullWidth, int *fullHeight);

    int priority() const { return m_priority; }

    static void registerLoader(const QString &extension, ETImageLoader *loader);
    static ETImageLoader *findLoader(const QString &extension);
    static QImage *loadImage(const QString &path, const QString &type);
    static QImage *loadImageCovering(const QString &path, const QString &type, int width, int height,
                                     int *fullWidth, int *fullHeight);
    static QImage *loadThumbnail(const QString &path, int width, int height, int *fullWidth, int *fullHeight);
    static QString fileFilter();
    static bool iconExists(const QString &name);
    static QPixmap *loadPixmap(const QString &name, QPixmap *target = nullptr);
    static ETIconSet *loadIconSet(const QString &name, ETIconSet::Size size = ETIconSet::Automatic);
    static QPixmap *loadResourcePixmap(const QString &name, const QString &defaultExtension);

  private:
    int m_priority;
};
