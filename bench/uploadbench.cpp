// Uploads an order of pictures over HTTPS to the order-server double, which
// runs as a process of its own, and compares equal work on the server side:
// - the client's upload thread (declaration, then per picture an upload-control
//   request and a multipart post, then the order finish);
// - the same order through the wizard's send page, which shows progress, rate
//   and thumbnails while the thread uploads;
// - the curl command line tool posting the same files (one process, --next)
//   with upload ids of the same order declared, so the double checks size and
//   CRC of each post and counts it received as it does for the client;
// - the loopback floor: the same posts into a bare sink of the double that
//   reads each post and keeps nothing (curl tool and the client's transfer).
// Each side is timed for the whole order and for its first fifth: the ratio
// takes the pictures beyond the fifth, so that neither side's fixed costs
// count (curl's process start and handshake, the client's session and
// declaration). Each round starts a fresh double and runs every side in
// turn; the ratio is taken round by round (paired), then its best and median.
// Last, the client's peak memory for small and large pictures shows that the
// upload streams the files, and a process of its own sends an order of one
// picture of 400 MB, whose whole peak memory is shown.
#include "benchsupport.h"
#include "etapplicationfactoryabstract.h"
#include "etconfig.h"
#include "etfileutils.h"
#include "etimage.h"
#include "etnetworking.h"
#include "etnetworkingcurl.h"
#include "etnetworkingthread.h"
#include "etnetworkingthreadlistener.h"
#include "etnetworkingtimes.h"
#include "etorder.h"
#include "etorderwizard.h"
#include "etrequestercontroller.h"
#include "etrequesterpresenter.h"
#include "etwizardfactoryplugin.h"
#include "etwizardscreensendvianet.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <vector>

namespace
{

// Notes when the declaration is through, so the pictures' part can be told apart.
class Listener : public ETNetworkingThreadListener
{
  public:
    explicit Listener(QElapsedTimer *clock) : m_clock(clock) {}
    void setOrderDeclared(bool) override { declaredAt = m_clock->nsecsElapsed(); }
    void setImagesOptimized(bool) override {}
    std::atomic<qint64> declaredAt{0};

