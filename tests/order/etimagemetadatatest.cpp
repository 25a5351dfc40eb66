#include "etimagemetadata.h"
#include "crc16.h"
#include "etimage.h"
#include "etimagepathprovider.h"

#include "messagecapture.h"
#include "pipeinplace.h"
#include "resourcefolder.h"
#include "testpathprovider.h"

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QFileInfo>

namespace
{

QString infoPath(const ResourceFolder &resources, ETImage *image)
{
    return resources.file(QStringLiteral("work/")) + image->internalName() + QStringLiteral(".xml");
}

} // namespace

TEST(ETImageMetaDataTest, TypeFromTheFileName)
{
    ResourceFolder resources;
    ETImage *image = ETImage::create(resources.paint(QStringLiteral("a.JPG"), 8, 8));
    struct Case {
        const char *name;
        const char *type;
    };
    const Case cases[] = {{"a.JPG", "JPG"}, {"b.tar.png", "png"}, {"noextension", "unknown"}, {"dot.", ""}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ETImageMetaData meta(image, QString::fromLatin1(c.name));
        EXPECT_EQ(meta.type(), QString::fromLatin1(c.type));
        EXPECT_EQ(meta.fileName(), QString::fromLatin1(c.name));
    }
}

TEST(ETImageMetaDataTest, Crc16OfTheFile)
{
    ResourceFolder resources;
    const QString path = resources.paint(QStringLiteral("a.jpg"), 8, 8);
    ETImage *image = ETImage::create(path);
    resources.writeFile(QStringLiteral("a.jpg"), "123456789");
    EXPECT_EQ(image->metaData()->calcCrc16(false), 0xBB3D);
    EXPECT_EQ(image->metaData()->crc16(), 0xBB3D);

    resources.writeFile(QStringLiteral("a.jpg.opti.jpg"), "the customer's");
    EXPECT_EQ(image->metaData()->calcCrc16(true), 0xBB3D) << "a file of the copy's name is no copy";
    ASSERT_TRUE(image->storeOptimizedCopy("abc"));
    EXPECT_EQ(image->metaData()->calcCrc16(true), 0x9738) << "the optimised copy when asked for";
    EXPECT_EQ(image->metaData()->calcCrc16(false), 0xBB3D);

    resources.writeFile(QStringLiteral("a.jpg"), QByteArray());
    MessageCapture capture;
    EXPECT_EQ(image->metaData()->calcCrc16(false), 0);
    EXPECT_TRUE(hasLine(capture, QStringLiteral("nullpointer alarm in ETImageMetaData::calcCrc16")));

    // Larger than one block.
    QByteArray big(40000, 'x');
    resources.writeFile(QStringLiteral("a.jpg"), big);
    CRC16 crc;
    crc.update(big.constData(), 0, big.size());
    EXPECT_EQ(image->metaData()->calcCrc16(false), crc.value());

    // A pipe in the picture's place is not read: it might never end.
    PipeInPlace pipe(path);
    ASSERT_TRUE(pipe.made());
    EXPECT_EQ(image->metaData()->calcCrc16(false), 0);
    EXPECT_EQ(0, pipe.readers());
}

TEST(ETImageMetaDataTest, NoFilesWithoutMetadataSwitch)
{
    ResourceFolder resources;
    ETImage *image = ETImage::create(resources.paint(QStringLiteral("a.jpg"), 8, 8));
    image->metaData()->write();
    EXPECT_EQ(QDir(resources.path()).entryList(QDir::Files), QStringList({QStringLiteral("a.jpg")}));
}

TEST(ETImageMetaDataTest, ImageInfoFileRoundTrip)
{
    ResourceFolder resources;
    ETImagePathProvider::replace(new TestPathProvider(resources.file(QStringLiteral("work"))));
    ETImage *image = ETImage::create(resources.paint(QStringLiteral("a.jpg"), 30, 20));
    ETImageMetaData *meta = image->metaData();
    meta->setFileName(QStringLiteral("Urlaub äöü.jpg"));
    meta->calcCrc16(false);
    const QString path = infoPath(resources, image);
    ASSERT_TRUE(QFileInfo::exists(path));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << text.constData();
    QDomDocument document;
    ASSERT_TRUE(bool(document.setContent(text)));
    const QDomElement root = document.documentElement();
    EXPECT_EQ(root.tagName(), QStringLiteral("imageinfo"));
    QStringList children;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        children << e.tagName() + QLatin1Char('=') + e.text();
    EXPECT_EQ(children,
              QStringList({QStringLiteral("width=30"), QStringLiteral("height=20"),
                           QStringLiteral("crc16=") + QString::number(meta->crc16()),
                           QStringLiteral("filename=Urlaub äöü.jpg"), QStringLiteral("imageFormat=jpg")}));

    ETImageMetaData again(image, QStringLiteral("other.jpg"));
    EXPECT_EQ(again.fileName(), QStringLiteral("Urlaub äöü.jpg")) << "the constructor reads with force";
    EXPECT_EQ(again.knownWidth(), 30);
    EXPECT_EQ(again.crc16(), meta->crc16());
}

TEST(ETImageMetaDataTest, ReadWithoutForceFillsOnlyUnknownNumbers)
{
    ResourceFolder resources;
    ETImagePathProvider::replace(new TestPathProvider(resources.file(QStringLiteral("work"))));
    ETImage *image = ETImage::create(resources.paint(QStringLiteral("a.jpg"), 30, 20));
    resources.writeFile(QStringLiteral("work/") + image->internalName() + QStringLiteral(".xml"),
                        "<imageinfo><crc16>77</crc16></imageinfo>");
    ETImageMetaData *meta = image->metaData();
    meta->setSize(0, 0);
    meta->read(false);
    EXPECT_EQ(meta->knownWidth(), 0);
    EXPECT_EQ(meta->knownHeight(), 0);
    EXPECT_EQ(meta->crc16(), 77);

    meta->setSize(5, 6);
    meta->read(false);
    EXPECT_EQ(meta->knownWidth(), 5);
    EXPECT_EQ(meta->fileName(), QStringLiteral("a.jpg"));
    meta->read(true);
    EXPECT_EQ(meta->knownWidth(), 0);
    EXPECT_TRUE(meta->fileName().isEmpty());
}

TEST(ETImageMetaDataTest, SizeReadFromThePictureWhenUnknown)
{
    ResourceFolder resources;
    ETImage *image = ETImage::create(resources.paint(QStringLiteral("a.png"), 31, 17));
    image->metaData()->setSize(0, 0);
    EXPECT_EQ(image->metaData()->width(), 31);
    EXPECT_EQ(image->metaData()->height(), 17);
    EXPECT_EQ(image->metaData()->pixelCount(), 31 * 17);
    QImage source(4, 3, QImage::Format_RGB32);
    image->metaData()->setFromImage(source);
    EXPECT_EQ(image->metaData()->type(), QStringLiteral("jpg"));
    EXPECT_EQ(image->metaData()->knownWidth(), 4);
}
