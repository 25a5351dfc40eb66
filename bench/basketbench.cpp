// The basket with many large pictures: lumo started on a list file until its basket shows every
// line, with all processors and with one, against the bare one-core thumbnail pass over the same
// files; the program's share of a 50-pixel scroll step at this basket's size and at 50 lines; peak
// memory and what each further line costs. Every figure comes from a process of its own, the sides
// taking turns in every round; best and median of the rounds and the ratios to the goals.
//   basketbench compare <resource folder> <list file> [rounds]
// The cases it starts (each prints one line of figures):
//   basketbench pass|spreadpass <resource folder> <list file>
//   basketbench basket <resource folder> <list file> [noscroll]

#include "benchprocess.h"
#include "benchsupport.h"
#include "etimageloader.h"
#include "etorderline.h"
#include "etordertable.h"
#include "etstandardimageloader.h"
#include "etstartup.h"
#include "etthumbnailbatch.h"
#include "etthumbnailfactory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QScrollBar>
#include <QTimer>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

// A value of this process's /proc/self/status in kB (VmRSS now, VmHWM the peak).
long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// The JPEG loader of the client, counting every picture it decodes (any thread).
class CountingLoader : public ETImageLoader
{
  public:
    CountingLoader() : ETImageLoader(1) {}

    QImage *load(const QString &path) override
    {
        count(path);
        return m_standard.load(path);
    }
    bool save(const QImage &image, const QString &path, int quality) override
    {
        return m_standard.save(image, path, quality);
    }
    QImage *loadCovering(const QString &path, int width, int height, int *fullWidth, int *fullHeight) override
    {
        count(path);
        return m_standard.loadCovering(path, width, height, fullWidth, fullHeight);
    }

    int total()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        int sum = 0;
        for (int n : std::as_const(m_decodes))
            sum += n;
        return sum;
    }
    int most()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        int most = 0;
        for (int n : std::as_const(m_decodes))
            most = std::max(most, n);
        return most;
    }
    void reset()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_decodes.clear();
    }

  private:
    void count(const QString &path)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_decodes[path];
    }

    ETStandardImageLoader m_standard;
    std::mutex m_mutex;
    QHash<QString, int> m_decodes;
};

CountingLoader *countingLoader()
{
    static CountingLoader *loader = [] {
        auto *made = new CountingLoader;
        for (const char *extension : {"JPG", "JPEG"})
            ETImageLoader::registerLoader(QLatin1String(extension), made);
        return made;
    }();
    return loader;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// ---------------------------------------------------------------------------
// The cases, each in a process of its own.

// The bare thumbnail pass, as the order makes its thumbnails: on the calling
// thread, or spread over as many threads as the order has decode workers
// (each takes the next picture), which is the floor of the fill on all
// processors measured as the fill is.
int pass(const QString &listFile, bool spread)
{
    const QStringList paths = listedPaths(listFile);
    ETThumbnailFactory *factory = ETThumbnailFactory::instance();
    const QSize size(factory->thumbWidth(), factory->thumbHeight());
    std::atomic<int> next{0};
    std::atomic<int> loaded{0};
    const auto work = [&] {
        for (int i = next++; i < paths.size(); i = next++)
            loaded += ETThumbnailBatch::decode(paths.at(i), size).image.isNull() ? 0 : 1;
    };
    QElapsedTimer timer;
    timer.start();
    if (spread) {
        std::vector<std::thread> threads;
        for (int i = 0; i < ETThumbnailBatch::workerCount(); ++i)
            threads.emplace_back(work);
        for (std::thread &thread : threads)
            thread.join();
    } else {
        work();
    }
    std::printf("%.6f %d\n", double(timer.nsecsElapsed()) / 1e9, loaded.load());
    return loaded == paths.size() ? 0 : 1;
}

struct BasketFigures {
    double fillSeconds = 0;
    int rows = 0;
    int loadDecodes = 0;
    int loadMost = 0;
    std::vector<double> stepMs;
    int linesSeen = 0;
    int scrollDecodes = 0;
    long rssBeforeKb = 0;
    long rssFilledKb = 0;
    long heapFilledKb = 0;
};

// The bytes malloc has handed out and not yet taken back, in kB.
long heapInUseKb()
{
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
}

// Once lumo's event loop runs: the basket painted with every line, then scrolled to its end in
// steps of 50 pixels. Each step is timed as the program does it (scroll, events, the deletes the
// event loop runs after each event, paint); the check of which lines are in sight comes after the
// clock stops.
void watchBasket(const QElapsedTimer &sinceStart, bool scroll, BasketFigures &figures)
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
    figures.fillSeconds = double(sinceStart.nsecsElapsed()) / 1e9;
    figures.rows = table->rowCount();
    figures.rssFilledKb = statusKb("VmRSS:");
    figures.heapFilledKb = heapInUseKb();
    figures.loadDecodes = countingLoader()->total();
    figures.loadMost = countingLoader()->most();
    countingLoader()->reset();
    if (scroll) {
        std::vector<bool> seen(size_t(table->rowCount()), false);
        const auto check = [&] {
            for (int row = 0; row < table->rowCount(); ++row) {
                const ETOrderLine *line = table->lineAt(row);
                if (line && line->isVisible() && !line->visibleRegion().boundingRect().isEmpty())
                    seen[size_t(row)] = true;
            }
        };
        QScrollBar *bar = table->verticalScrollBar();
        bar->setValue(0);
        QCoreApplication::processEvents();
        main->repaint();
        check();
        QElapsedTimer step;
        while (bar->value() < bar->maximum()) {
            step.start();
            table->scrollDown();
            QCoreApplication::processEvents();
            // What the event loop does after each step of the program's: the controls the lines let go.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            main->repaint();
            figures.stepMs.push_back(double(step.nsecsElapsed()) / 1e6);
            check();
        }
        figures.linesSeen = int(std::count(seen.begin(), seen.end(), true));
        figures.scrollDecodes = countingLoader()->total();
    }
    main->close();
}

