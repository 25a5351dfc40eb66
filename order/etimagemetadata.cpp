#include "etimagemetadata.h"

#include "crc16.h"
#include "etimage.h"
#include "etimageloader.h"
#include "etimagepathprovider.h"
#include "etxmlbuilder.h"
#include "etxmlreader.h"

#include <QDebug>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace
{

QString lastExtension(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

} // namespace

ETImageMetaData::ETImageMetaData(ETImage *owner, const QString &fileName)
    : m_fileName(fileName), m_owner(owner)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    m_type = dot < 0 ? QStringLiteral("unknown") : fileName.mid(dot + 1);
    read(true);
}

void ETImageMetaData::read(bool force)
{
    ETImagePathProvider *provider = ETImagePathProvider::instance();
    if (!provider->keepsMetadataFiles())
        return;
    QDomDocument document;
    if (!ETXMLReader::readResourceFile(document, provider->imageInfoPath(m_owner)))
        return;
    const QDomElement root = document.documentElement();
    const auto number = [&root](const char *name) {
        return root.firstChildElement(QString::fromLatin1(name)).text().toInt(nullptr, 10);
    };
    if (force || m_width == 0)
        m_width = number("width");
    if (force || m_height == 0)
        m_height = number("height");
    if (force || m_crc16 == 0)
        m_crc16 = number("crc16");
    // The constructor has given both texts a value, so only a forced read replaces them.
    if (force) {
        m_fileName = root.firstChildElement(QStringLiteral("filename")).text();
        m_type = root.firstChildElement(QStringLiteral("imageFormat")).text();
    }
}

void ETImageMetaData::write()
{
    ETImagePathProvider *provider = ETImagePathProvider::instance();
    if (!provider->keepsMetadataFiles())
        return;
    const QString path = provider->imageInfoPath(m_owner);
    if (QFileInfo::exists(path))
        read(false);

    ETXMLBuilder builder;
    QDomDocument document;
    builder.createDocument(document);
    QDomElement root = builder.addElement(document, document, QStringLiteral("imageinfo"));
    if (m_width != 0)
        builder.addNumberElement(document, root, QStringLiteral("width"), m_width);
    if (m_height != 0)
        builder.addNumberElement(document, root, QStringLiteral("height"), m_height);
    if (m_crc16 != 0)
        builder.addNumberElement(document, root, QStringLiteral("crc16"), m_crc16);
    if (!m_fileName.isEmpty())
        builder.addTextElement(document, root, QStringLiteral("filename"), m_fileName);
    if (!m_type.isEmpty())
        builder.addTextElement(document, root, QStringLiteral("imageFormat"), m_type);
    builder.save(document, path);
}

int ETImageMetaData::width()
{
    if (m_width == 0)
        readSizeFromImage();
    return m_width;
}

int ETImageMetaData::height()
{
    if (m_height == 0)
        readSizeFromImage();
    return m_height;
}

void ETImageMetaData::setSize(int width, int height)
{
    m_width = width;
    m_height = height;
}

void ETImageMetaData::readSizeFromImage()
{
    const QString path = m_owner->path();
    const std::unique_ptr<QImage> image(ETImageLoader::loadImage(path, lastExtension(path)));
    if (!image || image->isNull())
        return;
    m_width = image->width();
    m_height = image->height();
    write();
}

int ETImageMetaData::crc16()
{
    return m_crc16 != 0 ? m_crc16 : calcCrc16(false);
}

int ETImageMetaData::pixelCount()
{
    return width() * height();
}

void ETImageMetaData::setFromImage(const QImage &image)
{
    m_type = QStringLiteral("jpg");
    m_crc16 = 0;
    m_width = image.width();
    m_height = image.height();
}

int ETImageMetaData::calcCrc16(bool fromOptimizedCopy)
{
    // The copy only while it is the program's, as the upload sends it.
    const QString path = fromOptimizedCopy ? m_owner->uploadSource() : m_owner->path();
    CRC16 crc;
    qint64 total = 0;
    QFile file(path);
    // A pipe in the picture's place would never end.
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) {
        // Fed block by block, so a large picture is never held in memory whole.
        QByteArray block(16384, Qt::Uninitialized);
        for (;;) {
            const qint64 n = file.read(block.data(), block.size());
            if (n <= 0)
                break;
            crc.update(block.constData(), 0, n);
            total += n;
        }
    }
    if (total == 0)
        qWarning("nullpointer alarm in ETImageMetaData::calcCrc16");
    m_crc16 = crc.value();
    write();
    return m_crc16;
}
