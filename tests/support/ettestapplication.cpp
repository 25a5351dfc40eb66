#include "ettestapplication.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

QApplication *ETTestApplication::instance()
{
    if (auto *application = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return application;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never the user's own settings, even before a test points them elsewhere.
    static QTemporaryDir settingsHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsHome.path()));
    static int argc = 1;
    static char name[] = "lumo-test";
    static char *argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}
