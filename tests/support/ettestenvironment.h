#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

class QApplication;

// Per-process set-up for tests of the client: the application object, a resource folder of the
// test's own and a private settings folder, so no test touches the user's real settings.
class ETTestEnvironment
{
  public:
    static QApplication *application();

    // A fresh resource folder holding the given files (name relative to the folder -> content);
    // the client reads its resources from there from now on. Returns the folder.
    static QString prepareResources(const QMap<QString, QByteArray> &files);
    // A fresh, empty folder for per-user settings. Returns it.
    static QString prepareSettingsHome();

    static QByteArray defaultXml(const QString &keyAccountName = QStringLiteral("lumotest"),
                                 const QString &programName = QStringLiteral("lumo"),
                                 const QString &protocol = QStringLiteral("1.5"));
    // The shipped sample file of the given name.
    static QByteArray shippedResource(const QString &name);
};
