#include "etwizardscreenbankaccount.h"

#include "etcustomer.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etorderwizard.h"
#include "paymenttype.h"

#include <QGridLayout>
#include <QLabel>
#include <QWidget>

ETWizardScreenBankAccount::ETWizardScreenBankAccount(const QString &name, QWidget *parent,
                                                     ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("bankAccountScreenFrame"));
    auto *intro =
        new QLabel(tr("<qt>Bitte geben Sie bitte Ihre Bankverbindung ein.  Die Daten werden über eine "
                      "verschlüsselte Verbindung übertragen und nicht an Dritte weitergegeben.</qt>"),
                   page);
    intro->setWordWrap(true);

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(15, 15, 15, 15);
    grid->setSpacing(5);
    for (int i : {0, 5})
        grid->setRowStretch(i, 1);
    for (int i : {0, 5})
        grid->setColumnStretch(i, 1);
    grid->addWidget(intro, 0, 0, 1, 6, Qt::AlignVCenter);

    ETCustomer *customer = ETOrder::instance()->customer();
    int row = 1;
    for (const char *key : {"accountowner", "account", "bankleitzahl", "bankname"})
        customer->addField(page, QLatin1String(key), wizard, grid, row++, 1, false, true);

    setPage(page);
    setTitle(tr("<qt><b>Bankverbindung</b><br>Bitte geben Sie ihre Bankverbindung an</qt>"));
}

bool ETWizardScreenBankAccount::check()
{
    return ETOrder::instance()->customer()->checkAll(page());
}

bool ETWizardScreenBankAccount::atShow()
{
    ETNetworking *net = ETNetworking::instance();
    ETCustomer *customer = ETOrder::instance()->customer();
    bool ok = false;
    while (!(ok = net->debitDataRequest(customer)))
        if (!askRetry(false))
            break;
    if (ok) {
        m_updatePending = false;
        customer->showAll(page());
    }
    return true;
}

bool ETWizardScreenBankAccount::atNext()
{
    ETCustomer *customer = ETOrder::instance()->customer();
    if (!m_updatePending && customer->allUnchanged(page()))
        return true;
    customer->writeBackAll(page());
    ETNetworking *net = ETNetworking::instance();
    for (;;) {
        if (net->debitUpdateRequest(customer)) {
            m_updatePending = false;
            return true;
        }
        if (!askRetry(false)) {
            m_updatePending = true;
            return false;
        }
    }
}

bool ETWizardScreenBankAccount::appropriate()
{
    return (wizard()->cdOrder() || wizard()->customerPath()) &&
           ETOrder::instance()->paymentType() == PaymentDebit;
}
