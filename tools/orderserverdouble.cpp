// The order-server double as a program of its own, for the demo and the
// benchmarks: serves HTTP and HTTPS on 127.0.0.1 until it is interrupted. A
// port of 0 has it take a free one; its first line names both addresses.
#include "etorderserverdouble.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    quint16 httpPort = 47480;
    quint16 httpsPort = 47443;
    QString certs = QStringLiteral(LUMO_TEST_CERT_DIR);
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString value = i + 1 < args.size() ? args[i + 1] : QString();
        if (args[i] == QLatin1String("--http-port") && !value.isEmpty()) {
            httpPort = quint16(value.toUInt());
            ++i;
        } else if (args[i] == QLatin1String("--https-port") && !value.isEmpty()) {
            httpsPort = quint16(value.toUInt());
            ++i;
        } else if (args[i] == QLatin1String("--certs") && !value.isEmpty()) {
            certs = value;
            ++i;
        } else {
            std::fprintf(stderr, "usage: orderserverdouble [--http-port N] [--https-port N] [--certs DIR]\n");
            return 2;
        }
    }

    // Block the stop signals before the server threads exist, then wait for one here.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ETOrderServerDouble server(certs);
    server.addCustomer(QStringLiteral("demo@example.com"), QStringLiteral("demo"),
                       QStringLiteral("Name des ersten Haustiers?"), QStringLiteral("Bello"),
                       {{QStringLiteral("salutation"), QStringLiteral("Herr")},
                        {QStringLiteral("firstname"), QStringLiteral("Max")},
                        {QStringLiteral("lastname"), QStringLiteral("Muster")},
                        {QStringLiteral("street"), QStringLiteral("Hauptstr. 1")},
                        {QStringLiteral("zip"), QStringLiteral("10115")},
                        {QStringLiteral("city"), QStringLiteral("Berlin")},
                        {QStringLiteral("country"), QStringLiteral("Deutschland")}});
    server.addStore(1, QStringLiteral("Foto Mitte"), QStringLiteral("Hauptstr. 5"), QStringLiteral("10115"),
                    QStringLiteral("Berlin"));
    server.addCoupon(QStringLiteral("DEMO"), QStringLiteral("FM"), QStringLiteral("A10x15"),
                     QStringLiteral("-1.00"));
    if (!server.start(httpPort, httpsPort)) {
        std::fprintf(stderr, "orderserverdouble: cannot serve on ports %u/%u with the certificates in %s\n",
                     unsigned(httpPort), unsigned(httpsPort), qPrintable(certs));
        return 1;
    }
    std::printf("order-server double: %s %s (CA %s/ca.crt)\n", qPrintable(server.httpUrl()),
                qPrintable(server.httpsUrl()), qPrintable(certs));
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    return 0;
}
