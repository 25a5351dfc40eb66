#include "etimageoperations.h"

#include "etimage.h"

#include "filesizelimit.h"
#include "messagecapture.h"
#include "resourcefolder.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <cmath>
#include <limits>

namespace
{

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// A 3x2 picture whose pixels all differ.
QImage numbered()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, qRgb(x * 10, y * 10, 0));
    return image;
}

::testing::AssertionResult hasPixel(const QImage &image, int x, int y, QRgb expected)
{
    const QRgb actual = image.pixel(x, y);
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << "," << y << ") is (" << qRed(actual) << "," << qGreen(actual) << ","
           << qBlue(actual) << "," << qAlpha(actual) << "), expected (" << qRed(expected) << ","
           << qGreen(expected) << "," << qBlue(expected) << "," << qAlpha(expected) << ")";
}

} // namespace

TEST(ETImageOperationsTest, Rotations)
{
    ETImageOperations ops;
    const QImage image = numbered();
    const QImage left = ops.rotateLeft(image);
    ASSERT_EQ(left.size(), QSize(2, 3));
    EXPECT_TRUE(hasPixel(left, 0, 0, image.pixel(2, 0))) << "top-left is the old top-right";
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_TRUE(hasPixel(left, y, 2 - x, image.pixel(x, y)));

    const QImage right = ops.rotateRight(image);
    ASSERT_EQ(right.size(), QSize(2, 3));
    EXPECT_TRUE(hasPixel(right, 0, 0, image.pixel(0, 1))) << "top-left is the old bottom-left";
    EXPECT_EQ(ops.rotateLeft(ops.rotateRight(image)), image);
}

TEST(ETImageOperationsTest, RotationKeepsTheColourTable)
{
    QImage image(3, 2, QImage::Format_Indexed8);
    image.setColorTable({qRgb(1, 2, 3), qRgb(200, 0, 0)});
    image.fill(0);
    image.setPixel(2, 0, 1);
    ETImageOperations ops;
    const QImage left = ops.rotateLeft(image);
    EXPECT_EQ(left.colorTable(), image.colorTable());
    EXPECT_EQ(left.pixelIndex(0, 0), 1);
}

TEST(ETImageOperationsTest, ToGray)
{
    struct Case {
        QRgb in;
        QRgb out;
    };
    const Case cases[] = {
        {qRgb(255, 0, 0), qRgb(87, 87, 87)},
        {qRgb(255, 255, 255), qRgb(255, 255, 255)},
        {qRgb(0, 255, 0), qRgb(127, 127, 127)},
        {qRgba(0, 0, 255, 10), qRgb(39, 39, 39)},
    };
    ETImageOperations ops;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        QImage image = filled(2, 2, c.in);
        ops.toGray(image);
        EXPECT_TRUE(hasPixel(image, 1, 1, c.out));
    }
}

TEST(ETImageOperationsTest, RedEyeInsideTheEllipse)
{
    struct Case {
        QRgb in;
        QRgb out;
    };
    const Case cases[] = {
        {qRgb(200, 40, 40), qRgb(80, 32, 32)},    {qRgb(150, 100, 100), qRgb(60, 80, 80)},
        {qRgb(120, 100, 90), qRgb(120, 100, 90)}, {qRgb(100, 100, 0), qRgb(100, 100, 0)},
        {qRgb(0, 0, 0), qRgb(0, 0, 0)},
    };
    ETImageOperations ops;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        QImage image = filled(20, 20, c.in);
        ops.reduceRedEye(image, QRect(0, 0, 20, 20));
        EXPECT_TRUE(hasPixel(image, 10, 10, c.out));
        EXPECT_TRUE(hasPixel(image, 0, 0, c.in)) << "corner outside the ellipse";
        EXPECT_TRUE(hasPixel(image, 18, 18, c.in)) << "corner outside the ellipse";
        EXPECT_TRUE(hasPixel(image, 19, 10, c.in)) << "right edge lies outside the walked area";
    }
}

TEST(ETImageOperationsTest, RedEyeAreaIsClampedOnAllSides)
{
    ETImageOperations ops;
    const QRect areas[] = {QRect(-10, -10, 20, 20), QRect(10, 10, 30, 30), QRect(-5, 5, 40, 5),
                           QRect(25, 25, -30, -30), QRect(100, 100, 5, 5)};
    for (const QRect &area : areas) {
        SCOPED_TRACE(testing::Message()
                     << area.x() << "," << area.y() << " " << area.width() << "x" << area.height());
        QImage image = filled(20, 20, qRgb(200, 40, 40));
        ops.reduceRedEye(image, area);
        EXPECT_EQ(image.size(), QSize(20, 20));
    }
    QImage image = filled(20, 20, qRgb(200, 40, 40));
    ops.reduceRedEye(image, QRect(10, 10, 30, 30));
    EXPECT_TRUE(hasPixel(image, 15, 15, qRgb(80, 32, 32)));
    EXPECT_TRUE(hasPixel(image, 5, 5, qRgb(200, 40, 40)));
}

