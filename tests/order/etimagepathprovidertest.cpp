#include "etimagepathprovider.h"

#include "messagecapture.h"
#include "resourcefolder.h"

#include <gtest/gtest.h>

#include <QDir>

TEST(ETImagePathProviderTest, NumberedNamesSkipExistingCopies)
{
    ResourceFolder resources;
    ETImagePathProvider::resetCounterForTests();
    ETImagePathProvider provider;
    EXPECT_FALSE(provider.keepsThumbnailFiles());
    EXPECT_FALSE(provider.keepsMetadataFiles());
    EXPECT_FALSE(provider.makesWorkCopies());
    EXPECT_EQ(provider.numberedName(QStringLiteral("JPG")), QStringLiteral("00000001.JPG"));
    EXPECT_EQ(provider.numberedName(QStringLiteral("jpeg")), QStringLiteral("00000002.jpeg"));

    ETImagePathProvider::resetCounterForTests();
    for (const char *name : {"00000001.opti.jpg", "00000002.opti.jpg"}) {
        QFile file(resources.temp() + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(provider.nextNumber(), 3);
    EXPECT_EQ(provider.optimizedName(12), QStringLiteral("00000012.opti.jpg"));
    EXPECT_TRUE(provider.thumbnailPath(nullptr).isEmpty());
    EXPECT_TRUE(provider.imageInfoPath(nullptr).isEmpty());
    EXPECT_TRUE(provider.workPath(QStringLiteral("00000001.JPG")).isEmpty());
}

TEST(ETImagePathProviderTest, TemporaryFolder)
{
    ResourceFolder resources;
    ETImagePathProvider provider;
    struct Case {
        const char *name;
        QByteArray temp;
        QByteArray tmp;
        QString expected;
    };
    const QByteArray inside = resources.temp().toUtf8();
    const QByteArray other = resources.resources().toUtf8();
    const Case cases[] = {
        {"TEMP first", inside, other, resources.temp()},
        {"then TMP", QByteArray(), other, resources.resources()},
        {"then the system's folder", QByteArray(), QByteArray(), QDir::tempPath()},
        {"missing folder", QByteArray("/nonexistent/lumo"), QByteArray(), QDir::tempPath()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        qputenv("TEMP", c.temp);
        qputenv("TMP", c.tmp);
        MessageCapture capture;
        EXPECT_EQ(provider.tempDir(), c.expected);
        ASSERT_FALSE(capture.lines().isEmpty());
        EXPECT_TRUE(capture.lines().first().startsWith(QStringLiteral("===> tmpdir=")));
    }
}

namespace
{

int g_destroyed = 0;

class CountingProvider : public ETImagePathProvider
{
  public:
    CountingProvider() : ETImagePathProvider(true, true, true) {}
    ~CountingProvider() override { ++g_destroyed; }
    void changed() override { ++changes; }
    int changes = 0;
};

} // namespace

TEST(ETImagePathProviderTest, ReplaceDestroysThePreviousProvider)
{
    g_destroyed = 0;
    ETImagePathProvider *first = ETImagePathProvider::instance();
    EXPECT_FALSE(first->makesWorkCopies());
    auto *counting = new CountingProvider;
    ETImagePathProvider::replace(counting);
    EXPECT_EQ(ETImagePathProvider::instance(), counting);
    EXPECT_TRUE(ETImagePathProvider::instance()->makesWorkCopies());
    ETImagePathProvider::replace(new ETImagePathProvider);
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_FALSE(ETImagePathProvider::instance()->keepsThumbnailFiles());
}

TEST(ETImagePathProviderTest, WorkFilesChangedIsTheChangeNotification)
{
    auto *counting = new CountingProvider;
    ETImagePathProvider::replace(counting);
    ETImagePathProvider::instance()->workFilesChanged();
    ETImagePathProvider::instance()->changed();
    EXPECT_EQ(counting->changes, 2);
    ETImagePathProvider::replace(new ETImagePathProvider);
}
