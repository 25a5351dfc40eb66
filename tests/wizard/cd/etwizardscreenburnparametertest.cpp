#include "etwizardscreenburnparameter.h"
#include "ettestwait.h"
#include "fakeburner.h"
#include "messagecapture.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <memory>
#include <vector>

namespace
{

const QString pageName = QStringLiteral("selectBurnerScreen");

class ETWizardScreenBurnParameterTest : public WizardFixture
{
  protected:
    // The choice on the CD road between two pages of the test's own.
    ETWizardScreenBurnParameter *showChoice()
    {
        ETOrderWizard *w = emptyWizard();
        w->addScreen(new StandInScreen(QStringLiteral("addressScreen"), w), true);
        auto *screen = new ETWizardScreenBurnParameter(pageName, nullptr, w);
        w->addScreen(screen, true);
        w->addScreen(new StandInScreen(QStringLiteral("burnCDScreen"), w), false);
        showWizard();
        w->setCDOrder(true);
        w->showPage(screen->page());
        return screen;
    }

    FakeBurner &add(const FakeBurner::Script &script)
    {
        m_burners.push_back(std::make_unique<FakeBurner>(script));
        ETCDBurner::registerBurner(m_burners.back().get());
        return *m_burners.back();
    }

    QComboBox *combo(const char *name) const
    {
        return wizard()->currentPage()->findChild<QComboBox *>(QLatin1String(name));
    }

    static QStringList items(const QComboBox *box)
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }

  private:
    std::vector<std::unique_ptr<FakeBurner>> m_burners;
};

TEST_F(ETWizardScreenBurnParameterTest, PageAsBuilt)
{
    ETWizardScreenBurnParameter *screen = showChoice();
    ASSERT_TRUE(waitForPage(pageName));
    EXPECT_STREQ("ETWizardScreenBurnParameter", screen->metaObject()->className());
    EXPECT_TRUE(screen->inherits("ETWizardScreen"));
    EXPECT_EQ(pageName, screen->page()->objectName());
    EXPECT_EQ(QStringLiteral("<qt><b>Brennen-Info</b></qt>"), wizard()->titleLabel()->text());
    QStringList labels;
    for (const QLabel *label : screen->page()->findChildren<QLabel *>())
        labels << label->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Bitte wählen Sie einen Brenner aus")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Bitte wählen Sie die Schreibgeschwindigkeit aus")));
    EXPECT_EQ(QStringLiteral("Bitte wählen Sie einen Brenner aus"),
              combo("selectBurnerCombo")->accessibleName());
    EXPECT_EQ(QStringLiteral("Bitte wählen Sie die Schreibgeschwindigkeit aus"),
              combo("selectSpeedCombo")->accessibleName());
}

TEST_F(ETWizardScreenBurnParameterTest, EmptyRegistryLetsNobodyOn)
{
    ETWizardScreenBurnParameter *screen = showChoice();
    ASSERT_TRUE(waitForPage(pageName));
    EXPECT_EQ(QStringList{QStringLiteral("keine Brenner gefunden")}, items(combo("selectBurnerCombo")));
    EXPECT_FALSE(combo("selectBurnerCombo")->isEnabled());
    EXPECT_EQ(QStringList{QStringLiteral("kein Brenner ausgewählt")}, items(combo("selectSpeedCombo")));
    EXPECT_FALSE(combo("selectSpeedCombo")->isEnabled());
    EXPECT_FALSE(screen->check());
    EXPECT_FALSE(wizard()->nextButton()->isEnabled());
    EXPECT_EQ(0, screen->selectedSpeed());
}

