#include "etwizardscreenorder.h"

#include "etorder.h"
#include "etordertable.h"
#include "etorderwizard.h"

ETWizardScreenOrder::ETWizardScreenOrder(const QString &name, QWidget *parent, ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard), m_table(new ETOrderTable(parent, QStringLiteral("order_table")))
{
    setPage(m_table);
    // Next follows every change of the basket.
    connect(m_table, &ETOrderTable::contentChanged, wizard, qOverload<>(&ETOrderWizard::checkIntegrity));
    connect(m_table, &ETOrderTable::itemRemoved, wizard, qOverload<>(&ETOrderWizard::checkIntegrity));
    setTitle(
        tr("<qt><b>Warenkorb</b><br>Bitte wählen Sie das gewünschte Format und die Menge der Bilder.</qt>"));
}

bool ETWizardScreenOrder::check()
{
    return ETOrder::instance()->numberOfImages() > 0;
}

bool ETWizardScreenOrder::atShow()
{
    // The keyboard goes to the first line in sight.
    m_table->focusLineInSight();
    return true;
}
