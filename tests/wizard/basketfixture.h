#pragma once

#include "wizardfixture.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

class ETOrderLine;
class ETOrderTable;
class QLabel;
class QWidget;

// The wizard's world with a basket: a product list of the test's own, pictures
// painted beside the resources and loaded into the order as at start-up, and
// what the basket's rows show.
class BasketFixture : public WizardFixture
{
  protected:
    struct Picture {
        QString name;
        QSize size = QSize(60, 40);
    };

    // Products (name, cents at tiers 0 and 1, millimetres, dots per mm):
    // "10x15" 19/17 ct, "Mini" 129/129 ct (100 x 50 mm at 1 dot per mm, so 100 x 50
    // pixels fill it), "TierZero" 250 ct at tier 0 only; tier 1 from 50 prints.
    BasketFixture();

    // Paints the picture beside the resource folder; its path.
    QString paint(const Picture &picture);
    // One list file naming the pictures, loaded into the order as the client's start-up does.
    void loadPictures(const std::vector<Picture> &pictures);

    // The basket of a wizard the factory built.
    ETOrderTable *orderTable() const;
    // The pictures' file names of the rows, top to bottom.
    static QStringList rowPictures(const ETOrderTable *table);
    // The text a person reads from a rich-text label, with line breaks as blanks.
    static QString plainText(const QLabel *label);
};
