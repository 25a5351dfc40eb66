#include "etwizardfactoryplugin.h"
#include "basketfixture.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etrecordingpresenter.h"
#include "etwizardscreen.h"
#include "etwizardscreennetorcd.h"
#include "etwizardscreenorder.h"
#include "etwizardscreenplaceholder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

namespace
{

QByteArray paymentRules(const QByteArray &netPayments)
{
    QByteArray payments;
    for (const QByteArray &payment : netPayments.split(' '))
        if (!payment.isEmpty())
            payments += "<payment>" + payment + "</payment>";
    return "<paymentConfig><payments><method upload=\"net\">" + payments +
           "</method><method upload=\"CD\"><payment>outlet</payment></method></payments></paymentConfig>";
}

const QStringList before = {QStringLiteral("orderScreen"),        QStringLiteral("netOrCDscreen"),
                            QStringLiteral("addressScreen"),      QStringLiteral("selectBurnerScreen"),
                            QStringLiteral("burnCDScreen"),       QStringLiteral("finalCDscreen"),
                            QStringLiteral("NetworkLoginScreen"), QStringLiteral("registration"),
                            QStringLiteral("securityQuestion"),   QStringLiteral("securityInformation"),
                            QStringLiteral("addressScreen"),      QStringLiteral("changepassword")};
const QStringList after = {QStringLiteral("orderAck"), QStringLiteral("agb"), QStringLiteral("sendViaNet"),
                           QStringLiteral("finalNetScreen")};

struct PaymentCase {
    const char *name;
    QByteArray netPayments;
    QStringList paymentPages;
};

void PrintTo(const PaymentCase &c, std::ostream *out)
{
    *out << c.name;
}

class PageOrderTest : public WizardFixture, public ::testing::WithParamInterface<PaymentCase>
{
};

TEST_P(PageOrderTest, PaymentRulesDecideWhichPaymentPagesExist)
{
    writeResource(QStringLiteral("payment.xml"), paymentRules(GetParam().netPayments));
    buildWizard();
    EXPECT_EQ(before + GetParam().paymentPages + after, pageNames());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PageOrderTest,
    ::testing::Values(PaymentCase{"all four",
                                  "outlet bill debit creditcard",
                                  {QStringLiteral("paymentScreenFrame"),
                                   QStringLiteral("creditCardScreenFrame"),
                                   QStringLiteral("bankAccountScreenFrame"), QStringLiteral("storeSelect")}},
                      PaymentCase{"bill only", "bill", {}},
                      PaymentCase{"card only", "creditcard", {QStringLiteral("creditCardScreenFrame")}},
                      PaymentCase{"debit and store",
                                  "debit outlet",
                                  {QStringLiteral("paymentScreenFrame"),
                                   QStringLiteral("bankAccountScreenFrame"), QStringLiteral("storeSelect")}}),
    [](const ::testing::TestParamInfo<PaymentCase> &info) {
        std::string name = info.param.name;
        for (char &c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

class ETWizardFactoryPluginTest : public BasketFixture
{
};

TEST_F(ETWizardFactoryPluginTest, CaptionButtonsAndPageFlags)
{
    ETOrderWizard *w = buildWizard();
    EXPECT_EQ(QStringLiteral("PluginOrderWizard"), w->objectName());
    EXPECT_EQ(nullptr, w->parentWidget());
    EXPECT_EQ(QStringLiteral("Assistent für die Bestellung von Abzügen"), w->windowTitle());
    const struct {
        QPushButton *button;
        const char *text;
    } buttons[] = {{w->backButton(), "Zurück"},
                   {w->nextButton(), "Weiter"},
                   {w->finishButton(), "Fertig"},
                   {w->cancelButton(), "Abbrechen"},
                   {w->helpButton(), "Hilfe"}};
    for (const auto &b : buttons)
        EXPECT_EQ(QString::fromUtf8(b.text), b.button->accessibleName());

    for (int i = 0; i < w->pageCount(); ++i) {
        QWidget *page = w->page(i);
        const QString name = w->screenForPage(page)->name();
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(w->helpEnabled(page));
        const bool noBack = name == QLatin1String("burnCDScreen") || name == QLatin1String("finalCDscreen");
        EXPECT_EQ(!noBack, w->backEnabled(page));
        EXPECT_EQ(name == QLatin1String("finalNetScreen"), w->finishEnabled(page));
    }
    // Lookup by name finds the internet road's address screen, added last.
    EXPECT_EQ(w->page(10), w->screenByName(QStringLiteral("addressScreen"))->page());
}

TEST_F(ETWizardFactoryPluginTest, TheBasketAndTheRoadPageAreBuilt)
{
    ETOrderWizard *w = buildWizard();
    EXPECT_NE(nullptr, qobject_cast<ETWizardScreenOrder *>(w->screenForPage(w->page(0))));
    EXPECT_NE(nullptr, qobject_cast<ETWizardScreenNetOrCD *>(w->screenForPage(w->page(1))));
}

TEST_F(ETWizardFactoryPluginTest, EveryPageIsABuiltScreen)
{
    ETOrderWizard *w = buildWizard();
    for (int i = 0; i < w->pageCount(); ++i) {
        ETWizardScreen *screen = w->screenForPage(w->page(i));
        SCOPED_TRACE(screen->name().toStdString());
        EXPECT_EQ(nullptr, qobject_cast<ETWizardScreenPlaceholder *>(screen));
    }
}

TEST_F(ETWizardFactoryPluginTest, ThePageFlowRunsFromTheBasketToTheFinalScreen)
{
    writeResource(QStringLiteral("payment.xml"), paymentRules("bill debit creditcard"));
    writeResource(QStringLiteral("keyaccount/agb.txt"), "AGB");
    server().addCustomer(QStringLiteral("ada@example.org"), QStringLiteral("geheim1"), QString(), QString(),
                         {{QStringLiteral("salutation"), QStringLiteral("Frau")},
                          {QStringLiteral("firstname"), QStringLiteral("Ada")},
                          {QStringLiteral("lastname"), QStringLiteral("Lovelace")},
                          {QStringLiteral("street"), QStringLiteral("Hauptstr. 1")},
                          {QStringLiteral("zip"), QStringLiteral("50667")},
                          {QStringLiteral("city"), QStringLiteral("Köln")},
                          {QStringLiteral("country"), QStringLiteral("Deutschland")}});
    // An unexpected failure of a request ends it instead of retrying for ever.
    presenter().answerBox(QMessageBox::Cancel);
    buildWizard();
    loadPictures({{QStringLiteral("P1.jpg")}});
    showWizard();
    // The first payment type the rules allow is the bill: no card, account or store page.
    // Next on the terms sends the order, and the confirmation follows.
    const QStringList road = {QStringLiteral("netOrCDscreen"), QStringLiteral("NetworkLoginScreen"),
                              QStringLiteral("addressScreen"), QStringLiteral("paymentScreenFrame"),
                              QStringLiteral("orderAck"),      QStringLiteral("agb"),
                              QStringLiteral("finalNetScreen")};
    ASSERT_TRUE(waitForPage(QStringLiteral("orderScreen")));
    for (const QString &page : road) {
        // A registered customer logs in.
        if (currentPage() == QLatin1String("NetworkLoginScreen")) {
            QWidget *login = wizard()->currentPage();
            login->findChild<QLineEdit *>(QStringLiteral("emailEdit"))
                ->setText(QStringLiteral("ada@example.org"));
            login->findChild<QLineEdit *>(QStringLiteral("PasswordEdit"))->setText(QStringLiteral("geheim1"));
        }
        if (currentPage() == QLatin1String("agb"))
            wizard()->currentPage()->findChild<QCheckBox *>(QStringLiteral("terms"))->click();
        ASSERT_TRUE(pressNext());
        ASSERT_TRUE(waitForPage(page));
    }
    EXPECT_EQ(1, server().pictures().size());
    EXPECT_TRUE(presenter().requests().isEmpty());
    EXPECT_FALSE(wizard()->nextButton()->isVisible());
    EXPECT_FALSE(wizard()->cancelButton()->isVisible());
    EXPECT_TRUE(endsEventLoop([this] { EXPECT_TRUE(pressFinish()); }));
}

TEST_F(ETWizardFactoryPluginTest, BackFromTheLoginLeavesTheInternetRoad)
{
    buildWizard();
    loadPictures({{QStringLiteral("P1.jpg")}});
    showWizard();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("NetworkLoginScreen")));
    EXPECT_EQ(SubmitNet, ETOrder::instance()->submitMethod());
    ASSERT_TRUE(pressBack());
    ASSERT_TRUE(waitForPage(QStringLiteral("netOrCDscreen")));
    EXPECT_FALSE(wizard()->netOrder());
}

using ETWizardFactoryDeathTest = WizardFixture;

TEST_F(ETWizardFactoryDeathTest, CreateAppropriateWizardEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ETWizardFactoryPlugin factory;
    EXPECT_EXIT(factory.createAppropriateWizard(nullptr), ::testing::ExitedWithCode(1),
                "Falls das hier erscheint, müssen Sie ETWizardFactory::createAppropriateWizard überladen");
}

// Says on the error output which boxes were shown, so that a test that ends the program sees them.
class EchoingPresenter : public ETRecordingPresenter
{
  public:
    QMessageBox::StandardButton messageBox(const ETMessageBoxRequest &request) override
    {
        std::fprintf(stderr, "box %s\n", qPrintable(request.caption));
        return ETRecordingPresenter::messageBox(request);
    }
};

using ETWizardFactoryStartDeathTest = BasketFixture;

// No screen of the client starts a second wizard: the client's wizard factory refuses after the warning.
TEST_F(ETWizardFactoryStartDeathTest, StartWizardWarnsOfMixedFormatsThenTheFactoryRefuses)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ETWizardFactoryPlugin factory;
    loadPictures({{QStringLiteral("P1.jpg")}, {QStringLiteral("P2.jpg")}});
    ETOrder::instance()->orderItems()->at(1)->setProductName(QStringLiteral("Mini"));
    ASSERT_FALSE(ETOrder::instance()->isHomogeneous());
    EchoingPresenter presenter;
    EXPECT_EXIT(
        factory.startWizard(), ::testing::ExitedWithCode(1),
        "box Mischauftrag.*Falls das hier erscheint, müssen Sie ETWizardFactory::createAppropriateWizard");
}

} // namespace
