#include "etimageloader.h"
#include "ettestsandbox.h"
#include "messagecapture.h"
#include "pipeinplace.h"

#include "etfileutils.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>
#include <memory>

namespace
{

// A loader that records what it was asked and loads nothing.
class RecordingLoader : public ETImageLoader
{
  public:
    explicit RecordingLoader(int priority) : ETImageLoader(priority) {}
    QImage *load(const QString &path) override
    {
        paths << path;
        return nullptr;
    }
    bool save(const QImage &, const QString &, int) override { return false; }
    QStringList paths;
};

} // namespace

TEST(ETImageLoader, FindsLoadersByExtension)
{
    ETTestSandbox resources;
    ETImageLoader *jpg = ETImageLoader::findLoader(QStringLiteral("jpg"));
    ASSERT_TRUE(jpg);
    const struct {
        const char *extension;
        ETImageLoader *expected;
    } cases[] = {
        {"JPG", jpg}, {"Jpeg", jpg}, {"jpeg2", jpg}, // JPE is unknown, JPEG is taken
        {"png", jpg}, {"ppm", jpg},  {"gif", nullptr}, {"", nullptr}, {"tiff", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.extension);
        EXPECT_EQ(c.expected, ETImageLoader::findLoader(QString::fromLatin1(c.extension)));
    }
    static RecordingLoader tif(0);
    ETImageLoader::registerLoader(QStringLiteral("tif"), &tif);
    EXPECT_EQ(&tif, ETImageLoader::findLoader(QStringLiteral("TIFF")));
}

TEST(ETImageLoader, PriorityDecidesReplacement)
{
    ETTestSandbox resources;
    ETImageLoader *standard = ETImageLoader::findLoader(QStringLiteral("png"));
    static RecordingLoader higher(1);
    static RecordingLoader lower(-1);
    static RecordingLoader equal(1);
    ETImageLoader::registerLoader(QStringLiteral("png"), &higher);
    EXPECT_EQ(&higher, ETImageLoader::findLoader(QStringLiteral("PNG")));
    ETImageLoader::registerLoader(QStringLiteral("png"), &lower);
    EXPECT_EQ(&higher, ETImageLoader::findLoader(QStringLiteral("png")));
    ETImageLoader::registerLoader(QStringLiteral("png"), &equal);
    EXPECT_EQ(&equal, ETImageLoader::findLoader(QStringLiteral("png")));
    EXPECT_EQ(standard, ETImageLoader::findLoader(QStringLiteral("bmp")));
}

TEST(ETImageLoader, LoadImageWithoutLoaderWarns)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("a.gif"), "GIF89a");
    MessageCapture capture;
    EXPECT_EQ(nullptr, ETImageLoader::loadImage(resources.resource(QStringLiteral("a.gif")), QString()));
    EXPECT_EQ(QStringList(QStringLiteral("ETImageLoader::loadImage(gif): no loader available")),
              capture.lines(QtWarningMsg));
}

TEST(ETImageLoader, LoadsByContentAndSavesJpeg)
{
    ETTestSandbox resources;
    // A PNG under a .jpg name still loads: the reader goes by the contents.
    resources.writePicture(QStringLiteral("shot.png"), {12, 7}, Qt::green);
    QFile::rename(resources.resource(QStringLiteral("shot.png")),
                  resources.resource(QStringLiteral("shot.jpg")));
    std::unique_ptr<QImage> image(
        ETImageLoader::loadImage(resources.resource(QStringLiteral("shot.jpg")), QString()));
    ASSERT_TRUE(image);
    EXPECT_EQ(QSize(12, 7), image->size());

    const QString target = resources.resource(QStringLiteral("saved.png"));
    ASSERT_TRUE(ETImageLoader::findLoader(QStringLiteral("png"))->save(*image, target, 80));
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.read(3).startsWith("\xff\xd8\xff")); // JPEG whatever the name
}

TEST(ETImageLoader, PicturesAreReadFromRegularFilesOnly)
{
    ETTestSandbox resources;
    const QString path = resources.writePicture(QStringLiteral("bild.jpg"), {12, 7});
    PipeInPlace pipe(path);
    ASSERT_TRUE(pipe.made());
    EXPECT_EQ(nullptr, std::unique_ptr<QImage>(ETImageLoader::loadImage(path, QStringLiteral("jpg"))));
    EXPECT_EQ(nullptr, std::unique_ptr<QImage>(ETImageLoader::loadImageCovering(path, QStringLiteral("jpg"),
                                                                                4, 4, nullptr, nullptr)));
    EXPECT_EQ(nullptr, std::unique_ptr<QImage>(ETImageLoader::loadThumbnail(path, 4, 4, nullptr, nullptr)));
    EXPECT_EQ(0, pipe.readers()) << "a pipe would hold the reading thread";
}

TEST(ETImageLoader, FileFilterListsEveryExtensionOnce)
{
    ETTestSandbox resources;
    EXPECT_EQ(QStringLiteral("*.BMP *.bmp *.JPEG *.jpeg *.JPG *.jpg *.MNG *.mng *.PBM *.pbm *.PGM *.pgm "
                             "*.PNG *.png *.PPM *.ppm *.XBM *.xbm *.XPM *.xpm"),
              ETImageLoader::fileFilter());
}

