#pragma once

#include <QString>
#include <QWidget>

class QButtonGroup;
class QLineEdit;
class QRadioButton;

// The network page of the preferences dialog: no proxy, the system's proxy or an own one (GUI thread).
class ETPreferencesProxy : public QWidget
{
    Q_OBJECT

  public:
    explicit ETPreferencesProxy(QWidget *parent = nullptr, const QString &name = QString());

    // "my", "sys" or "no"; reading maps every unknown text to no proxy.
    void setProxyChoice(const QString &choice);
    QString proxyChoice() const;

    QString proxyHost() const;
    QString proxyPort() const;
    void setProxyHost(const QString &host);
    void setProxyPort(const QString &port);

    void load();
    void save(bool flush);

  private:
    QRadioButton *m_noProxy = nullptr;
    QRadioButton *m_myProxy = nullptr;
    QRadioButton *m_sysProxy = nullptr;
    QLineEdit *m_proxyHost = nullptr;
    QLineEdit *m_proxyPort = nullptr;
    QButtonGroup *m_group = nullptr;
};
