#pragma once

#include "etwizardscreen.h"

#include <QWidget>

// Stands in, in the tests, for a screen the test does not want built: a page
// of the screen's name, shown on the road of the screen it stands for, so
// that the page flow runs. The two pages that choose a road choose the usual one
// (GUI thread).
class ETWizardScreenPlaceholder : public ETWizardScreen
{
    Q_OBJECT

  public:
    // When the page is shown, as the screen it stands for decides.
    enum Road {
        Always,
        ChoosesNetOrder,     // always; Next takes the internet road
        NetOrder,            // the internet road
        ChoosesCustomerPath, // the internet road; Next takes the customer path, Back leaves the road
        CustomerPath,        // a customer who logged in or registers
        NewCustomer,         // the customer path of a customer not yet registered
        PasswordForgotten,   // a customer who asked for a new password
        CustomerOrLocal,     // the customer path or a local order
        Address,             // a CD order, the customer path or a local order
        Payment,             // a CD order or the customer path
        CreditCard,          // as Payment, with payment by card
        BankAccount,         // as Payment, with direct debit
        StoreSelection,      // as Payment, with payment at the store
        CDOrder,             // the CD road
        Inactive             // until its screen is switched on
    };

    ETWizardScreenPlaceholder(const QString &name, QWidget *parent, ETOrderWizard *wizard, Road road,
                              bool final = false);

    bool appropriate() override;
    bool atNext() override;
    bool atBack() override;

    Road road() const { return m_road; }

  private:
    bool paymentRoad();

    Road m_road;
};
