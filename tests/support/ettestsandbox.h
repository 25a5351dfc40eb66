#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

// A private world for one test: a temporary folder with the resource folder
// the client reads from ("Resources"), the per-user settings ("config") and
// the temporary folder ("tmp"). The application object is made first; the
// previous resource folder, settings and temporary folder come back when the
// sandbox ends.
class ETTestSandbox
{
  public:
    ETTestSandbox();
    ~ETTestSandbox();
    ETTestSandbox(const ETTestSandbox &) = delete;
    ETTestSandbox &operator=(const ETTestSandbox &) = delete;

    // The sandbox folder and a file in it, beside the resource folder.
    QString path() const;
    QString file(const QString &name) const;
    // The resource folder and a file in it.
    QString resources() const;
    QString resource(const QString &name) const;
    QString settings() const;
    QString temp() const;

    // Into the resource folder (sub-folders are made); each returns the file's path.
    QString write(const QString &name, const QByteArray &content) const;
    // The shipped sample file of that name.
    QString copyShipped(const QString &name) const;
    // A picture of one colour; the format follows the extension (none: JPEG).
    QString writePicture(const QString &name, const QSize &size, const QColor &color = Qt::blue) const;

    // Beside the resource folder (pictures and list files of an order).
    QString writeFile(const QString &name, const QByteArray &content) const;
    // A white picture with a centred rectangle of the colour, saved as the extension says.
    QString paint(const QString &name, int width, int height,
                  const QColor &color = QColor(200, 40, 40)) const;

    // A dealer settings file; an empty name leaves its element out.
    static QByteArray defaultXml(const QString &keyAccountName = QStringLiteral("lumotest"),
                                 const QString &programName = QStringLiteral("lumo"),
                                 const QString &protocol = QStringLiteral("1.5"));
    static QByteArray shippedResource(const QString &name);

  private:
    QTemporaryDir m_dir;
    QString m_previousResources;
    QByteArray m_previousSettings;
    QByteArray m_previousTemp;
};
