// Loads a list file of pictures into the order as at start-up and reports the time and peak memory,
// next to the thumbnail loading alone on the same files.
//   orderloadbench <resource folder> <list file>

#include "benchsupport.h"
#include "etimageloader.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etthumbnailfactory.h"

#include <QApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <cstdio>
#include <memory>

namespace
{

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (!startBench(argc, argv, 2, "<resource folder> <list file> [thumbnail-only count]"))
        return 2;
    const QString listFile = QString::fromLocal8Bit(argv[2]);

    const QStringList paths = listedPaths(listFile);
    const int thumbCount = argc > 3 ? QString::fromLocal8Bit(argv[3]).toInt() : int(paths.size());
    ETThumbnailFactory *factory = ETThumbnailFactory::instance();

    // The thumbnail loading alone, on the same files.
    QElapsedTimer timer;
    timer.start();
    int loaded = 0;
    for (int i = 0; i < thumbCount && i < paths.size(); ++i) {
        int w = 0;
        int h = 0;
        const std::unique_ptr<QImage> thumb(
            ETImageLoader::loadThumbnail(paths[i], factory->thumbWidth(), factory->thumbHeight(), &w, &h));
        loaded += thumb ? 1 : 0;
    }
    const double thumbSeconds = timer.nsecsElapsed() / 1e9;
    const long rssAfterThumbs = peakRssKb();

    timer.restart();
    ETOrder::instance()->addImages({listFile});
    const double orderSeconds = timer.nsecsElapsed() / 1e9;
    const int items = int(ETOrder::instance()->orderItems()->size());

    std::printf("thumbnails: %d pictures in %.2f s, %.1f ms per picture\n", loaded, thumbSeconds,
                loaded ? thumbSeconds * 1000 / loaded : 0.0);
    std::printf("order load: %d pictures in %.2f s, %.1f ms per picture\n", items, orderSeconds,
                items ? orderSeconds * 1000 / items : 0.0);
    if (loaded && items)
        std::printf("ratio order/thumbnail per picture: %.2f\n",
                    (orderSeconds / items) / (thumbSeconds / loaded));
    std::printf("peak RSS: %.1f MB (after the thumbnail pass %.1f MB)\n", peakRssKb() / 1024.0,
                rssAfterThumbs / 1024.0);
    return 0;
}
