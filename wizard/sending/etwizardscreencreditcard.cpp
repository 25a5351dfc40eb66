#include "etwizardscreencreditcard.h"

#include "etcreditcardlist.h"
#include "etcustomer.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etorderwizard.h"
#include "etrequestercontroller.h"
#include "etvaliduntiledit.h"
#include "paymenttype.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QWidget>

ETWizardScreenCreditCard::ETWizardScreenCreditCard(const QString &name, QWidget *parent,
                                                   ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("creditCardScreenFrame"));
    auto *intro =
        new QLabel(tr("<qt>Bitte geben Sie die Daten Ihrer Kreditkarte ein. Geben Sie keine Leerzeichen "
                      "oder ähnliches bei der Kartennummer ein. Die Daten werden über eine "
                      "verschlüsselte  Verbindung übertragen und nicht an Dritte weitergegeben.</qt>"),
                   page);
    intro->setWordWrap(true);

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(15, 15, 15, 15);
    grid->setSpacing(5);
    for (int i : {0, 6})
        grid->setRowStretch(i, 1);
    for (int i : {0, 3, 5})
        grid->setColumnStretch(i, 1);
    grid->addWidget(intro, 0, 0, 1, 6, Qt::AlignVCenter);

    ETCustomer *customer = ETOrder::instance()->customer();
    int row = 1;
    for (const char *key : {"cardowner", "cardnumber", "validuntil", "cardtype"})
        customer->addField(page, QLatin1String(key), wizard, grid, row++, 1, false, true);
    // Older servers take no validation code; the page keeps the version it was built with.
    if (ETNetworking::protocolVersion() >= 16)
        customer->addField(page, QStringLiteral("cardvalidationcode"), wizard, grid, row, 1, false, true);

    setPage(page);
    setTitle(tr("<qt><b>Kreditkarteninformationen</b><br>Bitte geben Sie ihre Kreditkarteninformationen "
                "an</qt>"));
}

QComboBox *ETWizardScreenCreditCard::cardTypeBox() const
{
    return page()->findChild<QComboBox *>(QStringLiteral("cardtypeEdit"));
}

bool ETWizardScreenCreditCard::check()
{
    // No made-up brand goes to the server: an empty box does not pass.
    const QComboBox *box = cardTypeBox();
    const ETCreditCardList *cards = ETCreditCardList::instance();
    return box && box->currentIndex() >= 0 && cards->displayTexts().contains(box->currentText()) &&
           ETOrder::instance()->customer()->checkAll(page());
}

bool ETWizardScreenCreditCard::atShow()
{
    openProgress(2);
    QCoreApplication::processEvents();
    ETNetworking *net = ETNetworking::instance();
    bool ok = false;
    for (;;) {
        if ((ok = net->updateCreditCardList())) {
            if (QComboBox *box = cardTypeBox())
                ETCreditCardList::instance()->fillComboBox(box);
            break;
        }
        if (!askRetry(false))
            break;
    }
    setProgress(1);
    QCoreApplication::processEvents();
    closeProgress();
    if (ok)
        ETOrder::instance()->customer()->showAll(page());
    return ok;
}

bool ETWizardScreenCreditCard::atNext()
{
    // A card that has run out would only be refused with the order.
    const auto *validity = page()->findChild<ETValidUntilEdit *>(QStringLiteral("validuntilEdit"));
    if (validity && validity->isBeforeCurrentMonth()) {
        ETRequesterController::instance()->cardExpired(validity->text());
        return false;
    }
    ETCustomer *customer = ETOrder::instance()->customer();
    if (!customer->allUnchanged(page()))
        customer->writeBackAll(page());
    return true;
}

bool ETWizardScreenCreditCard::appropriate()
{
    return (wizard()->cdOrder() || wizard()->customerPath()) &&
           ETOrder::instance()->paymentType() == PaymentCreditCard;
}