int basket(const QString &resources, const QString &listFile, bool scroll)
{
    countingLoader();
    BasketFigures figures;
    figures.rssBeforeKb = statusKb("VmRSS:");
    QElapsedTimer timer;
    QTimer::singleShot(0, qApp, [&] { watchBasket(timer, scroll, figures); });
    const QByteArray program("lumo");
    const QByteArray option("-R");
    const QByteArray folder = resources.toLocal8Bit();
    const QByteArray list = listFile.toLocal8Bit();
    char *arguments[] = {const_cast<char *>(program.constData()), const_cast<char *>(option.constData()),
                         const_cast<char *>(folder.constData()), const_cast<char *>(list.constData()),
                         nullptr};
    timer.start();
    const int status = startClient(4, arguments);
    std::printf(
        "fill %.6f rows %d decodes %d most %d workers %d step %.6f steps %zu seen %d scrolldecodes %d "
        "peak %ld before %ld filled %ld heap %ld\n",
        figures.fillSeconds, figures.rows, figures.loadDecodes, figures.loadMost,
        ETThumbnailBatch::workerCount(), median(figures.stepMs), figures.stepMs.size(), figures.linesSeen,
        figures.scrollDecodes, statusKb("VmHWM:"), figures.rssBeforeKb, figures.rssFilledKb,
        figures.heapFilledKb);
    return status;
}

// ---------------------------------------------------------------------------
// The comparison, run by bench/basket.sh.

// The figures one case printed: "name value name value ...".
std::vector<std::pair<std::string, double>> parsed(const std::string &text)
{
    std::vector<std::pair<std::string, double>> values;
    std::istringstream in(text);
    std::string name;
    double value = 0;
    while (in >> name >> value)
        values.emplace_back(name, value);
    return values;
}

double valueOf(const std::vector<std::pair<std::string, double>> &values, const char *name)
{
    for (const auto &v : values)
        if (v.first == name)
            return v.second;
    return -1;
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first n lines of a list file, written beside it.
QString shorterList(const QString &listFile, int n)
{
    const QString path = listFile + QStringLiteral(".%1").arg(n);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    for (const QString &line : listedPaths(listFile).mid(0, n))
        out.write(line.toLocal8Bit() + '\n');
    return path;
}

struct Series {
    std::vector<double> values;
    double best() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }
    double typical() const { return median(values); }
};

// The ratio a/b of each round (the sides of a round ran one after the other,
// so a busy moment weighs on both): the lowest and the median of the rounds.
std::pair<double, double> paired(const Series &a, const Series &b)
{
    Series ratios;
    for (size_t i = 0; i < a.values.size() && i < b.values.size(); ++i)
        ratios.values.push_back(a.values[i] / b.values[i]);
    return {ratios.best(), ratios.typical()};
}

