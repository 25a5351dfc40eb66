#include "etwizardscreenaddress.h"

#include "etapplicationconfig.h"
#include "etcustomer.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etorderwizard.h"

#include <QCheckBox>
#include <QDebug>
#include <QGridLayout>
#include <QWidget>

ETWizardScreenAddress::ETWizardScreenAddress(const QString &name, QWidget *parent, ETOrderWizard *wizard,
                                             bool withSaveOption, bool withChangeLoginOption)
    : ETWizardScreen(name, wizard)
{
    const bool british = ETApplicationConfig::instance()->country() == 7;
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("addressScreen"));
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(15, 15, 15, 15);
    grid->setSpacing(8);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(11, 2);

    struct Row {
        const char *key;
        int row, column;
    };
    QList<Row> rows = {{"salutation", 1, 1},
                       {"firstname", 2, 1},
                       {"lastname", 2, 4},
                       {"company_name", 4, 1},
                       {"street", 5, 1}};
    if (british)
        rows +=
            {{"city_part", 5, 4}, {"city", 6, 1}, {"zip", 6, 4}, {"state_province", 7, 1}, {"country", 7, 4}};
    else
        rows += {{"zip", 6, 1}, {"city", 6, 4}, {"country", 7, 1}};
    rows += {{"cellularphone", 8, 1}, {"phone", 8, 4}};
    ETCustomer *customer = ETOrder::instance()->customer();
    for (const Row &row : rows)
        customer->addField(page, QLatin1String(row.key), wizard, grid, row.row, row.column, false, true);

    if (withSaveOption) {
        m_saveData = new QCheckBox(tr("persönliche Daten auf der Festplatte speichern"), page);
        m_saveData->setObjectName(QStringLiteral("saveData"));
        grid->addWidget(m_saveData, 9, 2, 1, 5);
    }
    if (withChangeLoginOption) {
        m_changeLoginData = new QCheckBox(tr("Ich möchte meine Login-Daten ändern"), page);
        m_changeLoginData->setObjectName(QStringLiteral("changeLoginDataCheck"));
        grid->addWidget(m_changeLoginData, 10, 2, 1, 5);
    }

    setPage(page);
    setTitle(
        tr("<qt><b>Lieferadresse:</b><br>Geben Sie bitte Ihre vollständigen Anschriftsdaten ein.  Die mit "
           "(*) gekennzeichneten Felder müssen ausgefüllt werden.</qt>"));
}

bool ETWizardScreenAddress::check()
{
    return ETOrder::instance()->customer()->checkAll(page());
}

bool ETWizardScreenAddress::appropriate()
{
    return wizard()->cdOrder() || wizard()->customerPath() || wizard()->localOrder();
}

void ETWizardScreenAddress::showValues(ETCustomer *customer)
{
    customer->showAll(page());
    if (!customer->value(QStringLiteral("lastname")).isEmpty() && m_saveData)
        m_saveData->setChecked(true);
}

bool ETWizardScreenAddress::atShow()
{
    bool result = true;
    ETCustomer *customer = ETOrder::instance()->customer();
    if (wizard()->customerPath()) {
        // Without the address there is nothing to show: the customer may try again.
        ETNetworking *net = ETNetworking::instance();
        result = net->userInfoRequest(customer);
        while (!result && askRetry(false))
            result = net->userInfoRequest(customer);
        if (result) {
            m_changeUnsent = false;
            showValues(customer);
            m_shownValues = customer->formValues(page());
        }
    } else if (wizard()->cdOrder()) {
        customer->load();
        showValues(customer);
    } else if (wizard()->localOrder()) {
        customer->clear();
        showValues(customer);
    } else {
        qWarning() << "ETWizardScreenAddress::atShow() for inappropriate screen";
    }
    wizard()->setNextEnabled(page(), check());
    return result;
}

bool ETWizardScreenAddress::atNext()
{
    ETCustomer *customer = ETOrder::instance()->customer();
    if (wizard()->customerPath())
        return sendChanges(customer);
    if (customer->allUnchanged(page()))
        return true;
    customer->writeBackAll(page());
    if (m_saveData && m_saveData->isChecked())
        customer->save();
    if (wizard()->cdOrder() || wizard()->localOrder())
        return true;
    qWarning() << "ETWizardScreenAddress::atNext() for inappropriate screen";
    return false;
}

bool ETWizardScreenAddress::sendChanges(ETCustomer *customer)
{
    // Only what the customer changed differs from the server's address: a
    // field that could not show its stored value (a country the list lacks)
    // keeps that value, though its editor shows another.
    bool changed = false;
    const QMap<QString, QString> values = customer->formValues(page());
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.value() == m_shownValues.value(it.key()))
            continue;
        customer->setValue(it.key(), it.value());
        changed = true;
    }
    // A change the server refused before is still to be sent, though the
    // record already holds it.
    if (!changed && !m_changeUnsent)
        return true;
    if (m_saveData && m_saveData->isChecked())
        customer->save();
    ETNetworking *net = ETNetworking::instance();
    m_changeUnsent = true;
    for (;;) {
        openProgress(1);
        const bool result = net->userChangeRequest2(customer);
        setProgress(1);
        closeProgress();
        if (result) {
            m_changeUnsent = false;
            return true;
        }
        if (!askRetry(false))
            return false;
    }
}