TEST(ETImageOperationsTest, Crop)
{
    ETImageOperations ops;
    const QImage image = numbered();
    const QImage part = ops.crop(image, QRect(1, 0, 2, 1));
    ASSERT_EQ(part.size(), QSize(2, 1));
    EXPECT_TRUE(hasPixel(part, 0, 0, image.pixel(1, 0)));
}

TEST(ETImageOperationsTest, Scale)
{
    struct Case {
        QSize picture;
        float width;
        float height;
        QSize result;
        bool scaled;
    };
    const Case cases[] = {
        {{3000, 2000}, 1500, 1000, {1500, 1000}, true},  {{3000, 2000}, 2900, 1950, {3000, 2000}, false},
        {{2000, 3000}, 1500, 1000, {1000, 1500}, true},  {{4000, 3000}, 1800, 1200, {1800, 1350}, true},
        {{1500, 1000}, 1500, 1000, {1500, 1000}, false},
    };
    ETImageOperations ops;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.picture.width() << "x" << c.picture.height() << " to " << c.width
                                        << "x" << c.height);
        QImage image(c.picture, QImage::Format_RGB32);
        image.fill(Qt::gray);
        MessageCapture capture;
        const QImage result = ops.scale(image, 1, c.width, c.height, 1.05f);
        EXPECT_EQ(result.size(), c.result);
        if (c.scaled) {
            EXPECT_TRUE(hasLine(capture, QString::asprintf("groesse nach Skalieren: %d*%d", c.result.width(),
                                                           c.result.height())));
        } else {
            EXPECT_TRUE(capture.lines().isEmpty());
        }
    }
}

TEST(ETImageOperationsTest, PixelCountsOnlyWhereTheyFitAnInt)
{
    const double intMax = std::numeric_limits<int>::max();
    const struct {
        const char *what;
        double value;
        bool fits;
        int pixels;
    } cases[] = {
        {"whole", 1800.0, true, 1800},
        {"truncated", 1799.99, true, 1799},
        {"just below the limit", intMax + 0.5, true, std::numeric_limits<int>::max()},
        {"the limit plus one", intMax + 1.0, false, -7},
        {"a float's rounding of the limit", double(float(intMax)), false, -7},
        {"far below", -1e12, false, -7},
        {"no number", std::nan(""), false, -7},
        {"infinite", std::numeric_limits<double>::infinity(), false, -7},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        int pixels = -7;
        EXPECT_EQ(c.fits, ETImageOperations::toPixels(c.value, pixels));
        EXPECT_EQ(c.pixels, pixels) << "untouched when it does not fit";
    }
}

TEST(ETImageOperationsTest, Ratios)
{
    ETImageOperations ops;
    EXPECT_DOUBLE_EQ(ops.ratio(600, 100, 2.0f), 3.0);
    EXPECT_DOUBLE_EQ(ops.ratioOfRatios(3, 2, 1.0f, 2.0f), 3.0);
}

namespace
{

struct CopyOutcome {
    bool written;
    QSize size; // of the copy; invalid when there is none
};

CopyOutcome optimise(const ResourceFolder &resources, const QString &name, QSize picture, QSize target)
{
    ETImage *image = ETImage::create(resources.paint(name, picture.width(), picture.height()));
    ETImageOperations ops;
    const bool written = ops.writeOptimizedCopy(image, target);
    return {written, QImageReader(image->optimizedCopyPath()).size()};
}

} // namespace

TEST(ETImageOperationsTest, OptimisedCopyOutcomes)
{
    ResourceFolder resources;
    struct Case {
        const char *name;
        QSize picture;
        QSize target;
        bool written;
        QSize copy;
    };
    const Case cases[] = {
        {"landscape.jpg", {400, 300}, {180, 120}, true, {180, 135}},
        {"upright.jpg", {300, 400}, {120, 180}, true, {135, 180}},
        {"square.jpg", {300, 300}, {100, 120}, true, {120, 120}},
        {"nearly.jpg", {200, 100}, {180, 100}, false, {}},
        {"within.jpg", {200, 100}, {195, 96}, false, {}},
        {"bitmap.bmp", {200, 100}, {180, 100}, true, {200, 100}},
        {"picture.png", {40, 20}, {40, 20}, true, {40, 20}},
        {"big.png", {400, 300}, {180, 120}, true, {180, 135}},
        {"upper.JPEG", {60, 40}, {60, 40}, true, {60, 40}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CopyOutcome outcome = optimise(resources, QString::fromLatin1(c.name), c.picture, c.target);
        EXPECT_EQ(outcome.written, c.written);
        EXPECT_EQ(outcome.size, c.copy);
    }
}

TEST(ETImageOperationsTest, OptimisedCopyWritesTheScalingLines)
{
    ResourceFolder resources;
    MessageCapture capture;
    optimise(resources, QStringLiteral("a.jpg"), {400, 300}, {180, 120});
    EXPECT_TRUE(hasLine(capture, QStringLiteral("Scaling to 180.000000*120.000000")));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("groesse nach Skalieren: 180*135")));
}

