#include "etwizardscreenregistration.h"

#include "etapplicationconfig.h"
#include "etcustomer.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etorderwizard.h"

#include <QGridLayout>
#include <QWidget>

ETWizardScreenRegistration::ETWizardScreenRegistration(const QString &name, QWidget *parent,
                                                       ETOrderWizard *wizard)
    : ETWizardScreenNet(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("frame"));
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(15, 15, 15, 15);
    grid->setSpacing(9);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(12, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(7, 2);

    const struct {
        const char *key;
        int row, column;
        bool wide;
    } login[] = {{"email", 1, 1, true},      {"password", 2, 1, true},  {"passwordCheck", 2, 4, true},
                 {"securityQ", 3, 1, true},  {"securityA", 3, 4, true}, {"salutation", 4, 1, false},
                 {"firstname", 5, 1, false}, {"lastname", 5, 4, false}, {"company_name", 7, 1, false}},
      british[] = {{"street", 8, 1, false}, {"city_part", 8, 4, false},       {"city", 9, 1, false},
                   {"zip", 9, 4, false},    {"state_province", 10, 1, false}, {"country", 10, 4, false}},
      other[] = {{"street", 8, 1, false},
                 {"zip", 9, 1, false},
                 {"city", 9, 4, false},
                 {"country", 10, 1, false}},
      phones[] = {{"cellularphone", 11, 1, false}, {"phone", 11, 4, false}};

    ETCustomer *customer = ETOrder::instance()->customer();
    const auto addRows = [&](const auto &rows) {
        for (const auto &row : rows)
            customer->addField(page, QLatin1String(row.key), wizard, grid, row.row, row.column, row.wide,
                               true);
    };
    addRows(login);
    if (ETApplicationConfig::instance()->country() == 7)
        addRows(british);
    else
        addRows(other);
    addRows(phones);

    setPage(page);
    setTitle(tr("<qt><b>Registrierung</b> <br>Geben Sie bitte Ihre persönlichen Daten ein. Die mit einem "
                "Stern (*) gekennzeichneten Felder müssen ausgefüllt werden.</qt>"));
}

bool ETWizardScreenRegistration::check()
{
    return ETOrder::instance()->customer()->checkAll(page());
}

bool ETWizardScreenRegistration::atShow()
{
    return true;
}

bool ETWizardScreenRegistration::appropriate()
{
    return wizard()->customerPath() && wizard()->newCustomer();
}

bool ETWizardScreenRegistration::atNext()
{
    ETCustomer *customer = ETOrder::instance()->customer();
    customer->writeBackAll(page());
    const QString email = customer->value(QStringLiteral("email"));
    ETNetworking *net = ETNetworking::instance();
    bool result = false;
    for (;;) {
        openProgress(1);
        // Once the account exists only the login is repeated: the server
        // would refuse the same address a second time.
        if (!m_createdAccount.isEmpty() && m_createdAccount == email) {
            result = net->loginRequest(email, customer->value(QStringLiteral("password")));
        } else {
            bool created = false;
            result = net->userAddRequest(customer, &created);
            if (created)
                m_createdAccount = email;
        }
        setProgress(1);
        closeProgress();
        if (result || !askRetry(false))
            break;
    }
    if (result)
        wizard()->setNewCustomer(false);
    return result;
}