  private:
    QElapsedTimer *m_clock;
};

// A failed upload must not wait for a click: every box is answered with
// Cancel, and its text is printed.
class AnsweringPresenter : public ETRequesterPresenter
{
  public:
    QMessageBox::StandardButton messageBox(const ETMessageBoxRequest &request) override
    {
        std::fprintf(stderr, "box: %s\n", qPrintable(request.text));
        return QMessageBox::Cancel;
    }
    QString getExistingDirectory(const QString &, bool, const QString &, QWidget *) override { return {}; }
    QString getSaveFileName(const QString &, const QString &, const QString &, QWidget *) override
    {
        return {};
    }
    QStringList getOpenFileNames(const QString &, const QString &, const QString &, QWidget *) override
    {
        return {};
    }
    QString getText(const QString &, const QString &, const QString &, QWidget *) override { return {}; }
    QString getItem(const QString &, const QString &, const QStringList &) override { return {}; }
};

// The send page asks the application factory for the main window.
QWidget *s_mainWindow = nullptr;

class BenchApplicationFactory : public ETApplicationFactoryAbstract
{
  public:
    BenchApplicationFactory() : ETApplicationFactoryAbstract(nullptr, new ETWizardFactoryPlugin) {}
    QWidget *mainWidget() override { return s_mainWindow; }
};

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The client finds the double through the server list; a new double wants a new session.
void pointClientAt(const DoubleProcess &server)
{
    writeFile(
        resourcePath(QStringLiteral("xtci_servers.xml")),
        QStringLiteral("<xtci_servers><xtci_server><url>%1/xtci1.5/controller</url><dtd_url>%1/dtd</dtd_url>"
                       "</xtci_server></xtci_servers>")
            .arg(server.http())
            .toUtf8());
    ETConfig::instance()->setSessionID(QString(), QString(), false);
}

// Peak resident memory in kB since the last reset.
long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// Noise pictures of about the given size in bytes, each a little different.
QStringList makePictures(const QString &folder, int count, qint64 bytes)
{
    QDir().mkpath(folder);
    // A noise JPEG at quality 95 takes about 1.17 bytes per pixel.
    const int pixels = int(double(bytes) / 1.17);
    const int width = int(std::sqrt(pixels * 4.0 / 3.0));
    const int height = pixels / width;
    QImage noise(width, height, QImage::Format_RGB32);
    auto *random = QRandomGenerator::global();
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<quint32 *>(noise.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = 0xff000000u | (random->generate() & 0xffffffu);
    }
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        QImage picture = noise;
        QPainter painter(&picture);
        painter.fillRect(i * 7 % width, 0, 50, 50, Qt::white);
        painter.end();
        const QString path = folder + QStringLiteral("/bild%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
        picture.save(path, "JPEG", 95);
        paths << path;
    }
    return paths;
}

qint64 totalSize(const QStringList &paths)
{
    qint64 sum = 0;
    for (const QString &path : paths)
        sum += QFileInfo(path).size();
    return sum;
}

void fillOrder(const QStringList &paths)
{
    ETOrder *order = ETOrder::instance();
    order->removeAllOrderItems();
    for (const QString &path : paths)
        order->addImage(ETImage::create(path), QStringLiteral("Bench"), 1, int(order->orderItems()->size()));
}

struct Run {
    double seconds = 0;
    double uploadSeconds = 0; // after the declaration
    long peakGrowthKb = 0;
    bool ok = false;
};

// One order through the upload thread: declaration, the pictures, finish.
Run uploadOrder(const QStringList &paths)
{
    fillOrder(paths);
    ETNetworking *net = ETNetworking::instance();
    Run run;
    if (!net->startSession()) {
        std::fprintf(stderr, "no session: %s\n", qPrintable(net->errorMessage()));
        return run;
    }
    ETOrder *order = ETOrder::instance();
    QElapsedTimer timer;
    Listener listener(&timer);
    ETNetworkingThread *thread = ETNetworkingThread::create(&listener, false, net, order, true, false, false);
    resetPeak();
    const long before = peakKb();
    timer.start();
    thread->start();
    thread->waitForFinish();
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    run.uploadSeconds = run.seconds - double(listener.declaredAt) / 1e9;
    run.peakGrowthKb = peakKb() - before;
    run.ok = thread->hasFinished();
    if (!run.ok)
        std::fprintf(stderr, "upload failed: %s\n", qPrintable(net->errorMessage()));
    delete thread;
    return run;
}

// The page the wizard shows before the send page: a page and nothing else.
class BeforePage : public ETWizardScreen
{
  public:
    explicit BeforePage(ETOrderWizard *wizard) : ETWizardScreen(QStringLiteral("before"), wizard)
    {
        auto *page = new QWidget;
        page->setObjectName(QStringLiteral("before"));
        setPage(page);
        setTitle(QStringLiteral("before"));
    }
};

// The send page keeps what its automatic step (the upload) returned.
class BenchSendPage : public ETWizardScreenSendViaNet
{
  public:
    using ETWizardScreenSendViaNet::ETWizardScreenSendViaNet;
    bool run() override
    {
        succeeded = ETWizardScreenSendViaNet::run();
        return succeeded;
    }
    bool succeeded = false;
};

// The same order through the wizard's send page: the wizard, shown on a page
// before it, moves to the send page as Next would, and the page's automatic
// step uploads while the page takes the thread's reports (progress, rate,
// thumbnails) in the GUI thread. The order is declared before: the page's own
// preparation would optimise the pictures into smaller copies, and the bytes
// sent would no longer be those of the others.
Run uploadThroughSendPage(const QStringList &paths)
{
    fillOrder(paths);
    ETNetworking *net = ETNetworking::instance();
    Run run;
    if (!net->startSession() || !net->orderDeclarationRequest(QString(), false)) {
        std::fprintf(stderr, "no declared order: %s\n", qPrintable(net->errorMessage()));
        return run;
    }
    ETOrderWizard wizard(nullptr, nullptr, QStringLiteral("BenchWizard"));
    s_mainWindow = &wizard;
    wizard.setNetOrder(true);
    wizard.setCustomerPath(true);
    wizard.setUploadOption(true);
    wizard.addScreen(new BeforePage(&wizard), false);
    auto *screen = new BenchSendPage(QStringLiteral("sendViaNet"), nullptr, &wizard);
    wizard.addScreen(screen, true);
    wizard.show();
    QElapsedTimer timer;
    timer.start();
    wizard.showPage(screen->page());
    run.seconds = run.uploadSeconds = double(timer.nsecsElapsed()) / 1e9;
    run.ok = screen->succeeded;
    if (!run.ok)
        std::fprintf(stderr, "upload through the send page failed: %s\n", qPrintable(net->errorMessage()));
    wizard.hide();
    s_mainWindow = nullptr;
    return run;
}

// Multipart posts of the curl tool, one process, one connection: each file
// with its upload id. Seconds, or -1 after a failure.
double curlPosts(const QList<QPair<QString, QString>> &uploads, const QString &url, QByteArray *error)
{
    QStringList arguments;
    for (int i = 0; i < uploads.size(); ++i) {
        if (i > 0)
            arguments << QStringLiteral("--next");
        arguments << QStringLiteral("--silent") << QStringLiteral("--show-error") << QStringLiteral("--fail")
                  << QStringLiteral("--cacert") << QStringLiteral("ca-bundle.crt") << QStringLiteral("-F")
                  << QStringLiteral("uplid=%1").arg(uploads[i].first) << QStringLiteral("-F")
                  << QStringLiteral("upload=@%1;type=image/jpeg").arg(uploads[i].second)
                  << QStringLiteral("-o") << QStringLiteral("/dev/null") << url;
    }
    return timedCurl(arguments, error);
}

// curl's posts of the order's pictures with the upload ids the double hands
// out for the declared order; the order finish then tells whether every
// picture arrived whole.
double curlOrder(const QStringList &paths, const DoubleProcess &server, QByteArray *error)
{
    fillOrder(paths);
    ETNetworking *net = ETNetworking::instance();
    if (!net->startSession() || !net->orderDeclarationRequest(QString(), false)) {
        *error = net->errorMessage().toUtf8();
        return -1;
    }
    ETNetworkingCurl ask(server.http() + QStringLiteral("/uploads"));
    ask.get(QString());
    QList<QPair<QString, QString>> uploads;
    for (const QByteArray &line : ask.replyBytes().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 2)
            uploads << qMakePair(QString::fromUtf8(fields[0]), QString::fromUtf8(fields[1]));
    }
    if (uploads.size() != paths.size()) {
        *error = "the double handed out " + QByteArray::number(uploads.size()) + " upload ids";
        return -1;
    }
    const double seconds = curlPosts(uploads, server.https() + QStringLiteral("/upload"), error);
    if (seconds > 0 && !net->orderFinishRequest()) {
        *error = "curl's pictures did not all arrive: " + net->errorMessage().toUtf8();
        return -1;
    }
    return seconds;
}

