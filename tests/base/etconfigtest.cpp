#include "etconfig.h"
#include "etrecordingpresenter.h"
#include "ettestsandbox.h"
#include "qtprinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace
{

const char *netOutletAndBill = R"(<?xml version="1.0"?>
<paymentConfig><payments>
  <entry upload="net"><p>outlet</p><p>bill</p></entry>
  <entry upload="CD"><p>outlet</p><p>creditcard</p></entry>
</payments></paymentConfig>
)";

class ConfigTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_sandbox.write("default.xml", ETTestSandbox::defaultXml("lumotest", "lumo"));
        m_sandbox.write("payment.xml", netOutletAndBill);
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
    }

    QString settingsFile() const { return m_sandbox.settings() + QStringLiteral("/lumotest/lumo.conf"); }

    ETTestSandbox m_sandbox;
};

TEST_F(ConfigTest, FreshUserGetsTheDefaults)
{
    ETConfig *config = ETConfig::instance();
    EXPECT_EQ(config->directoryRoot(), QStringLiteral("."));
    EXPECT_EQ(config->httpProxyChoice(), QStringLiteral("sys"));
    EXPECT_TRUE(config->httpProxy().isEmpty());
    EXPECT_TRUE(config->httpProxyPort().isEmpty());
    EXPECT_EQ(config->diashowInterval(), 5);
    EXPECT_TRUE(config->sessionID().isEmpty());
    EXPECT_TRUE(config->serverURL().isEmpty());
    EXPECT_TRUE(config->DTD_URL().isEmpty());
    EXPECT_EQ(config->lastPayment(), -1);
}

TEST_F(ConfigTest, SaveAllWritesTheKeysIntoAnOwnerOnlyFile)
{
    ETConfig *config = ETConfig::instance();
    config->setHttpProxy("proxy.example");
    config->setHttpProxyPort("3128");
    config->setHttpProxyChoice("my");
    config->setDiashowInterval("7");
    config->saveAll();

    ASSERT_TRUE(QFileInfo::exists(settingsFile())) << settingsFile().toStdString();
    QSettings stored(settingsFile(), QSettings::IniFormat);
    const struct {
        const char *key;
        QString value;
    } expected[] = {
        {"DirectoryRoot", "."},         {"StartingDirectory", "keine Auswahl"},
        {"CurrentLeftAlbum", "."},      {"LastDirectory", ""},
        {"CurrentAlbum", "."},          {"StartingOption", "Demo Album"},
        {"DiashowInterval", "7"},       {"NumberOfProgramLaunches", "0"},
        {"HttpProxy", "proxy.example"}, {"HttpProxyPort", "3128"},
        {"HttpProxyChoice", "my"},      {"PreviousDir", QDir::home().canonicalPath()},
    };
    for (const auto &entry : expected) {
        SCOPED_TRACE(entry.key);
        EXPECT_TRUE(stored.contains(entry.key));
        EXPECT_EQ(stored.value(entry.key).toString(), entry.value);
    }
    EXPECT_FALSE(stored.contains("SessionID"));

    const auto ownerReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions filePermissions = QFile::permissions(settingsFile());
    EXPECT_EQ(filePermissions & ownerReadWrite, ownerReadWrite);
    EXPECT_EQ(filePermissions & others, QFileDevice::Permissions());
    EXPECT_EQ(QFile::permissions(QFileInfo(settingsFile()).absolutePath()) & others,
              QFileDevice::Permissions());
}

TEST_F(ConfigTest, ServerAddressesAndSessionAreWrittenWhenSet)
{
    ETConfig *config = ETConfig::instance();
    config->setServerURL("https://order.example/xtci");
    config->setDTD_URL("https://order.example/xtci.dtd");
    config->setSessionID("abc", "2030-01-01T00:00:00");
    config->setSessionID("unsaved", "2031-01-01T00:00:00", false);

    QSettings stored(settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("ServerURL").toString(), QStringLiteral("https://order.example/xtci"));
    EXPECT_EQ(stored.value("ServerDTD").toString(), QStringLiteral("https://order.example/xtci.dtd"));
    EXPECT_EQ(stored.value("SessionID").toString(), QStringLiteral("abc"));
    EXPECT_EQ(stored.value("SessionIDValidUntil").toString(), QStringLiteral("2030-01-01T00:00:00"));
    EXPECT_FALSE(stored.contains("HttpProxyChoice")) << "only saveAll writes the proxy";
}

