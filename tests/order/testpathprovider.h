#pragma once

#include "etimage.h"
#include "etimagepathprovider.h"

#include <QDir>

// A path provider that keeps work copies, thumbnail files and imageinfo files in one folder.
class TestPathProvider : public ETImagePathProvider
{
  public:
    explicit TestPathProvider(const QString &folder, bool workCopies = true)
        : ETImagePathProvider(true, true, workCopies), m_folder(folder)
    {
        QDir(folder).mkpath(QStringLiteral("."));
    }
    QString thumbnailPath(ETImage *image) override
    {
        return m_folder + QLatin1Char('/') + image->internalName() + QStringLiteral(".bmp");
    }
    QString imageInfoPath(ETImage *image) override
    {
        return m_folder + QLatin1Char('/') + image->internalName() + QStringLiteral(".xml");
    }
    QString workPath(const QString &internalName) override
    {
        return m_folder + QLatin1Char('/') + internalName;
    }

  private:
    QString m_folder;
};
