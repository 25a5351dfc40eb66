#pragma once

#include "etwizardscreen.h"

class QButtonGroup;
class QLabel;
class QRadioButton;
class QWidget;

// The page on which the customer chooses how he pays and gets his prints:
// by post with credit card, direct debit or invoice, or pickup at a store.
// The choice becomes the order's payment type and is remembered per user
// (GUI thread).
class ETWizardScreenPayment : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenPayment(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    // Also clears the order's store: the store page sets it anew.
    bool atNext() override;
    // The remembered type, while the rules still allow it.
    bool atShow() override;
    bool appropriate() override;

    // The type the checked button stands for.
    int chosenType() const;

  private:
    QRadioButton *buttonFor(int type) const;

    QRadioButton *m_creditCardButton;
    QRadioButton *m_accountButton;
    QRadioButton *m_invoiceButton;
    QRadioButton *m_pickupButton;
    QLabel *m_pickupHeading;
    QButtonGroup *m_group;
};
