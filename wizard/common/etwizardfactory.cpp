#include "etwizardfactory.h"

#include "etappearancefactory.h"
#include "etapplicationconfig.h"
#include "etapplicationfactoryabstract.h"
#include "etcustomer.h"
#include "etcustomerfieldeditors.h"
#include "etfatal.h"
#include "etorder.h"
#include "etorderlinedefault.h"
#include "etorderwizard.h"
#include "etrequestercontroller.h"
#include "ettransferconfig.h"
#include "etwizardscreenaddress.h"
#include "etwizardscreenagb.h"
#include "etwizardscreenbankaccount.h"
#include "etwizardscreenburn.h"
#include "etwizardscreenburnparameter.h"
#include "etwizardscreencdfinal.h"
#include "etwizardscreenchangepassword.h"
#include "etwizardscreencreditcard.h"
#include "etwizardscreenlogin.h"
#include "etwizardscreennetfinal.h"
#include "etwizardscreenorderack.h"
#include "etwizardscreenpayment.h"
#include "etwizardscreenregistration.h"
#include "etwizardscreensecurityquestion.h"
#include "etwizardscreensecurityquestioninfo.h"
#include "etwizardscreensendvianet.h"
#include "etwizardscreenstoreselection.h"
#include "paymenttype.h"

#include <QCheckBox>
#include <QPushButton>

// The customer forms of every screen take their editors from the wizard.
ETWizardFactory::ETWizardFactory(QObject *parent) : ETWizardFactoryInterface(parent)
{
    ETCustomer::setHandlerMaker(ETCustomerFieldEditors::instance());
}

ETOrderLine *ETWizardFactory::createOrderLine(ETOrderItem *item, int row, int column, ETOrderTable *table,
                                              const QString &name)
{
    return new ETOrderLineDefault(item, row, column, table, name);
}

ETOrderWizard *ETWizardFactory::createAppropriateWizard(QWidget *)
{
    fatalExit(tr("Falls das hier erscheint, müssen Sie ETWizardFactory::createAppropriateWizard überladen"));
}

void ETWizardFactory::startWizard()
{
    QWidget *mainWidget = ETApplicationFactoryAbstract::instance()->mainWidget();
    if (!ETOrder::instance()->isHomogeneous() && ETApplicationConfig::instance()->warnMixedFormats())
        ETRequesterController::instance()->mixedFormats();
    ETOrderWizard *wizard = createAppropriateWizard(mainWidget);
    if (!wizard)
        return;
    wizard->exec();
    delete wizard;
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

void ETWizardFactory::addCDScreens(QWidget *parent, ETOrderWizard *wizard)
{
    wizard->addScreen(new ETWizardScreenAddress(QStringLiteral("addressScreen"), parent, wizard, true, false),
                      true);
    wizard->addScreen(new ETWizardScreenBurnParameter(QStringLiteral("selectBurnerScreen"), parent, wizard),
                      true);
    wizard->addScreen(new ETWizardScreenBurn(QStringLiteral("burnCDScreen"), parent, wizard), false);
    wizard->addScreen(new ETWizardScreenCDFinal(QStringLiteral("finalCDscreen"), parent, wizard), false);
}

void ETWizardFactory::addNetworkScreens(QWidget *parent, ETOrderWizard *wizard)
{
    wizard->addScreen(new ETWizardScreenLogin(QStringLiteral("NetworkLoginScreen"), parent, wizard), true);
    wizard->addScreen(new ETWizardScreenRegistration(QStringLiteral("registration"), parent, wizard), true);
    wizard->addScreen(new ETWizardScreenSecurityQuestion(QStringLiteral("securityQuestion"), parent, wizard),
                      true);
    wizard->addScreen(
        new ETWizardScreenSecurityQuestionInfo(QStringLiteral("securityInformation"), parent, wizard), true);
    auto *address = new ETWizardScreenAddress(QStringLiteral("addressScreen"), parent, wizard, false, true);
    wizard->addScreen(address, true);
    auto *changePassword = new ETWizardScreenChangePassword(QStringLiteral("changepassword"), parent, wizard);
    wizard->addScreen(changePassword, true);
    if (QCheckBox *changeLogin = address->changeLoginData())
        connect(changeLogin, &QCheckBox::toggled, changePassword,
                &ETWizardScreenChangePassword::activateThisScreen);
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
            new ETWizardScreenCreditCard(QStringLiteral("creditCardScreenFrame"), parent, wizard), true);
    if (rules->isAllowed(method, PaymentDebit))
        wizard->addScreen(
            new ETWizardScreenBankAccount(QStringLiteral("bankAccountScreenFrame"), parent, wizard), true);
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