// The speeds offered and the one preselected: the highest not above the current speed.
TEST_F(ETWizardScreenBurnParameterTest, SpeedListFollowsTheBurner)
{
    const struct {
        const char *what;
        int maximum;
        int current;
        bool baseSpeeds;
        QList<int> speeds;
        QStringList items;
        int selected;
        bool enabled;
        int passed;
    } cases[] = {
        {"24, current 10",
         24,
         10,
         true,
         {},
         {QStringLiteral("1 fach"), QStringLiteral("2 fach"), QStringLiteral("4 fach"),
          QStringLiteral("8 fach"), QStringLiteral("12 fach"), QStringLiteral("16 fach"),
          QStringLiteral("20 fach"), QStringLiteral("24 fach")},
         3,
         true,
         8},
        {"24, current 24", 24, 24, true, {}, {}, 7, true, 24},
        {"current 1",
         4,
         1,
         true,
         {},
         {QStringLiteral("1 fach"), QStringLiteral("2 fach"), QStringLiteral("4 fach")},
         0,
         true,
         1},
        {"current 0",
         2,
         0,
         true,
         {},
         {QStringLiteral("1 fach"), QStringLiteral("2 fach"),
          QStringLiteral("keine Geschwindigkeiten verfügbar")},
         0,
         false,
         1},
        {"maximum 0", 0, 0, true, {}, {QStringLiteral("keine Geschwindigkeiten verfügbar")}, 0, false, 0},
        {"own list",
         52,
         40,
         false,
         {16, 32, 48},
         {QStringLiteral("16 fach"), QStringLiteral("32 fach"), QStringLiteral("48 fach")},
         1,
         true,
         32},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FakeBurner::Script script;
        script.maximumSpeed = c.maximum;
        script.currentSpeed = c.current;
        script.useBaseSpeeds = c.baseSpeeds;
        script.speeds = c.speeds;
        FakeBurner burner(script);
        ETCDBurner::registerBurner(&burner);
        ETWizardScreenBurnParameter *screen = showChoice();
        ASSERT_TRUE(waitForPage(pageName));
        QComboBox *speeds = combo("selectSpeedCombo");
        if (!c.items.isEmpty()) {
            EXPECT_EQ(c.items, items(speeds));
        }
        EXPECT_EQ(c.selected, speeds->currentIndex());
        EXPECT_EQ(c.enabled, speeds->isEnabled());
        EXPECT_TRUE(wizard()->nextButton()->isEnabled());
        EXPECT_EQ(c.passed, screen->selectedSpeed());
        ASSERT_TRUE(pressNext());
        EXPECT_EQ(QStringLiteral("fake0"), wizard()->burnerName());
        EXPECT_EQ(c.passed, wizard()->burnerSpeed());
    }
}

TEST_F(ETWizardScreenBurnParameterTest, SpeedsAreLoggedWhenListed)
{
    add(FakeBurner::Script());
    MessageCapture capture;
    showChoice();
    EXPECT_TRUE(hasLine(capture, QStringLiteral("Burner Fake Writer 24x max=24 current=10")));
}

// Another burner in the combo refills the speeds at once; a speed is only taken on Next.
TEST_F(ETWizardScreenBurnParameterTest, ChoosingABurnerRefillsTheSpeeds)
{
    add(FakeBurner::Script());
    FakeBurner::Script slow;
    slow.internalName = QStringLiteral("slow1");
    slow.externalName = QStringLiteral("Slow Writer");
    slow.maximumSpeed = 4;
    slow.currentSpeed = 2;
    add(slow);
    showChoice();
    ASSERT_TRUE(waitForPage(pageName));
    QComboBox *burners = combo("selectBurnerCombo");
    QComboBox *speeds = combo("selectSpeedCombo");
    EXPECT_EQ((QStringList{QStringLiteral("Fake Writer 24x"), QStringLiteral("Slow Writer")}),
              items(burners));
    EXPECT_TRUE(burners->isEnabled());
    EXPECT_EQ(8, speeds->count());

    burners->setCurrentIndex(1);
    emit burners->activated(1);
    EXPECT_EQ((QStringList{QStringLiteral("1 fach"), QStringLiteral("2 fach"), QStringLiteral("4 fach")}),
              items(speeds));
    EXPECT_EQ(1, speeds->currentIndex());

    speeds->setCurrentIndex(2);
    emit speeds->activated(2);
    EXPECT_EQ(QString(), wizard()->burnerName());
    ASSERT_TRUE(pressNext());
    EXPECT_EQ(QStringLiteral("slow1"), wizard()->burnerName());
    EXPECT_EQ(4, wizard()->burnerSpeed());
}

// A burner registered after the first visit is listed on the next one.
TEST_F(ETWizardScreenBurnParameterTest, EveryVisitListsTheRegistryAgain)
{
    ETWizardScreenBurnParameter *screen = showChoice();
    ASSERT_TRUE(waitForPage(pageName));
    EXPECT_FALSE(screen->check());
    add(FakeBurner::Script());
    wizard()->showPage(screen->page());
    EXPECT_EQ(QStringList{QStringLiteral("Fake Writer 24x")}, items(combo("selectBurnerCombo")));
    EXPECT_TRUE(wizard()->nextButton()->isEnabled());
}

TEST_F(ETWizardScreenBurnParameterTest, OnlyOnTheCDRoad)
{
    ETOrderWizard *w = buildWizard();
    ETWizardScreen *screen = w->screenByName(pageName);
    w->setCDOrder(false);
    EXPECT_FALSE(screen->appropriate());
    w->setCDOrder(true);
    EXPECT_TRUE(screen->appropriate());
}

} // namespace
