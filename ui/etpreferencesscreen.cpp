#include "etpreferencesscreen.h"

#include "etappearancefactory.h"
#include "etapplicationfactoryabstract.h"
#include "etconfig.h"
#include "etpreferencesproxy.h"
#include "etrequestercontroller.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

ETPreferencesScreen *ETPreferencesScreen::open(QWidget *parent)
{
    static ETPreferencesScreen *screen = nullptr;
    if (!screen) {
        if (!parent)
            parent = ETApplicationFactoryAbstract::instance()->mainWidget();
        screen = new ETPreferencesScreen(parent, QStringLiteral("preferencesscreen"));
    }
    return screen;
}

ETPreferencesScreen::ETPreferencesScreen(QWidget *parent, const QString &name)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(name);
    setModal(true);
    setWindowTitle(tr("Einstellungen"));

    m_tabs = new QTabWidget(this);
    m_proxy = new ETPreferencesProxy(this);
    m_tabs->addTab(m_proxy, tr(" Netzwerk "));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tr("Ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton *apply = buttons->addButton(tr("Übernehmen"), QDialogButtonBox::ApplyRole);
    apply->setObjectName(QStringLiteral("applyButton"));
    QPushButton *cancel = buttons->addButton(tr("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, [this] {
        save();
        accept();
    });
    connect(apply, &QPushButton::clicked, this, &ETPreferencesScreen::save);
    connect(cancel, &QPushButton::clicked, this, &ETPreferencesScreen::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);

    resize(500, 250);
    ETAppearanceFactory::instance()->applyDialogColors(this);
}

void ETPreferencesScreen::selectProxyScreen()
{
    if (m_proxy)
        m_tabs->setCurrentWidget(m_proxy);
}

void ETPreferencesScreen::setVisible(bool visible)
{
    if (visible && !isVisible())
        loadFields();
    QDialog::setVisible(visible);
}

void ETPreferencesScreen::loadFields()
{
    ETConfig *config = ETConfig::instance();
    if (m_diashowInterval)
        m_diashowInterval->setValue(config->diashowInterval());
    if (m_proxy)
        m_proxy->load();
    if (m_dataFolder)
        m_dataFolder->setText(QFileInfo(config->directoryRoot()).absoluteFilePath());
}

void ETPreferencesScreen::save()
{
    ETConfig *config = ETConfig::instance();
    if (m_dataFolder)
        config->setDirectoryRoot(m_dataFolder->text());
    if (m_startingDirectory)
        config->setStartingDirectory(m_startingDirectory->currentText());
    if (m_diashowInterval)
        config->setDiashowInterval(m_diashowInterval->text());
    if (m_proxy)
        m_proxy->save(false);
    config->saveAll();
}

void ETPreferencesScreen::browse()
{
    if (!m_dataFolder)
        return;
    const QString folder = ETRequesterController::instance()->getExistingDirectory(
        m_dataFolder->text(), true, tr("Verzeichnis für die Daten der Applikation"), this);
    if (!folder.isNull())
        m_dataFolder->setText(folder);
}
