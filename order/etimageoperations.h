#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

class ETImage;

// Pixel operations on pictures, the optimised upload copy and the ratios behind the quality hint.
// Stateless; scale() and writeOptimizedCopy() also run in the upload thread.
class ETImageOperations
{
  public:
    ETImageOperations() = default;
    virtual ~ETImageOperations() = default;

    virtual QImage rotateLeft(const QImage &image);
    virtual QImage rotateRight(const QImage &image);
    virtual QImage &toGray(QImage &image);
    virtual QImage &reduceRedEye(QImage &image, const QRect &area);
    virtual QImage crop(const QImage &image, const QRect &area);
    virtual QImage scale(const QImage &image, int resolution, float widthInches, float heightInches,
                         float tolerance);
    virtual double ratio(int pixels, int resolution, float inches);
    virtual double ratioOfRatios(int a, int b, float c, float d);

    // Writes the picture's optimised copy for the target size (its earlier
    // copy of the program's removed first); false when none was written.
    bool writeOptimizedCopy(ETImage *image, const QSize &size);

    // A pixel count worked out in floating point, truncated; false when it is
    // no number or does not fit an int (converting it would be undefined).
    static bool toPixels(double value, int &pixels);

  private:
    static bool saveOptimized(const QImage &picture, ETImage *image);
};
