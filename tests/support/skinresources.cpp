#include "skinresources.h"

#include "etfileutils.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

SkinResources::SkinResources()
{
    application();
    setResourceDir(m_dir.path());
}

QString SkinResources::path(const QString &name) const
{
    return m_dir.filePath(name);
}

void SkinResources::write(const QString &name, const QByteArray &content) const
{
    QDir().mkpath(QFileInfo(path(name)).absolutePath());
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

void SkinResources::writePicture(const QString &name, const QSize &size, const QColor &color) const
{
    QDir().mkpath(QFileInfo(path(name)).absolutePath());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    const QString suffix = QFileInfo(name).suffix().toLower();
    const QByteArray format = suffix == QLatin1String("jpg") || suffix.isEmpty() ? "JPEG" : suffix.toLatin1();
    image.save(path(name), format.constData());
}

QApplication *SkinResources::application()
{
    static int argc = 1;
    static char name[] = "skintest";
    static char *argv[] = {name, nullptr};
    static QApplication *app = qApp ? qApp : new QApplication(argc, argv);
    return app;
}
