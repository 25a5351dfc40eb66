#include "ettestsandbox.h"

#include "etfileutils.h"
#include "ettestapplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace
{

void restore(const char *name, const QByteArray &value)
{
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

QString writeAt(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(content);
    return path;
}

} // namespace

ETTestSandbox::ETTestSandbox()
{
    ETTestApplication::instance();
    m_previousResources = resourcePath(QString());
    m_previousResources.chop(1);
    m_previousSettings = qgetenv("XDG_CONFIG_HOME");
    m_previousTemp = qgetenv("TEMP");
    for (const QString &folder : {resources(), settings(), temp()})
        QDir().mkpath(folder);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings()));
    qputenv("TEMP", QFile::encodeName(temp()));
    setResourceDir(resources());
}

ETTestSandbox::~ETTestSandbox()
{
    setResourceDir(m_previousResources);
    restore("XDG_CONFIG_HOME", m_previousSettings);
    restore("TEMP", m_previousTemp);
}

QString ETTestSandbox::path() const
{
    return m_dir.path();
}

QString ETTestSandbox::file(const QString &name) const
{
    return m_dir.filePath(name);
}

QString ETTestSandbox::resources() const
{
    return file(QStringLiteral("Resources"));
}

QString ETTestSandbox::resource(const QString &name) const
{
    return resources() + QLatin1Char('/') + name;
}

QString ETTestSandbox::settings() const
{
    return file(QStringLiteral("config"));
}

QString ETTestSandbox::temp() const
{
    return file(QStringLiteral("tmp"));
}

QString ETTestSandbox::write(const QString &name, const QByteArray &content) const
{
    return writeAt(resource(name), content);
}

QString ETTestSandbox::copyShipped(const QString &name) const
{
    return write(name, shippedResource(name));
}

QString ETTestSandbox::writePicture(const QString &name, const QSize &size, const QColor &color) const
{
    const QString path = resource(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    const QString suffix = QFileInfo(name).suffix().toLower();
    const QByteArray format = suffix == QLatin1String("jpg") || suffix.isEmpty() ? "JPEG" : suffix.toLatin1();
    EXPECT_TRUE(image.save(path, format.constData())) << path.toStdString();
    return path;
}

QString ETTestSandbox::writeFile(const QString &name, const QByteArray &content) const
{
    return writeAt(file(name), content);
}

QString ETTestSandbox::paint(const QString &name, int width, int height, const QColor &color) const
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRect(width / 4, height / 4, width / 2, height / 2), color);
    painter.end();
    EXPECT_TRUE(image.save(file(name), nullptr, 90)) << name.toStdString();
    return file(name);
}

QByteArray ETTestSandbox::defaultXml(const QString &keyAccountName, const QString &programName,
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

QByteArray ETTestSandbox::shippedResource(const QString &name)
{
    QFile file(QStringLiteral(LUMO_RESOURCES_DIR) + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