// The client's own transfers posting the files, one after the other.
double clientPosts(const QStringList &paths, const QString &url)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < paths.size(); ++i) {
        ETNetworkingCurl *transfer = ETNetworking::instance()->createCurlConnection(url);
        transfer->enableProgress(int(QFileInfo(paths[i]).size()));
        const int rc =
            transfer->postFile(QStringLiteral("bench%1").arg(i), paths[i], QStringLiteral("image/jpeg"));
        const bool ok = rc == 0 && transfer->httpCode() == 200;
        delete transfer;
        if (!ok)
            return -1;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

// MB/s of one contender over the rounds.
struct Rates {
    const char *name;
    std::vector<double> seconds;
    double best(double megabytes) const
    {
        return seconds.empty() ? 0 : megabytes / *std::min_element(seconds.begin(), seconds.end());
    }
    double typical(double megabytes) const { return seconds.empty() ? 0 : megabytes / median(seconds); }
};

// MB/s of the pictures beyond the fewer: both sides' fixed costs (curl's process start and
// handshake, the client's session and declaration) drop out.
struct Marginal {
    const char *name;
    std::vector<double> fewer, all;
    double rate(double fewerSeconds, double allSeconds, double fewerMB, double allMB) const
    {
        return allSeconds > fewerSeconds ? (allMB - fewerMB) / (allSeconds - fewerSeconds) : 0;
    }
    double best(double fewerMB, double allMB) const
    {
        return fewer.empty() ? 0
                             : rate(*std::min_element(fewer.begin(), fewer.end()),
                                    *std::min_element(all.begin(), all.end()), fewerMB, allMB);
    }
    double typical(double fewerMB, double allMB) const
    {
        return fewer.empty() ? 0 : rate(median(fewer), median(all), fewerMB, allMB);
    }
    double round(size_t i, double fewerMB, double allMB) const
    {
        return rate(fewer[i], all[i], fewerMB, allMB);
    }
};

// The rate a/b of each round: best (the highest) and median.
struct PairedRatio {
    double best = 0;
    double median = 0;
};

PairedRatio paired(const Marginal &a, const Marginal &b, double fewerMB, double allMB)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < a.all.size() && i < b.all.size(); ++i) {
        const double other = b.round(i, fewerMB, allMB);
        if (other > 0)
            ratios.push_back(a.round(i, fewerMB, allMB) / other);
    }
    if (ratios.empty())
        return PairedRatio();
    return PairedRatio{*std::max_element(ratios.begin(), ratios.end()), median(ratios)};
}

