#include "etimageloader.h"
#include "etstandardimageloader.h"
#include "ettestsandbox.h"
#include "etthumbnailbatch.h"
#include "etthumbnailconfig.h"
#include "etthumbnailfactory.h"
#include "etthumbnailloader.h"

#include "etfileutils.h"

#include <QBitmap>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <sched.h>

namespace
{

::testing::AssertionResult hasColourAt(const QImage &image, const QPoint &at, const QColor &expected)
{
    const QColor actual = image.pixelColor(at);
    if (qAbs(actual.red() - expected.red()) <= 8 && qAbs(actual.green() - expected.green()) <= 8 &&
        qAbs(actual.blue() - expected.blue()) <= 8)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "at (" << at.x() << "," << at.y() << ") expected " << qPrintable(expected.name()) << ", got "
           << qPrintable(actual.name());
}

// Largest difference of any channel between two images of one size.
int largestDifference(const QImage &a, const QImage &b)
{
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    int largest = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            largest = qMax(largest, qMax(qAbs(qRed(p) - qRed(q)),
                                         qMax(qAbs(qGreen(p) - qGreen(q)), qAbs(qBlue(p) - qBlue(q)))));
        }
    }
    return largest;
}

class RecordingThumbnailLoader : public ETThumbnailLoader
{
  public:
    RecordingThumbnailLoader(int priority, QStringList *log, const char *name)
        : ETThumbnailLoader(priority), m_log(log), m_name(QString::fromLatin1(name))
    {
    }
    QImage *load(const QString &, int, int, int *, int *) override
    {
        *m_log << m_name;
        return nullptr;
    }

  private:
    QStringList *m_log;
    QString m_name;
};

} // namespace

TEST(ETThumbnailFactory, DefaultSizesAndOffset)
{
    ETTestSandbox resources;
    ETThumbnailFactory *factory = ETThumbnailFactory::instance();
    EXPECT_EQ(60, factory->thumbWidth());
    EXPECT_EQ(60, factory->thumbHeight());
    EXPECT_EQ(10, factory->frameWidth());
    EXPECT_EQ(70, factory->totalWidth());
    EXPECT_FALSE(ETThumbnailConfig::instance()->transparent());

    QImage picture(160, 120, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const QImage thumbnail = factory->thumbnail(picture).toImage();
    ASSERT_EQ(QSize(70, 70), thumbnail.size());
    // The 60 x 45 picture lies at (10, 17): red from there to the edges.
    EXPECT_TRUE(hasColourAt(thumbnail, {10, 17}, Qt::red));
    EXPECT_TRUE(hasColourAt(thumbnail, {69, 61}, Qt::red));
    EXPECT_FALSE(hasColourAt(thumbnail, {9, 17}, Qt::red));
    EXPECT_FALSE(hasColourAt(thumbnail, {10, 16}, Qt::red));
    EXPECT_FALSE(hasColourAt(thumbnail, {10, 62}, Qt::red));
    // The painted panel: yellow corner outside the rounding, grey inside.
    EXPECT_TRUE(hasColourAt(thumbnail, {0, 0}, Qt::yellow));
    EXPECT_TRUE(hasColourAt(thumbnail, {5, 35}, Qt::gray));
}

TEST(ETThumbnailFactory, SettingsFromThumbnailXml)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("thumbnail.xml"),
                    "<c><thumbnail width=\"80\" frame=\"4\" transparent=\"yes\" bgimage=\"x\"/></c>");
    ETThumbnailFactory *factory = ETThumbnailFactory::instance();
    EXPECT_EQ(80, factory->thumbWidth());
    EXPECT_EQ(80, factory->thumbHeight());
    EXPECT_EQ(4, factory->frameWidth());
    EXPECT_EQ(QStringLiteral("x"), ETThumbnailConfig::instance()->bgImage());
    const QPixmap background = factory->background();
    EXPECT_EQ(QSize(84, 84), background.size());
    ASSERT_FALSE(background.mask().isNull());
    // Transparent corners, opaque middle.
    const QImage image = background.toImage();
    EXPECT_EQ(0, image.pixelColor(0, 0).alpha());
    EXPECT_EQ(255, image.pixelColor(42, 42).alpha());
}

TEST(ETThumbnailFactory, MaybeIsNotTransparent)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("thumbnail.xml"), "<c><thumbnail transparent=\"maybe\"/></c>");
    EXPECT_FALSE(ETThumbnailConfig::instance()->transparent());
    EXPECT_TRUE(ETThumbnailFactory::instance()->background().mask().isNull());
}

