#include "etimagepathprovider.h"

#include "etconfig.h"
#include "etprocessstate.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace
{

ETImagePathProvider *g_provider = nullptr;
int g_counter = 0;
bool g_resetRegistered = false;

// The provider and the numbering start afresh when a test resets the process state.
void registerReset()
{
    if (g_resetRegistered)
        return;
    g_resetRegistered = true;
    ETProcessState::addReset([] {
        delete g_provider;
        g_provider = nullptr;
        g_counter = 0;
        g_resetRegistered = false;
    });
}

} // namespace

ETImagePathProvider::ETImagePathProvider(bool thumbnailFiles, bool metadataFiles, bool workCopies)
    : m_thumbnailFiles(thumbnailFiles), m_metadataFiles(metadataFiles), m_workCopies(workCopies)
{
}

ETImagePathProvider *ETImagePathProvider::instance()
{
    if (!g_provider) {
        registerReset();
        g_provider = new ETImagePathProvider(false, false, false);
    }
    return g_provider;
}

void ETImagePathProvider::replace(ETImagePathProvider *provider)
{
    if (provider == g_provider)
        return;
    registerReset();
    delete g_provider;
    g_provider = provider;
}

void ETImagePathProvider::resetCounterForTests()
{
    g_counter = 0;
}

QString ETImagePathProvider::thumbnailPath(ETImage *)
{
    return QString();
}

QString ETImagePathProvider::imageInfoPath(ETImage *)
{
    return QString();
}

QString ETImagePathProvider::workPath(const QString &)
{
    return QString();
}

QString ETImagePathProvider::numberedName(const QString &extension)
{
    return QString::asprintf("%08d.", nextNumber()) + extension;
}

QString ETImagePathProvider::tempDir()
{
    QString dir = qEnvironmentVariable("TEMP");
    if (dir.isEmpty())
        dir = qEnvironmentVariable("TMP");
    if (dir.isEmpty())
        dir = QDir::tempPath();
    qDebug().noquote() << QStringLiteral("===> tmpdir=") + dir;
    // A variable naming a missing folder falls back to the system's temporary folder.
    if (!QFileInfo(dir).isDir())
        dir = QDir::tempPath();
    return dir;
}

QString ETImagePathProvider::optimizedName(int number)
{
    return QString::asprintf("%08d.opti.jpg", number);
}

void ETImagePathProvider::changed() {}

QString ETImagePathProvider::imageDir()
{
    return ETConfig::instance()->imageDir();
}

QString ETImagePathProvider::imageInfoDir()
{
    return ETConfig::instance()->imageInfoDir();
}

QString ETImagePathProvider::albumDir()
{
    return ETConfig::instance()->albumDir();
}

QString ETImagePathProvider::thumbsDir()
{
    return ETConfig::instance()->thumbsDir();
}

int ETImagePathProvider::nextNumber()
{
    const QDir dir(tempDir());
    registerReset();
    do {
        ++g_counter;
    } while (dir.exists(optimizedName(g_counter)));
    return g_counter;
}
