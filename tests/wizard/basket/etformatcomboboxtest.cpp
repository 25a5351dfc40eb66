#include "etformatcombobox.h"

#include "basketfixture.h"
#include "etorder.h"
#include "etproductlist.h"

#include <QDomDocument>
#include <QSignalSpy>

#include <memory>

namespace
{

using ETFormatComboBoxTest = BasketFixture;

QStringList entries(const QComboBox &combo)
{
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i)
        texts << combo.itemText(i);
    return texts;
}

const QStringList products = {QStringLiteral("10x15"), QStringLiteral("Mini"), QStringLiteral("TierZero")};

TEST_F(ETFormatComboBoxTest, SlaveShowsTheProductListInItsOrder)
{
    ETFormatComboBox slave(false, nullptr, QStringLiteral("format"));
    EXPECT_EQ(products, entries(slave));
    EXPECT_FALSE(slave.isEditable());
    EXPECT_FALSE(slave.isMaster());
    EXPECT_EQ(QList<ETFormatComboBox *>({&slave}), ETFormatComboBox::slaves());
}

TEST_F(ETFormatComboBoxTest, NamesTheListGainedAreAppended)
{
    ETFormatComboBox slave(false);
    QDomDocument document;
    document.setContent(QByteArrayLiteral(
        "<content><article transfer_type=\"FC\"><artid>a</artid><name>30x45</name><price>5</price>"
        "<discount_level>0</discount_level></article><article transfer_type=\"FC\"><artid>b</artid>"
        "<name>Leinwand</name><price>30</price><discount_level>0</discount_level></article></content>"));
    ETProductList::instance()->parse(document.documentElement());
    slave.setCurrentIndex(1);
    QSignalSpy reported(&slave, &QComboBox::currentTextChanged);
    slave.fillProducts();
    EXPECT_EQ(products + QStringList({QStringLiteral("30x45"), QStringLiteral("Leinwand")}), entries(slave));
    EXPECT_EQ(1, slave.currentIndex());
    EXPECT_EQ(0, reported.size());
}

// Entries a refreshed list no longer has must not stay selectable at no price.
TEST_F(ETFormatComboBoxTest, RenamedOrDroppedNamesRefillTheEntries)
{
    const struct {
        const char *change;
        QStringList names;
        QString selected; // after the refill
    } cases[] = {
        {"renamed, same count",
         {QStringLiteral("10x15"), QStringLiteral("Midi"), QStringLiteral("TierZero")},
         QString()},
        {"dropped", {QStringLiteral("Mini"), QStringLiteral("TierZero")}, QStringLiteral("Mini")},
        {"dropped and added", {QStringLiteral("Poster"), QStringLiteral("Mini")}, QStringLiteral("Mini")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.change);
        ETFormatComboBox slave(false);
        slave.setCurrentIndex(1);
        QSignalSpy reported(&slave, &QComboBox::currentTextChanged);
        slave.fillProducts(c.names);
        EXPECT_EQ(c.names, entries(slave));
        EXPECT_EQ(c.selected, slave.currentText());
        EXPECT_EQ(0, reported.size()) << "the list's doing is not the customer's choice";
    }
}

// Every line's combo shows the same names from one model; a combo whose entries change takes its own.
TEST_F(ETFormatComboBoxTest, CombosShareTheirNamesUntilOneChanges)
{
    ETFormatComboBox first(false);
    ETFormatComboBox second(false);
    EXPECT_EQ(first.model(), second.model());
    second.setCurrentIndex(2);
    const QStringList fewer = {QStringLiteral("Mini"), QStringLiteral("TierZero")};
    first.fillProducts(fewer);
    EXPECT_NE(first.model(), second.model());
    EXPECT_EQ(fewer, entries(first));
    EXPECT_EQ(products, entries(second)) << "the other combo keeps its entries";
    EXPECT_EQ(2, second.currentIndex());
    ETFormatComboBox third(false);
    EXPECT_EQ(products, entries(third));
    EXPECT_EQ(second.model(), third.model());
}

TEST_F(ETFormatComboBoxTest, MasterMovesEverySlaveByPositionWithOnePriceUpdate)
{
    ETFormatComboBox master(false, nullptr, QStringLiteral("master"), true);
    EXPECT_TRUE(ETFormatComboBox::slaves().isEmpty()) << "a master is in no list";
    ETFormatComboBox first(false);
    ETFormatComboBox second(false);
    second.fillProducts({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    ETFormatComboBox shorter(false);
    shorter.fillProducts({QStringLiteral("X"), QStringLiteral("Y")});
    shorter.setCurrentIndex(1);

    QSignalSpy prices(ETOrder::instance(), &ETOrder::newPrices);
    QSignalSpy firstReported(&first, &QComboBox::currentTextChanged);
    emit master.activated(2);
    EXPECT_EQ(1, prices.size());
    EXPECT_EQ(QStringLiteral("TierZero"), first.currentText());
    EXPECT_EQ(QStringLiteral("C"), second.currentText());
    EXPECT_EQ(QStringLiteral("Y"), shorter.currentText()) << "an index it lacks leaves a slave as it was";
    ASSERT_EQ(1, firstReported.size());
    EXPECT_EQ(QStringLiteral("TierZero"), firstReported.at(0).at(0).toString());
}

TEST_F(ETFormatComboBoxTest, ADestroyedSlaveIsSkipped)
{
    ETFormatComboBox master(false, nullptr, QString(), true);
    auto gone = std::make_unique<ETFormatComboBox>(false);
    ETFormatComboBox kept(false);
    gone.reset();
    EXPECT_EQ(QList<ETFormatComboBox *>({&kept}), ETFormatComboBox::slaves());
    emit master.activated(1);
    EXPECT_EQ(QStringLiteral("Mini"), kept.currentText());
}

} // namespace
