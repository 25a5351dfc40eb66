#pragma once

#include "etfileutils.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A fresh resource folder for one test: the dealer settings and whatever list files the test writes.
// Also points TEMP and the per-user settings into the folder, so no test touches real files.
class ResourceFolder
{
  public:
    explicit ResourceFolder(int country = 0, const char *currency = "EUR")
    {
        m_dir.setAutoRemove(true);
        QDir(m_dir.path()).mkpath(QStringLiteral("res"));
        QDir(m_dir.path()).mkpath(QStringLiteral("tmp"));
        QDir(m_dir.path()).mkpath(QStringLiteral("config"));
        qputenv("TEMP", tempPath().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
        write(QStringLiteral("default.xml"),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<applicationConfig>\n"
                         "<keyaccount>test</keyaccount><keyaccountname>LumoTest</keyaccountname>\n"
                         "<programname>lumotest</programname><currency>") +
                  currency + "</currency><country>" + QByteArray::number(country) +
                  "</country><jpegquality>80</jpegquality>\n</applicationConfig>\n");
        setResourceDir(resPath());
    }

    QString path() const { return m_dir.path(); }
    QString resPath() const { return m_dir.path() + QStringLiteral("/res"); }
    QString tempPath() const { return m_dir.path() + QStringLiteral("/tmp"); }
    QString file(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }

    // Writes a resource file.
    void write(const QString &name, const QByteArray &content) const
    {
        QFile out(resPath() + QLatin1Char('/') + name);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(content);
    }

    // Writes a file beside the resource folder (pictures, list files).
    QString writeFile(const QString &name, const QByteArray &content) const
    {
        QFile out(file(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(content);
        return file(name);
    }

    // Paints a small picture and saves it in the format the extension names.
    QString paint(const QString &name, int width, int height,
                  const QColor &colour = QColor(200, 40, 40)) const
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.fillRect(QRect(width / 4, height / 4, width / 2, height / 2), colour);
        painter.end();
        EXPECT_TRUE(image.save(file(name), nullptr, 90)) << name.toStdString();
        return file(name);
    }

  private:
    QTemporaryDir m_dir;
};
