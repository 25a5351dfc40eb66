// Writes the optimised upload copies of the listed pictures for a print that needs the given size and
// reports the time per picture.
//   optimizebench <resource folder> <list file> <width> <height>

#include "etfileutils.h"
#include "etimage.h"
#include "etimageoperations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace
{

void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <resource folder> <list file> <width> <height>\n", argv[0]);
        return 2;
    }
    setResourceDir(QString::fromLocal8Bit(argv[1]));
    qInstallMessageHandler(quietMessages);
    const QSize target(QString::fromLocal8Bit(argv[3]).toInt(), QString::fromLocal8Bit(argv[4]).toInt());

    QList<ETImage *> images;
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream stream(&file);
        QString line;
        while (stream.readLineInto(&line))
            if (!line.isEmpty())
                images << ETImage::create(QFileInfo(line).absoluteFilePath());
    }

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
