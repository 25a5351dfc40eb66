#include "etorderrichtextbuilder.h"

#include "etcoupon.h"
#include "etcustomer.h"
#include "etorder.h"
#include "etorderitem.h"
#include "ettransferlist.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include "messagecapture.h"
#include "outputfixture.h"
#include "qtprinters.h"

#include <QCoreApplication>
#include <QTranslator>

#include <functional>

#include <gtest/gtest.h>

namespace
{

class RichTextScenarioTest : public ::testing::TestWithParam<OutputScenario>
{
};

TEST_P(RichTextScenarioTest, SummaryMatchesFixture)
{
    fillOrder(GetParam());
    ETOrderRichTextBuilder builder;
    EXPECT_TRUE(sameText(expectedText(GetParam().folder, "summary.html"), builder.buildOrderHeader()));
}

TEST_P(RichTextScenarioTest, ConfirmationMatchesFixture)
{
    fillOrder(GetParam());
    ETOrderRichTextBuilder builder;
    EXPECT_TRUE(sameText(expectedText(GetParam().folder, "confirmation.html"), builder.buildHeader()));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, RichTextScenarioTest, ::testing::ValuesIn(outputScenarios), scenarioName);

// Answers one text of the builder's context with a fixed translation and
// records the comments the builder passes along.
class FixedTranslator : public QTranslator
{
  public:
    FixedTranslator(const char *source, const char *translation)
        : m_source(source), m_translation(QString::fromUtf8(translation))
    {
    }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int) const override
    {
        if (qstrcmp(context, "ETOrderRichTextBuilder") != 0)
            return QString();
        m_comments.append(QString::fromUtf8(sourceText) + QStringLiteral(" | ") +
                          QString::fromUtf8(disambiguation));
        return qstrcmp(sourceText, m_source) == 0 ? m_translation : QString();
    }

    bool isEmpty() const override { return false; }

    QStringList comments() const { return m_comments; }

  private:
    const char *m_source;
    QString m_translation;
    mutable QStringList m_comments;
};

class RichTextBuilderTest : public ::testing::Test
{
  protected:
    void SetUp() override { fillOrder(outputScenarios[1]); }

    ETOrder *order() { return ETOrder::instance(); }
    ETOrderItem *item(int index) { return order()->orderItems()->at(index); }
};

