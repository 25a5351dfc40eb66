#include "etorderlineqix.h"

#include "etamountlineedit.h"
#include "etappearanceconfig.h"
#include "etappearancefactory.h"
#include "etformatcombobox.h"
#include "etlineedit.h"
#include "etorderitem.h"
#include "etordertable.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace
{

QWidget *frameStrip(QWidget *line, const char *name, const QColor &color)
{
    auto *strip = new QWidget(line);
    strip->setObjectName(QLatin1String(name));
    // Its own role: in the table's viewport it would take the viewport's.
    strip->setBackgroundRole(QPalette::Window);
    ETAppearanceFactory::setBackgroundColor(strip, color);
    strip->setAutoFillBackground(true);
    return strip;
}

} // namespace

ETOrderLineQIX::ETOrderLineQIX(ETOrderItem *item, int row, int column, ETOrderTable *table,
                               const QString &name)
    : ETOrderLine(item, table, name)
{
    setUp(row, column);
}

void ETOrderLineQIX::showThumbnail()
{
    if (!item() || thumbnailShown(*item()->thumbnail()))
        return;
    const QPixmap &thumbnail = *item()->thumbnail();
    if (m_canvas.width() == 0)
        m_canvas = QPixmap(canvasSize, canvasSize);
    const QColor background(ETAppearanceFactory::instance()->backgroundColor(QStringLiteral("orderline")));
    m_canvas.fill(background.isValid() ? background : palette().color(QPalette::Window));
    QPainter painter(&m_canvas);
    painter.drawPixmap((canvasSize - thumbnail.width()) / 2, (canvasSize - thumbnail.height()) / 2,
                       thumbnail);
    painter.end();
    thumbnailLabel()->setPixmap(m_canvas);
    setThumbnailToolTip();
}

void ETOrderLineQIX::buildLayout(int row)
{
    const bool framed = ETAppearanceConfig::instance()->orderItemFrame();
    auto *grid = new QGridLayout;
    if (framed) {
        auto *outer = new QGridLayout(this);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->setSpacing(0);
        const QColor white(Qt::white);
        const QColor black(Qt::black);
        outer->addWidget(frameStrip(this, "Xwhiteframe1", white), 0, 0, 1, 5);
        outer->addWidget(frameStrip(this, "Xwhiteframe3", white), 1, 0, 3, 1);
        outer->addWidget(frameStrip(this, "Xwhiteframe2", white), 1, 4, 3, 1);
        outer->addWidget(frameStrip(this, "Xwhiteframe4", white), 4, 0, 1, 5);
        outer->addWidget(frameStrip(this, "Xblackframe1", black), 1, 1, 1, 3);
        outer->addWidget(frameStrip(this, "Xblackframe3", black), 2, 1);
        outer->addWidget(frameStrip(this, "Xblackframe2", black), 2, 3);
        outer->addWidget(frameStrip(this, "Xblackframe4", black), 3, 1, 1, 3);
        outer->addLayout(grid, 2, 2);
        outer->setRowMinimumHeight(0, 4);
        outer->setRowMinimumHeight(1, 1);
        outer->setRowMinimumHeight(3, 1);
        outer->setRowMinimumHeight(4, 2);
        outer->setColumnMinimumWidth(0, 5);
        outer->setColumnMinimumWidth(1, 1);
        outer->setColumnMinimumWidth(3, 1);
        outer->setColumnMinimumWidth(4, 22);
    } else {
        setLayout(grid);
        grid->setContentsMargins(0, 0, 0, 0);
    }
    grid->setSpacing(4);

    const int heights[] = {8, 18, 16, 18, 8};
    for (int r = 0; r < 5; ++r)
        grid->setRowMinimumHeight(r, heights[r]);

    grid->addWidget(thumbnailLabel(), 0, 0, 5, 1);
    grid->addWidget(amountEdit(), 1, 1, Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(productCombo(), 1, 2, 1, 2, Qt::AlignTop);
    grid->addWidget(anotherFormatButton(), 3, 1, 1, 2, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(removeButton(), 3, 3, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(qualityLabel(), 1, 4, 3, 1, Qt::AlignRight | Qt::AlignTop);
    if (QLabel *pixels = pixelSizeLabel())
        grid->addWidget(pixels, 4, 4, Qt::AlignRight);
    auto *unitLabel = new QLabel(tr("Einzelpreis"), this);
    auto *totalLabel = new QLabel(tr("Preissumme"), this);
    unitLabel->setBuddy(unitPriceField());
    totalLabel->setBuddy(totalPriceField());
    grid->addWidget(unitLabel, 1, 6, Qt::AlignLeft);
    grid->addWidget(totalLabel, 3, 6, Qt::AlignLeft);
    grid->addWidget(unitPriceField(), 1, 8, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(totalPriceField(), 3, 8, Qt::AlignLeft | Qt::AlignBottom);

    // The tool tip stands for every skin: the button's picture says it only in one.
    anotherFormatButton()->setToolTip(tr("Weiteres Format"));

    // The quality column is as wide as the level-0 mark, or its percentage when the skin has none.
    const QPixmap *mark = qualityIcon(0);
    const int markWidth =
        mark ? mark->width() : qualityLabel()->fontMetrics().horizontalAdvance(QStringLiteral("100%"));
    grid->setColumnMinimumWidth(4, markWidth + 2);
    grid->setColumnStretch(5, 10);
    grid->setColumnMinimumWidth(7, 10);
    grid->setColumnMinimumWidth(11, 20);

    if (table())
        table()->setRowHeight(row, framed ? framedRowHeight : grid->minimumSize().height());
}
