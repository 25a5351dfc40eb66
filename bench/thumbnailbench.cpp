// Thumbnail benchmark: makes large JPEGs once, then times thumbnails made
// through the thumbnail loader chain, on the calling thread ("run") or as the
// order fills its basket, decoded ahead by the worker threads ("pool"). Run by
// bench/thumbnails.sh, which times ImageMagick and vipsthumbnail on the same
// pictures.

#include "etimageloader.h"
#include "etthumbnailbatch.h"

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cstdio>
#include <memory>

namespace
{

// A photo-like picture: soft gradients, shapes and a little sensor noise.
QImage makePicture(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sky(width * 0.3, height * 0.2, width);
    sky.setColorAt(0, QColor::fromHsv(random.bounded(360), 80, 240));
    sky.setColorAt(1, QColor::fromHsv(random.bounded(360), 160, 90));
    painter.fillRect(image.rect(), sky);
    for (int i = 0; i < 150; ++i) {
        QColor color = QColor::fromHsv(random.bounded(360), random.bounded(256), random.bounded(256));
        color.setAlpha(60 + random.bounded(150));
        painter.setBrush(color);
        painter.setPen(Qt::NoPen);
        const int w = 50 + random.bounded(width / 3);
        const int h = 50 + random.bounded(height / 3);
        painter.drawEllipse(random.bounded(width) - w / 2, random.bounded(height) - h / 2, w, h);
    }
    painter.end();
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(random.bounded(13)) - 6;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + noise, 255), qBound(0, qGreen(p) + noise, 255),
                           qBound(0, qBlue(p) + noise, 255));
        }
    }
    return image;
}

int generate(const QString &folder, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("%1/picture%2.jpg").arg(folder).arg(i, 3, 10, QLatin1Char('0'));
        if (QFile::exists(path))
            continue;
        if (!makePicture(4000, 3000, quint32(i + 1)).save(path, "JPEG", 90)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}

// The pictures as the order takes them: decoded ahead by one worker a processor, taken in order.
int pool(const QString &folder, int size, const QString &output)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        std::fprintf(stderr, "no pictures in %s\n", qPrintable(folder));
        return 1;
    }
    if (!output.isEmpty())
        QDir().mkpath(output);
    QStringList paths;
    for (const QString &name : names)
        paths << folder + QLatin1Char('/') + name;
    QElapsedTimer timer;
    timer.start();
    ETThumbnailBatch batch(paths, QSize(size, size));
    for (int i = 0; i < paths.size(); ++i) {
        const ETDecodedThumbnail thumbnail = batch.take(i);
        if (thumbnail.image.isNull() || thumbnail.fullSize != QSize(4000, 3000)) {
            std::fprintf(stderr, "no thumbnail for %s\n", qPrintable(names.at(i)));
            return 1;
        }
        if (!output.isEmpty())
            thumbnail.image.save(output + QLatin1Char('/') + names.at(i), "JPEG", 90);
    }
    const double perPicture = double(timer.nsecsElapsed()) / 1e6 / double(names.size());
    std::printf("lumo thumbnail workers (%d): %d pictures, %.1f ms per picture\n",
                ETThumbnailBatch::workerCount(), int(names.size()), perPicture);
    return 0;
}

int run(const QString &folder, int size, const QString &output)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        std::fprintf(stderr, "no pictures in %s\n", qPrintable(folder));
        return 1;
    }
    if (!output.isEmpty())
        QDir().mkpath(output);
    QElapsedTimer timer;
    timer.start();
    for (const QString &name : names) {
        int fullWidth = 0;
        int fullHeight = 0;
        std::unique_ptr<QImage> thumbnail(ETImageLoader::loadThumbnail(folder + QLatin1Char('/') + name, size,
                                                                       size, &fullWidth, &fullHeight));
        if (!thumbnail || fullWidth != 4000 || fullHeight != 3000) {
            std::fprintf(stderr, "no thumbnail for %s\n", qPrintable(name));
            return 1;
        }
        if (!output.isEmpty())
            thumbnail->save(output + QLatin1Char('/') + name, "JPEG", 90);
    }
    const double perPicture = double(timer.nsecsElapsed()) / 1e6 / double(names.size());
    std::printf("lumo loader chain: %d pictures, %.1f ms per picture\n", int(names.size()), perPicture);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() >= 4 && arguments.at(1) == QLatin1String("generate"))
        return generate(arguments.at(2), arguments.at(3).toInt());
    if (arguments.size() >= 4 && arguments.at(1) == QLatin1String("run"))
        return run(arguments.at(2), arguments.at(3).toInt(), arguments.value(4));
    if (arguments.size() >= 4 && arguments.at(1) == QLatin1String("pool"))
        return pool(arguments.at(2), arguments.at(3).toInt(), arguments.value(4));
    std::fprintf(stderr, "usage: %s generate FOLDER COUNT | run|pool FOLDER SIZE [OUTPUT]\n", argv[0]);
    return 2;
}
