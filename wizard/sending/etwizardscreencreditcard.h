#pragma once

#include "etwizardscreen.h"

class QComboBox;
class QWidget;

// The page for payment by credit card: holder, number, validity, brand and,
// for newer servers, the validation code. The brands come fresh from the
// server on every showing; the data stays in the customer record and leaves
// with the order declaration (GUI thread).
class ETWizardScreenCreditCard : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenCreditCard(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    // Also needs a brand of the server's list in the card-type box.
    bool check() override;
    // Takes the editors' values into the record; sends nothing. A validity
    // before the current month is refused with a message.
    bool atNext() override;
    // False when the brands could not be fetched: the page is not shown.
    bool atShow() override;
    bool appropriate() override;

  private:
    QComboBox *cardTypeBox() const;
};
