// Uploads an order of pictures to the order-server double over HTTPS through
// the upload thread (declaration, upload control and one multipart post per
// picture, order finish), then posts the same files as multipart uploads with
// the curl command line tool (one invocation), and prints MB/s for both.
// The double runs as a process of its own, so the peak memory measured here is
// the client's: it is taken for two picture sizes to show that the upload
// streams the files. The same order also goes through the wizard's send page,
// which shows the progress, rate and thumbnails while the thread uploads.
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
#include "etorderxmlbuilder.h"
#include "etwizardfactoryplugin.h"
#include "etwizardscreensendvianet.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <atomic>
#include <cmath>
#include <cstdio>

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

// The double names where it listens in its first line:
// "order-server double: http://127.0.0.1:N https://127.0.0.1:M (CA ...)".
bool readPorts(QProcess &server, quint16 *httpPort, quint16 *httpsPort)
{
    QElapsedTimer waited;
    waited.start();
    while (!server.canReadLine() && waited.elapsed() < 10000) {
        if (!server.waitForReadyRead(int(10000 - waited.elapsed())))
            break;
    }
    static const QRegularExpression urls(
        QStringLiteral("http://127\\.0\\.0\\.1:(\\d+) https://127\\.0\\.0\\.1:(\\d+)"));
    const QRegularExpressionMatch match = urls.match(QString::fromUtf8(server.readLine()));
    if (!match.hasMatch())
        return false;
    *httpPort = quint16(match.captured(1).toUInt());
    *httpsPort = quint16(match.captured(2).toUInt());
    return true;
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

struct Run {
    double seconds = 0;
    double uploadSeconds = 0; // after the declaration
    long peakGrowthKb = 0;
    bool ok = false;
};

// One order through the upload thread: declaration, the pictures, finish.
Run uploadOrder(const QStringList &paths)
{
    ETOrder *order = ETOrder::instance();
    order->removeAllOrderItems();
    for (const QString &path : paths)
        order->addImage(ETImage::create(path), QStringLiteral("Bench"), 1, int(order->orderItems()->size()));
    ETNetworking *net = ETNetworking::instance();
    Run run;
    if (!net->startSession()) {
        std::fprintf(stderr, "no session: %s\n", qPrintable(net->errorMessage()));
        return run;
    }
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

// The same order through the wizard's send page, shown: the thread uploads
// while the page takes its reports (progress, rate, thumbnails) in the GUI thread.
Run uploadThroughSendPage(const QStringList &paths)
{
    ETOrder *order = ETOrder::instance();
    order->removeAllOrderItems();
    for (const QString &path : paths)
        order->addImage(ETImage::create(path), QStringLiteral("Bench"), 1, int(order->orderItems()->size()));
    ETNetworking *net = ETNetworking::instance();
    Run run;
    if (!net->startSession()) {
        std::fprintf(stderr, "no session: %s\n", qPrintable(net->errorMessage()));
        return run;
    }
    ETOrderWizard wizard(nullptr, nullptr, QStringLiteral("BenchWizard"));
    s_mainWindow = &wizard;
    wizard.setNetOrder(true);
    wizard.setCustomerPath(true);
    auto *screen = new ETWizardScreenSendViaNet(QStringLiteral("sendViaNet"), nullptr, &wizard);
    wizard.addScreen(screen, true);
    wizard.show();
    wizard.showPage(screen->page());
    QElapsedTimer timer;
    // The first byte count comes right after the declaration.
    std::atomic<qint64> declaredAt{0};
    const QMetaObject::Connection declared = QObject::connect(
        net, &ETNetworking::uploadTotalBytes, net,
        [&] {
            if (declaredAt == 0)
                declaredAt = timer.nsecsElapsed();
        },
        Qt::DirectConnection);
    screen->atShow();
    timer.start();
    run.ok = screen->run();
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    run.uploadSeconds = run.seconds - double(declaredAt) / 1e9;
    QObject::disconnect(declared);
    if (!run.ok)
        std::fprintf(stderr, "upload through the send page failed: %s\n", qPrintable(net->errorMessage()));
    wizard.hide();
    s_mainWindow = nullptr;
    return run;
}

// The same files as multipart posts of the curl tool, one process, one connection.
double curlUpload(const QStringList &paths, const QString &url, QByteArray *error)
{
    QStringList arguments{QStringLiteral("--silent"), QStringLiteral("--show-error"),
                          QStringLiteral("--fail"), QStringLiteral("--cacert"),
                          QStringLiteral("ca-bundle.crt")};
    for (int i = 0; i < paths.size(); ++i) {
        if (i > 0)
            arguments << QStringLiteral("--next") << QStringLiteral("--cacert")
                      << QStringLiteral("ca-bundle.crt");
        arguments << QStringLiteral("-F") << QStringLiteral("uplid=bench%1").arg(i) << QStringLiteral("-F")
                  << QStringLiteral("upload=@%1;type=image/jpeg").arg(paths[i]) << QStringLiteral("-o")
                  << QStringLiteral("/dev/null") << url;
    }
    QProcess curl;
    curl.setProgram(QStringLiteral("curl"));
    curl.setArguments(arguments);
    QElapsedTimer timer;
    timer.start();
    curl.start();
    const bool ran =
        curl.waitForFinished(600000) && curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0;
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!ran) {
        *error = curl.readAllStandardError();
        return -1;
    }
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 50;
    const qint64 pictureBytes = (argc > 2 ? QByteArray(argv[2]).toLongLong() : 3) * 1000 * 1000;
    QTemporaryDir work;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.path() + QStringLiteral("/config")));
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ETApplicationFactoryAbstract::setMaker(
        []() -> ETApplicationFactoryAbstract * { return new BenchApplicationFactory; });

    // Ports 0: the double binds free ones itself and names them.
    QProcess server;
    server.setProgram(QStringLiteral(LUMO_DOUBLE_PROGRAM));
    server.setArguments({QStringLiteral("--http-port"), QStringLiteral("0"), QStringLiteral("--https-port"),
                         QStringLiteral("0")});
    server.start();
    quint16 httpPort = 0;
    quint16 httpsPort = 0;
    if (!readPorts(server, &httpPort, &httpsPort)) {
        std::fprintf(stderr, "cannot start the order-server double\n");
        return 1;
    }
    const QString http = QStringLiteral("http://127.0.0.1:%1").arg(httpPort);
    const QString resources = work.path() + QStringLiteral("/Resources");
    QDir().mkpath(resources);
    writeFile(resources + QStringLiteral("/default.xml"),
              "<applicationConfig><keyaccount>bench</keyaccount><keyaccountname>LumoBench</keyaccountname>"
              "<programname>lumobench</programname><protocol>1.5</protocol></applicationConfig>");
    writeFile(
        resources + QStringLiteral("/xtci_servers.xml"),
        QStringLiteral("<xtci_servers><xtci_server><url>%1/xtci1.5/controller</url><dtd_url>%1/dtd</dtd_url>"
                       "</xtci_server></xtci_servers>")
            .arg(http)
            .toUtf8());
    QFile::copy(QStringLiteral(LUMO_TEST_CERT_DIR "/ca.crt"), work.path() + QStringLiteral("/ca-bundle.crt"));
    QDir::setCurrent(work.path());
    setResourceDir(resources);
    // The protocol's pauses (a second before each picture) are left out: what counts is the transfer.
    ETNetworkingTimes::setMillisecondsPerSecond(0);

    const QStringList pictures = makePictures(work.path() + QStringLiteral("/bilder"), count, pictureBytes);
    const double megabytes = double(totalSize(pictures)) / 1e6;
    const QString uploadUrl = QStringLiteral("https://127.0.0.1:%1/upload").arg(httpsPort);

    // Three rounds each, taken in turns; the best round counts, to damp the noise of a shared machine.
    double ours = 1e9;
    double oursUpload = 1e9;
    double theirs = 1e9;
    double page = 1e9;
    double pageUpload = 1e9;
    long ourPeak = 0;
    bool ok = true;
    QByteArray curlError;
    for (int round = 0; round < 3; ++round) {
        const Run run = uploadOrder(pictures);
        ok = ok && run.ok;
        ours = qMin(ours, run.seconds);
        oursUpload = qMin(oursUpload, run.uploadSeconds);
        ourPeak = qMax(ourPeak, run.peakGrowthKb);
        const Run pageRun = uploadThroughSendPage(pictures);
        ok = ok && pageRun.ok;
        page = qMin(page, pageRun.seconds);
        pageUpload = qMin(pageUpload, pageRun.uploadSeconds);
        const double seconds = curlUpload(pictures, uploadUrl, &curlError);
        if (seconds < 0)
            ok = false;
        else
            theirs = qMin(theirs, seconds);
    }

    // LUMO_BENCH_PARTS=1 also times the client's bare picture posts, without upload control.
    if (qEnvironmentVariableIsSet("LUMO_BENCH_PARTS")) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < pictures.size(); ++i) {
            ETNetworkingCurl *transfer = ETNetworking::instance()->createCurlConnection(uploadUrl);
            transfer->enableProgress(int(QFileInfo(pictures[i]).size()));
            transfer->postFile(QStringLiteral("bench%1").arg(i), pictures[i], QStringLiteral("image/jpeg"));
            delete transfer;
        }
        std::printf("bare posts: %.1f MB/s\n", megabytes / (double(t.nsecsElapsed()) / 1e9));
        ETOrderXMLBuilder builder;
        t.restart();
        builder.buildOrderDeclarationBody(QString(), false);
        std::printf("declaration document (CRC of every picture): %.2f s\n", double(t.nsecsElapsed()) / 1e9);
    }

    // Memory: a few pictures four times as large must not need more.
    const QStringList large = makePictures(work.path() + QStringLiteral("/gross"), 5, pictureBytes * 4);
    const QStringList small = pictures.mid(0, 5);
    const Run smallRun = uploadOrder(small);
    const Run largeRun = uploadOrder(large);
    ok = ok && smallRun.ok && largeRun.ok;

    server.terminate();
    server.waitForFinished(10000);

    std::printf("%d pictures, %.1f MB in all, over HTTPS to the order-server double, best of 3 rounds\n",
                count, megabytes);
    std::printf("lumo upload thread: %7.1f MB/s (%.2f s, with declaration, upload control and finish)\n",
                megabytes / ours, ours);
    std::printf("  of which the pictures: %.1f MB/s (%.2f s, upload control, posts, finish)\n",
                megabytes / oursUpload, oursUpload);
    std::printf("wizard send page:   %7.1f MB/s (%.2f s, the same steps with the page's progress shown)\n",
                megabytes / page, page);
    std::printf("  of which the pictures: %.1f MB/s (%.2f s)\n", megabytes / pageUpload, pageUpload);
    if (curlError.isEmpty())
        std::printf("curl -F, one process: %5.1f MB/s (%.2f s)\n", megabytes / theirs, theirs);
    else
        std::printf("curl failed: %s\n", curlError.constData());
    std::printf("ratio lumo/curl: %.2f\n", theirs / ours);
    std::printf("peak memory growth during the upload: %ld kB (%d pictures of %.1f MB)\n", ourPeak, count,
                megabytes / count);
    std::printf("  5 pictures of %.1f MB: %ld kB; 5 pictures of %.1f MB: %ld kB\n",
                double(totalSize(small)) / 5e6, smallRun.peakGrowthKb, double(totalSize(large)) / 5e6,
                largeRun.peakGrowthKb);
    return ok ? 0 : 1;
}
