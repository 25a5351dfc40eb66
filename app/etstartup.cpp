#include "etstartup.h"

#include "etapplicationconfig.h"
#include "etapplicationfactoryabstract.h"
#include "etapplicationfactoryplugin.h"
#include "etcopyrecords.h"
#include "etfileutils.h"
#include "etorder.h"
#include "etquitsignals.h"

#include <QApplication>
#include <QDebug>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace
{

[[noreturn]] void usage(const char *option, const char *program)
{
    qWarning("unknown option: %s", option);
    qWarning(": %s [-L lang] [-R resdir] [-S server] [-P proto] [-K keyacc] [-N name]", program);
    qWarning("\t-L   language: DE, NL, FR,... (language file must exist)");
    qWarning("\t-R   use this directory instead of \"Resources\"");
    std::fflush(nullptr);
    std::exit(0);
}

} // namespace

const char *optionValue(int &index, int argc, char **argv)
{
    const char *glued = argv[index] + 2;
    if (*glued)
        return glued;
    ++index;
    return index < argc ? argv[index] : nullptr;
}

void loadTranslators(const QString &language)
{
    QString lang = language;
    if (lang.isEmpty())
        lang = ETApplicationConfig::instance()->qtLanguage();

    auto *qtTranslator = new QTranslator(qApp);
    qtTranslator->setObjectName(QStringLiteral("qtTranslator"));
    // The dealer's own file first, else the system's (the buttons of every box).
    if (!qtTranslator->load(resourcePath(QStringLiteral("international/qt_") + lang), QStringLiteral(".")) &&
        !lang.isEmpty())
        (void)qtTranslator->load(QStringLiteral("qtbase_") + lang.toLower(),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    QCoreApplication::installTranslator(qtTranslator);

    auto *languageTranslator = new QTranslator(qApp);
    languageTranslator->setObjectName(QStringLiteral("languageTranslator"));
    QString languageFile =
        resourcePath(QStringLiteral("international/") + ETApplicationConfig::instance()->keyAccount() +
                     QLatin1Char('_') + lang + QStringLiteral(".qm"));
    qDebug().noquote() << QStringLiteral("langfile=") + languageFile;
    if (!languageTranslator->load(languageFile, QStringLiteral("."))) {
        qDebug().noquote() << QStringLiteral("loading default language file");
        languageFile = resourcePath(QStringLiteral("international/lumo_") + lang + QStringLiteral(".qm"));
        if (!languageTranslator->load(languageFile, QStringLiteral(".")))
            qWarning().noquote() << QStringLiteral("no language file found");
    }
    QCoreApplication::installTranslator(languageTranslator);
}

QStringList scanOptions(int argc, char **argv, QString &language)
{
    int index = 1;
    // Options only at the front: the first other argument ends them.
    while (index < argc && argv[index][0] == '-') {
        const char letter = argv[index][1];
        if (letter == 'L') {
            if (const char *value = optionValue(index, argc, argv))
                language = QString::fromLocal8Bit(value).toLower();
        } else if (letter == 'R') {
            if (const char *value = optionValue(index, argc, argv))
                setResourceDir(QString::fromLocal8Bit(value));
        } else {
            usage(argv[index], argv[0]);
        }
        ++index;
    }

    QStringList listFiles;
    for (; index < argc; ++index)
        listFiles << QString::fromLocal8Bit(argv[index]);
    return listFiles;
}

int startClient(int argc, char **argv)
{
    QString language;
    const QStringList listFiles = scanOptions(argc, argv, language);

    loadTranslators(language);
    ETApplicationFactoryPlugin::install();
    ETApplicationFactoryAbstract::instance()->start();

    ETOrder *order = ETOrder::instance();
    order->addImages(listFiles);
    // Copies an earlier run left (killed, crashed) among the customer's pictures.
    ETCopyRecords::removeLeftovers();
    auto *quitSignals = new ETQuitSignals(qApp);
    QObject::connect(quitSignals, &ETQuitSignals::quitRequested, qApp, &quitOnSignal);
    // Before the items go: the order's pictures are never taken for copies.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, order, &ETOrder::removeOptimizedCopies);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, order, &ETOrder::removeAllOrderItems);
    return QApplication::exec();
}

void quitOnSignal(int signal)
{
    qDebug("quit on signal %d", signal);
    // As the wizard's Cancel: the running step stops and an open session ends, briefly.
    QWidget *main = ETApplicationFactoryAbstract::instance()->mainWidget();
    if (main && main->isVisible())
        main->close();
    QCoreApplication::quit();
}
