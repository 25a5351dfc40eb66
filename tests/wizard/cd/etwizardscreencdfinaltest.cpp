#include "etwizardscreencdfinal.h"

#include "etapplicationconfig.h"
#include "etcdburner.h"
#include "standinscreen.h"
#include "wizardfixture.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace
{

const QString thanks = QStringLiteral(
    "<qt>Vielen Dank für das Brennen der CD.<p>Bitte geben Sie die CD in einer unserer Filialen ab.");
const QString prices = QStringLiteral(
    "<p>Bitte beachten Sie, dass die aktuellen Preise von denen im Programm angegebenen abweichen können. "
    "Die "
    "Preisdaten können Sie jederzeit mit dem Menü <em>Extras</em> / <em>Aktualisieren</em> / "
    "<em>Preistabelle</em> über das Internet aktualisieren.<p>Sofern Sie nicht über einen Internet-Zugang "
    "verfügen, entnehmen Sie die Preise bitte dem Aushang in der Filiale.</qt>");

// The closing page of the CD road after a page of the test's own.
class CDFinalTest : public WizardFixture
{
  protected:
    // An empty address leaves the store-list element out of the dealer settings.
    void build(const QString &storeListUrl)
    {
        QString settings =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<applicationConfig>"
                           "<keyaccount>KA42</keyaccount><keyaccountname>LumoTest</keyaccountname>"
                           "<programname>lumotest</programname><protocol>1.5</protocol>");
        if (!storeListUrl.isEmpty())
            settings += QStringLiteral("<storelistURL>%1</storelistURL>").arg(storeListUrl);
        writeResource(QStringLiteral("default.xml"),
                      (settings + QStringLiteral("</applicationConfig>")).toUtf8());
        ETApplicationConfig::instance()->load();
        ETCDBurner::clearLogForTests();

        ETOrderWizard *w = emptyWizard();
        w->setCDOrder(true);
        w->addScreen(new StandInScreen(QStringLiteral("burn"), w), false);
        m_screen = new ETWizardScreenCDFinal(QStringLiteral("finalCDscreen"), nullptr, w);
        w->addScreen(m_screen, false);
        w->addScreen(new StandInScreen(QStringLiteral("dropped"), w), true);
        showWizard();
    }

    QLabel *label(const char *name) const
    {
        return m_screen->page()->findChild<QLabel *>(QLatin1String(name));
    }

    ETWizardScreenCDFinal *m_screen = nullptr;
};

TEST_F(CDFinalTest, ABurnedCDWithoutStoreListGoesFromThanksToPrices)
{
    build(QString());
    ETCDBurner::addToLog(QStringLiteral("Brenner: Testlaufwerk"));
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("finalCDscreen")));
    EXPECT_EQ(thanks + prices, label("finalCDTextLabel")->text());
    EXPECT_EQ(ETCDBurner::logText(), label("finalCDLicenseLabel")->text());
    EXPECT_TRUE(label("finalCDLicenseLabel")->text().contains(QStringLiteral("Testlaufwerk")));
    EXPECT_EQ(
        QStringLiteral("<qt><b>Brennvorgang abgeschlossen</b><br>Bitte geben Sie die gebrannte CD in einer "
                       "unserer Filialen ab.</qt>"),
        wizard()->titleLabel()->text());
    // The road ends here: Finish only, Next never.
    EXPECT_EQ((QStringList{QStringLiteral("burn"), QStringLiteral("finalCDscreen")}), pageNames());
    EXPECT_FALSE(m_screen->check());
    EXPECT_FALSE(wizard()->nextButton()->isVisible());
    EXPECT_TRUE(endsEventLoop([this] { EXPECT_TRUE(pressFinish()); }));
}

TEST_F(CDFinalTest, AnIsoImageIsNamedWithItsPathAndTheStoreListFollows)
{
    build(QStringLiteral("http://filialen.example.com"));
    const QString image = environment().scratch() + QStringLiteral("/cdimage/lumo.iso");
    wizard()->setImageFileName(image);
    ASSERT_TRUE(pressNext());
    ASSERT_TRUE(waitForPage(QStringLiteral("finalCDscreen")));
    EXPECT_EQ(
        QStringLiteral("<qt>Ein ISO-Image wurde unter %1 erzeugt.  Bitte brennen Sie das Image auf eine CD "
                       "und geben Sie diese in einer unserer Filialen ab.")
                .arg(QDir::toNativeSeparators(image)) +
            QStringLiteral(" Die LumoTest-Filiale in Ihrer Nähe finden Sie unter "
                           "<em>http://filialen.example.com</em>") +
            prices,
        label("finalCDTextLabel")->text());
    EXPECT_EQ(QStringLiteral("<qt><b>ISO-Image erzeugt</b><br>Bitte brennen Sie dieses auf eine CD.</qt>"),
              wizard()->titleLabel()->text());
}

TEST_F(CDFinalTest, ShownOnlyOnTheCDRoad)
{
    build(QString());
    for (bool cd : {true, false}) {
        wizard()->setCDOrder(cd);
        EXPECT_EQ(cd, m_screen->appropriate());
    }
}

} // namespace
