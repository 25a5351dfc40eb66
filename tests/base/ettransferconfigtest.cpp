#include "ettransferconfig.h"
#include "ettestsandbox.h"
#include "paymenttype.h"
#include "qtprinters.h"
#include "submitmethod.h"

#include <gtest/gtest.h>

namespace
{

struct Rule {
    int submitMethod;
    int paymentType;
    bool allowed;
};

::testing::AssertionResult follows(ETTransferConfig *config, const std::vector<Rule> &rules)
{
    for (const Rule &rule : rules) {
        if (config->isAllowed(rule.submitMethod, rule.paymentType) != rule.allowed)
            return ::testing::AssertionFailure()
                   << "isAllowed(" << rule.submitMethod << ", " << rule.paymentType << "): expected "
                   << rule.allowed << ", got " << !rule.allowed;
    }
    return ::testing::AssertionSuccess();
}

class TransferConfigTest : public ::testing::Test
{
  protected:
    void useFiles(const QByteArray &payment, const QString &protocol = QStringLiteral("1.5"))
    {
        m_sandbox.write("default.xml", ETTestSandbox::defaultXml("lumotest", "lumo", protocol));
        if (!payment.isNull())
            m_sandbox.write("payment.xml", payment);
    }

    ETTestSandbox m_sandbox;
};

TEST_F(TransferConfigTest, ShippedSampleOffersEveryPaymentForTheInternetAndOutletOtherwise)
{
    useFiles(ETTestSandbox::shippedResource("payment.xml"));
    ETTransferConfig *config = ETTransferConfig::instance();
    EXPECT_TRUE(follows(config, {{SubmitNet, PaymentOutlet, true},
                                 {SubmitNet, PaymentCreditCard, true},
                                 {SubmitNet, PaymentDebit, true},
                                 {SubmitNet, PaymentBill, true},
                                 {SubmitNet, PaymentUnknown, false},
                                 {SubmitCD, PaymentOutlet, true},
                                 {SubmitCD, PaymentBill, false},
                                 {SubmitHardDisk, PaymentOutlet, true},
                                 {SubmitHardDisk, PaymentCreditCard, false},
                                 {3, PaymentOutlet, false}}));
    EXPECT_TRUE(config->hasPaymentChoice(SubmitNet));
    EXPECT_FALSE(config->hasPaymentChoice(SubmitCD));
    EXPECT_TRUE(config->hasSeveralUploads());
    EXPECT_TRUE(config->anyPaidMethod());
    EXPECT_TRUE(config->anyOutletMethod());
    EXPECT_TRUE(config->isAllowedBoth(SubmitNet));
    EXPECT_FALSE(config->isAllowedBoth(SubmitCD));
}

TEST_F(TransferConfigTest, OnlyTheFirstEntryPerSubmitMethodCountsAndNamesMatchExactly)
{
    useFiles(R"(<r><payments>
      <a upload="CD"><b>outlet</b></a>
      <a upload="net"><b>bill</b><b> outlet </b><b>Debit</b></a>
      <a upload="net"><b>creditcard</b></a>
    </payments></r>)");
    ETTransferConfig *config = ETTransferConfig::instance();
    EXPECT_TRUE(follows(config, {{SubmitCD, PaymentOutlet, true},
                                 {SubmitCD, PaymentBill, false},
                                 {SubmitNet, PaymentBill, true},
                                 {SubmitNet, PaymentOutlet, false},
                                 {SubmitNet, PaymentDebit, false},
                                 {SubmitNet, PaymentCreditCard, false}}));
    EXPECT_FALSE(config->hasPaymentChoice(SubmitCD));
    EXPECT_TRUE(config->hasPaymentChoice(SubmitNet));
    EXPECT_FALSE(config->hasPaymentChoice(SubmitHardDisk));
    EXPECT_TRUE(config->isAllowedAnyKind(SubmitNet));
    EXPECT_FALSE(config->isAllowedForKind0(SubmitNet));
}

TEST_F(TransferConfigTest, ProtocolOnePointFourRefusesCardAndDebit)
{
    useFiles(R"(<r><payments><a upload="net"><b>creditcard</b><b>debit</b><b>bill</b></a></payments></r>)",
             "1.4.2");
    EXPECT_TRUE(follows(ETTransferConfig::instance(), {{SubmitNet, PaymentCreditCard, false},
                                                       {SubmitNet, PaymentDebit, false},
                                                       {SubmitNet, PaymentBill, true}}));
}

TEST_F(TransferConfigTest, MissingFileFallsBackToTheDealerSettings)
{
    QByteArray dealer = ETTestSandbox::defaultXml();
    dealer.replace("</applicationConfig>",
                   "<payments><a upload=\"asynchron\"><b>outlet</b></a></payments></applicationConfig>");
    m_sandbox.write("default.xml", dealer);
    ETTransferConfig *config = ETTransferConfig::instance();
    EXPECT_TRUE(follows(config, {{SubmitHardDisk, PaymentOutlet, true}, {SubmitNet, PaymentOutlet, false}}));
    EXPECT_FALSE(config->hasSeveralUploads());
}

TEST_F(TransferConfigTest, NoRulesAllowNothing)
{
    useFiles(QByteArray());
    ETTransferConfig *config = ETTransferConfig::instance();
    EXPECT_TRUE(follows(config, {{SubmitNet, PaymentOutlet, false},
                                 {SubmitNet, PaymentBill, false},
                                 {SubmitCD, PaymentOutlet, false}}));
    EXPECT_FALSE(config->anyPaidMethod());
    EXPECT_FALSE(config->anyOutletMethod());
    EXPECT_FALSE(config->hasPaymentChoice(SubmitNet));
}

TEST_F(TransferConfigTest, NamesOfPaymentTypesAndSubmitMethods)
{
    useFiles(QByteArray());
    ETTransferConfig *config = ETTransferConfig::instance();
    const struct {
        int number;
        const char *payment;
        const char *submit;
    } names[] = {{-1, "unknown", ""},       {0, "outlet", "net"}, {1, "creditcard", "CD"},
                 {2, "debit", "asynchron"}, {3, "bill", ""},      {4, "", ""}};
    for (const auto &n : names) {
        SCOPED_TRACE(n.number);
        EXPECT_EQ(config->text(n.number), QString::fromLatin1(n.payment));
        EXPECT_EQ(config->text2(n.number), QString::fromLatin1(n.submit));
    }
}

} // namespace
