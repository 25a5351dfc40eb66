// The marginal cost of one request document over HTTPS: the client's store
// search (document built, posted, reply parsed into the store list) against
// the curl command line tool posting the same document text, both on one
// reused connection to the same order-server double, which runs as a process
// of its own, so that both sides' round trips cross a process boundary. Each is timed for 100
// and for 1000 requests; the slope between the two leaves out what happens
// once (curl's process start and TLS handshake, the client's session).
// Equal work: the curl tool takes a new easy handle for each URL and reuses
// the connection through a share handle, as the client takes a transfer
// object per request; the double counts the connections each one used. The
// ratios are taken round by round (each round runs all in turn, so a busy
// moment weighs on all alike) against curl's multi interface with
// --parallel-max 1, and against its serial way; best and median of the
// rounds' ratios. The floor is libcurl itself: one easy handle reused, the
// reply dropped.
#include "benchsupport.h"
#include "etconfig.h"
#include "etfileutils.h"
#include "etnetworking.h"
#include "etnetworkingcurl.h"
#include "etorderxmlbuilder.h"
#include "etstorelist.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

const int smallCount = 100;
const int largeCount = 1000;

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// One way of posting: its times for both counts in every round.
struct Contender {
    const char *name;
    std::function<double(int)> run; // seconds for n requests, negative after a failure
    std::vector<double> small, large;
    int connections = 0; // as the server saw them for one count
    // ms per request between the two counts: of the best times, of the median times.
    double best() const
    {
        return slope(*std::min_element(small.begin(), small.end()),
                     *std::min_element(large.begin(), large.end()));
    }
    double typical() const { return slope(median(small), median(large)); }
    // ms per request in one round.
    double round(size_t i) const { return slope(small[i], large[i]); }
    static double slope(double a, double b) { return (b - a) * 1000 / (largeCount - smallCount); }
};

// The ratio a/b of each round's marginal cost: best (the lowest) and median.
struct PairedRatio {
    double best = 0;
    double median = 0;
};

PairedRatio paired(const Contender &a, const Contender &b)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < a.small.size() && i < b.small.size(); ++i)
        ratios.push_back(a.round(i) / b.round(i));
    if (ratios.empty())
        return PairedRatio();
    return PairedRatio{*std::min_element(ratios.begin(), ratios.end()), median(ratios)};
}

// The connections (client ports) the double saw for the store searches since the last question.
int connectionsSeen(const DoubleProcess &server)
{
    ETNetworkingCurl ask(server.http() + QStringLiteral("/connections?name=locationlist_request"));
    ask.get(QString());
    return ask.replyBytes().trimmed().toInt();
}