int compare(const char *self, const QString &resources, const QString &listFile, int rounds)
{
    const int count = int(listedPaths(listFile).size());
    const int scrollCount = std::min(50, count);
    const int quarter = std::max(1, count / 4);
    const QString scrollList = shorterList(listFile, scrollCount);
    const QString quarterList = shorterList(listFile, quarter);
    const int cpu = BenchProcess::currentCpu();
    const std::string output = (listFile + QStringLiteral(".out")).toStdString();
    const std::string res = resources.toStdString();

    Series passMs, passOneMs, spreadMs, fillAllMs, fillOneMs, quarterMs, stepMs, scrollStepMs, peakMb,
        filledMb, quarterFilledMb;
    int workers = 0;
    int workersOne = 0;
    int decodes = 0;
    int mostDecodes = 0;
    int seen = 0;
    int scrollDecodes = 0;
    int rows = 0;
    struct Case {
        std::vector<std::string> arguments;
        int cpu;
        const char *name;
    };
    // Each fill is compared with a pass under the same processor mask: the all-processor fill with a
    // pass that may run on any processor, the one-processor fill with a pass on that processor. The
    // all-processor fill's floor is measured as the fill is, not derived: the pass spread over as
    // many threads as the fill has decode workers, on every processor (one thread's pass divided by
    // the workers came out above what the workers really reach together, so a fill seemed to beat it).
    const std::vector<Case> cases = {
        {{self, "pass", res, listFile.toStdString()}, -1, "pass"},
        {{self, "pass", res, listFile.toStdString()}, cpu, "passone"},
        {{self, "spreadpass", res, listFile.toStdString()}, -1, "spread"},
        {{self, "basket", res, listFile.toStdString()}, -1, "all"},
        {{self, "basket", res, listFile.toStdString(), "noscroll"}, cpu, "one"},
        {{self, "basket", res, quarterList.toStdString(), "noscroll"}, -1, "quarter"},
        {{self, "basket", res, scrollList.toStdString()}, -1, "scroll"},
    };
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < cases.size(); ++i) {
            // Every other round runs backwards, so no side always follows the other.
            const Case &c = cases[round % 2 ? cases.size() - 1 - i : i];
            const BenchProcess::Result result = BenchProcess::run(c.arguments, output, c.cpu);
            const std::string printed = readFile(output);
            if (!result.ok) {
                std::fprintf(stderr, "failed: %s %s: %s\n", c.arguments[1].c_str(), c.name, printed.c_str());
                return 1;
            }
            const bool isPass = c.arguments[1] == "pass" || c.arguments[1] == "spreadpass";
            const auto values = parsed(isPass ? "seconds " + printed : printed);
            const std::string name = c.name;
            if (isPass) {
                (name == "pass"      ? passMs
                 : name == "passone" ? passOneMs
                                     : spreadMs)
                    .values.push_back(valueOf(values, "seconds") * 1000 / count);
                continue;
            }
            const double perLine = valueOf(values, "fill") * 1000 / std::max(1.0, valueOf(values, "rows"));
            if (name == "all") {
                fillAllMs.values.push_back(perLine);
                stepMs.values.push_back(valueOf(values, "step"));
                peakMb.values.push_back(valueOf(values, "peak") / 1024);
                filledMb.values.push_back(valueOf(values, "filled") / 1024);
                workers = int(valueOf(values, "workers"));
                decodes = int(valueOf(values, "decodes"));
                mostDecodes = std::max(mostDecodes, int(valueOf(values, "most")));
                seen = int(valueOf(values, "seen"));
                scrollDecodes = std::max(scrollDecodes, int(valueOf(values, "scrolldecodes")));
                rows = int(valueOf(values, "rows"));
            } else if (name == "one") {
                fillOneMs.values.push_back(perLine);
                workersOne = int(valueOf(values, "workers"));
            } else if (name == "quarter") {
                quarterMs.values.push_back(perLine);
                quarterFilledMb.values.push_back(valueOf(values, "filled") / 1024);
            } else {
                scrollStepMs.values.push_back(valueOf(values, "step"));
            }
        }
    }
    if (rows != count) {
        std::fprintf(stderr, "the basket showed %d lines of %d\n", rows, count);
        return 1;
    }

    std::printf("basket of %d pictures, %d rounds (each figure a process of its own); best and median\n",
                count, rounds);
    std::printf("%-58s %10s %10s\n", "", "best", "median");
    const auto line = [](const char *name, const Series &s, const char *unit) {
        std::printf("%-58s %10.2f %10.2f  %s\n", name, s.best(), s.typical(), unit);
    };
    char name[128];
    line("one-core thumbnail pass over the same files, any processor", passMs, "ms per picture");
    std::snprintf(name, sizeof name, "one-core thumbnail pass over the same files, processor %d", cpu);
    line(name, passOneMs, "ms per picture");
    std::snprintf(name, sizeof name, "the same pass spread over %d threads, all processors", workers);
    line(name, spreadMs, "ms per picture");
    std::snprintf(name, sizeof name, "fill, all processors (%d decode workers)", workers);
    line(name, fillAllMs, "ms per line");
    std::snprintf(name, sizeof name, "fill, processor %d (%d decode worker)", cpu, workersOne);
    line(name, fillOneMs, "ms per line");
    std::snprintf(name, sizeof name, "fill of the first %d, all processors", quarter);
    line(name, quarterMs, "ms per line");
    std::snprintf(name, sizeof name, "scroll step of 50 pixels, program's share, %d lines", count);
    line(name, stepMs, "ms (median step of a run)");
    std::snprintf(name, sizeof name, "scroll step of 50 pixels, program's share, %d lines", scrollCount);
    line(name, scrollStepMs, "ms (median step of a run)");
    line("peak memory (scrolled through every line)", peakMb, "MB");
    line("memory once filled", filledMb, "MB");
    std::snprintf(name, sizeof name, "memory once filled, the first %d", quarter);
    line(name, quarterFilledMb, "MB");

    const auto ratio = [](const char *what, const std::pair<double, double> &ratios, const char *goal) {
        std::printf("%-58s best %.3f, median %.3f%s%s\n", what, ratios.first, ratios.second,
                    *goal ? "  " : "", goal);
    };
    std::printf("\n");
    ratio("fill all processors / one-core pass, any processor", paired(fillAllMs, passMs),
          "(goal <= 0.35 at 500)");
    ratio("  floor: the spread pass / one-core pass, any processor", paired(spreadMs, passMs), "");
    ratio("fill all processors / the spread pass", paired(fillAllMs, spreadMs), "(floor 1)");
    std::snprintf(name, sizeof name, "fill on processor %d / pass on processor %d", cpu, cpu);
    ratio(name, paired(fillOneMs, passOneMs), "(floor 1)");
    std::snprintf(name, sizeof name, "ms per line at %d / at %d", count, quarter);
    ratio(name, paired(fillAllMs, quarterMs), "(goal <= 1.1 at 2000)");
    std::snprintf(name, sizeof name, "scroll step at %d lines / at %d", count, scrollCount);
    ratio(name, paired(stepMs, scrollStepMs), "(goal <= 1.5 at 2000)");
    const auto perLineKb = [&](double peak, double quarterPeak) {
        return count > quarter ? (peak - quarterPeak) * 1024 / (count - quarter) : 0.0;
    };
    std::printf("%-58s best %.1f, median %.1f kB  (goal <= 60)\n", "memory per further line, once filled",
                perLineKb(filledMb.best(), quarterFilledMb.best()),
                perLineKb(filledMb.typical(), quarterFilledMb.typical()));
    std::printf("%-58s best %.1f, median %.1f MB  (goal <= 150 at 2000)\n", "peak memory", peakMb.best(),
                peakMb.typical());
    std::printf("decodes while filling: %d for %d pictures, at most %d of one picture; while scrolling: %d; "
                "lines seen while scrolling: %d of %d\n",
                decodes, count, mostDecodes, scrollDecodes, seen, rows);
    return mostDecodes <= 1 && scrollDecodes == 0 && seen == rows ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "compare" && argc >= 4) {
        QCoreApplication application(argc, argv);
        return compare(BenchProcess::selfPath(argv[0]).c_str(), QString::fromLocal8Bit(argv[2]),
                       QString::fromLocal8Bit(argv[3]), argc > 4 ? std::max(1, std::atoi(argv[4])) : 3);
    }
    if ((mode == "pass" || mode == "spreadpass" || mode == "basket") && argc >= 4) {
        auto *application = new QApplication(argc, argv);
        Q_UNUSED(application);
        // The resource folder is the second argument here.
        if (!startBench(argc - 1, argv + 1, 2, "<resource folder> <list file>"))
            return 2;
        if (mode != "basket")
            return pass(QString::fromLocal8Bit(argv[3]), mode == "spreadpass");
        return basket(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                      !(argc > 4 && QByteArray(argv[4]) == "noscroll"));
    }
    std::fprintf(stderr,
                 "usage: %s compare <resource folder> <list file> [rounds]\n"
                 "       %s pass|spreadpass|basket <resource folder> <list file> [noscroll]\n",
                 argv[0], argv[0]);
    return 2;
}
