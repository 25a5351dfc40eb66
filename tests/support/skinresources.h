#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

class QApplication;

// A fresh resource folder for one test: files and painted pictures are
// written into a temporary folder that becomes the resource folder.
class SkinResources
{
  public:
    SkinResources();

    QString path(const QString &name) const;
    void write(const QString &name, const QByteArray &content) const;
    // A picture of one colour; the format follows the name's extension.
    void writePicture(const QString &name, const QSize &size, const QColor &color = Qt::blue) const;

    // The one widget application of the test process.
    static QApplication *application();

  private:
    QTemporaryDir m_dir;
};