// The client's request operation, n times in a row.
double lumoRun(int n, int *failures)
{
    ETNetworking *net = ETNetworking::instance();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < n; ++i) {
        const ETStoreList *stores = net->locationListRequestByZip(QStringLiteral("10115"));
        if (!stores || stores->count() != 1 || net->hasError())
            ++*failures;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

// The curl tool in one process, n URLs one after the other (no --parallel:
// the tool then performs each on its own easy handle, as the client does,
// and reuses the connection through its share handle).
double curlRun(int n, const QString &url, bool parallel, QByteArray *error)
{
    QByteArray config;
    for (int i = 0; i < n; ++i)
        config += "url = \"" + url.toUtf8() + "\"\noutput = \"/dev/null\"\n";
    writeFile(QStringLiteral("curl.config"), config);
    QStringList arguments{QStringLiteral("--silent"),
                          QStringLiteral("--show-error"),
                          QStringLiteral("--fail"),
                          QStringLiteral("--cacert"),
                          QStringLiteral("ca-bundle.crt"),
                          QStringLiteral("-H"),
                          QStringLiteral("Content-Type: text/xml"),
                          QStringLiteral("--data-binary"),
                          QStringLiteral("@request.xml"),
                          QStringLiteral("-K"),
                          QStringLiteral("curl.config")};
    if (parallel)
        arguments << QStringLiteral("--parallel") << QStringLiteral("--parallel-max") << QStringLiteral("1");
    return timedCurl(arguments, error);
}

size_t dropReply(char *, size_t size, size_t count, void *)
{
    return size * count;
}

// libcurl alone: one easy handle for all posts, the reply dropped unread.
double floorRun(int n, const QByteArray &url, const QByteArray &text)
{
    CURL *handle = curl_easy_init();
    curl_slist *headers = curl_slist_append(nullptr, "Content-Type: text/xml");
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_CAINFO, "ca-bundle.crt");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, text.constData());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE, long(text.size()));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, dropReply);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    // The handshake is made before the clock starts, as for the others' slope.
    bool ok = curl_easy_perform(handle) == CURLE_OK;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < n && ok; ++i)
        ok = curl_easy_perform(handle) == CURLE_OK;
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    curl_slist_free_all(headers);
    curl_easy_cleanup(handle);
    return ok ? seconds : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 5;
    QTemporaryDir work;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.path() + QStringLiteral("/config")));
    // Quiet unless the caller asks for some output.
    if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);

    DoubleProcess server(QStringLiteral(LUMO_DOUBLE_PROGRAM));
    if (!server.start()) {
        std::fprintf(stderr, "cannot start the order-server double\n");
        return 1;
    }
    const QString resources = work.path() + QStringLiteral("/Resources");
    QDir().mkpath(resources);
    writeFile(resources + QStringLiteral("/default.xml"),
              "<applicationConfig><keyaccount>bench</keyaccount><keyaccountname>LumoBench</keyaccountname>"
              "<programname>lumobench</programname><protocol>1.5</protocol></applicationConfig>");
    writeFile(resources + QStringLiteral("/xtci_servers.xml"),
              QStringLiteral("<xtci_servers><xtci_server><url>%1</url><dtd_url>%2</dtd_url></xtci_server>"
                             "</xtci_servers>")
                  .arg(server.http() + QStringLiteral("/xtci1.5/controller"),
                       server.http() + QStringLiteral("/dtd"))
                  .toUtf8());
    QFile::copy(QStringLiteral(LUMO_TEST_CERT_DIR "/ca.crt"), work.path() + QStringLiteral("/ca-bundle.crt"));
    QDir::setCurrent(work.path());
    setResourceDir(resources);
    // The double's program knows the store "Foto Mitte" at 10115.

    ETNetworking *net = ETNetworking::instance();
    if (!net->startSession()) {
        std::fprintf(stderr, "no session: %s\n", qPrintable(net->errorMessage()));
        return 1;
    }
    // The very document the client posts, envelope included, for curl and the floor.
    ETOrderXMLBuilder builder;
    const QString name = QStringLiteral("locationlist_request");
    const QByteArray text =
        net->requestDocument(name, builder.buildLocationListRequestByZip(QStringLiteral("10115"))).toUtf8();
    writeFile(QStringLiteral("request.xml"), text);
    const QString url = ETConfig::instance()->serverURL();

    // LUMO_BENCH_PROFILE=N: only the client's N requests, for a profiler.
    if (qEnvironmentVariableIsSet("LUMO_BENCH_PROFILE")) {
        int failed = 0;
        const double seconds = lumoRun(qEnvironmentVariableIntValue("LUMO_BENCH_PROFILE"), &failed);
        std::printf("%.4f ms each\n", seconds * 1000 / qEnvironmentVariableIntValue("LUMO_BENCH_PROFILE"));
        return 0;
    }
    int failures = 0;
    QByteArray curlError;
    Contender lumo{"lumo request layer (store search)", [&](int n) { return lumoRun(n, &failures); }, {}, {}};
    Contender serial{
        "curl tool, one process, serial", [&](int n) { return curlRun(n, url, false, &curlError); }, {}, {}};
    Contender parallel{
        "curl tool, --parallel-max 1", [&](int n) { return curlRun(n, url, true, &curlError); }, {}, {}};
    Contender bare{
        "floor: libcurl, one reused handle", [&](int n) { return floorRun(n, url.toUtf8(), text); }, {}, {}};
    Contender *const contenders[] = {&lumo, &serial, &parallel, &bare};
    bool ok = true;
    // Rounds taken in turns, so that a busy machine weighs on all alike.
    for (int round = 0; round < rounds && ok; ++round) {
        for (Contender *c : contenders) {
            connectionsSeen(server);
            const double small = c->run(smallCount);
            const double large = c->run(largeCount);
            ok = ok && small > 0 && large > 0;
            c->small.push_back(small);
            c->large.push_back(large);
            // The curl tool and the floor connect anew for each count.
            c->connections = connectionsSeen(server) / (c == &lumo ? 1 : 2);
        }
    }
    net->endSession(QStringLiteral("normal"));
    if (!ok) {
        std::fprintf(stderr, "curl or the floor failed: %s\n", curlError.constData());
        return 1;
    }

    std::printf("locationlist_request of %lld bytes over HTTPS to the order-server double (own process), %d "
                "rounds\n",
                static_cast<long long>(text.size()), rounds);
    std::printf("marginal cost per request = (time of %d requests - time of %d) / %d,\n"
                "of the best and of the median times of each count\n",
                largeCount, smallCount, largeCount - smallCount);
    std::printf("%-36s %10s %10s %12s\n", "", "best ms", "median ms", "connections");
    for (const Contender *c : contenders)
        std::printf("%-36s %10.4f %10.4f %12d\n", c->name, c->best(), c->typical(), c->connections);
    std::printf("lumo failures: %d\n", failures);
    // Paired: each round's ratio, then the best and the median of them.
    const PairedRatio toParallel = paired(lumo, parallel);
    const PairedRatio toSerial = paired(lumo, serial);
    const PairedRatio toFloor = paired(lumo, bare);
    std::printf("ratio lumo/curl --parallel-max 1, paired by round (marginal cost, goal <= 1.00): "
                "best %.2f, median %.2f\n",
                toParallel.best, toParallel.median);
    std::printf("ratio lumo/curl serial, paired by round: best %.2f, median %.2f\n", toSerial.best,
                toSerial.median);
    std::printf("ratio lumo/floor, paired by round: best %.2f, median %.2f\n", toFloor.best, toFloor.median);
    return failures == 0 ? 0 : 1;
}
