#include "etorderline.h"

#include "basketfixture.h"
#include "etamountlineedit.h"
#include "etappearancefactory.h"
#include "etformatcombobox.h"
#include "etimage.h"
#include "etlineedit.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderlinedefault.h"
#include "etorderlineqix.h"
#include "etordertable.h"
#include "ettestsandbox.h"
#include "ettestwait.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace
{

enum class Layout { Default, QIX };

ETOrderLine *makeLine(Layout layout, ETOrderItem *item, int row, ETOrderTable *table)
{
    if (layout == Layout::QIX)
        return new ETOrderLineQIX(item, row, 0, table);
    return new ETOrderLineDefault(item, row, 0, table);
}

// The lines of the order's items in a shown table of the test's own, of either layout.
class ETOrderLineTest : public BasketFixture, public ::testing::WithParamInterface<Layout>
{
  protected:
    ETOrderLineTest()
    {
        m_table = std::make_unique<ETOrderTable>(nullptr, QStringLiteral("order_table"));
        // The lines of this test's layout come from the test, not from the application factory.
        QObject::disconnect(ETOrder::instance(), &ETOrder::orderImageAdded, m_table.get(), nullptr);
        m_table->resize(620, 400);
        m_table->show();
    }

    // Lines for the pictures' new items, appended to the table in list order.
    std::vector<ETOrderLine *> lines(const std::vector<Picture> &pictures)
    {
        const QList<ETOrderItem *> &items = *ETOrder::instance()->orderItems();
        const qsizetype before = items.size();
        loadPictures(pictures);
        std::vector<ETOrderLine *> made;
        for (qsizetype i = before; i < items.size(); ++i) {
            const int row = m_table->rowCount();
            m_table->insertRow(row);
            made.push_back(makeLine(GetParam(), items.at(i), row, m_table.get()));
        }
        return made;
    }

    ETOrderLine *line(const Picture &picture) { return lines({picture}).front(); }

    std::unique_ptr<ETOrderTable> m_table;
};

INSTANTIATE_TEST_SUITE_P(Layouts, ETOrderLineTest, ::testing::Values(Layout::Default, Layout::QIX),
                         [](const ::testing::TestParamInfo<Layout> &info) {
                             return info.param == Layout::QIX ? "QIX" : "Default";
                         });

TEST_P(ETOrderLineTest, PricesInTheDealersCurrency)
{
    ETOrderLine *l = line({QStringLiteral("P1.jpg")});
    l->item()->setProductName(QStringLiteral("Mini"));
    l->item()->setAmount(3);
    EXPECT_EQ(QStringLiteral("3"), l->amountEdit()->text());
    EXPECT_EQ(QStringLiteral("Mini"), l->productCombo()->currentText());
    EXPECT_EQ(QStringLiteral("1,29"), l->unitPriceField()->text());
    EXPECT_EQ(QStringLiteral("3,87"), l->totalPriceField()->text());
    EXPECT_TRUE(l->unitPriceField()->isReadOnly());
    EXPECT_EQ(Qt::NoFocus, l->totalPriceField()->focusPolicy());
}

TEST_P(ETOrderLineTest, APriceTheTablesCannotGiveIsNoSumOfMoney)
{
    ETOrderLine *l = line({QStringLiteral("P1.jpg")});
    l->item()->setProductName(QStringLiteral("TierZero"));
    EXPECT_EQ(QStringLiteral("2,50"), l->unitPriceField()->text());
    // From 50 prints the order is at tier 1, where this product has no price.
    l->item()->setAmount(50);
    EXPECT_EQ(QStringLiteral("–"), l->unitPriceField()->text());
    EXPECT_EQ(QStringLiteral("–"), l->totalPriceField()->text());
}

TEST_P(ETOrderLineTest, QualityWithoutMarksShowsPercentagesAndToolTips)
{
    const struct {
        QSize size;
        const char *text;
        const char *toolTip;
    } cases[] = {
        {{10, 5}, "0%", "Schlechte Fotoqualität"},      {{15, 8}, "25%", "Unzureichende Fotoqualität"},
        {{30, 15}, "50%", "Ausreichende Fotoqualität"}, {{40, 60}, "75%", "Gute Fotoqualität"},
        {{110, 55}, "100%", "Beste Fotoqualität"},
    };
    std::vector<Picture> pictures;
    for (const auto &c : cases)
        pictures.push_back({QStringLiteral("q%1x%2.jpg").arg(c.size.width()).arg(c.size.height()), c.size});
    const std::vector<ETOrderLine *> made = lines(pictures);
    ETOrder::instance()->setAutoUpdate(false);
    for (ETOrderLine *l : made)
        l->item()->setProductName(QStringLiteral("Mini"));
    ETOrder::instance()->setAutoUpdate(true);
    for (size_t i = 0; i < made.size(); ++i) {
        SCOPED_TRACE(cases[i].text);
        EXPECT_EQ(QString::fromUtf8(cases[i].text), made[i]->qualityLabel()->text());
        EXPECT_EQ(QString::fromUtf8(cases[i].toolTip), made[i]->qualityLabel()->toolTip());
        EXPECT_EQ(QString::fromUtf8(cases[i].toolTip), made[i]->qualityLabel()->accessibleName());
    }
}

TEST_P(ETOrderLineTest, QualityMarksOfTheSkinAndTheMissingOne)
{
    // Level 2 lacks its mark: that line shows the percentage.
    for (int level : {0, 1, 3, 4})
        environment().sandbox().writePicture(QStringLiteral("icons/quality_%1.png").arg(level),
                                             {12 + level, 10});
    const std::vector<ETOrderLine *> made =
        lines({{QStringLiteral("good.jpg"), {110, 55}}, {QStringLiteral("fair.jpg"), {30, 15}}});
    for (ETOrderLine *l : made)
        l->item()->setProductName(QStringLiteral("Mini"));
    ASSERT_NE(nullptr, ETOrderLine::qualityIcon(4));
    EXPECT_EQ(nullptr, ETOrderLine::qualityIcon(2));
    EXPECT_EQ(QSize(16, 10), made[0]->qualityLabel()->pixmap().size());
    EXPECT_TRUE(made[0]->qualityLabel()->text().isEmpty());
    EXPECT_EQ(QStringLiteral("50%"), made[1]->qualityLabel()->text());
    EXPECT_EQ(QStringLiteral("Ausreichende Fotoqualität"), made[1]->qualityLabel()->toolTip());
}

TEST_P(ETOrderLineTest, PixelSizeShorterSideFirst)
{
    ETAppearanceFactory::instance()->setShowPixelSize(true);
    const std::vector<ETOrderLine *> made =
        lines({{QStringLiteral("hoch.jpg"), {1200, 1600}}, {QStringLiteral("quer.jpg"), {1600, 1200}}});
    for (ETOrderLine *l : made) {
        ASSERT_NE(nullptr, l->pixelSizeLabel());
        EXPECT_EQ(QStringLiteral("(1200x1600 Pixel)"), l->pixelSizeLabel()->text());
    }
    ETAppearanceFactory::instance()->setShowPixelSize(false);
    EXPECT_EQ(nullptr, line({QStringLiteral("ohne.jpg")})->pixelSizeLabel());
}

TEST_P(ETOrderLineTest, TypedAmountGoesToTheItemDigitByDigit)
{
    const std::vector<ETOrderLine *> made = lines({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}});
    ETOrderLine *l = made[0];
    l->item()->setAmount(3);
    QSignalSpy refreshed(m_table.get(), &ETOrderTable::contentChanged);
    std::vector<int> amounts;
    QObject::connect(ETOrder::instance(), &ETOrder::newPrices, m_table.get(),
                     [&] { amounts.push_back(l->item()->amount()); });
    l->amountEdit()->selectAll();
    QTest::keyClicks(l->amountEdit(), QStringLiteral("12"));
    EXPECT_EQ(std::vector<int>({1, 12}), amounts);
    EXPECT_EQ(12, l->item()->amount());
    EXPECT_EQ(QStringLiteral("12"), l->amountEdit()->text());
    EXPECT_EQ(QStringLiteral("2,28"), l->totalPriceField()->text());
    // Every change refreshes every line.
    EXPECT_EQ(4, refreshed.size());
}

