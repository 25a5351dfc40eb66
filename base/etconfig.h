#pragma once

#include <QDateTime>
#include <QObject>
#include <QRecursiveMutex>
#include <QString>

#include <functional>

class QSettings;

// What the client remembers per user between runs, in an owner-only settings file;
// used from the GUI thread and the upload thread, every operation under one lock.
class ETConfig : public QObject
{
    Q_OBJECT

  public:
    static ETConfig *instance();

    // Open and close the settings file; they nest, and the lock is held from start to end.
    void startSettings();
    void endSettings();

    QString readEntry(const QString &key, const QString &defaultValue = QString(), bool *ok = nullptr);
    int readNumEntry(const QString &key, int defaultValue = 0, bool *ok = nullptr);
    void writeEntry(const QString &key, const QString &value);
    void writeEntry(const QString &key, int value);
    void removeEntry(const QString &key);

    void saveAll();

    QString directoryRoot() const;
    void setDirectoryRoot(const QString &folder);
    QString imageDir();
    QString albumDir();
    QString thumbsDir();
    QString imageInfoDir();
    QString cdImageDir();
    void setStartingDirectory(const QString &text);

    QString httpProxy() const;
    QString httpProxyPort() const;
    QString httpProxyChoice() const;
    QString httpProxyAddress();

    QString sessionID() const;
    void saveSessionID();

    QString serverURL() const;
    QString DTD_URL() const;

    int diashowInterval();

    void setLastPayment(int type);
    int lastPayment();

    // The settings file of this user (folder named after the key account, file after the program).
    QString settingsFileName() const;
    // A folder of the program's own beside the settings file ("<program>-<name>"),
    // owner-only. Made when missing unless make is false; empty when it is
    // not there, cannot be made or the dealer settings name no program.
    // Needs no settings object.
    static QString privateFolder(const QString &name, bool make = true);

    // For tests: the clock the session validity is checked against.
    void setClockForTests(std::function<QDateTime()> clock);

  public slots:
    void setCurrentLeftAlbum(const QString &newCurrentLeftAlbum);
    void setLastDirectory(const QString &newLastDirectory);
    void setCurrentAlbum(const QString &newCurrentAlbum);
    void setDiashowInterval(const QString &newValue);
    void setHttpProxy(const QString &newValue);
    void setHttpProxyPort(const QString &newValue);
    void setHttpProxyChoice(const QString &newValue);
    void setSessionID(const QString &sessionID, const QString &validUntil);
    void setSessionID(const QString &sessionID, const QString &validUntil, bool saveSessionID);
    void setServerURL(const QString &newValue);
    void setDTD_URL(const QString &newValue);

  private:
    ETConfig();

    QString subDir(const QString &name);
    QString readSystemProxy();
    void writeAll();

    mutable QRecursiveMutex m_mutex;
    QSettings *m_settings = nullptr;
    int m_settingsDepth = 0;
    QString m_directoryRoot;
    QString m_startingDirectory;
    QString m_currentLeftAlbum;
    QString m_lastDirectory;
    QString m_currentAlbum;
    QString m_startingOption;
    QString m_httpProxy;
    QString m_httpProxyPort;
    QString m_httpProxyChoice;
    QString m_previousDir;
    int m_diashowInterval = 0;
    int m_numberOfProgramLaunches = 0;
    QString m_sessionID;
    QString m_sessionIDValidUntil;
    QString m_serverURL;
    QString m_serverDTD;
    QString m_systemProxy;
    std::function<QDateTime()> m_clock;
};
