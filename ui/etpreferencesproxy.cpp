#include "etpreferencesproxy.h"

#include "etconfig.h"
#include "etlineedit.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

ETPreferencesProxy::ETPreferencesProxy(QWidget *parent, const QString &name) : QWidget(parent)
{
    setObjectName(name);

    m_noProxy = new QRadioButton(tr("Keinen Proxy benutzen"), this);
    m_noProxy->setObjectName(QStringLiteral("NoProxy"));
    m_myProxy = new QRadioButton(tr("Eigenen Proxy benutzen"), this);
    m_myProxy->setObjectName(QStringLiteral("MyProxy"));
    m_sysProxy = new QRadioButton(tr("System-Proxy benutzen"), this);
    m_sysProxy->setObjectName(QStringLiteral("SysProxy"));
    m_proxyHost = new QLineEdit(this);
    auto *port = new ETLineEdit(QString(), this);
    port->setWidthInDigits(5);
    m_proxyPort = port;
    // No label stands beside the two fields; a screen reader still names them.
    m_proxyHost->setAccessibleName(tr("Proxy-Server"));
    m_proxyPort->setAccessibleName(tr("Proxy-Port"));

    // Only makes the buttons exclusive; never shown.
    m_group = new QButtonGroup(this);
    m_group->setObjectName(QStringLiteral("proxySelection"));
    m_group->addButton(m_noProxy, 0);
    m_group->addButton(m_myProxy, 1);
    m_group->addButton(m_sysProxy, 2);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(5, 5, 5, 5);
    grid->setSpacing(5);
    auto *label =
        new QLabel(QLatin1String("<qt>") +
                       tr("Falls Ihr Provider einen HTTP-Proxy vorsieht, können Sie ihn hier angeben") +
                       QLatin1String("</qt>"),
                   this);
    grid->addWidget(label, 0, 1);
    grid->addWidget(m_noProxy, 1, 1);
    grid->addWidget(m_sysProxy, 2, 1);
    grid->addWidget(m_myProxy, 3, 1);
    grid->addWidget(m_proxyHost, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral(":"), this), 4, 2);
    grid->addWidget(m_proxyPort, 4, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 5);
    grid->setColumnStretch(2, 0);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);
}

void ETPreferencesProxy::setProxyChoice(const QString &choice)
{
    if (choice == QLatin1String("sys"))
        m_sysProxy->setChecked(true);
    else if (choice == QLatin1String("my"))
        m_myProxy->setChecked(true);
    else
        m_noProxy->setChecked(true);
}

QString ETPreferencesProxy::proxyChoice() const
{
    if (m_myProxy->isChecked())
        return QStringLiteral("my");
    if (m_sysProxy->isChecked())
        return QStringLiteral("sys");
    return QStringLiteral("no");
}

QString ETPreferencesProxy::proxyHost() const
{
    return m_proxyHost->text();
}

QString ETPreferencesProxy::proxyPort() const
{
    return m_proxyPort->text();
}

void ETPreferencesProxy::setProxyHost(const QString &host)
{
    m_proxyHost->setText(host);
}

void ETPreferencesProxy::setProxyPort(const QString &port)
{
    m_proxyPort->setText(port);
}

void ETPreferencesProxy::load()
{
    ETConfig *config = ETConfig::instance();
    setProxyHost(config->httpProxy());
    const QString port = config->httpProxyPort();
    setProxyPort(port.isEmpty() ? QStringLiteral("8080") : port);
    setProxyChoice(config->httpProxyChoice());
}

void ETPreferencesProxy::save(bool flush)
{
    ETConfig *config = ETConfig::instance();
    config->setHttpProxy(proxyHost());
    config->setHttpProxyPort(proxyPort());
    config->setHttpProxyChoice(proxyChoice());
    if (flush)
        config->saveAll();
}
