#include "etconfig.h"

#include "etapplicationconfig.h"
#include "etfatal.h"
#include "etrequestercontroller.h"
#include "etsingleton.h"
#include "ettransferconfig.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace
{

const QFileDevice::Permissions ownerFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
const QFileDevice::Permissions ownerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString configRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

// The settings hold the session and, later, customer data: nobody but the user may read them.
void prepareOwnerOnlyFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString folder = info.absolutePath();
    QDir().mkpath(QFileInfo(folder).absolutePath());
    if (!QFileInfo::exists(folder))
        QDir().mkdir(folder, ownerFolder);
    QFile::setPermissions(folder, ownerFolder);
    if (!info.exists()) {
        QFile file(fileName);
        if (file.open(QIODevice::WriteOnly, ownerFile))
            file.close();
    }
    QFile::setPermissions(fileName, ownerFile);
}

// The dealer's names become one folder and one file name, never a path of their own.
QString pathSafe(QString name)
{
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QLatin1Char('\\'), QLatin1Char('_'));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        name.replace(QLatin1Char('.'), QLatin1Char('_'));
    return name;
}

} // namespace

ETConfig *ETConfig::instance()
{
    static ETSingleton<ETConfig> config;
    return config.get([] { return new ETConfig(); });
}

ETConfig::ETConfig() : QObject(nullptr), m_clock([] { return QDateTime::currentDateTime(); })
{
    if (ETApplicationConfig::instance()->programName().isEmpty())
        fatalExit(QStringLiteral("programname missing in default.xml, cannot access registry (try -N)"));

    startSettings();
    m_directoryRoot = readEntry(QStringLiteral("DirectoryRoot"), QStringLiteral("."));
    m_startingDirectory = readEntry(QStringLiteral("StartingDirectory"), tr("keine Auswahl"));
    m_currentLeftAlbum = readEntry(QStringLiteral("CurrentLeftAlbum"), QStringLiteral("."));
    m_lastDirectory = readEntry(QStringLiteral("LastDirectory"), QString());
    m_currentAlbum = readEntry(QStringLiteral("CurrentAlbum"), QStringLiteral("."));
    m_startingOption = readEntry(QStringLiteral("StartingOption"), QStringLiteral("Demo Album"));
    m_httpProxy = readEntry(QStringLiteral("HttpProxy"), QString());
    m_httpProxyPort = readEntry(QStringLiteral("HttpProxyPort"), QString());
    m_httpProxyChoice = readEntry(QStringLiteral("HttpProxyChoice"), QStringLiteral("sys"));
    m_previousDir = readEntry(QStringLiteral("PreviousDir"), QDir::home().canonicalPath());
    m_diashowInterval = readNumEntry(QStringLiteral("DiashowInterval"), 0);
    m_numberOfProgramLaunches = readNumEntry(QStringLiteral("NumberOfProgramLaunches"), 0);
    m_sessionID = readEntry(QStringLiteral("SessionID"), QString());
    m_sessionIDValidUntil = readEntry(QStringLiteral("SessionIDValidUntil"), QString());
    m_serverURL = readEntry(QStringLiteral("ServerURL"), QString());
    m_serverDTD = readEntry(QStringLiteral("ServerDTD"), QString());
    endSettings();
}

QString ETConfig::settingsFileName() const
{
    ETApplicationConfig *app = ETApplicationConfig::instance();
    return configRoot() + QLatin1Char('/') + pathSafe(app->keyAccountName()) + QLatin1Char('/') +
           pathSafe(app->programName()) + QLatin1String(".conf");
}

QString ETConfig::privateFolder(const QString &name, bool make)
{
    ETApplicationConfig *app = ETApplicationConfig::instance();
    if (app->keyAccountName().isEmpty() || app->programName().isEmpty())
        return QString();
    const QString parent = configRoot() + QLatin1Char('/') + pathSafe(app->keyAccountName());
    const QString folder = parent + QLatin1Char('/') + pathSafe(app->programName()) + QLatin1Char('-') + name;
    if (!make)
        return QFileInfo(folder).isDir() ? folder : QString();
    if (!QFileInfo::exists(parent)) {
        QDir().mkpath(QFileInfo(parent).absolutePath());
        QDir().mkdir(parent, ownerFolder);
    }
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder, ownerFolder))
        return QString();
    if (!QFile::setPermissions(folder, ownerFolder))
        return QString();
    return folder;
}

void ETConfig::startSettings()
{
    m_mutex.lock();
    if (++m_settingsDepth > 1)
        return;
    const QString keyAccountName = ETApplicationConfig::instance()->keyAccountName();
    if (keyAccountName.isEmpty())
        fatalExit(QStringLiteral("keyAccountName missing in default.xml, cannot access registry (try -C)"));
    const QString fileName = settingsFileName();
    prepareOwnerOnlyFile(fileName);
    m_settings = new QSettings(fileName, QSettings::IniFormat);
    qDebug().noquote() << "startSettings path=" + keyAccountName;
}