TEST_F(ConfigTest, SessionIsValidUntilItsTime)
{
    ETConfig *config = ETConfig::instance();
    const QDateTime now(QDate(2026, 12, 10), QTime(12, 0, 0));
    config->setClockForTests([now] { return now; });
    const struct {
        const char *name;
        QString id;
        QString validUntil;
        QString expected;
    } cases[] = {
        {"valid", "s1", "2026-12-10T12:00:01", "s1"},
        {"expired", "s1", "2026-12-10T11:59:59", ""},
        {"ends now", "s1", "2026-12-10T12:00:00", ""},
        {"empty identifier", "", "2030-01-01T00:00:00", ""},
        {"no end", "s1", "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        config->setSessionID(c.id, c.validUntil, false);
        EXPECT_EQ(config->sessionID(), c.expected);
    }
}

TEST_F(ConfigTest, ProxyAddressPerChoice)
{
    ETConfig *config = ETConfig::instance();
    const struct {
        const char *name;
        const char *choice;
        const char *host;
        const char *port;
        const char *environment;
        QString expected;
        QString hostAfter;
        QString portAfter;
    } cases[] = {
        {"no proxy", "no", "h", "1", nullptr, "", "h", "1"},
        {"manual", "my", "proxy.example", "3128", nullptr, "proxy.example:3128", "proxy.example", "3128"},
        {"manual default port", "my", "proxy.example", "", nullptr, "proxy.example:8080", "proxy.example",
         "8080"},
        {"manual without host", "my", "", "", nullptr, "", "", ""},
        {"other text is manual", "SYS", "p", "81", nullptr, "p:81", "p", "81"},
        {"system without proxy", "sys", "h", "1", nullptr, "", "h", "1"},
        {"system", "sys", "", "", "cache.example:3128", "cache.example:3128", "cache.example", "3128"},
        {"system with scheme", "sys", "", "", "http://cache.example:3128/", "cache.example:3128",
         "cache.example", "3128"},
        {"system without port", "sys", "h", "1", "cache.example", "cache.example", "h", "1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.environment)
            qputenv("http_proxy", c.environment);
        else
            qunsetenv("http_proxy");
        config->setHttpProxyChoice(c.choice);
        config->setHttpProxy(c.host);
        config->setHttpProxyPort(c.port);
        EXPECT_EQ(config->httpProxyAddress(), c.expected);
        EXPECT_EQ(config->httpProxy(), c.hostAfter);
        EXPECT_EQ(config->httpProxyPort(), c.portAfter);
    }
}

TEST_F(ConfigTest, SystemProxyFallsBackToTheUpperCaseVariable)
{
    qputenv("HTTP_PROXY", "https://upper.example:8888");
    ETConfig *config = ETConfig::instance();
    config->setHttpProxyChoice("sys");
    EXPECT_EQ(config->httpProxyAddress(), QStringLiteral("upper.example:8888"));
    qputenv("http_proxy", "lower.example:3128");
    EXPECT_EQ(config->httpProxyAddress(), QStringLiteral("lower.example:3128"));
}

TEST_F(ConfigTest, LastPaymentIsCheckedAgainstThePaymentRules)
{
    ETConfig *config = ETConfig::instance();
    EXPECT_EQ(config->lastPayment(), -1) << "nothing stored";
    const struct {
        int stored;
        int expected;
    } cases[] = {{0, 0}, {3, 3}, {1, -1}, {2, -1}, {-1, -1}, {9, -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        config->setLastPayment(c.stored);
        EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("lastPayment").toInt(), c.stored);
        EXPECT_EQ(config->lastPayment(), c.expected);
    }
}

TEST_F(ConfigTest, DiashowIntervalReadsDecimalText)
{
    ETConfig *config = ETConfig::instance();
    config->setDiashowInterval("12");
    EXPECT_EQ(config->diashowInterval(), 12);
    config->setDiashowInterval("zwölf");
    EXPECT_EQ(config->diashowInterval(), 5);
}

TEST_F(ConfigTest, ChangingTheDataFolderWarnsOnlyForAnotherFolder)
{
    ETRecordingPresenter presenter;
    ETConfig *config = ETConfig::instance();
    config->setDirectoryRoot(".");
    config->setDirectoryRoot(QFileInfo(".").absoluteFilePath());
    EXPECT_TRUE(presenter.requests().isEmpty());

    QTemporaryDir other;
    config->setDirectoryRoot(other.path());
    ASSERT_EQ(presenter.requests().size(), 1);
    EXPECT_EQ(presenter.last().box.caption, QStringLiteral("Warnung"));
    EXPECT_EQ(config->directoryRoot(), other.path());
    EXPECT_FALSE(QSettings(settingsFile(), QSettings::IniFormat).contains("DirectoryRoot"))
        << "not saved here";
}

TEST_F(ConfigTest, SubFoldersAreMadeInAnExistingDataFolder)
{
    ETRecordingPresenter presenter;
    ETConfig *config = ETConfig::instance();
    QTemporaryDir data;
    config->setDirectoryRoot(data.path());
    const struct {
        const char *name;
        std::function<QString()> dir;
    } folders[] = {
        {"image", [&] { return config->imageDir(); }},
        {"album", [&] { return config->albumDir(); }},
        {"thumbs", [&] { return config->thumbsDir(); }},
        {"imageinfo", [&] { return config->imageInfoDir(); }},
        {"cdimage", [&] { return config->cdImageDir(); }},
    };
    for (const auto &folder : folders) {
        SCOPED_TRACE(folder.name);
        const QString expected = data.path() + QLatin1Char('/') + folder.name;
        EXPECT_EQ(folder.dir(), expected);
        EXPECT_TRUE(QFileInfo(expected).isDir());
    }

    const QString missing = data.path() + QStringLiteral("/missing");
    config->setDirectoryRoot(missing);
    EXPECT_EQ(config->imageDir(), missing + QStringLiteral("/image"));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(ConfigTest, StoredValuesAreReadAtStart)
{
    QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
    {
        QSettings stored(settingsFile(), QSettings::IniFormat);
        stored.setValue("DirectoryRoot", "/daten");
        stored.setValue("HttpProxyChoice", "no");
        stored.setValue("HttpProxy", "p.example");
        stored.setValue("DiashowInterval", 9);
        stored.setValue("SessionID", "s9");
        stored.setValue("SessionIDValidUntil", "2999-01-01T00:00:00");
        stored.setValue("lastPayment", 3);
    }
    ETConfig *config = ETConfig::instance();
    EXPECT_EQ(config->directoryRoot(), QStringLiteral("/daten"));
    EXPECT_EQ(config->httpProxyChoice(), QStringLiteral("no"));
    EXPECT_EQ(config->httpProxy(), QStringLiteral("p.example"));
    EXPECT_EQ(config->diashowInterval(), 9);
    EXPECT_EQ(config->sessionID(), QStringLiteral("s9"));
    EXPECT_EQ(config->lastPayment(), 3);
}

TEST_F(ConfigTest, SettingsAreSafeFromTwoThreads)
{
    ETConfig *config = ETConfig::instance();
    std::atomic<bool> stop{false};
    std::thread upload([&] {
        for (int i = 0; i < 200; ++i)
            config->setSessionID(QString::number(i), "2999-01-01T00:00:00");
        stop = true;
    });
    int reads = 0;
    while (!stop) {
        config->setHttpProxy(QString::number(reads));
        config->saveAll();
        ++reads;
    }
    upload.join();
    EXPECT_EQ(config->sessionID(), QStringLiteral("199"));
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value("SessionID").toString(),
              QStringLiteral("199"));
}

using ConfigDeathTest = ConfigTest;

TEST_F(ConfigDeathTest, MissingProgramNameEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    m_sandbox.write("default.xml", ETTestSandbox::defaultXml("lumotest", ""));
    EXPECT_EXIT(ETConfig::instance(), ::testing::ExitedWithCode(1),
                "programname missing in default.xml, cannot access registry \\(try -N\\)");
}

TEST_F(ConfigDeathTest, MissingKeyAccountNameEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    m_sandbox.write("default.xml", ETTestSandbox::defaultXml("", "lumo"));
    EXPECT_EXIT(ETConfig::instance(), ::testing::ExitedWithCode(1),
                "keyAccountName missing in default.xml, cannot access registry \\(try -C\\)");
}

} // namespace
