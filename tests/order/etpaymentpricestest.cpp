// The order's prices and default payment against the payment rules.

#include "etorder.h"
#include "etproductlist.h"
#include "ettransferlist.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include "messagecapture.h"
#include "resourcefolder.h"

#include <gtest/gtest.h>

namespace
{

void writePayments(const ResourceFolder &resources, const QByteArray &entries, const char *protocol = nullptr)
{
    resources.write(QStringLiteral("payment.xml"), "<config><payments>" + entries + "</payments></config>");
    if (protocol) {
        resources.write(QStringLiteral("default.xml"),
                        QByteArray("<c><keyaccount>t</keyaccount><keyaccountname>T</keyaccountname>"
                                   "<programname>lumotest</programname><protocol>") +
                            protocol + "</protocol></c>");
    }
}

} // namespace

TEST(ETPaymentPricesTest, DefaultPaymentType)
{
    struct Case {
        const char *name;
        QByteArray entries;
        const char *protocol;
        int submitMethod;
        int expected;
    };
    const Case cases[] = {
        {"outlet first", "<e upload=\"net\"><p>creditcard</p><p>bill</p><p>outlet</p></e>", nullptr, 0, 0},
        {"then bill", "<e upload=\"net\"><p>creditcard</p><p>bill</p><p>debit</p></e>", nullptr, 0, 3},
        {"then credit card", "<e upload=\"net\"><p>debit</p><p>creditcard</p></e>", nullptr, 0, 1},
        {"else debit", "<e upload=\"net\"><p>debit</p></e>", nullptr, 0, 2},
        {"nothing allowed is debit too", "", nullptr, 0, 2},
        {"by submit method", "<e upload=\"net\"><p>bill</p></e><e upload=\"CD\"><p>outlet</p></e>", nullptr,
         1, 0},
        {"old protocol forbids cards", "<e upload=\"net\"><p>creditcard</p></e>", "1.4", 0, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        // Each case needs fresh singletons: run it in a child process.
        EXPECT_EXIT(
            {
                ResourceFolder resources;
                writePayments(resources, c.entries, c.protocol);
                ETOrder *order = ETOrder::instance();
                order->setSubmitMethod(SubmitMethod(c.submitMethod));
                order->selectDefaultPaymentType();
                std::exit(order->paymentType() == c.expected ? 0 : 10 + order->paymentType());
            },
            ::testing::ExitedWithCode(0), "");
    }
}

TEST(ETPaymentPricesTest, PriceMatrix)
{
    ResourceFolder resources;
    writePayments(resources,
                  "<e upload=\"net\"><p>outlet</p><p>bill</p></e><e upload=\"CD\"><p>outlet</p></e>");
    resources.write(QStringLiteral("productlist.xml"),
                    "<content>"
                    "<a transfer_type=\"FC\"><artid>a</artid><name>10x15</name><price>0,20</price></a>"
                    "<a transfer_type=\"FM\"><artid>b</artid><name>10x15</name><price>0,25</price></a>"
                    "<a transfer_type=\"CC\"><artid>c</artid><name>10x15</name><price>0,15</price></a>"
                    "<a transfer_type=\"CM\"><artid>d</artid><name>10x15</name><price>0,18</price></a>"
                    "</content>");
    ETOrder *order = ETOrder::instance();
    ETProductList *products = ETProductList::instance();
    struct Case {
        int submitMethod;
        int paymentType;
        int price;
        const char *id;
    };
    const Case cases[] = {
        {SubmitNet, PaymentUnknown, 25, "b"},     {SubmitNet, PaymentOutlet, 20, "a"},
        {SubmitNet, PaymentCreditCard, 25, "b"},  {SubmitNet, PaymentDebit, 25, "b"},
        {SubmitNet, PaymentBill, 25, "b"},        {SubmitCD, PaymentUnknown, 18, "d"},
        {SubmitCD, PaymentOutlet, 15, "c"},       {SubmitCD, PaymentBill, 18, "d"},
        {SubmitHardDisk, PaymentOutlet, 25, "b"}, {SubmitHardDisk, PaymentBill, 25, "b"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "submit " << c.submitMethod << " payment " << c.paymentType);
        order->setSubmitMethod(SubmitMethod(c.submitMethod));
        order->setPaymentType(c.paymentType);
        EXPECT_EQ(products->price(QStringLiteral("10x15"), 0), c.price);
        EXPECT_EQ(products->transferId(QStringLiteral("10x15"), 0), QString::fromLatin1(c.id));
    }
}

TEST(ETPaymentPricesTest, ConsistencyReports)
{
    ResourceFolder resources;
    writePayments(resources, "<e upload=\"net\"><p>outlet</p></e><e upload=\"CD\"><p>outlet</p></e>");
    resources.write(
        QStringLiteral("productlist.xml"),
        "<content><a transfer_type=\"FC\"><artid>a</artid><name>10x15</name><price>0,20</price></a>"
        "<a transfer_type=\"FC\"><artid>a1</artid><name>10x15</name><price>0,22</price>"
        "<discount_level>1</discount_level></a></content>");
    resources.write(QStringLiteral("transferlist.xml"),
                    "<content><homog_min level=\"1\">10</homog_min><threshold level=\"1\">20</threshold>"
                    "<transfer type=\"FC\" discount=\"0\"><id>t0</id><price>1</price></transfer>"
                    "<transfer type=\"FC\" discount=\"1\"><id>t1</id><price>0</price></transfer></content>");
    MessageCapture capture;
    ETProductList::instance()->checkAll();
    EXPECT_TRUE(hasLine(capture, QStringLiteral("Prüfung der Produktpreise")));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("Prüfe Product 10x15")));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("Preis nicht monoton fallend")));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("Untersuche net outletfail")));
    EXPECT_TRUE(hasLine(capture, QStringLiteral("Rabattstufe 1 fehlt"))) << "CC has no tier 1";
    EXPECT_TRUE(hasLine(capture, QStringLiteral("Untersuche CD outletfail")));

    MessageCapture report;
    ETTransferList::instance()->report();
    EXPECT_EQ(report.lines().mid(0, 6),
              QStringList({QStringLiteral("=================="), QStringLiteral("Price Model Report"),
                           QStringLiteral("=================="),
                           QStringLiteral("1 Transferlevels. Konsistenzcheck: ok"),
                           QStringLiteral("1 Discountlevels. Konsistenzcheck: ok"),
                           QStringLiteral("Prüfung der Transferpreise:")}));
    EXPECT_TRUE(hasLine(report, QStringLiteral("Untersuche net outlet ok")));
    EXPECT_TRUE(hasLine(report, QStringLiteral("Untersuche CD outlet fail")));
}
