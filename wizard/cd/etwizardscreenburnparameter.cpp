#include "etwizardscreenburnparameter.h"

#include "etcdburner.h"
#include "etorderwizard.h"

#include <QComboBox>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>
#include <QWidget>

ETWizardScreenBurnParameter::ETWizardScreenBurnParameter(const QString &name, QWidget *parent,
                                                         ETOrderWizard *wizard)
    : ETWizardScreenCD(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(name);
    auto *layout = new QGridLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *note = new QLabel(tr("<qt>Bitte beachten Sie, dass der Rohling im Zuge des Brennvorgangs "
                               "abgeschlossen wird und somit nicht mehr multisession-fähig ist.</qt>"),
                            page);
    note->setWordWrap(true);
    auto *burnerPrompt = new QLabel(tr("Bitte wählen Sie einen Brenner aus"), page);
    m_burnerCombo = new QComboBox(page);
    m_burnerCombo->setObjectName(QStringLiteral("selectBurnerCombo"));
    m_burnerCombo->setAccessibleName(burnerPrompt->text());
    burnerPrompt->setBuddy(m_burnerCombo);
    auto *speedPrompt = new QLabel(tr("Bitte wählen Sie die Schreibgeschwindigkeit aus"), page);
    m_speedCombo = new QComboBox(page);
    m_speedCombo->setObjectName(QStringLiteral("selectSpeedCombo"));
    m_speedCombo->setAccessibleName(speedPrompt->text());
    speedPrompt->setBuddy(m_speedCombo);

    layout->addWidget(note, 0, 1);
    layout->addWidget(burnerPrompt, 1, 1);
    layout->addWidget(m_burnerCombo, 2, 1);
    layout->addWidget(speedPrompt, 4, 1);
    layout->addWidget(m_speedCombo, 5, 1);
    layout->setRowStretch(0, 2);
    layout->setRowStretch(3, 1);
    layout->setRowStretch(6, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 3);
    layout->setColumnStretch(2, 1);

    m_burnerCombo->setCurrentIndex(0);
    connect(m_burnerCombo, &QComboBox::activated, this, &ETWizardScreenBurnParameter::burnerSelected);
    connect(m_speedCombo, &QComboBox::activated, this, &ETWizardScreenBurnParameter::speedSelected);

    setPage(page);
    setTitle(tr("<qt><b>Brennen-Info</b></qt>"));
}

bool ETWizardScreenBurnParameter::check()
{
    return selectedBurner() != nullptr;
}

bool ETWizardScreenBurnParameter::atNext()
{
    if (ETCDBurner *burner = selectedBurner())
        wizard()->setBurner(burner->internalName(), selectedSpeed());
    return true;
}

bool ETWizardScreenBurnParameter::atShow()
{
    m_burnerCombo->clear();
    m_burnerCombo->addItems(ETCDBurner::list());
    if (m_burnerCombo->count() == 0) {
        m_burnerCombo->addItem(tr("keine Brenner gefunden"));
        m_burnerCombo->setEnabled(false);
    } else {
        m_burnerCombo->setEnabled(true);
    }
    fillSpeeds();
    return true;
}

ETCDBurner *ETWizardScreenBurnParameter::selectedBurner() const
{
    const int index = m_burnerCombo->currentIndex();
    return index < 0 ? nullptr : ETCDBurner::burner(unsigned(index));
}

int ETWizardScreenBurnParameter::selectedSpeed() const
{
    ETCDBurner *burner = selectedBurner();
    if (!burner)
        return 0;
    const QList<int> speeds = burner->writeSpeeds();
    const int index = m_speedCombo->currentIndex();
    return index >= 0 && index < speeds.size() ? speeds.at(index) : 0;
}

void ETWizardScreenBurnParameter::fillSpeeds()
{
    m_speedCombo->clear();
    ETCDBurner *burner = selectedBurner();
    if (!burner) {
        m_speedCombo->addItem(tr("kein Brenner ausgewählt"));
        m_speedCombo->setEnabled(false);
        return;
    }
    const QList<int> speeds = burner->writeSpeeds();
    const int current = burner->currentSpeed();
    qDebug().noquote() << QStringLiteral("Burner ") + burner->externalName() +
                              QString::asprintf(" max=%d current=%d", burner->maximumSpeed(), current);
    int chosen = -1;
    for (int i = 0; i < speeds.size(); ++i) {
        m_speedCombo->addItem(tr("%1 fach").arg(speeds.at(i)));
        if (speeds.at(i) <= current)
            chosen = i;
    }
    if (chosen < 0) {
        m_speedCombo->addItem(tr("keine Geschwindigkeiten verfügbar"));
        m_speedCombo->setCurrentIndex(0);
        m_speedCombo->setEnabled(false);
    } else {
        m_speedCombo->setCurrentIndex(chosen);
        m_speedCombo->setEnabled(true);
    }
}

void ETWizardScreenBurnParameter::burnerSelected(int)
{
    fillSpeeds();
}

void ETWizardScreenBurnParameter::speedSelected(int) {}
