#include "etorderlinedefault.h"

#include "etamountlineedit.h"
#include "etcurrencyconfig.h"
#include "etformatcombobox.h"
#include "etlineedit.h"
#include "etorderitem.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

ETOrderLineDefault::ETOrderLineDefault(ETOrderItem *item, int row, int column, ETOrderTable *table,
                                       const QString &name)
    : ETOrderLine(item, table, name)
{
    setUp(row, column);
}

void ETOrderLineDefault::showThumbnail()
{
    if (!item() || thumbnailShown(*item()->thumbnail()))
        return;
    thumbnailLabel()->setPixmap(*item()->thumbnail());
    setThumbnailToolTip();
}

int ETOrderLineDefault::buildLayout()
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(5, 5, 5, 5);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(4, 10);

    const ETCurrency *currency = ETCurrencyConfig::instance()->currency();
    const QString symbol = currency->symbol().isEmpty() ? currency->shortForm() : currency->symbol();
    const QString currencyText = QStringLiteral("<qt>") + symbol + QStringLiteral("</qt>");

    grid->addWidget(thumbnailLabel(), 0, 0, 3, 1);
    grid->addWidget(productCombo(), 0, 1);
    grid->addWidget(anotherFormatButton(), 2, 1, Qt::AlignLeft);
    grid->addWidget(amountEdit(), 0, 2, Qt::AlignLeft);
    grid->addWidget(qualityLabel(), 0, 3);
    if (QLabel *pixels = pixelSizeLabel()) {
        grid->addWidget(removeButton(), 2, 2, Qt::AlignLeft);
        grid->addWidget(pixels, 1, 3, Qt::AlignLeft | Qt::AlignBottom);
    } else {
        grid->addWidget(removeButton(), 2, 2, 1, 2, Qt::AlignLeft);
    }
    grid->addWidget(new QLabel(currencyText, this), 0, 5, Qt::AlignLeft);
    grid->addWidget(unitPriceField(), 0, 6, Qt::AlignLeft);
    grid->addWidget(new QLabel(currencyText, this), 0, 8, Qt::AlignLeft);
    grid->addWidget(totalPriceField(), 0, 9, Qt::AlignLeft);

    grid->setColumnMinimumWidth(2, 40);
    grid->setColumnMinimumWidth(5, 10);
    grid->setColumnMinimumWidth(6, 70);
    grid->setColumnMinimumWidth(7, 20);
    grid->setColumnMinimumWidth(8, 10);
    grid->setColumnMinimumWidth(9, 70);
    grid->setColumnMinimumWidth(10, 20);

    return grid->minimumSize().height() + 4;
}