TEST(ETThumbnailFactory, FramePictureIsTheBackground)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("icons/map.txt"), "");
    resources.writePicture(QStringLiteral("icons/thumbframe.jpg"), {90, 80}, Qt::black);
    const QImage thumbnail = ETThumbnailFactory::instance()->compose(QImage()).toImage();
    EXPECT_EQ(QSize(90, 80), thumbnail.size());
    EXPECT_TRUE(hasColourAt(thumbnail, {0, 0}, Qt::black));
}

TEST(ETThumbnailLoader, ChainAsksByPriority)
{
    ETTestSandbox resources;
    QStringList log;
    RecordingThumbnailLoader low(0, &log, "low");
    RecordingThumbnailLoader high(5, &log, "high");
    RecordingThumbnailLoader low2(0, &log, "low2");
    ETThumbnailLoader::addToChain(&low);
    ETThumbnailLoader::addToChain(&high);
    ETThumbnailLoader::addToChain(&low2);
    EXPECT_EQ(nullptr, ETImageLoader::loadThumbnail(resources.resource(QStringLiteral("none.jpg")), 60, 60,
                                                    nullptr, nullptr));
    EXPECT_EQ(QStringList({QStringLiteral("high"), QStringLiteral("low2"), QStringLiteral("low")}), log);
}

TEST(ETThumbnailLoader, ChainForgetsDestroyedLoaders)
{
    ETTestSandbox resources;
    QStringList log;
    {
        RecordingThumbnailLoader gone(9, &log, "gone");
        ETThumbnailLoader::addToChain(&gone);
    }
    ETThumbnailLoader::imageLoaderChainLoad(resources.resource(QStringLiteral("none.jpg")), 60, 60, nullptr,
                                            nullptr);
    EXPECT_TRUE(log.isEmpty());
}

TEST(ETThumbnailLoader, ScalesToFitAndReportsFullSize)
{
    ETTestSandbox resources;
    const struct {
        const char *name;
        QSize picture;
        QSize box;
        QSize expected;
    } cases[] = {
        {"a.jpg", {1600, 1200}, {60, 60}, {60, 45}},     {"b.png", {1600, 1200}, {60, 60}, {60, 45}},
        {"c.jpg", {1200, 1600}, {200, 150}, {112, 150}}, {"d.jpg", {4001, 3001}, {70, 70}, {70, 52}},
        {"e.jpg", {50, 40}, {60, 60}, {60, 48}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name);
        resources.writePicture(name, c.picture, Qt::darkCyan);
        int width = -1;
        int height = -1;
        std::unique_ptr<QImage> thumbnail(ETImageLoader::loadThumbnail(
            resources.resource(name), c.box.width(), c.box.height(), &width, &height));
        ASSERT_TRUE(thumbnail);
        EXPECT_EQ(c.expected, thumbnail->size());
        EXPECT_EQ(c.picture, QSize(width, height));
    }
}

TEST(ETThumbnailLoader, ReducedJpegDecodingLooksTheSame)
{
    ETTestSandbox resources;
    QImage picture(2400, 1800, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, 2400, 1800);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(picture.rect(), gradient);
    painter.setBrush(Qt::red);
    painter.drawEllipse(600, 400, 900, 700);
    painter.end();
    const QString path = resources.resource(QStringLiteral("big.jpg"));
    ASSERT_TRUE(picture.save(path, "JPEG", 92));

    EXPECT_EQ(8, ETStandardImageLoader::reductionFor({2400, 1800}, 70, 70));
    EXPECT_EQ(4, ETStandardImageLoader::reductionFor({2400, 1800}, 400, 400));
    EXPECT_EQ(1, ETStandardImageLoader::reductionFor({2400, 1800}, 2000, 2000));
    EXPECT_EQ(1, ETStandardImageLoader::reductionFor({2400, 1800}, 0, 0));

    std::unique_ptr<QImage> thumbnail(ETImageLoader::loadThumbnail(path, 70, 70, nullptr, nullptr));
    ASSERT_TRUE(thumbnail);
    std::unique_ptr<QImage> whole(ETImageLoader::loadImage(path, QString()));
    ASSERT_TRUE(whole);
    const QImage reference = whole->scaled(70, 70, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    ASSERT_EQ(reference.size(), thumbnail->size());
    EXPECT_LE(largestDifference(reference, *thumbnail), 40);
}

TEST(ETThumbnailLoader, BrokenPictureGivesThePlaceholder)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("broken.jpg"), "this is no picture");
    resources.write(QStringLiteral("icons/map.txt"), "");
    resources.writePicture(QStringLiteral("icons/brokenimage.jpg"), {30, 30}, Qt::magenta);
    int width = -1;
    EXPECT_EQ(nullptr, ETImageLoader::loadThumbnail(resources.resource(QStringLiteral("broken.jpg")), 60, 60,
                                                    &width, nullptr));
    EXPECT_EQ(-1, width);
    // What a picture shows instead: the placeholder scaled and framed.
    std::unique_ptr<QPixmap> placeholder(ETImageLoader::loadPixmap(QStringLiteral("brokenimage")));
    ASSERT_TRUE(placeholder);
    const QImage thumbnail = ETThumbnailFactory::instance()->thumbnail(placeholder->toImage()).toImage();
    EXPECT_EQ(QSize(70, 70), thumbnail.size());
    EXPECT_TRUE(hasColourAt(thumbnail, {10, 10}, Qt::magenta));
    EXPECT_TRUE(hasColourAt(thumbnail, {69, 69}, Qt::magenta));
}