TEST_F(RichTextBuilderTest, ProductLinesAddUpPerProduct)
{
    struct Case {
        const char *name;
        std::function<void(ETOrder *)> change;
        QString lines;
    };
    const Case cases[] = {
        {"fixture order", [](ETOrder *) {},
         QStringLiteral("5 x 10x15<br>\n1 x 13x18 matt<br>\n4 x Poster 30x45 &amp; mehr<br>\n")},
        {"a line with amount 0 counts nothing", [](ETOrder *o) { o->orderItems()->at(1)->setAmount(0); },
         QStringLiteral("3 x 10x15<br>\n1 x 13x18 matt<br>\n4 x Poster 30x45 &amp; mehr<br>\n")},
        {"no counted lines",
         [](ETOrder *o) {
             for (ETOrderItem *i : *o->orderItems())
                 i->setAmount(0);
         },
         QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fillOrder(outputScenarios[1]);
        c.change(order());
        ETOrderRichTextBuilder builder;
        EXPECT_EQ(QStringLiteral("<tr><td><b>Anzahl der Bilder:</b></td><td>\n") + c.lines +
                      QStringLiteral("</td></tr>\n"),
                  builder.buildProducts());
    }
}

TEST_F(RichTextBuilderTest, AmountsWithAndWithoutCoupon)
{
    struct Case {
        const char *name;
        int couponPrice;
        QString rows;
    };
    // Bill on the net road: 48,60 for the prints and 3,95 for the transfer.
    const Case cases[] = {
        {"coupon", -300,
         QStringLiteral("<tr><td><b>Auftragswert:</b> </td><td>52,55  EUR (inkl. Mwst.)</td></tr><br>\n"
                        "<tr><td><b>Gutschein:</b> </td><td>-3,00  EUR (inkl. Mwst.)</td></tr><br>\n"
                        "<tr><td><b>Zu Zahlen:</b> </td><td>49,55  EUR (inkl. Mwst.)</td></tr><br>\n")},
        {"coupon worth more than the order", -10000,
         QStringLiteral("<tr><td><b>Auftragswert:</b> </td><td>52,55  EUR (inkl. Mwst.)</td></tr><br>\n"
                        "<tr><td><b>Gutschein:</b> </td><td>-100,00  EUR (inkl. Mwst.)</td></tr><br>\n"
                        "<tr><td><b>Zu Zahlen:</b> </td><td>0,00  EUR (inkl. Mwst.)</td></tr><br>\n")},
        {"no valid coupon", 0,
         QStringLiteral("<tr><td><b>Auftragswert:</b> </td><td>52,55  EUR (inkl. Mwst.)</td></tr><br>\n"
                        "<tr><td><b>Zu Zahlen:</b> </td><td>52,55  EUR (inkl. Mwst.)</td></tr><br>\n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ETCoupon::instance()->setCouponPrice(QStringLiteral("FM"), c.couponPrice, QStringLiteral("G"));
        ETOrderRichTextBuilder builder;
        builder.buildDelivery();
        EXPECT_EQ(c.rows, builder.buildAmounts());
    }
}

TEST_F(RichTextBuilderTest, MissingTransferPriceAddsNothing)
{
    // The transfer list has no price for this code and level: "none", not -1 cent.
    ETPriceInfo &transferPrices = ETTransferList::instance()->prices();
    transferPrices.removePrice(SubmitNet, PaymentBill, 1);
    ETCoupon::instance()->setCouponPrice(QStringLiteral("FM"), 0, QStringLiteral("0"));
    MessageCapture messages;
    ETOrderRichTextBuilder builder;
    builder.buildDelivery();
    EXPECT_TRUE(messages.lines(QtDebugMsg).contains(QStringLiteral("Submit: 0, Payment 3, Preis: 0")))
        << messages.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(QStringLiteral("<tr><td><b>Auftragswert:</b> </td><td>48,60  EUR (inkl. Mwst.)</td></tr><br>\n"
                             "<tr><td><b>Zu Zahlen:</b> </td><td>48,60  EUR (inkl. Mwst.)</td></tr><br>\n"),
              builder.buildAmounts());
    transferPrices.setPrice(SubmitNet, PaymentBill, 1, 395);
}

TEST_F(RichTextBuilderTest, LineWithoutPriceLeavesAmountsOut)
{
    // A product list entry also prices "FM" and "CC", never "CM": card payment
    // on the CD road finds no price for "Nur Filiale 9x13".
    fillOrder(outputScenarios[2]);
    item(0)->setProductName(QStringLiteral("Nur Filiale 9x13"));
    ASSERT_EQ(-1, order()->totalPrice());
    ETOrderRichTextBuilder builder;
    const QString summary = builder.buildOrderHeader();
    EXPECT_EQ(QString(), builder.buildAmounts());
    EXPECT_FALSE(summary.contains(QStringLiteral("Auftragswert:"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("3 x Nur Filiale 9x13<br>\n"))) << summary.toStdString();
}

TEST_F(RichTextBuilderTest, DeliveryNamesStoreOrAddress)
{
    struct Case {
        int paymentType;
        QString row;
        const char *debugLine;
    };
    const QString address =
        QStringLiteral("<tr><td><b>Lieferadresse:</b> </td><td>Frau Zoë Łukasiewicz-Brückner<br>"
                       "Hauptstraße 5 &lt;Rückgebäude&gt;<br>80331 München<br></td></tr>\n");
    const Case cases[] = {
        {PaymentOutlet,
         QStringLiteral(
             "<tr><td><b>Liefer-/Abholadresse:</b> </td><td>Foto Kühn &amp; Söhne<br>Marienplatz 1<br>"
             "80331 München<br></td></tr>\n"),
         "Submit: 0, Payment 0, Preis: 0"},
        {PaymentUnknown, address, "Submit: 0, Payment -1, Preis: 395"},
        {PaymentCreditCard, address, "Submit: 0, Payment 1, Preis: 395"},
        {PaymentDebit, address, "Submit: 0, Payment 2, Preis: 395"},
        {PaymentBill, address, "Submit: 0, Payment 3, Preis: 395"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.paymentType);
        order()->setPaymentType(c.paymentType);
        MessageCapture messages;
        ETOrderRichTextBuilder builder;
        EXPECT_EQ(c.row, builder.buildDelivery());
        EXPECT_TRUE(messages.lines(QtDebugMsg).contains(QString::fromLatin1(c.debugLine)))
            << messages.lines().join(QLatin1Char('\n')).toStdString();
    }
}

TEST_F(RichTextBuilderTest, StoreNoLongerListedGivesEmptyStoreText)
{
    order()->setPaymentType(PaymentOutlet);
    order()->setStoreId(QStringLiteral("00000 Nirgendwo, Weg, Gasse 1"));
    ETOrderRichTextBuilder builder;
    EXPECT_EQ(QStringLiteral("<tr><td><b>Liefer-/Abholadresse:</b> </td><td></td></tr>\n"),
              builder.buildDelivery());
}

TEST_F(RichTextBuilderTest, CustomerAndServerTextsAreEscaped)
{
    ETCustomer *customer = order()->customer();
    customer->setValue(QStringLiteral("firstname"), QStringLiteral("<b>Ann</b>"));
    customer->setValue(QStringLiteral("lastname"), QStringLiteral("O\"Neil & Sons"));
    customer->setValue(QStringLiteral("ord_id"), QStringLiteral("<script>1</script>"));
    item(0)->setProductName(QStringLiteral("<i>Sonder</i>"));

    ETOrderRichTextBuilder builder;
    EXPECT_EQ(
        QStringLiteral("<p>&lt;b&gt;Ann&lt;/b&gt; O&quot;Neil &amp; Sons<br>Hauptstraße 5 &lt;Rückgebäude&gt;"
                       "<br>80331 München<br></p>\n"),
        builder.buildCustomer());
    EXPECT_EQ(
        QStringLiteral("<tr><td><b>Auftragsnummer:</b> </td><td>&lt;script&gt;1&lt;/script&gt;</td></tr>"),
        builder.buildOrderNumber());
    EXPECT_TRUE(builder.buildProducts().contains(QStringLiteral("3 x &lt;i&gt;Sonder&lt;/i&gt;<br>\n")))
        << builder.buildProducts().toStdString();
    const QString delivery = builder.buildDelivery();
    EXPECT_TRUE(delivery.contains(QStringLiteral("Frau &lt;b&gt;Ann&lt;/b&gt; O&quot;Neil &amp; Sons<br>")))
        << delivery.toStdString();
}

TEST_F(RichTextBuilderTest, TableStartWritesTitleRowOnlyForATitle)
{
    const QString start = QStringLiteral("<qt><table cellspacing=4 cellpadding=4><tr><td rowspan=10>"
                                         "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<br><br><br></td></tr>\n");
    ETOrderRichTextBuilder builder;
    EXPECT_EQ(start, builder.buildTableStart(QString()));
    EXPECT_EQ(start, builder.buildTableStart(QStringLiteral("")));
    EXPECT_EQ(start + QStringLiteral("<tr><td><b><u>Titel</u></b> </td><td></td></tr>"),
              builder.buildTableStart(QStringLiteral("Titel")));
}

TEST_F(RichTextBuilderTest, BuildJoinsSectionsCustomerBeforePayment)
{
    ETOrderRichTextBuilder builder;
    EXPECT_EQ(
        QStringLiteral("<p>Zoë Łukasiewicz-Brückner<br>Hauptstraße 5 &lt;Rückgebäude&gt;<br>80331 München<br>"
                       "</p>\nBezahlung erfolgt per Rechnung") +
            builder.buildProducts() + builder.buildDelivery() + QStringLiteral("</qt>"),
        builder.build());
}

TEST_F(RichTextBuilderTest, PriceRowPutsCurrencyBeforeAmountForGreatBritain)
{
    struct Case {
        int country;
        QString row;
    };
    const Case cases[] = {
        {0, QStringLiteral("<tr><td><b>L:</b> </td><td>-12,05  EUR (inkl. Mwst.)</td></tr><br>\n")},
        {7, QStringLiteral("<tr><td><b>L:</b> </td><td> EUR  -12,05 (inkl. Mwst.)</td></tr><br>\n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.country);
        setDealerCountry(c.country);
        ETOrderRichTextBuilder builder;
        EXPECT_EQ(c.row, builder.buildPriceRow(QStringLiteral("L:"), -1205));
    }
    setDealerCountry(0);
}

TEST_F(RichTextBuilderTest, ThanksTranslatedAsUnusedDisappears)
{
    ETOrderRichTextBuilder builder;
    EXPECT_EQ(QStringLiteral("<tr><td colspan=2>Wir danken für Ihre Bestellung.</td></tr>"),
              builder.buildThanks());

    FixedTranslator translator("Wir danken für Ihre Bestellung.", "UNUSED");
    QCoreApplication::installTranslator(&translator);
    const QString thanks = builder.buildThanks();
    const QString confirmation = builder.buildHeader();
    QCoreApplication::removeTranslator(&translator);

    EXPECT_EQ(QString(), thanks);
    EXPECT_TRUE(confirmation.endsWith(QStringLiteral("</td></tr>\n</table></qt>")))
        << confirmation.toStdString();
    EXPECT_TRUE(translator.comments().contains(
        QStringLiteral("Wir danken für Ihre Bestellung. | Note: Translate as UNUSED to remove this text")));
    EXPECT_TRUE(translator.comments().contains(
        QStringLiteral("%1 x %2 | Note: \"<amount> x <format>\" lines in order summary (internet order)")));
}

TEST_F(RichTextBuilderTest, TranslationReplacesTheGermanTexts)
{
    FixedTranslator translator("Zu Zahlen:", "To pay:");
    QCoreApplication::installTranslator(&translator);
    ETOrderRichTextBuilder builder;
    builder.buildDelivery();
    const QString amounts = builder.buildAmounts();
    QCoreApplication::removeTranslator(&translator);
    EXPECT_TRUE(amounts.contains(QStringLiteral("<tr><td><b>To pay:</b> </td>"))) << amounts.toStdString();
}

} // namespace