TEST(ETImageLoader, IconAliasFile)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("icons/map.txt"), "# aliases\n"
                                                     "next.%e next_default.%e\n"
                                                     "a b c\n"
                                                     "next.%e other.%e\n"
                                                     "back.png  back_default.png\n");
    resources.writePicture(QStringLiteral("icons/next_default.jpg"), {20, 10});
    resources.writePicture(QStringLiteral("icons/back_default.png"), {5, 5});
    MessageCapture capture;
    EXPECT_TRUE(ETImageLoader::iconExists(QStringLiteral("next")));
    EXPECT_TRUE(ETImageLoader::iconExists(QStringLiteral("back.png")));
    EXPECT_FALSE(ETImageLoader::iconExists(QStringLiteral("back")));
    const QString from = resourcePath(QStringLiteral("icons/next.jpg"));
    EXPECT_EQ(QStringList({QStringLiteral("invalid line 3 in map file"),
                           QStringLiteral("duplicate mapping for ") + from + QStringLiteral(": ") +
                               resourcePath(QStringLiteral("icons/next_default.jpg")) + QStringLiteral(", ") +
                               resourcePath(QStringLiteral("icons/other.jpg"))}),
              capture.lines(QtWarningMsg));
    std::unique_ptr<QPixmap> next(ETImageLoader::loadPixmap(QStringLiteral("next")));
    ASSERT_TRUE(next);
    EXPECT_EQ(QSize(20, 10), next->size());
}

TEST(ETImageLoader, MissingAliasFileIsOneWarning)
{
    ETTestSandbox resources;
    MessageCapture capture;
    EXPECT_FALSE(ETImageLoader::iconExists(QStringLiteral("next")));
    EXPECT_FALSE(ETImageLoader::iconExists(QStringLiteral("back")));
    EXPECT_EQ(QStringList(QStringLiteral("cannot open button mapping file")), capture.lines(QtWarningMsg));
}

TEST(ETImageLoader, PixmapFallsBackToXpm)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("icons/map.txt"), "");
    resources.writePicture(QStringLiteral("icons/star.xpm"), {3, 4});
    std::unique_ptr<QPixmap> star(ETImageLoader::loadPixmap(QStringLiteral("star")));
    ASSERT_TRUE(star);
    EXPECT_EQ(QSize(3, 4), star->size());
    QPixmap target;
    EXPECT_EQ(&target, ETImageLoader::loadPixmap(QStringLiteral("star"), &target));
    EXPECT_EQ(QSize(3, 4), target.size());
    EXPECT_EQ(nullptr, ETImageLoader::loadPixmap(QStringLiteral("nothing")));
}

TEST(ETImageLoader, IconSetKeepsEachPictureAtItsSize)
{
    ETTestSandbox resources;
    resources.write(QStringLiteral("icons/map.txt"), "");
    resources.writePicture(QStringLiteral("icons/b/go.jpg"), {40, 20}, Qt::blue);
    resources.writePicture(QStringLiteral("icons/b/go_active.jpg"), {41, 21}, Qt::red);
    resources.writePicture(QStringLiteral("icons/b/go_inactive.jpg"), {43, 23}, Qt::green);
    std::unique_ptr<ETIconSet> set(ETImageLoader::loadIconSet(QStringLiteral("b/go")));
    ASSERT_TRUE(set);
    EXPECT_EQ(QSize(40, 20), set->pixmap(ETIconSet::Small, ETIconSet::Normal, ETIconSet::Off).size());
    EXPECT_EQ(QSize(41, 21), set->pixmap(ETIconSet::Large, ETIconSet::Active, ETIconSet::Off).size());
    EXPECT_EQ(QSize(43, 23), set->pixmap(ETIconSet::Small, ETIconSet::Normal, ETIconSet::On).size());
    // No disabled picture: the normal one, greyed, at its size.
    EXPECT_EQ(QSize(40, 20), set->pixmap(ETIconSet::Small, ETIconSet::Disabled, ETIconSet::Off).size());
    EXPECT_EQ(nullptr, ETImageLoader::loadIconSet(QStringLiteral("b/none")));
}

TEST(ETImageLoader, ResourcePixmapTakesDefaultType)
{
    ETTestSandbox resources;
    resources.writePicture(QStringLiteral("pics/head.jpg"), {30, 5});
    QFile::rename(resources.resource(QStringLiteral("pics/head.jpg")),
                  resources.resource(QStringLiteral("pics/head")));
    std::unique_ptr<QPixmap> head(
        ETImageLoader::loadResourcePixmap(QStringLiteral("pics/head"), QStringLiteral("jpg")));
    ASSERT_TRUE(head);
    EXPECT_EQ(QSize(30, 5), head->size());
    MessageCapture capture;
    EXPECT_EQ(nullptr, ETImageLoader::loadResourcePixmap(QStringLiteral("pics/head"), QString()));
    EXPECT_EQ(1, capture.lines(QtWarningMsg).size());
}
