#include "etwizardscreenstoreselection.h"

#include "etlineedit.h"
#include "etnetworking.h"
#include "etnetworkingtimes.h"
#include "etorder.h"
#include "etstore.h"
#include "etstorelist.h"
#include "paymenttype.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QListWidget>
#include <QPushButton>

namespace
{

const QString request = QStringLiteral("locationlist_request");
const QString mitte = QStringLiteral("10115 Berlin, Foto Mitte, Hauptstr. 5");
const QString nord = QStringLiteral("10117 Berlin, Foto Nord, Nordweg 1");
const QString hafen = QStringLiteral("20095 Hamburg, Foto Hafen, Kai 3");

// The store page after a page of the test's own, with a session open at the
// double, which knows three stores.
class StoreSelectionTest : public WizardFixture
{
  protected:
    void SetUp() override
    {
        server().addStore(1, QStringLiteral("Foto Mitte"), QStringLiteral("Hauptstr. 5"),
                          QStringLiteral("10115"), QStringLiteral("Berlin"));
        server().addStore(2, QStringLiteral("Foto Nord"), QStringLiteral("Nordweg 1"),
                          QStringLiteral("10117"), QStringLiteral("Berlin"));
        server().addStore(3, QStringLiteral("Foto Hafen"), QStringLiteral("Kai 3"), QStringLiteral("20095"),
                          QStringLiteral("Hamburg"));
        ASSERT_TRUE(ETNetworking::instance()->startSession());
        server().clearRequests();
        ETOrderWizard *w = emptyWizard();
        w->setNetOrder(true);
        w->setCustomerPath(true);
        ETOrder::instance()->setPaymentType(PaymentOutlet);
        w->addScreen(new StandInScreen(QStringLiteral("before"), w), true);
        m_screen = new ETWizardScreenStoreSelection(QStringLiteral("storeSelect"), nullptr, w);
        w->addScreen(m_screen, true);
        w->addScreen(new StandInScreen(QStringLiteral("after"), w), true);
        m_box = child<QListWidget>("storeBox");
        m_zip = child<ETLineEdit>("postalcodeEdit");
        m_city = child<ETLineEdit>("myCityEdit");
        m_search = child<QPushButton>("searchButton");
        ASSERT_TRUE(m_box && m_zip && m_city && m_search);
    }

    template <typename T> T *child(const char *name) const
    {
        return m_screen->page()->findChild<T *>(QLatin1String(name));
    }

    ::testing::AssertionResult reachStorePage()
    {
        showWizard();
        if (auto r = pressNext(); !r)
            return r;
        return waitForPage(QStringLiteral("storeSelect"));
    }

    QStringList lines() const
    {
        QStringList result;
        for (int i = 0; i < m_box->count(); ++i)
            result << m_box->item(i)->text();
        return result;
    }

    ETWizardScreenStoreSelection *m_screen = nullptr;
    QListWidget *m_box = nullptr;
    ETLineEdit *m_zip = nullptr;
    ETLineEdit *m_city = nullptr;
    QPushButton *m_search = nullptr;
};

TEST_F(StoreSelectionTest, PageStartsWithNoStoreAndNextDisabled)
{
    EXPECT_EQ(QStringLiteral("frame"), m_screen->page()->objectName());
    EXPECT_EQ(QStringList{QStringLiteral("keine Filiale")}, lines());
    EXPECT_EQ(0, m_box->currentRow());
    EXPECT_EQ(QAbstractItemView::SingleSelection, m_box->selectionMode());
    EXPECT_EQ(QStringLiteral("PLZ"), m_zip->accessibleName());
    EXPECT_EQ(QStringLiteral("Ort"), m_city->accessibleName());
    EXPECT_EQ(QStringLiteral("Suchen"), m_search->accessibleName());
    ASSERT_TRUE(reachStorePage());
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
}

TEST_F(StoreSelectionTest, SearchesFillTheList)
{
    const struct {
        const char *name;
        const char *zip;
        const char *city;
        QStringList lines;
        const char *sentKey; // the element the request carried
        bool nextEnabled;
    } cases[] = {
        {"by postal code", "101", "", {mitte, nord}, "zip", true},
        {"by town", "", "Hamburg", {hafen}, "city", true},
        {"nothing found", "999", "", {QStringLiteral("keine Filiale")}, "zip", false},
    };
    ASSERT_TRUE(reachStorePage());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        server().clearRequests();
        m_zip->setText(QLatin1String(c.zip));
        m_city->setText(QLatin1String(c.city));
        m_search->click();
        EXPECT_EQ(c.lines, lines());
        EXPECT_EQ(0, m_box->currentRow());
        ASSERT_EQ(QStringList{request}, requestNames());
        const ETOrderServerRequest sent = server().requests().first();
        EXPECT_EQ(QString::fromLatin1(*c.zip ? c.zip : c.city), sent.text(QLatin1String(c.sentKey)));
        EXPECT_EQ(c.nextEnabled, wizard()->nextButton()->isEnabled());
    }
}