TEST_P(ETOrderLineTest, AmountEditTakesZeroTo999Only)
{
    ETOrderLine *l = line({QStringLiteral("P1.jpg")});
    const struct {
        const char *typed;
        const char *shown;
        int amount;
    } cases[] = {{"7", "7", 7}, {"1234", "123", 123}, {"-3", "3", 3}, {"x9", "9", 9}, {"", "0", 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        l->amountEdit()->selectAll();
        QTest::keyClick(l->amountEdit(), Qt::Key_Backspace);
        l->amountEdit()->selectAll();
        QTest::keyClicks(l->amountEdit(), QString::fromUtf8(c.typed));
        EXPECT_EQ(QString::fromUtf8(c.shown), l->amountEdit()->text());
        EXPECT_EQ(c.amount, l->item()->amount());
    }
}

TEST_P(ETOrderLineTest, ChosenProductGoesToTheItem)
{
    ETOrderLine *l = line({QStringLiteral("P1.jpg")});
    ETFormatComboBox *combo = l->productCombo();
    EXPECT_EQ(QStringList({QStringLiteral("10x15"), QStringLiteral("Mini"), QStringLiteral("TierZero")}),
              [combo] {
                  QStringList entries;
                  for (int i = 0; i < combo->count(); ++i)
                      entries << combo->itemText(i);
                  return entries;
              }());
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(QStringLiteral("Mini"), l->item()->productName());
    EXPECT_EQ(QStringLiteral("1,29"), l->unitPriceField()->text());
}

// Qt reports no unchanged text or selection: the refresh that the combo's report starts ends there.
TEST_P(ETOrderLineTest, TheNestedRefreshEnds)
{
    const std::vector<ETOrderLine *> made = lines({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}});
    QSignalSpy prices(ETOrder::instance(), &ETOrder::newPrices);
    made[0]->item()->setProductName(QStringLiteral("Mini"));
    // The item's own update, and the one the combo's report starts when the refresh moves it.
    EXPECT_EQ(2, prices.size());
    EXPECT_EQ(QStringLiteral("Mini"), made[0]->productCombo()->currentText());

    prices.clear();
    made[1]->item()->setAmount(7);
    EXPECT_EQ(2, prices.size());
    EXPECT_EQ(QStringLiteral("7"), made[1]->amountEdit()->text());

    prices.clear();
    ETOrder::instance()->refresh();
    EXPECT_EQ(1, prices.size()) << "a refresh that changes nothing starts none";
}