TEST(ETImageOperationsTest, OptimisedCopyReplacesTheProgramsStaleCopyOnly)
{
    ResourceFolder resources;
    const QString path = resources.paint(QStringLiteral("a.jpg"), 200, 100);
    ETImage *image = ETImage::create(path);
    ETImageOperations ops;
    ASSERT_TRUE(ops.writeOptimizedCopy(image, QSize(100, 50)));
    const QString stale = image->optimizedCopyPath();
    EXPECT_EQ(stale, path + QStringLiteral(".opti.jpg"));
    EXPECT_FALSE(ops.writeOptimizedCopy(image, QSize(200, 100)));
    EXPECT_FALSE(image->hasOptimizedCopy())
        << "no copy needed: the old one is gone, the picture itself is sent";
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_EQ(image->uploadSource(), image->path());

    // A file of the copy's name that the program did not write stays as it is, needed or not.
    const QString own = resources.writeFile(QStringLiteral("a.jpg.opti.jpg"), "the customer's");
    EXPECT_FALSE(ops.writeOptimizedCopy(image, QSize(200, 100)));
    ASSERT_TRUE(ops.writeOptimizedCopy(image, QSize(100, 50)));
    EXPECT_EQ(image->optimizedCopyPath(), path + QStringLiteral("~2.opti.jpg"));
    EXPECT_EQ(QImageReader(image->uploadSource()).size(), QSize(100, 50));
    EXPECT_FALSE(ops.writeOptimizedCopy(image, QSize(200, 100)));
    QFile file(own);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("the customer's"));
    EXPECT_EQ(QDir(resources.path()).entryList({QStringLiteral("a.jpg*")}, QDir::Files),
              QStringList({QStringLiteral("a.jpg"), QStringLiteral("a.jpg.opti.jpg")}));
}

TEST(ETImageOperationsTest, FailedOptimisedCopyLeavesNoFile)
{
    ResourceFolder resources;
    const QString path = resources.paint(QStringLiteral("a.bmp"), 200, 100);
    ETImage *image = ETImage::create(path);
    // A folder in the copy's place stays; the copy goes under a name of its own.
    ASSERT_TRUE(QDir(resources.path()).mkdir(QStringLiteral("a.bmp.opti.jpg")));
    ETImageOperations ops;
    ASSERT_TRUE(ops.writeOptimizedCopy(image, QSize(100, 50)));
    EXPECT_EQ(image->optimizedCopyPath(), path + QStringLiteral("~2.opti.jpg"));
    EXPECT_TRUE(QFileInfo(path + QStringLiteral(".opti.jpg")).isDir());

    // No room for a single byte: the save fails.
    MessageCapture capture;
    bool written = true;
    {
        FileSizeLimit limit(0);
        ASSERT_TRUE(limit.active());
        written = ops.writeOptimizedCopy(image, QSize(100, 50));
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(
        hasLine(capture, QStringLiteral("cannot write optimised copy ") + image->optimizedCopyPath()));
    EXPECT_FALSE(image->hasOptimizedCopy());
    EXPECT_EQ(QDir(resources.path()).entryList(QDir::Files), QStringList({QStringLiteral("a.bmp")}));

    // A picture removed meanwhile gives no copy either.
    ETImage *gone = ETImage::create(resources.paint(QStringLiteral("b.jpg"), 200, 100));
    QFile::remove(gone->path());
    EXPECT_FALSE(ops.writeOptimizedCopy(gone, QSize(100, 50)));
    EXPECT_FALSE(gone->hasOptimizedCopy());
}

TEST(ETImageOperationsTest, OptimisedCopyCutShortByAFullDiskIsNotKept)
{
    ResourceFolder resources;
    const struct {
        const char *name;
        QSize target;
    } cases[] = {{"scaled.jpg", {800, 600}}, {"converted.png", {1600, 1200}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // Noise keeps the copy large: the space can end well inside it.
        QImage noise(1600, 1200, QImage::Format_RGB32);
        quint32 seed = 7;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                noise.setPixel(x, y, seed >> 8);
            }
        const QString path = resources.file(QString::fromLatin1(c.name));
        ASSERT_TRUE(noise.save(path));
        ETImage *image = ETImage::create(path);
        ETImageOperations ops;
        ASSERT_TRUE(ops.writeOptimizedCopy(image, c.target));
        const qint64 whole = QFileInfo(image->optimizedCopyPath()).size();
        ASSERT_GT(whole, 32768);

        bool written = true;
        {
            // The disk fills up within the last few KiB of the copy.
            FileSizeLimit limit(rlim_t(whole - 2048));
            ASSERT_TRUE(limit.active());
            written = ops.writeOptimizedCopy(image, c.target);
        }
        EXPECT_FALSE(written);
        EXPECT_FALSE(image->hasOptimizedCopy())
            << "a copy of " << QFileInfo(image->optimizedCopyPath()).size() << " bytes, whole ones have "
            << whole;
        EXPECT_EQ(image->path(), image->uploadSource()) << "the picture itself is sent";
        EXPECT_TRUE(QDir(resources.path()).entryList({QStringLiteral("*.opti.jpg*")}, QDir::Files).isEmpty());
    }
}