TEST(ETThumbnailLoader, SampleSkinHasTheBrokenImagePicture)
{
    ETTestSandbox resources;
    setResourceDir(QStringLiteral(LUMO_RESOURCES_DIR));
    std::unique_ptr<QPixmap> placeholder(ETImageLoader::loadPixmap(QStringLiteral("brokenimage")));
    ASSERT_TRUE(placeholder);
    EXPECT_EQ(QSize(60, 60), placeholder->size());
}

namespace
{

// Makes every thumbnail itself, 400 x 300 in a colour of the path's number ("p7" is 7), and notes
// how often each path was asked for and on which threads (any thread).
class CountingThumbnailLoader : public ETThumbnailLoader
{
  public:
    CountingThumbnailLoader() : ETThumbnailLoader(10) { addToChain(this); }
    QImage *load(const QString &path, int width, int height, int *outWidth, int *outHeight) override
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            ++m_asked[path];
            m_threads.insert(QThread::currentThread());
        }
        if (path.startsWith(QLatin1String("broken")))
            return nullptr;
        if (outWidth)
            *outWidth = 400;
        if (outHeight)
            *outHeight = 300;
        auto *image =
            new QImage(QSize(400, 300).scaled(width, height, Qt::KeepAspectRatio), QImage::Format_RGB32);
        image->fill(QColor::fromRgb(path.mid(1).toInt(), 0, 0));
        return image;
    }
    QHash<QString, int> asked()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_asked;
    }
    QSet<QThread *> threads()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }

  private:
    std::mutex m_mutex;
    QHash<QString, int> m_asked;
    QSet<QThread *> m_threads;
};

} // namespace

TEST(ETThumbnailBatch, TakenInListOrderEachPictureDecodedOnceByTheWorkers)
{
    CountingThumbnailLoader loader;
    QStringList paths;
    for (int i = 0; i < 60; ++i)
        paths << (i == 5 ? QStringLiteral("broken") : QStringLiteral("p%1").arg(i));
    ETThumbnailBatch batch(paths, QSize(60, 60));
    for (int i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(i);
        const ETDecodedThumbnail decoded = batch.take(i);
        if (i == 5) {
            EXPECT_TRUE(decoded.image.isNull());
            continue;
        }
        ASSERT_EQ(QSize(60, 45), decoded.image.size());
        EXPECT_EQ(QSize(400, 300), decoded.fullSize);
        EXPECT_EQ(i, qRed(decoded.image.pixel(0, 0))) << "the thumbnail of its own picture";
    }
    const QHash<QString, int> asked = loader.asked();
    EXPECT_EQ(paths.size(), asked.size());
    for (auto it = asked.cbegin(); it != asked.cend(); ++it)
        EXPECT_EQ(1, it.value()) << qPrintable(it.key());
    EXPECT_FALSE(loader.threads().contains(QThread::currentThread())) << "the taker only takes";
}

TEST(ETThumbnailBatch, ABatchNeverTakenDecodesNothing)
{
    CountingThumbnailLoader loader;
    {
        ETThumbnailBatch batch({QStringLiteral("p1"), QStringLiteral("p2")}, QSize(60, 60));
    }
    EXPECT_TRUE(loader.asked().isEmpty());
}

TEST(ETThumbnailBatch, OneWorkerForEachProcessorTheProcessMayUse)
{
    cpu_set_t usable;
    ASSERT_EQ(0, sched_getaffinity(0, sizeof usable, &usable));
    EXPECT_EQ(CPU_COUNT(&usable), ETThumbnailBatch::workerCount());
}
