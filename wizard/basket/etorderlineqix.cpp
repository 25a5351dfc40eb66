#include "etorderlineqix.h"

#include "etamountlineedit.h"
#include "etappearanceconfig.h"
#include "etappearancefactory.h"
#include "etformatcombobox.h"
#include "etlineedit.h"
#include "etorderitem.h"

#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace
{

// A strip of the line's frame: it paints its one colour and needs no palette of its own.
class FrameStrip : public QWidget
{
  public:
    FrameStrip(QWidget *line, const char *name, Qt::GlobalColor color) : QWidget(line), m_color(color)
    {
        setObjectName(QLatin1String(name));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), m_color); }

  private:
    Qt::GlobalColor m_color;
};

} // namespace

ETOrderLineQIX::ETOrderLineQIX(ETOrderItem *item, int row, int column, ETOrderTable *table,
                               const QString &name)
    : ETOrderLine(item, table, name)
{
    setUp(row, column);
}

void ETOrderLineQIX::showThumbnail()
{
    // A parked line draws its canvas once it is placed again.
    if (!item() || isParked() || thumbnailShown(*item()->thumbnail()))
        return;
    const QPixmap &thumbnail = *item()->thumbnail();
    // Painted as an image: a pixmap painted on keeps its paint engine as long as it lives.
    QImage canvas(canvasSize, canvasSize, QImage::Format_RGB32);
    const QColor background(ETAppearanceFactory::instance()->backgroundColor(QStringLiteral("orderline")));
    canvas.fill(background.isValid() ? background : palette().color(QPalette::Window));
    QPainter painter(&canvas);
    painter.drawPixmap((canvasSize - thumbnail.width()) / 2, (canvasSize - thumbnail.height()) / 2,
                       thumbnail);
    painter.end();
    thumbnailLabel()->setPixmap(QPixmap::fromImage(std::move(canvas)));
    setThumbnailToolTip();
}

int ETOrderLineQIX::buildLayout()
{
    const bool framed = ETAppearanceConfig::instance()->orderItemFrame();
    auto *grid = new QGridLayout;
    if (framed) {
        auto *outer = new QGridLayout(this);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->setSpacing(0);
        const Qt::GlobalColor white = Qt::white;
        const Qt::GlobalColor black = Qt::black;
        outer->addWidget(new FrameStrip(this, "Xwhiteframe1", white), 0, 0, 1, 5);
        outer->addWidget(new FrameStrip(this, "Xwhiteframe3", white), 1, 0, 3, 1);
        outer->addWidget(new FrameStrip(this, "Xwhiteframe2", white), 1, 4, 3, 1);
        outer->addWidget(new FrameStrip(this, "Xwhiteframe4", white), 4, 0, 1, 5);
        outer->addWidget(new FrameStrip(this, "Xblackframe1", black), 1, 1, 1, 3);
        outer->addWidget(new FrameStrip(this, "Xblackframe3", black), 2, 1);
        outer->addWidget(new FrameStrip(this, "Xblackframe2", black), 2, 3);
        outer->addWidget(new FrameStrip(this, "Xblackframe4", black), 3, 1, 1, 3);
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

    return framed ? framedRowHeight : grid->minimumSize().height();
}