TEST_P(ETOrderLineTest, AProductTheListDoesNotHaveIsNotShownAsAnother)
{
    ETOrderLine *l = line({QStringLiteral("P1.jpg")});
    l->item()->setProductName(QStringLiteral("Verschwunden"));
    EXPECT_EQ(-1, l->productCombo()->currentIndex());
    EXPECT_EQ(QStringLiteral("Verschwunden"), l->item()->productName());
    EXPECT_EQ(QStringLiteral("0,00"), l->unitPriceField()->text());
    EXPECT_EQ(QStringLiteral("0%"), l->qualityLabel()->text());
}

TEST_P(ETOrderLineTest, DoubleClickChangesNothing)
{
    ETOrderLine *l = line({QStringLiteral("P1.jpg")});
    QSignalSpy prices(ETOrder::instance(), &ETOrder::newPrices);
    QTest::mouseDClick(l, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseDClick(l->thumbnailLabel(), Qt::LeftButton);
    EXPECT_EQ(0, prices.size());
    EXPECT_EQ(1, l->item()->amount());
    EXPECT_EQ(1, m_table->rowCount());
}

TEST_P(ETOrderLineTest, ButtonsAndFieldsHaveNamesAPersonReads)
{
    ETOrderLine *l = line({QStringLiteral("P1.jpg")});
    EXPECT_EQ(QStringLiteral("Weiteres Format"), l->anotherFormatButton()->accessibleName());
    EXPECT_EQ(QStringLiteral("Dieses Bild aus der Bestellung entfernen"),
              l->removeButton()->accessibleName());
    EXPECT_EQ(QStringLiteral("Format"), l->productCombo()->accessibleName());
    EXPECT_EQ(QStringLiteral("Anzahl"), l->amountEdit()->accessibleName());
    EXPECT_EQ(QStringLiteral("Einzelpreis"), l->unitPriceField()->accessibleName());
    EXPECT_EQ(QStringLiteral("Preissumme"), l->totalPriceField()->accessibleName());
    EXPECT_EQ(QStringLiteral("P1.jpg"), l->thumbnailLabel()->accessibleName());
    EXPECT_EQ(QStringLiteral("P1.jpg"), l->thumbnailLabel()->toolTip()) << "the skin's tool tips are on";
}

TEST_P(ETOrderLineTest, ThumbnailIsShown)
{
    ETOrderLine *l = line({QStringLiteral("P1.jpg"), {60, 40}});
    const QPixmap thumbnail = *l->item()->thumbnail();
    ASSERT_FALSE(thumbnail.isNull());
    const QImage shown = l->thumbnailLabel()->pixmap().toImage();
    if (GetParam() == Layout::Default) {
        EXPECT_EQ(thumbnail.toImage(), shown);
        return;
    }
    // Centred on an 80 x 80 canvas of the skin's order-line colour (the line's own without one).
    const QColor skin(ETAppearanceFactory::instance()->backgroundColor(QStringLiteral("orderline")));
    QPixmap canvas(80, 80);
    canvas.fill(skin.isValid() ? skin : l->palette().color(QPalette::Window));
    QPainter painter(&canvas);
    painter.drawPixmap((80 - thumbnail.width()) / 2, (80 - thumbnail.height()) / 2, thumbnail);
    painter.end();
    EXPECT_EQ(canvas.toImage(), shown);
}

// Lines out of sight wait parked: the client's line then keeps no canvas of its own; the plain line
// shows the picture's own thumbnail all along.
TEST_P(ETOrderLineTest, AParkedLineKeepsNoPictureOfItsOwn)
{
    std::vector<Picture> pictures;
    for (int i = 0; i < 14; ++i)
        pictures.push_back({QStringLiteral("P%1.jpg").arg(i)});
    const std::vector<ETOrderLine *> made = lines(pictures);
    m_table->setFocus();
    QScrollBar *bar = m_table->verticalScrollBar();
    ASSERT_TRUE(waitFor([&] { return bar->maximum() > 0; }));
    // Not the first line: the keyboard enters the basket there, so it stays placed.
    ETOrderLine *first = made.at(1);
    const auto shown = [first] { return first->thumbnailLabel()->pixmap(); };
    for (int value : {bar->maximum(), 0}) {
        SCOPED_TRACE(value);
        bar->setValue(value);
        const bool parked = value > 0;
        EXPECT_EQ(parked, first->isParked());
        if (parked)
            EXPECT_FALSE(first->hasControls()) << "no label, no picture";
        else if (GetParam() == Layout::Default)
            EXPECT_EQ(first->item()->thumbnail()->cacheKey(), shown().cacheKey());
        else
            EXPECT_EQ(QSize(80, 80), shown().size());
    }
}

// The program's palette writes light on grey; the skin colours only the basket's background.
TEST_P(ETOrderLineTest, WritingStaysReadableOnTheSkinsColours)
{
    const struct {
        const char *background;
        QRgb labels;
    } cases[] = {{"#ffffff", qRgb(0, 0, 0)}, {"#f4f7fa", qRgb(0, 0, 0)}, {"#1b2a36", qRgb(255, 255, 255)}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.background);
        ETAppearanceFactory::setBackgroundColor(m_table.get(), QColor(QLatin1String(c.background)));
        ETOrderLine *l = line({QStringLiteral("P1.jpg")});
        EXPECT_EQ(c.labels, l->qualityLabel()->palette().color(QPalette::WindowText).rgb());
        const std::initializer_list<QWidget *> fields = {l->amountEdit(), l->unitPriceField(),
                                                         l->totalPriceField()};
        for (QWidget *field : fields) {
            EXPECT_EQ(qRgb(255, 255, 255), field->palette().color(QPalette::Base).rgb());
            EXPECT_EQ(qRgb(0, 0, 0), field->palette().color(QPalette::Text).rgb());
        }
        EXPECT_EQ(qRgb(255, 255, 255), l->productCombo()->palette().color(QPalette::Button).rgb());
        EXPECT_EQ(qRgb(0, 0, 0), l->productCombo()->palette().color(QPalette::ButtonText).rgb());
    }
}