// The page stays alive while a slow search waits; another Suchen or Zurück
// meanwhile starts nothing.
TEST_F(StoreSelectionTest, ClicksWhileASearchWaitsStartNothing)
{
    ETNetworkingTimes::setMillisecondsPerSecond(100); // request time-outs of 12 s
    ASSERT_TRUE(reachStorePage());
    server().clearRequests();
    server().addFault(fault(request).rate(200));
    m_zip->setText(QStringLiteral("101"));
    const InterruptedStep step = interruptWhenRequested(
        request, [this] { m_search->click(); },
        [this] {
            m_search->click();
            wizard()->backButton()->click();
        });
    EXPECT_TRUE(step.interrupted);
    EXPECT_LT(step.longestFreezeMs, 400);
    EXPECT_EQ(QStringList{request}, requestNames());
    EXPECT_EQ((QStringList{mitte, nord}), lines());
    EXPECT_EQ(QStringLiteral("storeSelect"), currentPage());
}

TEST_F(StoreSelectionTest, TypingInOneFieldEmptiesTheOther)
{
    m_zip->setText(QStringLiteral("101"));
    m_city->setText(QStringLiteral("B"));
    EXPECT_TRUE(m_zip->text().isEmpty());
    m_zip->setText(QStringLiteral("2"));
    EXPECT_TRUE(m_city->text().isEmpty());
}

TEST_F(StoreSelectionTest, BothFieldsSetOtherwiseThePostalCodeWins)
{
    m_zip->blockSignals(true);
    m_zip->setText(QStringLiteral("200"));
    m_zip->blockSignals(false);
    m_city->blockSignals(true);
    m_city->setText(QStringLiteral("Berlin"));
    m_city->blockSignals(false);
    m_search->click();
    EXPECT_EQ(QStringList{hafen}, lines());
}

TEST_F(StoreSelectionTest, WithBothFieldsEmptyNothingIsSentAndTheListStays)
{
    m_city->setText(QStringLiteral("Berlin"));
    m_search->click();
    ASSERT_EQ((QStringList{mitte, nord}), lines());
    m_city->clear();
    server().clearRequests();
    m_search->click();
    EXPECT_TRUE(requestNames().isEmpty());
    EXPECT_EQ((QStringList{mitte, nord}), lines());
    EXPECT_TRUE(presenter().requests().isEmpty());
}

TEST_F(StoreSelectionTest, AFailedSearchIsOfferedAgainAndDecliningKeepsTheListAndItsStores)
{
    m_zip->setText(QStringLiteral("101"));
    m_search->click();
    ASSERT_EQ((QStringList{mitte, nord}), lines());
    m_box->setCurrentRow(1);

    // The first failure is retried and fails again; the second is declined.
    server().addFault(fault(request).status(503).times(2));
    presenter().answerBox(QMessageBox::Retry);
    presenter().answerBox(QMessageBox::Cancel);
    server().clearRequests();
    m_zip->setText(QStringLiteral("200"));
    m_search->click();
    EXPECT_EQ((QStringList{request, request}), requestNames());
    ASSERT_EQ(2, presenter().requests().size());
    EXPECT_EQ(QStringLiteral("Ein Fehler ist aufgetreten"), presenter().last().box.caption);
    EXPECT_EQ((QStringList{mitte, nord}), lines());
    EXPECT_EQ(1, m_box->currentRow());
    // The lines still name stores the order can find.
    EXPECT_EQ(2, ETStore::storeList()->count());
    EXPECT_NE(nullptr, ETStore::storeList()->storeByLabel(nord));
}

TEST_F(StoreSelectionTest, NextStoresTheStrippedLineAsTheStoreKey)
{
    ASSERT_TRUE(reachStorePage());
    m_city->setText(QStringLiteral("Berlin"));
    m_search->click();
    m_box->setCurrentRow(1);
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("after")));
    EXPECT_EQ(nord, ETOrder::instance()->storeId());
    EXPECT_FALSE(ETOrder::instance()->storeText().isEmpty());
}

TEST_F(StoreSelectionTest, BlankOrNoStoreLinesAreNoChoice)
{
    const struct {
        QString line;
        bool ok;
    } cases[] = {{QStringLiteral("   "), false},
                 {QString(), false},
                 {QStringLiteral(" keine Filiale "), false},
                 {QStringLiteral("  ") + mitte + QStringLiteral("  "), true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        m_box->clear();
        m_box->addItem(c.line);
        m_box->setCurrentRow(0);
        EXPECT_EQ(c.ok, m_screen->check());
    }
}

TEST_F(StoreSelectionTest, ShownOnlyForPaymentAtTheStore)
{
    EXPECT_TRUE(shownOnlyForPayment(m_screen, PaymentOutlet));
}

} // namespace
