// Posts request documents of typical size to the order-server double over
// HTTPS, first through the client's request layer (one session), then with
// the curl command line tool (one invocation, --parallel --parallel-max 1),
// and prints requests per second for both.
#include "etconfig.h"
#include "etfileutils.h"
#include "etnetworking.h"
#include "etnetworkingcurl.h"
#include "etorderserverdouble.h"
#include "etorderxmlbuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

} // namespace

int main(int argc, char *argv[])
{
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 200;
    QTemporaryDir work;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.path() + QStringLiteral("/config")));
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);

    ETOrderServerDouble server(QStringLiteral(LUMO_TEST_CERT_DIR));
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
                  .arg(server.controllerUrl(false), server.httpUrl(QStringLiteral("/dtd")))
                  .toUtf8());
    QFile::copy(QStringLiteral(LUMO_TEST_CERT_DIR "/ca.crt"), work.path() + QStringLiteral("/ca-bundle.crt"));
    QDir::setCurrent(work.path());
    setResourceDir(resources);
    server.addStore(1, QStringLiteral("Foto Mitte"), QStringLiteral("Hauptstr. 5"), QStringLiteral("10115"),
                    QStringLiteral("Berlin"));

    ETNetworking *net = ETNetworking::instance();
    if (!net->startSession()) {
        std::fprintf(stderr, "no session: %s\n", qPrintable(net->errorMessage()));
        return 1;
    }
    // A store look-up: a typical small request with a small reply.
    ETOrderXMLBuilder builder;
    const QString body = builder.buildLocationListRequestByZip(QStringLiteral("10115"));
    const QString name = QStringLiteral("locationlist_request");

    // The same text, envelope included, posted by curl.
    const QString text = net->requestDocument(name, body);
    writeFile(work.path() + QStringLiteral("/request.xml"), text.toUtf8());
    QByteArray config;
    for (int i = 0; i < count; ++i)
        config += "url = \"" + ETConfig::instance()->serverURL().toUtf8() + "\"\noutput = \"/dev/null\"\n";
    writeFile(work.path() + QStringLiteral("/curl.config"), config);

    // Three rounds each, taken in turns; the best round counts, to damp the noise of a shared machine.
    int failures = 0;
    bool curlRan = true;
    QByteArray curlError;
    double ours = 1e9;
    double theirs = 1e9;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < count; ++i) {
            QDomDocument *reply = net->sendNetworkRequest(name, body, QString());
            net->replyContent(reply);
            if (!reply || net->hasError())
                ++failures;
            delete reply;
        }
        ours = qMin(ours, double(timer.nsecsElapsed()) / 1e9);

        QProcess curl;
        curl.setProgram(QStringLiteral("curl"));
        curl.setArguments(
            {QStringLiteral("--silent"), QStringLiteral("--show-error"), QStringLiteral("--fail"),
             QStringLiteral("--parallel"), QStringLiteral("--parallel-max"), QStringLiteral("1"),
             QStringLiteral("--cacert"), QStringLiteral("ca-bundle.crt"), QStringLiteral("-H"),
             QStringLiteral("Content-Type: text/xml"), QStringLiteral("--data-binary"),
             QStringLiteral("@request.xml"), QStringLiteral("-K"), QStringLiteral("curl.config")});
        timer.restart();
        curl.start();
        const bool ran =
            curl.waitForFinished(600000) && curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0;
        theirs = qMin(theirs, double(timer.nsecsElapsed()) / 1e9);
        if (!ran) {
            curlRan = false;
            curlError = curl.readAllStandardError();
        }
    }
    // LUMO_BENCH_PARTS=1 also times the parts of a request that are ours.
    if (qEnvironmentVariableIsSet("LUMO_BENCH_PARTS")) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 10000; ++i)
            ETConfig::instance()->httpProxyAddress();
        std::printf("proxy lookup: %.4f ms\n", t.nsecsElapsed() / 1e6 / 10000);
        t.restart();
        for (int i = 0; i < 10000; ++i)
            delete net->createCurlConnection(QString());
        std::printf("transfer object: %.4f ms\n", t.nsecsElapsed() / 1e6 / 10000);
        t.restart();
        for (int i = 0; i < 10000; ++i)
            net->requestDocument(name, body);
        std::printf("envelope: %.4f ms\n", t.nsecsElapsed() / 1e6 / 10000);
    }
    net->endSession(QStringLiteral("normal"));
    server.stop();

    std::printf("%d posts of %lld bytes over HTTPS to the order-server double, best of 3 rounds\n", count,
                static_cast<long long>(text.toUtf8().size()));
    std::printf("lumo request layer: %8.1f requests/s (%.2f ms each, %d failed)\n", count / ours,
                ours * 1000 / count, failures);
    if (curlRan)
        std::printf("curl --parallel-max 1: %6.1f requests/s (%.2f ms each, one process)\n", count / theirs,
                    theirs * 1000 / count);
    else
        std::printf("curl failed: %s\n", curlError.constData());
    return failures == 0 && curlRan ? 0 : 1;
}
