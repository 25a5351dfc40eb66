#include "etwizardscreennetfinal.h"
#include "etwizardscreenorderack.h"

#include "etorder.h"
#include "etorderitem.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPrinter>
#include <QPushButton>
#include <QTextEdit>

namespace
{

// The overview and the confirmation after a page of the test's own, on the
// customer path, with an order of one line.
class OrderSummaryTest : public WizardFixture
{
  protected:
    void SetUp() override
    {
        ASSERT_FALSE(addPicture(QStringLiteral("berge.jpg"), 300, 200, QStringLiteral("10x15"), 2).isEmpty());
        ETOrderWizard *w = emptyWizard();
        w->setNetOrder(true);
        w->setCustomerPath(true);
        w->addScreen(new StandInScreen(QStringLiteral("before"), w), true);
        m_ack = new ETWizardScreenOrderAck(QStringLiteral("orderAck"), nullptr, w);
        w->addScreen(m_ack, true);
        m_final = new ETWizardScreenNetFinal(QStringLiteral("finalNetScreen"), nullptr, w, true);
        w->addScreen(m_final, true);
        w->addScreen(new StandInScreen(QStringLiteral("dropped"), w), true);
    }

    void TearDown() override { ETWizardScreenOrderSummary::setPrintSetupForTests({}); }

    ETWizardScreenOrderAck *m_ack = nullptr;
    ETWizardScreenNetFinal *m_final = nullptr;
};

TEST_F(OrderSummaryTest, ViewsStartWithTheirOwnTexts)
{
    EXPECT_EQ(QStringLiteral("finalOrderView"), m_ack->textView()->objectName());
    EXPECT_EQ(QStringLiteral("Hier werden die Orderdaten präsentiert"), m_ack->textView()->toPlainText());
    EXPECT_TRUE(m_ack->textView()->isReadOnly());
    EXPECT_EQ(QStringLiteral("finalNetScreen"), m_final->page()->objectName());
    EXPECT_EQ(QStringLiteral("FinalBonSpace"), m_final->textView()->objectName());
    EXPECT_EQ(QStringLiteral("Hier werden die Orderdaten abschliessend präsentiert"),
              m_final->textView()->toPlainText());
    EXPECT_TRUE(m_final->isFinal());
    EXPECT_FALSE(m_ack->isFinal());
    auto *print = m_final->page()->findChild<QPushButton *>(QStringLiteral("printbon"));
    ASSERT_NE(nullptr, print);
    EXPECT_EQ(QStringLiteral("Bon Drucken"), print->accessibleName());
}

TEST_F(OrderSummaryTest, EveryShowingOfTheOverviewShowsTheOrderAsItIsThen)
{
    showWizard();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("orderAck")));
    const QString first = m_ack->textView()->toPlainText();
    EXPECT_TRUE(first.contains(QStringLiteral("Ihre Bestellung:"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("2 x 10x15"))) << first.toStdString();

    ASSERT_TRUE(pressBack());
    ETOrder::instance()->orderItems()->first()->setAmount(5);
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("orderAck")));
    const QString second = m_ack->textView()->toPlainText();
    EXPECT_TRUE(second.contains(QStringLiteral("5 x 10x15"))) << second.toStdString();
}

TEST_F(OrderSummaryTest, TheConfirmationEndsTheRoadWithFinishOnly)
{
    showWizard();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("finalNetScreen")));
    EXPECT_TRUE(m_final->textView()->toPlainText().contains(QStringLiteral("Auftragsbestätigung:")));
    EXPECT_EQ(
        (QStringList{QStringLiteral("before"), QStringLiteral("orderAck"), QStringLiteral("finalNetScreen")}),
        pageNames());
    EXPECT_TRUE(wizard()->finishButton()->isVisible());
    EXPECT_FALSE(wizard()->nextButton()->isVisible());
    EXPECT_FALSE(wizard()->cancelButton()->isVisible());
    EXPECT_TRUE(endsEventLoop([this] { EXPECT_TRUE(pressFinish()); }));
}

TEST_F(OrderSummaryTest, SavingAppendsJpgToEveryName)
{
    const QString folder = environment().scratch();
    const struct {
        const char *chosen;
        const char *written;
    } cases[] = {{"x.jpg", "x.jpg.JPG"}, {"bon", "bon.JPG"}, {"bon.JPG", "bon.JPG.JPG"}};
    m_final->atShow();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen);
        presenter().clear();
        presenter().answerText(folder + QLatin1Char('/') + QLatin1String(c.chosen));
        m_final->saveBon();
        ASSERT_EQ(1, presenter().requests().size());
        const ETRecordedRequest &asked = presenter().last();
        EXPECT_EQ(ETRecordedRequest::SaveFileName, asked.kind);
        EXPECT_EQ(QDir::home().absolutePath(), asked.start);
        EXPECT_EQ(QStringLiteral("*.JPG"), asked.filter);
        const QString written = folder + QLatin1Char('/') + QLatin1String(c.written);
        QImageReader reader(written);
        EXPECT_EQ(QByteArray("jpeg"), reader.format()) << written.toStdString();
        EXPECT_EQ(m_final->textView()->size(), reader.size());
    }
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/x.jpg")))
        << "only the name with the extension appended";
}

TEST_F(OrderSummaryTest, ACancelledSaveWritesNothingAndAFailedOneIsReported)
{
    const QDir folder(environment().scratch());
    const QStringList before = folder.entryList(QDir::Files);
    m_final->saveBon(); // no answer: the requester is cancelled
    EXPECT_EQ(before, folder.entryList(QDir::Files));
    ASSERT_EQ(1, presenter().requests().size());

    const QString missing = folder.filePath(QStringLiteral("nicht/da/bon"));
    presenter().answerText(missing);
    m_final->saveBon();
    ASSERT_EQ(3, presenter().requests().size());
    const ETRecordedRequest &box = presenter().last();
    EXPECT_EQ(ETRecordedRequest::MessageBox, box.kind);
    EXPECT_TRUE(box.box.text.contains(QStringLiteral("bon.JPG"))) << box.box.text.toStdString();
}

TEST_F(OrderSummaryTest, PrintingGoesToThePrinterOnlyWhenTheSetUpIsAccepted)
{
    const QString pdf = environment().scratch() + QStringLiteral("/bon.pdf");
    for (bool accepted : {false, true}) {
        SCOPED_TRACE(accepted);
        int asked = 0;
        ETWizardScreenOrderSummary::setPrintSetupForTests([&](QPrinter *printer) {
            ++asked;
            EXPECT_EQ(300, printer->resolution());
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            return accepted;
        });
        m_final->atShow();
        m_final->page()->findChild<QPushButton *>(QStringLiteral("printbon"))->click();
        EXPECT_EQ(1, asked);
        QFile file(pdf);
        EXPECT_EQ(accepted, file.open(QIODevice::ReadOnly));
        if (accepted) {
            EXPECT_TRUE(file.read(4) == "%PDF");
        }
    }
}

TEST_F(OrderSummaryTest, ShownOnTheirRoads)
{
    const struct {
        bool customer, local, ack, final;
    } cases[] = {{true, false, true, true}, {false, true, true, false}, {false, false, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.customer << c.local);
        wizard()->setCustomerPath(c.customer);
        wizard()->setLocalOrder(c.local);
        EXPECT_EQ(c.ack, m_ack->appropriate());
        EXPECT_EQ(c.final, m_final->appropriate());
    }
}

} // namespace
