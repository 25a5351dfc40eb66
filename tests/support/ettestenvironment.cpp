#include "ettestenvironment.h"

#include "etfileutils.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <list>

namespace
{

QString freshFolder()
{
    // Kept until the process ends, then removed.
    static std::list<QTemporaryDir> folders;
    folders.emplace_back();
    return folders.back().path();
}

} // namespace

QApplication *ETTestEnvironment::application()
{
    if (auto *app = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return app;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "lumo-test";
    static char *argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}

QString ETTestEnvironment::prepareResources(const QMap<QString, QByteArray> &files)
{
    const QString folder = freshFolder();
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = folder + QLatin1Char('/') + it.key();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(it.value());
    }
    setResourceDir(folder);
    return folder;
}

QString ETTestEnvironment::prepareSettingsHome()
{
    const QString folder = freshFolder();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    return folder;
}

QByteArray ETTestEnvironment::defaultXml(const QString &keyAccountName, const QString &programName,
                                         const QString &protocol)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<applicationConfig>\n";
    xml += "  <keyaccount>x1</keyaccount>\n";
    if (!keyAccountName.isEmpty())
        xml += "  <keyaccountname>" + keyAccountName.toUtf8() + "</keyaccountname>\n";
    if (!programName.isEmpty())
        xml += "  <programname>" + programName.toUtf8() + "</programname>\n";
    xml += "  <protocol>" + protocol.toUtf8() + "</protocol>\n";
    xml += "</applicationConfig>\n";
    return xml;
}

QByteArray ETTestEnvironment::shippedResource(const QString &name)
{
    QFile file(QStringLiteral(LUMO_RESOURCES_DIR) + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
