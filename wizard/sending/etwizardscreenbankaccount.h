#pragma once

#include "etwizardscreen.h"

class QWidget;

// The page for payment by direct debit: account holder, account number, bank
// code and bank name. It shows what the server has for the customer and sends
// changed data back when the customer moves on (GUI thread).
class ETWizardScreenBankAccount : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenBankAccount(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool check() override;
    // Sends the bank data when an editor differs from the record or the last
    // sending failed.
    bool atNext() override;
    // Fetches the server's bank data; the page shows also when that fails.
    bool atShow() override;
    bool appropriate() override;

  private:
    // The record holds data the server refused; Next sends it again.
    bool m_updatePending = false;
};
