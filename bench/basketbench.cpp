// The basket with many large pictures: lumo started on a list file until its basket shows every
// line, against the bare thumbnail pass over the same files in the same run; then a scroll through
// every line, counting the pictures decoded.
//   basketbench <resource folder> <list file>

#include "benchsupport.h"
#include "etimageloader.h"
#include "etorderline.h"
#include "etordertable.h"
#include "etstandardimageloader.h"
#include "etstartup.h"
#include "etthumbnailfactory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QScrollBar>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The JPEG loader of the client, counting every picture it decodes (GUI thread only here).
class CountingLoader : public ETImageLoader
{
  public:
    CountingLoader() : ETImageLoader(1) {}

    QImage *load(const QString &path) override
    {
        ++m_decodes[path];
        return m_standard.load(path);
    }
    bool save(const QImage &image, const QString &path, int quality) override
    {
        return m_standard.save(image, path, quality);
    }
    QImage *loadCovering(const QString &path, int width, int height, int *fullWidth, int *fullHeight) override
    {
        ++m_decodes[path];
        return m_standard.loadCovering(path, width, height, fullWidth, fullHeight);
    }

    int total() const
    {
        int sum = 0;
        for (int count : m_decodes)
            sum += count;
        return sum;
    }
    int most() const
    {
        int most = 0;
        for (int count : m_decodes)
            most = std::max(most, count);
        return most;
    }
    void reset() { m_decodes.clear(); }

  private:
    ETStandardImageLoader m_standard;
    QHash<QString, int> m_decodes;
};

struct Figures {
    int rows = 0;
    double basketSeconds = 0;
    int loadDecodes = 0;
    int loadMostPerPicture = 0;
    int scrollSteps = 0;
    int linesSeen = 0;
    int scrollDecodes = 0;
    int scrollMostPerPicture = 0;
    double scrollSeconds = 0;
};

// Once lumo's event loop runs: the basket painted with every line, then scrolled to its end.
void watchBasket(const QElapsedTimer &sinceStart, CountingLoader &loader, Figures &figures)
{
    QWidget *main = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("PluginOrderWizard"))
            main = widget;
    auto *table = main ? main->findChild<ETOrderTable *>(QStringLiteral("order_table")) : nullptr;
    if (!table) {
        std::fprintf(stderr, "no basket in lumo's window\n");
        QCoreApplication::exit(1);
        return;
    }
    main->repaint();
    figures.basketSeconds = sinceStart.nsecsElapsed() / 1e9;
    figures.rows = table->rowCount();
    figures.loadDecodes = loader.total();
    figures.loadMostPerPicture = loader.most();

    loader.reset();
    QElapsedTimer scrolling;
    scrolling.start();
    std::vector<bool> seen(size_t(table->rowCount()), false);
    QScrollBar *bar = table->verticalScrollBar();
    bar->setValue(0);
    for (;;) {
        QCoreApplication::processEvents();
        main->repaint();
        for (int row = 0; row < table->rowCount(); ++row) {
            const ETOrderLine *line = table->lineAt(row);
            if (line && line->isVisible() && line->visibleRegion().boundingRect().height() > 0)
                seen[size_t(row)] = true;
        }
        if (bar->value() >= bar->maximum())
            break;
        table->scrollDown();
        ++figures.scrollSteps;
    }
    figures.scrollSeconds = scrolling.nsecsElapsed() / 1e9;
    figures.linesSeen = int(std::count(seen.begin(), seen.end(), true));
    figures.scrollDecodes = loader.total();
    figures.scrollMostPerPicture = loader.most();
    main->close();
}

} // namespace

int main(int argc, char **argv)
{
    auto *application = new QApplication(argc, argv);
    if (!startBench(argc, argv, 2, "<resource folder> <list file>"))
        return 2;
    const QString resources = QString::fromLocal8Bit(argv[1]);
    const QString listFile = QString::fromLocal8Bit(argv[2]);
    auto *loader = new CountingLoader;
    for (const char *extension : {"JPG", "JPEG"})
        ETImageLoader::registerLoader(QLatin1String(extension), loader);

    // The bare thumbnail pass, as the order makes its thumbnails; once before lumo and once after,
    // so that a machine getting busier or quieter meanwhile does not decide the ratio.
    const QStringList paths = listedPaths(listFile);
    int loaded = 0;
    const auto thumbnailPass = [&paths, &loaded] {
        ETThumbnailFactory *factory = ETThumbnailFactory::instance();
        QElapsedTimer passTimer;
        passTimer.start();
        loaded = 0;
        for (const QString &path : paths) {
            int w = 0;
            int h = 0;
            const std::unique_ptr<QImage> thumb(
                ETImageLoader::loadThumbnail(path, factory->thumbWidth(), factory->thumbHeight(), &w, &h));
            loaded += thumb ? 1 : 0;
        }
        return passTimer.nsecsElapsed() / 1e9;
    };
    const double thumbBefore = thumbnailPass();
    const long rssAfterThumbs = peakRssKb();
    loader->reset();
    QElapsedTimer timer;

    // lumo itself, from its command line until the basket shows every line.
    Figures figures;
    QTimer::singleShot(0, application, [&] { watchBasket(timer, *loader, figures); });
    const QByteArray program("lumo");
    const QByteArray option("-R");
    const QByteArray folder = resources.toLocal8Bit();
    const QByteArray list = listFile.toLocal8Bit();
    char *arguments[] = {const_cast<char *>(program.constData()), const_cast<char *>(option.constData()),
                         const_cast<char *>(folder.constData()), const_cast<char *>(list.constData()),
                         nullptr};
    timer.restart();
    const int status = startClient(4, arguments);
    const long rssAfterLumo = peakRssKb();
    const double thumbAfter = thumbnailPass();
    const double thumbSeconds = (thumbBefore + thumbAfter) / 2;

    std::printf("thumbnail pass: %d pictures in %.2f s before lumo, %.2f s after, %.1f ms per picture\n",
                loaded, thumbBefore, thumbAfter, loaded ? thumbSeconds * 1000 / loaded : 0.0);
    std::printf("lumo until the basket shows every line: %d lines in %.2f s, %.1f ms per line\n",
                figures.rows, figures.basketSeconds,
                figures.rows ? figures.basketSeconds * 1000 / figures.rows : 0.0);
    if (loaded && figures.rows)
        std::printf("ratio lumo/thumbnail pass: %.3f (against the pass before %.3f, after %.3f)\n",
                    figures.basketSeconds / thumbSeconds, figures.basketSeconds / thumbBefore,
                    figures.basketSeconds / thumbAfter);
    std::printf("decodes while loading: %d, at most %d per picture\n", figures.loadDecodes,
                figures.loadMostPerPicture);
    std::printf("scrolling: %d steps of 50 pixels in %.2f s, %d of %d lines seen, %d decodes, at most %d per "
                "picture\n",
                figures.scrollSteps, figures.scrollSeconds, figures.linesSeen, figures.rows,
                figures.scrollDecodes, figures.scrollMostPerPicture);
    std::printf("peak RSS: %.1f MB (after the first thumbnail pass %.1f MB, after lumo %.1f MB)\n",
                peakRssKb() / 1024.0, rssAfterThumbs / 1024.0, rssAfterLumo / 1024.0);
    return status;
}
