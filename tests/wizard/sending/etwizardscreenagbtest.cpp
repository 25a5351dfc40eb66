#include "etwizardscreenagb.h"

#include "standinscreen.h"
#include "wizardfixture.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTextEdit>

namespace
{

const QString notFound = QStringLiteral("Keine Allgemeinen Geschäftsbedinungen gefunden.");

// The terms page between two pages of the test's own, on the customer path.
class AGBTest : public WizardFixture
{
  protected:
    // Without content the terms file is missing.
    void build(const QByteArray *terms)
    {
        if (terms)
            writeResource(QStringLiteral("keyaccount/agb.txt"), *terms);
        ETOrderWizard *w = emptyWizard();
        w->setNetOrder(true);
        w->setCustomerPath(true);
        w->addScreen(new StandInScreen(QStringLiteral("before"), w), true);
        m_screen = new ETWizardScreenAGB(QStringLiteral("agb"), nullptr, w);
        w->addScreen(m_screen, true);
        w->addScreen(new StandInScreen(QStringLiteral("after"), w), true);
        showWizard();
    }

    QCheckBox *box() const { return m_screen->page()->findChild<QCheckBox *>(QStringLiteral("terms")); }
    QTextEdit *view() const { return m_screen->page()->findChild<QTextEdit *>(QStringLiteral("agbView")); }

    ETWizardScreenAGB *m_screen = nullptr;
};

TEST_F(AGBTest, NextFollowsTheCheckBoxAndReturningClearsIt)
{
    const QByteArray terms = "1. Geltungsbereich\n2. Preise";
    build(&terms);
    ASSERT_NE(nullptr, box());
    EXPECT_EQ(QStringLiteral("Ich habe die AGBs zur Kenntnis genommen und akzeptiere sie."), box()->text());
    EXPECT_TRUE(view()->isReadOnly());
    EXPECT_EQ(QString::fromUtf8(terms), view()->toPlainText());
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("agb")));
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
    box()->click();
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());
    box()->click();
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
    box()->click();
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("after")));
    ASSERT_TRUE(pressBack());
    ASSERT_TRUE(waitForPage(QStringLiteral("agb")));
    EXPECT_FALSE(box()->isChecked());
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
}

TEST_F(AGBTest, ABoxTickedByKeyboardOrAssistiveToolEnablesNextToo)
{
    const QByteArray terms = "AGB";
    build(&terms);
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("agb")));
    box()->toggle();
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());
    box()->setChecked(false);
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
}

TEST_F(AGBTest, WithoutTheTermsFileTheNoticeIsShownAndNextNeverEnabled)
{
    build(nullptr);
    EXPECT_EQ(nullptr, box());
    EXPECT_EQ(notFound, view()->toPlainText());
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("agb")));
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
    wizard()->checkIntegrity();
    EXPECT_FALSE(m_screen->check());
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
}

TEST_F(AGBTest, AnEmptyTermsFileStillGivesTheCheckBox)
{
    const QByteArray terms;
    build(&terms);
    ASSERT_NE(nullptr, box());
    EXPECT_TRUE(view()->toPlainText().isEmpty());
}

TEST_F(AGBTest, TermsAreReadAsUtf8OrElseWindows1252AndHtmlIsFormatted)
{
    const struct {
        const char *name;
        QByteArray bytes;
        QString plain;
    } cases[] = {
        {"utf-8",
         QByteArray("Gesch\xC3\xA4"
                    "ftsbedingungen \xE2\x80\x9E"
                    "AGB\xE2\x80\x9C \xE2\x82\xAC"),
         QStringLiteral("Geschäftsbedingungen „AGB“ €")},
        {"utf-8 with byte order mark",
         QByteArray("\xEF\xBB\xBF"
                    "Gr\xC3\xBC\xC3\x9F"
                    "e"),
         QStringLiteral("Grüße")},
        {"windows-1252",
         QByteArray("Gesch\xE4"
                    "ftsbedingungen \x84"
                    "AGB\x93 \x80"),
         QStringLiteral("Geschäftsbedingungen „AGB“ €")},
        {"html", QByteArray("<html><body><h1>AGB</h1><p>Preise inkl. MwSt.</p></body></html>"),
         QStringLiteral("AGB\nPreise inkl. MwSt.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        build(&c.bytes);
        EXPECT_EQ(c.plain, view()->toPlainText());
    }
}

TEST_F(AGBTest, ShownOnTheCustomerPathOrForALocalOrder)
{
    const QByteArray terms = "AGB";
    build(&terms);
    const struct {
        bool net, customer, local, appropriate;
    } cases[] = {{true, true, false, true},
                 {true, false, false, false},
                 {false, false, true, true},
                 {false, true, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.net << c.customer << c.local);
        wizard()->setNetOrder(c.net);
        wizard()->setCustomerPath(c.customer);
        wizard()->setLocalOrder(c.local);
        EXPECT_EQ(c.appropriate, m_screen->appropriate());
    }
}

} // namespace
