#pragma once

#include <QImage>
#include <QString>

class ETImage;

// Pixel size, CRC-16, file name and type of one picture, optionally kept in its imageinfo file.
// Embedded in ETImage; read by the upload thread too.
class ETImageMetaData
{
  public:
    ETImageMetaData(ETImage *owner, const QString &fileName);

    void read(bool force);
    void write();

    // 0 until known; a 0 makes them read the size from the picture first.
    int width();
    int height();
    void setSize(int width, int height);
    // The size as known so far, without reading the picture.
    int knownWidth() const { return m_width; }
    int knownHeight() const { return m_height; }

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }
    QString type() const { return m_type; }
    void setType(const QString &type) { m_type = type; }

    void readSizeFromImage();
    int crc16();
    int pixelCount();
    void setFromImage(const QImage &image);
    int calcCrc16(bool fromOptimizedCopy);

  private:
    QString m_fileName;
    QString m_type;
    int m_width = 0;
    int m_height = 0;
    int m_crc16 = 0;
    ETImage *m_owner;
};
