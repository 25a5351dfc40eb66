// The order-server double as a program of its own, for the demo, the
// benchmarks and the tests that run the client as a program: serves HTTP and
// HTTPS on 127.0.0.1 until it is interrupted. A port of 0 has it take a free
// one; its first line names both addresses. --lists serves the product,
// transfer-price and country lists of a resource folder; --record writes, when
// it stops, what it received into a folder; --reply-rate [REQUEST=]N sends the
// replies (of that request kind only, when named) at N bytes a second. GET
// /requests names the requests received so far, one a line.
#include "etorderserverdouble.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <csignal>
#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace
{

// The entries below "content" of a list file, as the list request's reply content.
QString listContent(const QString &path)
{
    QFile file(path);
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
        return QString();
    QString text;
    QTextStream stream(&text);
    const QDomElement content = document.documentElement().firstChildElement(QStringLiteral("content"));
    for (QDomNode node = content.firstChild(); !node.isNull(); node = node.nextSibling())
        node.save(stream, -1);
    stream.flush();
    return text;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

// requests.txt: one request a line, upload controls with their action and
// session ends with their mode; pictures.txt: one picture a line, its number,
// whether size and CRC matched the declaration and the client's file name;
// picture<number> beside it holds its bytes; positions.txt: the last order
// declaration's positions, one a line, the picture's name (its file name
// where the declaration names none) and the quantity.
bool record(const ETOrderServerDouble &server, const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    QByteArray requests;
    QByteArray positions;
    for (const ETOrderServerRequest &r : server.requests()) {
        requests += r.summary().toUtf8() + '\n';
        if (r.name != QLatin1String("orderdeclaration_request"))
            continue;
        positions.clear();
        const QDomNodeList declared = r.xml.elementsByTagName(QStringLiteral("orderposition"));
        for (int i = 0; i < declared.size(); ++i) {
            const QDomElement position = declared.at(i).toElement();
            QString name = position.firstChildElement(QStringLiteral("name")).text();
            if (name.isEmpty())
                name = position.firstChildElement(QStringLiteral("filename")).text();
            positions += name.toUtf8() + '\t' +
                         position.firstChildElement(QStringLiteral("quantity")).text().toUtf8() + '\n';
        }
    }
    if (!writeFile(folder + QStringLiteral("/positions.txt"), positions))
        return false;
    QByteArray pictures;
    const QList<ETOrderServerPicture> received = server.pictures();
    bool ok = writeFile(folder + QStringLiteral("/requests.txt"), requests);
    for (int i = 0; i < received.size(); ++i) {
        const ETOrderServerPicture &p = received[i];
        pictures += QByteArray::number(i) + '\t' + (p.sizeMatches ? "size" : "-") + '\t' +
                    (p.crcMatches ? "crc" : "-") + '\t' + p.fileName.toUtf8() + '\n';
        ok = writeFile(folder + QStringLiteral("/picture%1").arg(i), p.data) && ok;
    }
    return writeFile(folder + QStringLiteral("/pictures.txt"), pictures) && ok;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // Each picture post passes through buffers of its size. Kept by the
    // allocator for the next post instead of going back to the system, they
    // are not paid for page by page again (on some virtual machines a page
    // fault costs more than receiving the page over TLS).
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
    QCoreApplication app(argc, argv);
    quint16 httpPort = 47480;
    quint16 httpsPort = 47443;
    QString certs = QStringLiteral(LUMO_TEST_CERT_DIR);
    QString lists;
    QString recordFolder;
    QList<ETOrderServerFault> slowReplies;
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
        } else if (args[i] == QLatin1String("--lists") && !value.isEmpty()) {
            lists = value;
            ++i;
        } else if (args[i] == QLatin1String("--record") && !value.isEmpty()) {
            recordFolder = value;
            ++i;
        } else if (args[i] == QLatin1String("--reply-rate") && !value.isEmpty() &&
                   value.section(QLatin1Char('='), -1).toInt() > 0) {
            ETOrderServerFault slow;
            slow.request =
                value.contains(QLatin1Char('=')) ? value.section(QLatin1Char('='), 0, 0) : QString();
            slow.bytesPerSecond = value.section(QLatin1Char('='), -1).toInt();
            slow.times = ETOrderServerFault::always;
            slowReplies << slow;
            ++i;
        } else {
            std::fprintf(stderr, "usage: orderserverdouble [--http-port N] [--https-port N] [--certs DIR] "
                                 "[--lists RESOURCEDIR] [--record DIR] [--reply-rate [REQUEST=]BYTES]...\n");
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
    // Only a record writes the pictures' bytes out; otherwise they need not fill the memory.
    server.setKeepPictureData(!recordFolder.isEmpty());
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
    for (const ETOrderServerFault &slow : std::as_const(slowReplies))
        server.addFault(slow);
    if (!lists.isEmpty()) {
        const struct {
            const char *list;
            const char *file;
        } served[] = {{"articlelist", "productlist.xml"},
                      {"transferlist", "transferlist.xml"},
                      {"countrylist", "countrylist.xml"}};
        for (const auto &l : served) {
            const QString content = listContent(lists + QLatin1Char('/') + QLatin1String(l.file));
            if (content.isEmpty()) {
                std::fprintf(stderr, "orderserverdouble: no list in %s/%s\n", qPrintable(lists), l.file);
                return 1;
            }
            server.setListContent(QLatin1String(l.list), content);
        }
    }
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
    if (!recordFolder.isEmpty() && !record(server, recordFolder)) {
        std::fprintf(stderr, "orderserverdouble: cannot write the record into %s\n",
                     qPrintable(recordFolder));
        return 1;
    }
    return 0;
}