using ETOrderLineQIXTest = BasketFixture;

TEST_F(ETOrderLineQIXTest, FramedRowsAre105PixelsHighWhateverTheFont)
{
    // The sample skin frames its order items.
    loadPictures({{QStringLiteral("P1.jpg")}});
    ETOrderItem *item = ETOrder::instance()->orderItems()->at(0);
    for (int points : {9, 14, 20}) {
        SCOPED_TRACE(points);
        QFont font = QApplication::font();
        font.setPointSize(points);
        QApplication::setFont(font);
        ETOrderTable table(nullptr, QStringLiteral("order_table"));
        table.insertRow(0);
        auto *l = new ETOrderLineQIX(item, 0, 0, &table);
        EXPECT_EQ(105, table.rowHeight(0));
        EXPECT_EQ(l, table.cellWidget(0, 0));
        // A white margin and a black one-pixel frame, also inside the table's viewport.
        table.show();
        const QImage shown = l->grab().toImage();
        for (const char *name : {"Xwhiteframe1", "Xwhiteframe2", "Xblackframe1", "Xblackframe3"}) {
            const QWidget *strip = l->findChild<QWidget *>(QLatin1String(name));
            ASSERT_NE(nullptr, strip) << name;
            EXPECT_EQ(name[1] == 'w' ? qRgb(255, 255, 255) : qRgb(0, 0, 0),
                      shown.pixel(strip->geometry().center()))
                << name;
        }
        EXPECT_EQ(QStringLiteral("Weiteres Format"), l->anotherFormatButton()->toolTip());
    }
}

TEST_F(ETOrderLineQIXTest, WithoutFrameTheRowIsAsHighAsTheGrid)
{
    writeResource(QStringLiteral("appearance.xml"),
                  ETTestSandbox::shippedResource(QStringLiteral("appearance.xml"))
                      .replace("itemframe=\"true\"", "itemframe=\"false\""));
    loadPictures({{QStringLiteral("P1.jpg")}});
    ETOrderTable table(nullptr, QStringLiteral("order_table"));
    table.insertRow(0);
    auto *l = new ETOrderLineQIX(ETOrder::instance()->orderItems()->at(0), 0, 0, &table);
    EXPECT_EQ(nullptr, l->findChild<QWidget *>(QStringLiteral("Xblackframe4")));
    EXPECT_EQ(l->layout()->minimumSize().height(), table.rowHeight(0));
}

} // namespace