// A picture of that size: a small one with zeros after its end, which a
// reader of pictures ignores (and the file system keeps without the disk).
QString makeLargePicture(const QString &folder, qint64 bytes)
{
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/riesig.jpg");
    QImage small(64, 48, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    if (!small.save(path, "JPEG", 90))
        return QString();
    QFile file(path);
    return file.resize(bytes) ? path : QString();
}

QList<QPair<QString, QString>> sinkPostsOf(const QStringList &paths)
{
    QList<QPair<QString, QString>> posts;
    for (const QString &path : paths)
        posts << qMakePair(QStringLiteral("sink"), path);
    return posts;
}

// The resources of a client in the work folder, and its working directory there.
void setUpClient(const QString &folder)
{
    const QString resources = folder + QStringLiteral("/Resources");
    QDir().mkpath(resources);
    writeFile(resources + QStringLiteral("/default.xml"),
              "<applicationConfig><keyaccount>bench</keyaccount><keyaccountname>LumoBench</keyaccountname>"
              "<programname>lumobench</programname><protocol>1.5</protocol></applicationConfig>");
    QFile::copy(QStringLiteral(LUMO_TEST_CERT_DIR "/ca.crt"), folder + QStringLiteral("/ca-bundle.crt"));
    QDir::setCurrent(folder);
    setResourceDir(resources);
    // The protocol's pauses (a second before each picture) are left out: what counts is the transfer.
    ETNetworkingTimes::setMillisecondsPerSecond(0);
}

// Before the application object: settings in the work folder, no screen, and
// quiet unless the caller asks for some output.
void setProcessEnvironment(const QString &work)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work + QStringLiteral("/config")));
    if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "*.debug=false");
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Run as a process of its own: one order of one picture to the double at
// the HTTP address; prints the process's peak memory in kB.
int oneOrder(int argc, char *argv[], const QString &picture, const QString &http)
{
    QTemporaryDir work;
    setProcessEnvironment(work.path());
    QApplication app(argc, argv);
    setUpClient(work.path());
    writeFile(
        resourcePath(QStringLiteral("xtci_servers.xml")),
        QStringLiteral("<xtci_servers><xtci_server><url>%1/xtci1.5/controller</url><dtd_url>%1/dtd</dtd_url>"
                       "</xtci_server></xtci_servers>")
            .arg(http)
            .toUtf8());
    const Run run = uploadOrder({picture});
    std::printf("%ld\n", peakKb());
    return run.ok ? 0 : 1;
}

