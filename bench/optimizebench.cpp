// Writes the optimised upload copies of the listed pictures for a print that needs the given size and
// reports the time per picture.
//   optimizebench <resource folder> <list file> <width> <height>

#include "benchsupport.h"
#include "etimage.h"
#include "etimageoperations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (!startBench(argc, argv, 4, "<resource folder> <list file> <width> <height>"))
        return 2;
    const QSize target(QString::fromLocal8Bit(argv[3]).toInt(), QString::fromLocal8Bit(argv[4]).toInt());

    QList<ETImage *> images;
    for (const QString &path : listedPaths(QString::fromLocal8Bit(argv[2])))
        images << ETImage::create(QFileInfo(path).absoluteFilePath());

    ETImageOperations ops;
    QElapsedTimer timer;
    timer.start();
    int written = 0;
    QSize copySize;
    for (ETImage *image : images) {
        if (ops.writeOptimizedCopy(image, target))
            ++written;
        copySize = QImage(image->optimizedCopyPath()).size();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("lumo: %d of %lld copies (%dx%d) in %.2f s, %.1f ms per picture\n", written,
                static_cast<long long>(images.size()), copySize.width(), copySize.height(), seconds,
                images.isEmpty() ? 0.0 : seconds * 1000 / images.size());
    return 0;
}