void ETConfig::endSettings()
{
    QMutexLocker lock(&m_mutex);
    if (m_settingsDepth == 0)
        return;
    if (--m_settingsDepth == 0) {
        const QString fileName = m_settings->fileName();
        delete m_settings; // writes the file
        m_settings = nullptr;
        QFile::setPermissions(fileName, ownerFile);
    }
    m_mutex.unlock(); // the one taken by startSettings
}

QString ETConfig::readEntry(const QString &key, const QString &defaultValue, bool *ok)
{
    startSettings();
    const bool present = m_settings->contains(key);
    const QString value = present ? m_settings->value(key).toString() : defaultValue;
    endSettings();
    if (ok)
        *ok = present;
    return value;
}

int ETConfig::readNumEntry(const QString &key, int defaultValue, bool *ok)
{
    startSettings();
    bool converted = false;
    int value = defaultValue;
    if (m_settings->contains(key))
        value = m_settings->value(key).toString().toInt(&converted);
    endSettings();
    if (!converted)
        value = defaultValue;
    if (ok)
        *ok = converted;
    return value;
}

void ETConfig::writeEntry(const QString &key, const QString &value)
{
    startSettings();
    m_settings->setValue(key, value);
    endSettings();
}

void ETConfig::writeEntry(const QString &key, int value)
{
    startSettings();
    m_settings->setValue(key, value);
    endSettings();
}

void ETConfig::removeEntry(const QString &key)
{
    startSettings();
    m_settings->remove(key);
    endSettings();
}

void ETConfig::saveAll()
{
    startSettings();
    writeAll();
    endSettings();
}

void ETConfig::writeAll()
{
    writeEntry(QStringLiteral("DirectoryRoot"), m_directoryRoot);
    writeEntry(QStringLiteral("StartingDirectory"), m_startingDirectory);
    writeEntry(QStringLiteral("CurrentLeftAlbum"), m_currentLeftAlbum);
    writeEntry(QStringLiteral("LastDirectory"), m_lastDirectory);
    writeEntry(QStringLiteral("CurrentAlbum"), m_currentAlbum);
    writeEntry(QStringLiteral("StartingOption"), m_startingOption);
    writeEntry(QStringLiteral("DiashowInterval"), m_diashowInterval);
    writeEntry(QStringLiteral("NumberOfProgramLaunches"), m_numberOfProgramLaunches);
    writeEntry(QStringLiteral("HttpProxy"), m_httpProxy);
    writeEntry(QStringLiteral("HttpProxyPort"), m_httpProxyPort);
    writeEntry(QStringLiteral("HttpProxyChoice"), m_httpProxyChoice);
    writeEntry(QStringLiteral("PreviousDir"), m_previousDir);
}

QString ETConfig::directoryRoot() const
{
    QMutexLocker lock(&m_mutex);
    return m_directoryRoot;
}

void ETConfig::setDirectoryRoot(const QString &folder)
{
    {
        QMutexLocker lock(&m_mutex);
        if (folder == m_directoryRoot || folder == QFileInfo(m_directoryRoot).absoluteFilePath())
            return;
        m_directoryRoot = folder;
    }
    // Not under the lock: the warning waits for the user.
    ETRequesterController::instance()->workDirChanged();
}

QString ETConfig::subDir(const QString &name)
{
    QMutexLocker lock(&m_mutex);
    const QString path = m_directoryRoot + QLatin1Char('/') + name;
    if (!QFileInfo(path).isDir())
        QDir().mkdir(path);
    return path;
}

QString ETConfig::imageDir()
{
    return subDir(QStringLiteral("image"));
}

QString ETConfig::albumDir()
{
    return subDir(QStringLiteral("album"));
}

QString ETConfig::thumbsDir()
{
    return subDir(QStringLiteral("thumbs"));
}

QString ETConfig::imageInfoDir()
{
    return subDir(QStringLiteral("imageinfo"));
}

QString ETConfig::cdImageDir()
{
    return subDir(QStringLiteral("cdimage"));
}

void ETConfig::setStartingDirectory(const QString &text)
{
    QMutexLocker lock(&m_mutex);
    m_startingDirectory = text;
}

QString ETConfig::httpProxy() const
{
    QMutexLocker lock(&m_mutex);
    return m_httpProxy;
}

QString ETConfig::httpProxyPort() const
{
    QMutexLocker lock(&m_mutex);
    return m_httpProxyPort;
}

QString ETConfig::httpProxyChoice() const
{
    QMutexLocker lock(&m_mutex);
    return m_httpProxyChoice;
}

void ETConfig::setHttpProxy(const QString &newValue)
{
    QMutexLocker lock(&m_mutex);
    m_httpProxy = newValue;
}

void ETConfig::setHttpProxyPort(const QString &newValue)
{
    QMutexLocker lock(&m_mutex);
    m_httpProxyPort = newValue;
}

