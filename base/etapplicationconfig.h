#pragma once

#include "etxmlconfig.h"

#include <QMutex>

// The dealer's settings from default.xml (singleton, read-only). Getters may
// be called from worker threads too.
class ETApplicationConfig : public ETXMLConfig
{
    Q_OBJECT

  public:
    static ETApplicationConfig *instance();

    explicit ETApplicationConfig(QObject *parent = nullptr);

    // Drops the cached values, then rereads the file.
    void load() override;

    QString keyAccount() const;
    QString keyAccountName() const;
    QString programName() const;
    QString protocol() const;
    QString qtLanguage() const;
    QString language() const;
    QString currency() const;
    int country() const;
    int jpegQuality() const;
    QString storeListURL() const;
    bool warnMixedFormats() const;
    bool enableCoupons() const;
    QString cdVolumeName() const;
    QString cdApplicationName() const;
    QString cdPublisher() const;
    // platform "mac" names the disk-image child, anything else the ISO image.
    QString cdImageName(const QString &platform) const;

    static QString version();
    static QString versionNumber();
    static QString softwareCode();

  private:
    QString cached(QString &cache, const QString &key, const QString &defaultValue) const;
    QString cdText(const QString &child, const QString &defaultValue) const;
    int number(const QString &key, const QString &defaultValue) const;

    mutable QMutex m_cacheMutex;
    mutable QString m_protocol;
    mutable QString m_keyAccount;
    mutable QString m_keyAccountName;
    mutable QString m_programName;
};
