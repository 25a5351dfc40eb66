#pragma once

#include "etwizardscreen.h"

class ETOrderTable;

// The basket page: the order table, where the customer picks a product and an
// amount for every picture. Next needs at least one print (GUI thread).
class ETWizardScreenOrder : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenOrder(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool check() override;
    bool atShow() override;

    ETOrderTable *orderTable() const { return m_table; }

  private:
    ETOrderTable *m_table;
};
