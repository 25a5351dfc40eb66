#include "etwizardfactory.h"

#include "etappearancefactory.h"
#include "etfatal.h"
#include "etorderwizard.h"
#include "ettransferconfig.h"
#include "etwizardscreenagb.h"
#include "etwizardscreennetfinal.h"
#include "etwizardscreenorderack.h"
#include "etwizardscreenpayment.h"
#include "etwizardscreenplaceholder.h"
#include "etwizardscreensendvianet.h"
#include "etwizardscreenstoreselection.h"
#include "paymenttype.h"

#include <QPushButton>

ETWizardFactory::ETWizardFactory(QObject *parent) : ETWizardFactoryInterface(parent) {}

ETOrderWizard *ETWizardFactory::createAppropriateWizard(QWidget *)
{
    fatalExit(tr("Falls das hier erscheint, müssen Sie ETWizardFactory::createAppropriateWizard überladen"));
}

void ETWizardFactory::setButtonTexts(ETWizard *wizard) const
{
    ETWizard::setButtonText(wizard->backButton(), tr("Zurück"));
    ETWizard::setButtonText(wizard->nextButton(), tr("Weiter"));
    ETWizard::setButtonText(wizard->finishButton(), tr("Fertig"));
    ETWizard::setButtonText(wizard->cancelButton(), tr("Abbrechen"));
    ETWizard::setButtonText(wizard->helpButton(), tr("Hilfe"));
}

void ETWizardFactory::finalizeWizard(ETOrderWizard *wizard)
{
    setButtonTexts(wizard);
    if (wizard->pageCount() > 0)
        wizard->setFinishEnabled(wizard->page(wizard->pageCount() - 1), true);
    for (int i = 0; i < wizard->pageCount(); ++i)
        wizard->setHelpEnabled(wizard->page(i), false);
    ETAppearanceFactory::instance()->styleWizard(wizard);
}

// Each placeholder gives way to its screen in one line of the tables below.
using Placeholder = ETWizardScreenPlaceholder;

void ETWizardFactory::addCDScreens(QWidget *parent, ETOrderWizard *wizard)
{
    wizard->addScreen(new Placeholder(QStringLiteral("addressScreen"), parent, wizard, Placeholder::Address),
                      true);
    wizard->addScreen(
        new Placeholder(QStringLiteral("selectBurnerScreen"), parent, wizard, Placeholder::CDOrder), true);
    wizard->addScreen(new Placeholder(QStringLiteral("burnCDScreen"), parent, wizard, Placeholder::CDOrder),
                      false);
    wizard->addScreen(
        new Placeholder(QStringLiteral("finalCDscreen"), parent, wizard, Placeholder::CDOrder, true), false);
}

void ETWizardFactory::addNetworkScreens(QWidget *parent, ETOrderWizard *wizard)
{
    wizard->addScreen(new Placeholder(QStringLiteral("NetworkLoginScreen"), parent, wizard,
                                      Placeholder::ChoosesCustomerPath),
                      true);
    wizard->addScreen(
        new Placeholder(QStringLiteral("registration"), parent, wizard, Placeholder::NewCustomer), true);
    wizard->addScreen(
        new Placeholder(QStringLiteral("securityQuestion"), parent, wizard, Placeholder::PasswordForgotten),
        true);
    wizard->addScreen(new Placeholder(QStringLiteral("securityInformation"), parent, wizard,
                                      Placeholder::PasswordForgotten, true),
                      true);
    wizard->addScreen(new Placeholder(QStringLiteral("addressScreen"), parent, wizard, Placeholder::Address),
                      true);
    wizard->addScreen(
        new Placeholder(QStringLiteral("changepassword"), parent, wizard, Placeholder::Inactive), true);
    // TODO: connect the address screen's check box "changeLoginDataCheck"
    // (toggled) to the password screen's activateThisScreen once both exist.
    addPaymentScreens(parent, wizard, SubmitNet);
    wizard->addScreen(new ETWizardScreenOrderAck(QStringLiteral("orderAck"), parent, wizard), true);
    wizard->addScreen(new ETWizardScreenAGB(QStringLiteral("agb"), parent, wizard), true);
}

void ETWizardFactory::addPaymentScreens(QWidget *parent, ETOrderWizard *wizard, SubmitMethod method)
{
    ETTransferConfig *rules = ETTransferConfig::instance();
    if (rules->hasPaymentChoice(method))
        wizard->addScreen(new ETWizardScreenPayment(QStringLiteral("paymentScreenFrame"), parent, wizard),
                          true);
    if (rules->isAllowed(method, PaymentCreditCard))
        wizard->addScreen(
            new Placeholder(QStringLiteral("creditCardScreenFrame"), parent, wizard, Placeholder::CreditCard),
            true);
    if (rules->isAllowed(method, PaymentDebit))
        wizard->addScreen(new Placeholder(QStringLiteral("bankAccountScreenFrame"), parent, wizard,
                                          Placeholder::BankAccount),
                          true);
    if (rules->isAllowedForKind0(method))
        wizard->addScreen(new ETWizardScreenStoreSelection(QStringLiteral("storeSelect"), parent, wizard),
                          true);
}

void ETWizardFactory::addSendScreens(QWidget *parent, ETOrderWizard *wizard, bool finalEndsWizard)
{
    wizard->addScreen(new ETWizardScreenSendViaNet(QStringLiteral("sendViaNet"), parent, wizard), true);
    wizard->addScreen(
        new ETWizardScreenNetFinal(QStringLiteral("finalNetScreen"), parent, wizard, finalEndsWizard), true);
}
