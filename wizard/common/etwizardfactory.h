#pragma once

#include "etwizardfactoryinterface.h"
#include "submitmethod.h"

class ETOrderWizard;
class ETWizard;
class QWidget;

// Base of the factories that build the order wizard: the screens of each road
// in their fixed order, the payment screens that the payment rules call for,
// and the button texts (GUI thread).
class ETWizardFactory : public ETWizardFactoryInterface
{
    Q_OBJECT

  public:
    explicit ETWizardFactory(QObject *parent = nullptr);

    // No factory of the client may use it: it ends the program.
    virtual ETOrderWizard *createAppropriateWizard(QWidget *parent);
    // Button texts, Finish on the last page, no Help anywhere, the skin.
    virtual void finalizeWizard(ETOrderWizard *wizard);
    virtual void addPaymentScreens(QWidget *parent, ETOrderWizard *wizard, SubmitMethod method);
    virtual void addNetworkScreens(QWidget *parent, ETOrderWizard *wizard);
    // With finalEndsWizard the net final screen ends the road.
    virtual void addSendScreens(QWidget *parent, ETOrderWizard *wizard, bool finalEndsWizard);
    virtual void addCDScreens(QWidget *parent, ETOrderWizard *wizard);

    // The plain order line; the client's application factory asks for its own.
    ETOrderLine *createOrderLine(ETOrderItem *item, int row, int column, ETOrderTable *table,
                                 const QString &name) override;

    // Back, Next, Finish, Cancel and Help in the dealer's language.
    void setButtonTexts(ETWizard *wizard) const;

  public slots:
    // Runs a wizard of its own over the main widget, after the mixed-formats warning when the dealer
    // asks for it. The client connects nothing to it: its wizard is the main window.
    void startWizard();
};
