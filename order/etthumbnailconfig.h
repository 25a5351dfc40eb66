#pragma once

#include "etxmlconfig.h"

// The thumbnail look from "thumbnail.xml" (or default.xml): size, frame,
// background picture and transparent corners.
class ETThumbnailConfig : public ETXMLConfig
{
    Q_OBJECT

  public:
    static ETThumbnailConfig *instance();

    bool transparent() const;
    QString bgImage() const;
    int width() const;
    int height() const;
    int frame() const;

  private:
    ETThumbnailConfig();
    int number(const QString &name) const;
};