void ETConfig::setHttpProxyChoice(const QString &newValue)
{
    QMutexLocker lock(&m_mutex);
    m_httpProxyChoice = newValue;
}

QString ETConfig::httpProxyAddress()
{
    QMutexLocker lock(&m_mutex);
    if (m_httpProxyChoice == QLatin1String("no"))
        return QString();
    if (m_httpProxyChoice == QLatin1String("sys"))
        return readSystemProxy();
    if (m_httpProxy.isEmpty())
        return QString();
    if (m_httpProxyPort.isEmpty())
        m_httpProxyPort = QStringLiteral("8080");
    return m_httpProxy + QLatin1Char(':') + m_httpProxyPort;
}

// The system's proxy is the one the environment names for HTTP.
QString ETConfig::readSystemProxy()
{
    QString proxy = qEnvironmentVariable("http_proxy");
    if (proxy.isEmpty())
        proxy = qEnvironmentVariable("HTTP_PROXY");
    proxy = proxy.trimmed();
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    proxy.remove(scheme);
    while (proxy.endsWith(QLatin1Char('/')))
        proxy.chop(1);
    m_systemProxy = proxy;
    if (!m_systemProxy.isEmpty()) {
        static const QRegularExpression hostAndPort(QStringLiteral("^(.*):(.*)$"));
        const QRegularExpressionMatch match = hostAndPort.match(m_systemProxy);
        if (match.hasMatch()) {
            m_httpProxy = match.captured(1);
            m_httpProxyPort = match.captured(2);
        }
    }
    return m_systemProxy;
}

QString ETConfig::sessionID() const
{
    QMutexLocker lock(&m_mutex);
    if (m_sessionIDValidUntil.isEmpty() || m_sessionID.isEmpty())
        return QString();
    const QString now = m_clock().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
    return m_sessionIDValidUntil > now ? m_sessionID : QString();
}

void ETConfig::setSessionID(const QString &sessionID, const QString &validUntil)
{
    setSessionID(sessionID, validUntil, true);
}

void ETConfig::setSessionID(const QString &sessionID, const QString &validUntil, bool saveSessionID)
{
    QMutexLocker lock(&m_mutex);
    m_sessionID = sessionID;
    m_sessionIDValidUntil = validUntil;
    if (saveSessionID)
        this->saveSessionID();
}

void ETConfig::saveSessionID()
{
    startSettings();
    writeEntry(QStringLiteral("SessionID"), m_sessionID);
    writeEntry(QStringLiteral("SessionIDValidUntil"), m_sessionIDValidUntil);
    endSettings();
}

void ETConfig::setServerURL(const QString &newValue)
{
    startSettings();
    m_serverURL = newValue;
    writeEntry(QStringLiteral("ServerURL"), m_serverURL);
    endSettings();
}

QString ETConfig::serverURL() const
{
    QMutexLocker lock(&m_mutex);
    return m_serverURL;
}

void ETConfig::setDTD_URL(const QString &newValue)
{
    startSettings();
    m_serverDTD = newValue;
    writeEntry(QStringLiteral("ServerDTD"), m_serverDTD);
    endSettings();
}

QString ETConfig::DTD_URL() const
{
    QMutexLocker lock(&m_mutex);
    return m_serverDTD;
}

int ETConfig::diashowInterval()
{
    QMutexLocker lock(&m_mutex);
    if (m_diashowInterval == 0)
        m_diashowInterval = 5;
    return m_diashowInterval;
}

void ETConfig::setDiashowInterval(const QString &newValue)
{
    QMutexLocker lock(&m_mutex);
    bool ok = false;
    const int value = newValue.toInt(&ok, 10);
    m_diashowInterval = ok ? value : 0;
}

void ETConfig::setCurrentLeftAlbum(const QString &newCurrentLeftAlbum)
{
    startSettings();
    m_currentLeftAlbum = newCurrentLeftAlbum;
    writeAll();
    endSettings();
}

void ETConfig::setLastDirectory(const QString &newLastDirectory)
{
    startSettings();
    m_lastDirectory = newLastDirectory;
    writeAll();
    endSettings();
}

void ETConfig::setCurrentAlbum(const QString &newCurrentAlbum)
{
    QMutexLocker lock(&m_mutex);
    m_currentAlbum = newCurrentAlbum;
}

void ETConfig::setLastPayment(int type)
{
    writeEntry(QStringLiteral("lastPayment"), type);
}

int ETConfig::lastPayment()
{
    bool stored = false;
    const int type = readNumEntry(QStringLiteral("lastPayment"), 0, &stored);
    if (stored && ETTransferConfig::instance()->isAllowed(SubmitNet, type))
        return type;
    return PaymentUnknown;
}

void ETConfig::setClockForTests(std::function<QDateTime()> clock)
{
    QMutexLocker lock(&m_mutex);
    m_clock = std::move(clock);
}