// An order of one picture of that size, sent by a process of its own: its
// whole peak memory in kB, or -1.
long oneOrderPeakKb(const QString &program, const QString &folder, qint64 bytes)
{
    const QString picture = makeLargePicture(folder, bytes);
    if (picture.isEmpty())
        return -1;
    DoubleProcess server(QStringLiteral(LUMO_DOUBLE_PROGRAM));
    if (!server.start())
        return -1;
    QProcess client;
    client.start(program, {QStringLiteral("--one-order"), picture, server.http()});
    const bool ended = client.waitForFinished(300000);
    QFile::remove(picture);
    if (!ended || client.exitCode() != 0) {
        std::fprintf(stderr, "the order of one picture failed: %s\n",
                     client.readAllStandardError().constData());
        return -1;
    }
    return client.readAllStandardOutput().trimmed().toLong();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && QByteArray(argv[1]) == "--one-order")
        return oneOrder(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 50;
    const qint64 pictureBytes = (argc > 2 ? QByteArray(argv[2]).toLongLong() : 3) * 1000 * 1000;
    const int rounds = argc > 3 ? qMax(1, QByteArray(argv[3]).toInt()) : 5;
    QTemporaryDir work;
    setProcessEnvironment(work.path());
    QApplication app(argc, argv);
    ETApplicationFactoryAbstract::setMaker(
        []() -> ETApplicationFactoryAbstract * { return new BenchApplicationFactory; });
    AnsweringPresenter presenter;
    ETRequesterController::instance()->setPresenter(&presenter);

    setUpClient(work.path());

    const QStringList pictures = makePictures(work.path() + QStringLiteral("/bilder"), count, pictureBytes);
    const double megabytes = double(totalSize(pictures)) / 1e6;
    const QStringList fewerPictures = pictures.mid(0, qMax(1, count / 5));
    const double fewerMegabytes = double(totalSize(fewerPictures)) / 1e6;
    Marginal threadMarginal{"lumo upload thread, the pictures' part", {}, {}};
    Marginal curlMarginal{"curl -F, one process, declared uploads", {}, {}};
    Marginal sinkCurlMarginal{"floor: curl -F into a bare sink", {}, {}};
    Marginal sinkClientMarginal{"floor: lumo's posts into a bare sink", {}, {}};

    Rates thread{"lumo upload thread, the pictures' part", {}};
    Rates threadWhole{"lumo upload thread, whole order", {}};
    Rates page{"wizard send page, the pictures' part", {}};
    Rates curl{"curl -F, one process, declared uploads", {}};
    Rates sinkCurl{"floor: curl -F into a bare sink", {}};
    Rates sinkClient{"floor: lumo's posts into a bare sink", {}};
    long ourPeak = 0;
    bool ok = true;
    QByteArray curlError;
    // Rounds taken in turns, each on a fresh double, so that a busy machine weighs on all alike.
    for (int round = 0; round < rounds && ok; ++round) {
        DoubleProcess server(QStringLiteral(LUMO_DOUBLE_PROGRAM));
        if (!server.start()) {
            std::fprintf(stderr, "cannot start the order-server double\n");
            return 1;
        }
        pointClientAt(server);
        const Run run = uploadOrder(pictures);
        const Run pageRun = uploadThroughSendPage(pictures);
        const double curlSeconds = curlOrder(pictures, server, &curlError);
        const double sinkCurlSeconds =
            curlPosts(sinkPostsOf(pictures), server.https() + QStringLiteral("/sink"), &curlError);
        const double sinkClientSeconds = clientPosts(pictures, server.https() + QStringLiteral("/sink"));
        // The same with the fewer pictures, for the cost of the pictures beyond them.
        const Run fewerRun = uploadOrder(fewerPictures);
        const double fewerCurl = curlOrder(fewerPictures, server, &curlError);
        const double fewerSinkCurl =
            curlPosts(sinkPostsOf(fewerPictures), server.https() + QStringLiteral("/sink"), &curlError);
        const double fewerSinkClient = clientPosts(fewerPictures, server.https() + QStringLiteral("/sink"));
        ok = run.ok && pageRun.ok && curlSeconds > 0 && sinkCurlSeconds > 0 && sinkClientSeconds > 0 &&
             fewerRun.ok && fewerCurl > 0 && fewerSinkCurl > 0 && fewerSinkClient > 0;
        threadMarginal.fewer.push_back(fewerRun.uploadSeconds);
        threadMarginal.all.push_back(run.uploadSeconds);
        curlMarginal.fewer.push_back(fewerCurl);
        curlMarginal.all.push_back(curlSeconds);
        sinkCurlMarginal.fewer.push_back(fewerSinkCurl);
        sinkCurlMarginal.all.push_back(sinkCurlSeconds);
        sinkClientMarginal.fewer.push_back(fewerSinkClient);
        sinkClientMarginal.all.push_back(sinkClientSeconds);
        thread.seconds.push_back(run.uploadSeconds);
        threadWhole.seconds.push_back(run.seconds);
        page.seconds.push_back(pageRun.uploadSeconds);
        curl.seconds.push_back(curlSeconds);
        sinkCurl.seconds.push_back(sinkCurlSeconds);
        sinkClient.seconds.push_back(sinkClientSeconds);
        ourPeak = qMax(ourPeak, run.peakGrowthKb);
        // LUMO_BENCH_ROUNDS=1 shows every round's seconds.
        if (qEnvironmentVariableIsSet("LUMO_BENCH_ROUNDS"))
            std::printf("round %d: thread %.3f (%.3f) page %.3f curl %.3f sink %.3f / %.3f s\n", round,
                        run.uploadSeconds, run.seconds, pageRun.uploadSeconds, curlSeconds, sinkCurlSeconds,
                        sinkClientSeconds);
    }
    if (!ok) {
        std::fprintf(stderr, "a run failed%s%s\n", curlError.isEmpty() ? "" : ": ", curlError.constData());
        return 1;
    }

    // Memory: a few pictures four times as large must not need more.
    const QStringList large = makePictures(work.path() + QStringLiteral("/gross"), 5, pictureBytes * 4);
    const QStringList small = pictures.mid(0, 5);
    Run smallRun;
    Run largeRun;
    {
        DoubleProcess server(QStringLiteral(LUMO_DOUBLE_PROGRAM));
        if (!server.start()) {
            std::fprintf(stderr, "cannot start the order-server double\n");
            return 1;
        }
        pointClientAt(server);
        smallRun = uploadOrder(small);
        largeRun = uploadOrder(large);
    }
    ok = smallRun.ok && largeRun.ok;

    std::printf("%d pictures, %.1f MB in all, over HTTPS to the order-server double (own process),\n"
                "%d rounds, each on a fresh double; MB/s of the best and of the median round\n",
                count, megabytes, rounds);
    std::printf("%-44s %8s %8s\n", "", "best", "median");
    for (const Rates *r : {&thread, &threadWhole, &page, &curl, &sinkCurl, &sinkClient})
        std::printf("%-44s %8.1f %8.1f\n", r->name, r->best(megabytes), r->typical(megabytes));
    std::printf("\nthe pictures beyond the first %d (%.1f MB more): MB/s with every fixed cost dropped out\n"
                "(curl's process start and handshake, the client's session and declaration)\n",
                int(fewerPictures.size()), megabytes - fewerMegabytes);
    std::printf("%-44s %8s %8s\n", "", "best", "median");
    for (const Marginal *m : {&threadMarginal, &curlMarginal, &sinkCurlMarginal, &sinkClientMarginal})
        std::printf("%-44s %8.1f %8.1f\n", m->name, m->best(fewerMegabytes, megabytes),
                    m->typical(fewerMegabytes, megabytes));
    const double lumoBest = threadMarginal.best(fewerMegabytes, megabytes);
    const double lumoTypical = threadMarginal.typical(fewerMegabytes, megabytes);
    const double curlBest = curlMarginal.best(fewerMegabytes, megabytes);
    const double curlTypical = curlMarginal.typical(fewerMegabytes, megabytes);
    const PairedRatio toCurl = paired(threadMarginal, curlMarginal, fewerMegabytes, megabytes);
    std::printf("ratio lumo/curl -F, the pictures beyond the first %d, equal server work, paired by round\n"
                "(goal >= 0.95): best %.2f, median %.2f\n",
                int(fewerPictures.size()), toCurl.best, toCurl.median);
    const double floorBest = qMax(sinkCurlMarginal.best(fewerMegabytes, megabytes),
                                  sinkClientMarginal.best(fewerMegabytes, megabytes));
    const double floorTypical = qMax(sinkCurlMarginal.typical(fewerMegabytes, megabytes),
                                     sinkClientMarginal.typical(fewerMegabytes, megabytes));
    std::printf("loopback floor (the faster into the sink): best %.1f MB/s, median %.1f MB/s;"
                " lumo reaches %.2f and %.2f of it, curl %.2f and %.2f\n",
                floorBest, floorTypical, lumoBest / floorBest, lumoTypical / floorTypical,
                curlBest / floorBest, curlTypical / floorTypical);
    std::printf("peak memory growth during the upload: %ld kB (%d pictures of %.1f MB)\n", ourPeak, count,
                megabytes / count);
    std::printf("  5 pictures of %.1f MB: %ld kB; 5 pictures of %.1f MB: %ld kB\n",
                double(totalSize(small)) / 5e6, smallRun.peakGrowthKb, double(totalSize(large)) / 5e6,
                largeRun.peakGrowthKb);
    // The whole process sending an order of one picture of 400 MB.
    const long orderPeak = oneOrderPeakKb(QCoreApplication::applicationFilePath(),
                                          work.path() + QStringLiteral("/einzeln"), 400LL * 1000 * 1000);
    std::printf(
        "peak memory of a process sending an order of one picture of 400 MB (goal <= 60 MB): %.1f MB\n",
        double(orderPeak) / 1024);
    ok = ok && orderPeak > 0;
    return ok ? 0 : 1;
}
