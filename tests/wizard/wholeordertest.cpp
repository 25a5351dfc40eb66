// A whole order through the wizard as the client builds it, against the
// order-server double: the basket from a list file, the road page, the login
// of a registered customer, the unchanged address, the payment, the overview,
// the terms, the upload and the confirmation.
#include "customerroadfixture.h"
#include "etimage.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etservercode.h"
#include "etvaliduntiledit.h"
#include "etwizardscreen.h"
#include "paymenttype.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <functional>
#include <memory>

namespace
{

const QString samples = QStringLiteral(LUMO_RESOURCES_DIR "/samples/");

// The bold heading of a page title, or its start when it has none.
QString heading(const QString &title)
{
    const int bold = title.indexOf(QStringLiteral("<b>"));
    if (bold < 0)
        return title.mid(4, 40);
    return title.mid(bold + 3, title.indexOf(QStringLiteral("</b>")) - bold - 3);
}

class WholeOrderTest : public CustomerRoadFixture
{
  protected:
    void SetUp() override
    {
        writeResource(QStringLiteral("keyaccount/agb.txt"), "Allgemeine Geschäftsbedingungen");
        server().addStore(7, QStringLiteral("Foto Mitte"), QStringLiteral("Hauptstr. 5"),
                          QStringLiteral("10115"), QStringLiteral("Berlin"));
        addKnownCustomer();
        // The list file names four sample pictures, one of them unreadable. They
        // are copied first: the optimised copies are written beside them.
        QFile list(environment().scratch() + QStringLiteral("/bilder.txt"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        for (const char *name : {"strand.jpg", "klein.jpg", "blume.png", "kaputt.jpg"}) {
            const QString copy = environment().scratch() + QLatin1Char('/') + QLatin1String(name);
            ASSERT_TRUE(QFile::copy(samples + QLatin1String(name), copy)) << name;
            list.write(copy.toUtf8() + '\n');
        }
        list.close();
        // As main builds it: the wizard shown first, then the list files to the order.
        buildWizard();
        showWizard();
        ETOrder::instance()->addImages({list.fileName()});
        // An unexpected failure ends its request instead of retrying for ever.
        presenter().answerBox(QMessageBox::Cancel);
    }

    // The page titles as the wizard showed them, by their heading.
    void watchTitles()
    {
        auto note = [this] {
            const QString shown = heading(wizard()->titleLabel()->text());
            if (m_titles.isEmpty() || m_titles.last() != shown)
                m_titles << shown;
        };
        m_titleWatch = std::make_unique<QObject>();
        // The sending page shows while the upload runs; its title is noted then.
        QObject::connect(ETNetworking::instance(), &ETNetworking::uploadOrderData, m_titleWatch.get(), note,
                         Qt::QueuedConnection);
        m_note = note;
        note();
    }

    ::testing::AssertionResult next(const QString &page)
    {
        ::testing::AssertionResult result = pressNext();
        if (result)
            result = waitForPage(page);
        if (m_note)
            m_note();
        return result;
    }

    // From the basket to the payment page, as a registered customer whose address is unchanged.
    ::testing::AssertionResult toPayment()
    {
        for (const char *page : {"netOrCDscreen", "NetworkLoginScreen"})
            if (auto r = next(QLatin1String(page)); !r)
                return r;
        if (auto r = typeLogin(email(), password()); !r)
            return r;
        for (const char *page : {"addressScreen", "paymentScreenFrame"})
            if (auto r = next(QLatin1String(page)); !r)
                return r;
        return ::testing::AssertionSuccess();
    }

    // From the overview over the terms to the confirmation.
    ::testing::AssertionResult send()
    {
        if (auto r = next(QStringLiteral("agb")); !r)
            return r;
        child<QCheckBox>(QStringLiteral("terms"))->click();
        return next(QStringLiteral("finalNetScreen"));
    }

    QString confirmation() const
    {
        return wizard()
            ->screenByName(QStringLiteral("finalNetScreen"))
            ->page()
            ->findChild<QTextEdit *>(QStringLiteral("FinalBonSpace"))
            ->toPlainText();
    }

    // The requests from the declaration on, upload controls with their action.
    QStringList sendingRequests()
    {
        const QStringList names = requestSequence();
        const int declaration = int(names.indexOf(QStringLiteral("orderdeclaration_request")));
        return declaration < 0 ? QStringList() : names.mid(declaration);
    }

    static QStringList whole(int pictures)
    {
        QStringList names{QStringLiteral("orderdeclaration_request")};
        for (int i = 0; i < pictures; ++i)
            names << QStringLiteral("uploadctrl_request:start") << QStringLiteral("upload");
        return names << QStringLiteral("uploadctrl_request:start") << QStringLiteral("orderfinish_request")
                     << QStringLiteral("endsession_request:normal");
    }

    QStringList m_titles;
    std::unique_ptr<QObject> m_titleWatch;
    std::function<void()> m_note;
};

TEST_F(WholeOrderTest, ARegisteredCustomerPaysByInvoice)
{
    watchTitles();
    ASSERT_TRUE(toPayment());
    EXPECT_FALSE(requestNames().contains(QStringLiteral("userchange_request"))) << "the address is unchanged";
    child<QRadioButton>(QStringLiteral("getMail"))->click();
    ASSERT_TRUE(next(QStringLiteral("orderAck")));
    EXPECT_TRUE(child<QTextEdit>(QStringLiteral("finalOrderView"))
                    ->toPlainText()
                    .contains(QStringLiteral("Ihre Bestellung:")));
    server().clearRequests();
    ASSERT_TRUE(send());

    EXPECT_EQ(whole(3), sendingRequests());
    EXPECT_TRUE(everyPictureArrived());
    const QString text = confirmation();
    EXPECT_TRUE(text.contains(QStringLiteral("Auftragsbestätigung:"))) << text.toStdString();
    EXPECT_TRUE(text.contains(server().lastOrderId())) << text.toStdString();
    EXPECT_TRUE(presenter().requests().isEmpty());
    EXPECT_EQ(
        (QStringList{QStringLiteral("Warenkorb"), QStringLiteral("Bestellweg wählen"),
                     QStringLiteral("Anmeldung"), QStringLiteral("Lieferadresse:"),
                     QStringLiteral("Zustellart auswählen"), QStringLiteral("Bestellübersicht"),
                     QStringLiteral("Allgemeine Geschäftsbedingungen"),
                     QStringLiteral("Übertragung des Auftrags"),
                     heading(QStringLiteral("<qt>Vielen Dank für die Zusendung des Auftrags. Der "
                                            "Auftragsbestätigung können Sie alle Informationen zu Ihrer "
                                            "Bestellung entnehmen.</qt>"))}),
        m_titles);
    EXPECT_TRUE(endsEventLoop([this] { EXPECT_TRUE(pressFinish()); }));
}

// A picture whose file name holds a control character (XML cannot carry it)
// is declared under a name with the character replaced, and the server's
// requests for that name still send the picture itself.
TEST_F(WholeOrderTest, APictureWhoseNameXMLCannotCarryGoesThrough)
{
    ASSERT_FALSE(addPicture(QStringLiteral("Urlaub\vStrand\x01.jpg"), 60, 40).isEmpty());
    ASSERT_TRUE(toPayment());
    child<QRadioButton>(QStringLiteral("getMail"))->click();
    ASSERT_TRUE(next(QStringLiteral("orderAck")));
    server().clearRequests();
    ASSERT_TRUE(send());

    EXPECT_EQ(whole(4), sendingRequests());
    EXPECT_TRUE(everyPictureArrived());
    EXPECT_TRUE(presenter().requests().isEmpty());
    const QList<ETOrderServerRequest> declarations =
        server().requests(QStringLiteral("orderdeclaration_request"));
    ASSERT_EQ(1, declarations.size());
    const QString r(QLatin1Char('_'));
    EXPECT_TRUE(QString::fromUtf8(declarations[0].body)
                    .contains(QStringLiteral("/Urlaub") + r + QStringLiteral("Strand") + r))
        << declarations[0].body.constData();
    EXPECT_TRUE(confirmation().contains(server().lastOrderId()));
}

// Every payment the sample rules allow for the internet, with its own page.
struct PaymentCase {
    const char *name;
    const char *button;
    int type;
    // From the payment page over the payment's own page to the overview.
    std::function<::testing::AssertionResult(WholeOrderTest *)> fill;
    QStringList pageRequests; // what that page asks of the server
    std::function<void(const ETOrderServerRequest &)> checkDeclaration;
};

class PaymentRoadTest : public WholeOrderTest, public ::testing::WithParamInterface<PaymentCase>
{
  public:
    using WholeOrderTest::child;
    using WholeOrderTest::next;
    using WholeOrderTest::type;
};

void PrintTo(const PaymentCase &c, std::ostream *out)
{
    *out << c.name;
}

TEST_P(PaymentRoadTest, TheOrderGoesThroughWithItsPaymentData)
{
    const PaymentCase &c = GetParam();
    ASSERT_TRUE(toPayment());
    child<QRadioButton>(QLatin1String(c.button))->click();
    server().clearRequests();
    ASSERT_TRUE(c.fill(this));
    EXPECT_EQ(c.pageRequests, requestNames());
    ASSERT_EQ(QStringLiteral("orderAck"), currentPage());
    EXPECT_EQ(c.type, ETOrder::instance()->paymentType());
    server().clearRequests();
    ASSERT_TRUE(send());
    EXPECT_EQ(whole(3), sendingRequests());
    EXPECT_TRUE(everyPictureArrived());
    const QList<ETOrderServerRequest> declarations =
        server().requests(QStringLiteral("orderdeclaration_request"));
    ASSERT_EQ(1, declarations.size());
    EXPECT_EQ(QString::number(c.type), declarations[0].text(QStringLiteral("payment_id")));
    c.checkDeclaration(declarations[0]);
    EXPECT_TRUE(confirmation().contains(QStringLiteral("Auftragsbestätigung:")));
    EXPECT_TRUE(presenter().requests().isEmpty());
}

QDomElement block(const ETOrderServerRequest &r, const char *name)
{
    return r.xml.documentElement().firstChildElement(QLatin1String(name));
}

INSTANTIATE_TEST_SUITE_P(
    SamplePayments, PaymentRoadTest,
    ::testing::Values(
        PaymentCase{"invoice",
                    "getMail",
                    PaymentBill,
                    [](WholeOrderTest *t) {
                        return static_cast<PaymentRoadTest *>(t)->next(QStringLiteral("orderAck"))
                                   ? ::testing::AssertionSuccess()
                                   : ::testing::AssertionFailure();
                    },
                    {},
                    [](const ETOrderServerRequest &r) {
                        EXPECT_TRUE(block(r, "cc_info").isNull());
                        EXPECT_TRUE(block(r, "debit_info").isNull());
                    }},
        PaymentCase{
            "card",
            "creditcard",
            PaymentCreditCard,
            [](WholeOrderTest *base) {
                auto *t = static_cast<PaymentRoadTest *>(base);
                if (auto r = t->next(QStringLiteral("creditCardScreenFrame")); !r)
                    return r;
                if (auto r = t->type(QStringLiteral("cardownerEdit"), QStringLiteral("Ada Lovelace")); !r)
                    return r;
                if (auto r = t->type(QStringLiteral("cardnumberEdit"), QStringLiteral("4111111111111111"));
                    !r)
                    return r;
                // A card that has not run out by the test's clock.
                t->child<ETValidUntilEdit>(QStringLiteral("validuntilEdit"))
                    ->setText(QStringLiteral("12/26"));
                auto *brands = t->child<QComboBox>(QStringLiteral("cardtypeEdit"));
                brands->setCurrentIndex(brands->findText(QStringLiteral("Visa")));
                return t->next(QStringLiteral("orderAck"));
            },
            {QStringLiteral("creditcards_request")},
            [](const ETOrderServerRequest &r) {
                const QDomElement card = block(r, "cc_info");
                ASSERT_FALSE(card.isNull());
                EXPECT_EQ(QStringLiteral("VISA"), card.firstChildElement(QStringLiteral("cc_brand")).text());
                EXPECT_EQ(QStringLiteral("Ada Lovelace"),
                          card.firstChildElement(QStringLiteral("cc_holder")).text());
                EXPECT_EQ(QStringLiteral("4111111111111111"),
                          card.firstChildElement(QStringLiteral("cc_number")).text());
                EXPECT_FALSE(card.firstChildElement(QStringLiteral("cc_valid_year")).text().isEmpty());
            }},
        PaymentCase{"debit",
                    "account",
                    PaymentDebit,
                    [](WholeOrderTest *base) {
                        auto *t = static_cast<PaymentRoadTest *>(base);
                        if (auto r = t->next(QStringLiteral("bankAccountScreenFrame")); !r)
                            return r;
                        for (const auto &field : {std::make_pair("accountownerEdit", "Ada Lovelace"),
                                                  std::make_pair("accountEdit", "1234567"),
                                                  std::make_pair("bankleitzahlEdit", "37040044"),
                                                  std::make_pair("banknameEdit", "Commerzbank")})
                            if (auto r = t->type(QLatin1String(field.first), QString::fromUtf8(field.second));
                                !r)
                                return r;
                        return t->next(QStringLiteral("orderAck"));
                    },
                    {QStringLiteral("debit_data_request"), QStringLiteral("debit_update_request")},
                    [](const ETOrderServerRequest &r) {
                        const QDomElement debit = block(r, "debit_info");
                        ASSERT_FALSE(debit.isNull());
                        EXPECT_EQ(QStringLiteral("37040044"),
                                  debit.firstChildElement(QStringLiteral("debit_bankcode")).text());
                        EXPECT_EQ(QStringLiteral("1234567"),
                                  debit.firstChildElement(QStringLiteral("debit_account_number")).text());
                    }},
        PaymentCase{"store",
                    "myGetPickup",
                    PaymentOutlet,
                    [](WholeOrderTest *base) {
                        auto *t = static_cast<PaymentRoadTest *>(base);
                        if (auto r = t->next(QStringLiteral("storeSelect")); !r)
                            return r;
                        if (auto r = t->type(QStringLiteral("postalcodeEdit"), QStringLiteral("101")); !r)
                            return r;
                        t->child<QPushButton>(QStringLiteral("searchButton"))->click();
                        t->child<QListWidget>(QStringLiteral("storeBox"))->setCurrentRow(0);
                        return t->next(QStringLiteral("orderAck"));
                    },
                    {QStringLiteral("locationlist_request")},
                    [](const ETOrderServerRequest &r) {
                        EXPECT_EQ(QStringLiteral("7"), r.text(QStringLiteral("loc_id")));
                    }}),
    [](const ::testing::TestParamInfo<PaymentCase> &info) { return std::string(info.param.name); });

TEST_F(WholeOrderTest, AFailedPicturePostIsRetriedWithoutASecondDeclaration)
{
    ASSERT_TRUE(toPayment());
    child<QRadioButton>(QStringLiteral("getMail"))->click();
    ASSERT_TRUE(next(QStringLiteral("orderAck")));
    server().clearRequests();
    server().addFault(fault(QStringLiteral("upload"))
                          .code(ETServerCode::PictureDamaged, QStringLiteral("Bild beschädigt")));
    presenter().clear();
    // The answer queued in SetUp is used up by the failed picture: retry it.
    ETRecordingPresenter retrying;
    retrying.answerBox(QMessageBox::Retry);
    retrying.answerBox(QMessageBox::Cancel);
    ASSERT_TRUE(send());
    ASSERT_EQ(1, retrying.requests().size());
    QStringList expected = whole(3);
    expected.insert(1, QStringLiteral("uploadctrl_request:start"));
    expected.insert(2, QStringLiteral("upload"));
    EXPECT_EQ(expected, sendingRequests());
    EXPECT_EQ(1, server().requests(QStringLiteral("orderdeclaration_request")).size());
    EXPECT_TRUE(everyPictureArrived());
    EXPECT_TRUE(confirmation().contains(QStringLiteral("Auftragsbestätigung:")));
}

TEST_F(WholeOrderTest, CancelDuringTheUploadEndsTheSessionAndTheProgram)
{
    ASSERT_TRUE(toPayment());
    child<QRadioButton>(QStringLiteral("getMail"))->click();
    ASSERT_TRUE(next(QStringLiteral("orderAck")));
    ASSERT_TRUE(next(QStringLiteral("agb")));
    child<QCheckBox>(QStringLiteral("terms"))->click();
    server().clearRequests();
    // The first picture takes the double long: Cancel finds the post running.
    server().addFault(fault(QStringLiteral("upload")).delay(60000));
    // The second report comes from the running post.
    QObject watch;
    int reports = 0;
    QObject::connect(
        ETNetworking::instance(), &ETNetworking::uploadProgress, &watch,
        [this, &reports] {
            if (++reports == 2) {
                EXPECT_TRUE(pressCancel());
            }
        },
        Qt::QueuedConnection);
    EXPECT_TRUE(endsEventLoop([this] { EXPECT_TRUE(pressNext()); }, 30000));
    EXPECT_FALSE(wizard()->isVisible());
    const QStringList sent = sendingRequests();
    EXPECT_EQ(QStringLiteral("endsession_request:abort"), sent.value(sent.size() - 1));
    EXPECT_EQ(1, sent.count(QStringLiteral("endsession_request:abort")));
    EXPECT_FALSE(sent.contains(QStringLiteral("orderfinish_request")));
    EXPECT_TRUE(server().pictures().isEmpty());
}

} // namespace

namespace
{

TEST_F(WholeOrderTest, EveryControlOfThePaymentAndSendingPagesHasAName)
{
    for (const char *name : {"paymentScreenFrame", "creditCardScreenFrame", "bankAccountScreenFrame",
                             "storeSelect", "orderAck", "agb", "sendViaNet", "finalNetScreen"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(QStringList(), unnamedControls(wizard()->screenByName(QLatin1String(name))->page()));
    }
}

} // namespace
