#include "etpreferencesscreen.h"
#include "accessiblenames.h"
#include "etconfig.h"
#include "ettestsandbox.h"
#include "messagecapture.h"
#include "qtprinters.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

// How often the settings file was opened, i.e. how often something was saved.
int settingsOpened(const MessageCapture &capture)
{
    return int(capture.lines(QtDebugMsg).filter(QStringLiteral("startSettings path=")).size());
}

class PreferencesScreenTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_sandbox.write("default.xml", ETTestSandbox::defaultXml("lumotest", "lumo"));
        m_sandbox.copyShipped("payment.xml");
        m_sandbox.copyShipped("appearance.xml");
        m_parent = std::make_unique<QWidget>();
        ETConfig::instance();
    }

    ETPreferencesScreen *openShown()
    {
        ETPreferencesScreen *screen = ETPreferencesScreen::open(m_parent.get());
        screen->selectProxyScreen();
        screen->show();
        return screen;
    }

    template <typename T> T *child(ETPreferencesScreen *screen, const char *name)
    {
        T *widget = screen->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // The host and port fields are the line edits of the network page, in this order.
    QList<QLineEdit *> proxyFields(ETPreferencesScreen *screen)
    {
        QList<QLineEdit *> fields;
        for (QLineEdit *edit : screen->findChildren<QLineEdit *>())
            if (edit->isVisibleTo(screen))
                fields.append(edit);
        return fields;
    }

    void type(QLineEdit *edit, const QString &text)
    {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    // Clicks where the indicator is: the button is as wide as its grid column, its text is not.
    void choose(QRadioButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
    }

    QSettings stored() const
    {
        return QSettings(m_sandbox.settings() + QStringLiteral("/lumotest/lumo.conf"), QSettings::IniFormat);
    }

    ETTestSandbox m_sandbox;
    std::unique_ptr<QWidget> m_parent;
};

TEST_F(PreferencesScreenTest, BuildsOneNetworkPageWithThreeButtons)
{
    ETPreferencesScreen *screen = openShown();
    EXPECT_EQ(screen, ETPreferencesScreen::open(nullptr)) << "one dialog per process";
    EXPECT_EQ(screen->objectName(), QStringLiteral("preferencesscreen"));
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_TRUE(screen->isModal());
    EXPECT_EQ(screen->palette().color(QPalette::Window), QColor(QStringLiteral("#dfe7ee")))
        << "skin's dialog panel";
    EXPECT_EQ(screen->parentWidget(), m_parent.get());
    auto *tabs = screen->findChild<QTabWidget *>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral(" Netzwerk "));
    EXPECT_EQ(child<QPushButton>(screen, "okButton")->text(), QStringLiteral("Ok"));
    EXPECT_EQ(child<QPushButton>(screen, "applyButton")->text(), QString::fromUtf8("Übernehmen"));
    EXPECT_EQ(child<QPushButton>(screen, "cancelButton")->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(child<QRadioButton>(screen, "NoProxy")->text(), QStringLiteral("Keinen Proxy benutzen"));
    EXPECT_EQ(child<QRadioButton>(screen, "SysProxy")->text(), QStringLiteral("System-Proxy benutzen"));
    EXPECT_EQ(child<QRadioButton>(screen, "MyProxy")->text(), QStringLiteral("Eigenen Proxy benutzen"));
    const QList<QLineEdit *> fields = proxyFields(screen);
    ASSERT_EQ(fields.size(), 2);
    EXPECT_TRUE(fields[1]->inherits("ETLineEdit"));
    EXPECT_EQ(fields[1]->minimumWidth(), fields[1]->maximumWidth()) << "the port field is five digits wide";
    EXPECT_LT(fields[1]->maximumWidth(), fields[0]->width());
    EXPECT_EQ(QStringList(), unnamedControls(screen)) << "a screen reader names every control";
    screen->reject();
}

TEST_F(PreferencesScreenTest, FreshUserSeesSystemProxyAndPort8080)
{
    ETPreferencesScreen *screen = openShown();
    EXPECT_TRUE(child<QRadioButton>(screen, "SysProxy")->isChecked());
    const QList<QLineEdit *> fields = proxyFields(screen);
    ASSERT_EQ(fields.size(), 2);
    EXPECT_EQ(fields[0]->text(), QString());
    EXPECT_EQ(fields[1]->text(), QStringLiteral("8080"));
    QTest::mouseClick(child<QPushButton>(screen, "okButton"), Qt::LeftButton);
    EXPECT_EQ(stored().value("HttpProxyPort").toString(), QStringLiteral("8080"));
    EXPECT_EQ(stored().value("HttpProxyChoice").toString(), QStringLiteral("sys"));
}

TEST_F(PreferencesScreenTest, StoresEachChoiceAndShowsItWhenOpenedAgain)
{
    const struct {
        const char *button;
        const char *host;
        const char *port;
        const char *confirm;
        QString choice;
    } cases[] = {
        {"MyProxy", "proxy.example", "3128", "okButton", "my"},
        {"NoProxy", "other.example", "81", "applyButton", "no"},
        {"SysProxy", "", "8080", "okButton", "sys"},
        {"MyProxy", "", "", "applyButton", "my"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        ETPreferencesScreen *screen = openShown();
        choose(child<QRadioButton>(screen, c.button));
        QList<QLineEdit *> fields = proxyFields(screen);
        ASSERT_EQ(fields.size(), 2);
        type(fields[0], c.host);
        type(fields[1], c.port);
        {
            MessageCapture capture;
            QTest::mouseClick(child<QPushButton>(screen, c.confirm), Qt::LeftButton);
            EXPECT_EQ(settingsOpened(capture), 1) << "saved exactly once";
        }

        ETConfig *config = ETConfig::instance();
        EXPECT_EQ(config->httpProxyChoice(), c.choice);
        EXPECT_EQ(config->httpProxy(), QString::fromLatin1(c.host));
        EXPECT_EQ(config->httpProxyPort(), QString::fromLatin1(c.port));
        QSettings file = stored();
        EXPECT_EQ(file.value("HttpProxyChoice").toString(), c.choice);
        EXPECT_EQ(file.value("HttpProxy").toString(), QString::fromLatin1(c.host));
        EXPECT_EQ(file.value("HttpProxyPort").toString(), QString::fromLatin1(c.port));

        screen->hide();
        screen = openShown();
        fields = proxyFields(screen);
        EXPECT_TRUE(child<QRadioButton>(screen, c.button)->isChecked());
        EXPECT_EQ(fields[0]->text(), QString::fromLatin1(c.host));
        EXPECT_EQ(fields[1]->text(), *c.port ? QString::fromLatin1(c.port) : QStringLiteral("8080"));
        screen->reject();
    }
}

TEST_F(PreferencesScreenTest, CancelKeepsTheStoredValues)
{
    ETConfig::instance()->setHttpProxyChoice("no");
    ETConfig::instance()->saveAll();
    ETPreferencesScreen *screen = openShown();
    choose(child<QRadioButton>(screen, "MyProxy"));
    type(proxyFields(screen)[0], "ignored.example");
    {
        MessageCapture capture;
        QTest::mouseClick(child<QPushButton>(screen, "cancelButton"), Qt::LeftButton);
        EXPECT_EQ(settingsOpened(capture), 0);
    }
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(ETConfig::instance()->httpProxyChoice(), QStringLiteral("no"));

    screen = openShown();
    EXPECT_TRUE(child<QRadioButton>(screen, "NoProxy")->isChecked());
    EXPECT_EQ(proxyFields(screen)[0]->text(), QString());
    screen->reject();
}

TEST_F(PreferencesScreenTest, UnknownStoredChoiceReadsAsNoProxy)
{
    ETConfig::instance()->setHttpProxyChoice("SYS");
    ETPreferencesScreen *screen = openShown();
    EXPECT_TRUE(child<QRadioButton>(screen, "NoProxy")->isChecked());
    screen->reject();
}

} // namespace
