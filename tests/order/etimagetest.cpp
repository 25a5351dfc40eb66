#include "etimage.h"
#include "etimagepathprovider.h"

#include "etrecordingpresenter.h"
#include "messagecapture.h"
#include "resourcefolder.h"
#include "testpathprovider.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <QImageReader>
#include <QSignalSpy>
#include <memory>

namespace
{

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(ETImageTest, CreateNamesAndMeasuresThePicture)
{
    ResourceFolder resources;
    const QString path = resources.paint(QStringLiteral("holiday.jpeg"), 160, 120);
    ETImage *image = ETImage::create(path);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->internalName().endsWith(QStringLiteral(".jpeg")));
    EXPECT_EQ(image->internalName().size(), 13);
    EXPECT_EQ(ETImage::registered(image->internalName()), image);
    EXPECT_EQ(image->path(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(image->originalPath(), image->path());
    EXPECT_EQ(image->optimizedCopyPath(), image->path() + QStringLiteral(".opti.jpg"));
    EXPECT_FALSE(image->isInvalid());
    EXPECT_EQ(image->metaData()->knownWidth(), 160) << "the size comes with the thumbnail";
    EXPECT_EQ(image->width(), 160);
    EXPECT_EQ(image->height(), 120);
    EXPECT_FALSE(image->thumbnail()->isNull());
    EXPECT_EQ(image->metaData()->type(), QStringLiteral("jpeg"));
    EXPECT_EQ(image->metaData()->fileName(), QStringLiteral("holiday.jpeg"));

    EXPECT_TRUE(image->copyToWorkFile()) << "without work copies the picture is used where it lies";
    EXPECT_EQ(image->path(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(ETImage::create(path)->internalName() == image->internalName(), false);
}

TEST(ETImageTest, UnreadablePictureIsInvalid)
{
    ResourceFolder resources;
    const QString path = resources.writeFile(QStringLiteral("broken.jpg"), "this is no picture");
    MessageCapture capture;
    ETImage *image = ETImage::create(path);
    EXPECT_TRUE(image->isInvalid());
    EXPECT_TRUE(hasLine(capture, QStringLiteral("broken image ") + image->path()));
    EXPECT_EQ(image->metaData()->knownWidth(), 0);
    EXPECT_EQ(image->width(), 0);
    EXPECT_TRUE(image->loadImage().isNull());
}

TEST(ETImageTest, OptimisedCopyNames)
{
    ResourceFolder resources;
    const QString path = resources.paint(QStringLiteral("a.jpg"), 20, 10);
    ETImage *image = ETImage::create(path);
    EXPECT_EQ(image->optiFileName(), image->internalName());
    EXPECT_EQ(image->uploadSource(), image->path());
    EXPECT_EQ(image->fileSize(), QFileInfo(path).size());
    ASSERT_TRUE(image->storeOptimizedCopy("12345"));
    EXPECT_TRUE(image->hasOptimizedCopy());
    EXPECT_EQ(image->optimizedCopyPath(), path + QStringLiteral(".opti.jpg"));
    EXPECT_EQ(image->optiFileName(), image->internalName() + QStringLiteral(".opti.jpg"));
    EXPECT_EQ(image->uploadSource(), image->optimizedCopyPath());
    EXPECT_EQ(image->fileSize(), 5);
    image->removeOptimizedCopy();
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".opti.jpg")));
    EXPECT_EQ(image->optiFileName(), image->internalName());
}

TEST(ETImageTest, AFileOfTheCopysNameThatTheProgramDidNotWriteIsNoCopy)
{
    ResourceFolder resources;
    const QString path = resources.paint(QStringLiteral("a.jpg"), 20, 10);
    ETImage *image = ETImage::create(path);
    const QString own = resources.writeFile(QStringLiteral("a.jpg.opti.jpg"), "12345");
    EXPECT_FALSE(image->hasOptimizedCopy());
    EXPECT_EQ(image->optiFileName(), image->internalName());
    EXPECT_EQ(image->uploadSource(), path);
    EXPECT_EQ(image->fileSize(), QFileInfo(path).size());
    EXPECT_EQ(image->metaData()->calcCrc16(true), image->metaData()->calcCrc16(false));
    const QString copy = resources.file(QStringLiteral("out.jpg"));
    EXPECT_TRUE(image->copyAsJpeg(copy, true, false));
    EXPECT_EQ(contents(copy), contents(path)) << "the picture, not the customer's file";
    image->removeOptimizedCopy();
    EXPECT_EQ(contents(own), QByteArray("12345"));
}

TEST(ETImageTest, RenameKeepsThePictureUsable)
{
    ResourceFolder resources;
    const QString path = resources.paint(QStringLiteral("a.jpg"), 20, 10);
    ETImage *image = ETImage::create(path);
    QSignalSpy changed(image, &ETImage::nameChanged);
    EXPECT_EQ(image->setFilename(QStringLiteral("a.jpg")), QStringLiteral("a.jpg"));
    EXPECT_EQ(changed.count(), 0);

    EXPECT_EQ(image->setFilename(QStringLiteral("new.png")), QStringLiteral("new.png"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(QFileInfo::exists(resources.file(QStringLiteral("new.jpg"))))
        << "the extension never changes";
    EXPECT_EQ(image->originalPath(), resources.file(QStringLiteral("new.jpg")));
    EXPECT_EQ(image->path(), image->originalPath()) << "without a work copy the path follows the rename";
    EXPECT_FALSE(image->loadImage().isNull());
    EXPECT_TRUE(image->copyAsJpeg(resources.file(QStringLiteral("out.jpg")), false, false));

    // Folders in the new name do not move the file out of its folder.
    image->setFilename(QStringLiteral("../elsewhere.jpg"));
    EXPECT_TRUE(QFileInfo::exists(resources.file(QStringLiteral("elsewhere.jpg"))));
}

TEST(ETImageTest, CopyAsJpegWithoutWorkCopies)
{
    ResourceFolder resources;
    ETImage *jpeg = ETImage::create(resources.paint(QStringLiteral("a.jpg"), 20, 10));
    const QString copy = resources.file(QStringLiteral("copy.jpg"));
    EXPECT_TRUE(jpeg->copyAsJpeg(copy, false, false));
    EXPECT_EQ(contents(copy), contents(jpeg->path())) << "a JPEG is copied byte for byte";

    ASSERT_TRUE(jpeg->storeOptimizedCopy("optimised"));
    EXPECT_TRUE(jpeg->copyAsJpeg(copy, true, false));
    EXPECT_EQ(contents(copy), QByteArray("optimised"));

    ETImage *png = ETImage::create(resources.paint(QStringLiteral("b.png"), 20, 10));
    const QString converted = resources.file(QStringLiteral("b.jpg"));
    EXPECT_TRUE(png->copyAsJpeg(converted, false, false));
    EXPECT_EQ(QImageReader(converted).format(), QByteArray("jpeg"));
    EXPECT_FALSE(png->copyAsJpeg(resources.file(QStringLiteral("nofolder/b.jpg")), false, false));
    EXPECT_FALSE(QFileInfo::exists(resources.file(QStringLiteral("nofolder"))));
}

TEST(ETImageTest, WriteJpegAndTheFileNameTheMetadataKeeps)
{
    ResourceFolder resources;
    ETImage *jpeg = ETImage::create(resources.paint(QStringLiteral("a.jpg"), 20, 10));
    EXPECT_EQ(jpeg->metaFileName(), QStringLiteral("a.jpg"));
    jpeg->setFilename(QStringLiteral("urlaub.jpg"));
    EXPECT_EQ(jpeg->metaFileName(), QStringLiteral("urlaub.jpg"));

    const QString target = resources.file(QStringLiteral("out.jpg"));
    EXPECT_TRUE(jpeg->writeJpeg(target, false, true));
    EXPECT_EQ(contents(target), contents(jpeg->path()));
    // The work copy where there is one, when preferred.
    ASSERT_TRUE(jpeg->storeOptimizedCopy("optimised"));
    EXPECT_TRUE(jpeg->writeJpeg(target, true, true));
    EXPECT_EQ(contents(target), QByteArray("optimised"));
    // Without overwrite an existing target stays.
    resources.writeFile(QStringLiteral("kept.jpg"), "kept");
    EXPECT_TRUE(jpeg->writeJpeg(resources.file(QStringLiteral("kept.jpg")), false, false));
    EXPECT_EQ(contents(resources.file(QStringLiteral("kept.jpg"))), QByteArray("kept"));

    ETImage *png = ETImage::create(resources.paint(QStringLiteral("b.png"), 20, 10));
    EXPECT_TRUE(png->writeJpeg(resources.file(QStringLiteral("b.jpg")), true, true));
    EXPECT_EQ(QImageReader(resources.file(QStringLiteral("b.jpg"))).format(), QByteArray("jpeg"));
    QFile::remove(png->path());
    EXPECT_FALSE(png->writeJpeg(resources.file(QStringLiteral("gone.jpg")), false, true))
        << "nothing to read";
}

TEST(ETImageTest, WorkCopies)
{
    ResourceFolder resources;
    const QString work = resources.file(QStringLiteral("work"));
    ETImagePathProvider::replace(new TestPathProvider(work));
    const QString path = resources.paint(QStringLiteral("a.jpg"), 20, 10);
    ETImage *image = ETImage::create(path);
    EXPECT_FALSE(image->isCopied());
    EXPECT_TRUE(image->copyToWorkFile());
    EXPECT_TRUE(image->isCopied());
    EXPECT_EQ(image->path(), work + QLatin1Char('/') + image->internalName());
    EXPECT_EQ(image->originalPath(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(contents(image->path()), contents(path));
    EXPECT_TRUE(QFileInfo::exists(work + QLatin1Char('/') + image->internalName() + QStringLiteral(".bmp")));
    EXPECT_TRUE(QFileInfo::exists(work + QLatin1Char('/') + image->internalName() + QStringLiteral(".xml")));

    // Renamed after the copy: the work copy stays the file the client works on.
    image->setFilename(QStringLiteral("b.jpg"));
    EXPECT_EQ(image->path(), work + QLatin1Char('/') + image->internalName());
    EXPECT_EQ(image->originalPath(), resources.file(QStringLiteral("b.jpg")));

    ETImage *missing = ETImage::create(resources.paint(QStringLiteral("c.jpg"), 20, 10));
    QFile::remove(resources.file(QStringLiteral("c.jpg")));
    EXPECT_FALSE(missing->copyToWorkFile());
    EXPECT_FALSE(missing->isCopied());
}

TEST(ETImageTest, DumpText)
{
    ResourceFolder resources;
    ETImage *image = ETImage::create(resources.paint(QStringLiteral("a.jpg"), 20, 10));
    EXPECT_EQ(image->dump(), QStringLiteral("Filename: a.jpg InternalName: ") + image->internalName() +
                                 QStringLiteral("\nFullpath: ") + image->path() +
                                 QStringLiteral("\nPhysikalischer Pfad des Originals: ") + image->path());
}

TEST(ETImageTest, PicturesFromTheWorkFolder)
{
    ResourceFolder resources;
    const QString work = resources.file(QStringLiteral("work"));
    ETImagePathProvider::replace(new TestPathProvider(work));
    ETImage *image = ETImage::create(resources.paint(QStringLiteral("holiday.jpg"), 40, 30));
    ASSERT_TRUE(image->copyToWorkFile());
    EXPECT_EQ(ETImage::restore(image->internalName()), image) << "a registered picture is found";

    // A picture of an earlier run: its work copy, thumbnail and imageinfo file under another number.
    const QString old = QStringLiteral("00000099.JPG");
    ASSERT_TRUE(QFile::copy(image->path(), work + QLatin1Char('/') + old));
    ASSERT_TRUE(QFile::copy(work + QLatin1Char('/') + image->internalName() + QStringLiteral(".bmp"),
                            work + QLatin1Char('/') + old + QStringLiteral(".bmp")));
    ASSERT_TRUE(QFile::copy(work + QLatin1Char('/') + image->internalName() + QStringLiteral(".xml"),
                            work + QLatin1Char('/') + old + QStringLiteral(".xml")));
    ETImage *restored = ETImage::restore(old);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(ETImage::registered(old), restored);
    EXPECT_EQ(restored->metaData()->fileName(), QStringLiteral("holiday.jpg"));
    EXPECT_EQ(restored->baseName(), QStringLiteral("holiday"));
    EXPECT_EQ(restored->path(), work + QLatin1Char('/') + old);
    EXPECT_TRUE(restored->originalPath().isEmpty());
    EXPECT_TRUE(restored->isCopied());
    EXPECT_EQ(restored->width(), 40);
    EXPECT_FALSE(restored->thumbnail()->isNull());

    QImage replacement(16, 12, QImage::Format_RGB32);
    replacement.fill(Qt::blue);
    restored->replaceImage(replacement);
    EXPECT_EQ(QImageReader(restored->path()).size(), QSize(16, 12));
    EXPECT_EQ(restored->metaData()->knownWidth(), 16);
    EXPECT_EQ(restored->metaData()->type(), QStringLiteral("jpg"));

    ETImage *made = ETImage::createFromImage(replacement, QStringLiteral("scan.jpg"));
    EXPECT_TRUE(made->isCopied());
    EXPECT_EQ(made->metaData()->fileName(), QStringLiteral("scan.jpg"));
    EXPECT_EQ(QImageReader(work + QLatin1Char('/') + made->internalName()).size(), QSize(16, 12));
    EXPECT_EQ(ETImage::registered(made->internalName()), made);
}

TEST(ETImageTest, PictureFromAPath)
{
    ResourceFolder resources;
    const QString path = resources.paint(QStringLiteral("a.png"), 20, 10);
    std::unique_ptr<ETImage> image(ETImage::createFromPath(path));
    EXPECT_EQ(image->path(), path);
    EXPECT_TRUE(image->originalPath().isEmpty());
    EXPECT_TRUE(image->isCopied());
    EXPECT_TRUE(image->thumbnail()->isNull());
    EXPECT_EQ(image->width(), 20);
    EXPECT_TRUE(image->internalName().isEmpty());
    EXPECT_EQ(ETImage::registered(QString()), nullptr);

    // Without work copies a replaced picture leaves the file alone.
    const QByteArray before = contents(path);
    image->replaceImage(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_EQ(contents(path), before);
}

TEST(ETImageTest, FailedRenameIsReportedAndKeepsThePicture)
{
    ResourceFolder resources;
    const QString path = resources.paint(QStringLiteral("a.jpg"), 20, 10);
    resources.paint(QStringLiteral("taken.jpg"), 8, 8);
    ETImage *image = ETImage::create(path);
    ETRecordingPresenter presenter;
    EXPECT_EQ(image->setFilename(QStringLiteral("taken.jpg")), QStringLiteral("taken.jpg"))
        << "the shown name changes all the same";
    ASSERT_EQ(presenter.requests().size(), 1);
    EXPECT_EQ(presenter.last().box.caption, QStringLiteral("Umbenennen fehlgeschlagen"));
    EXPECT_TRUE(presenter.last().box.text.contains(QStringLiteral("taken.jpg")));
    EXPECT_EQ(image->originalPath(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(image->path(), image->originalPath());
    EXPECT_FALSE(image->loadImage().isNull());
    EXPECT_EQ(QImageReader(resources.file(QStringLiteral("taken.jpg"))).size(), QSize(8, 8))
        << "nothing overwritten";
}
