#include "etwizardscreenpayment.h"

#include "etconfig.h"
#include "etorder.h"
#include "etorderwizard.h"
#include "ettransferconfig.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

ETWizardScreenPayment::ETWizardScreenPayment(const QString &name, QWidget *parent, ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("paymentScreenFrame"));

    auto *intro = new QLabel(
        tr("<qt>Die Bereitstellung Ihres Photoauftrags kann auf zwei Arten erfolgen. Entweder holen Sie sich "
           "die Bilder in einer unserer Filialbetriebe ab (Selbstabholer), oder Sie lassen sich Ihre "
           "Photoarbeiten bequem nach Hause senden (Postzustellung)<p></qt>"),
        page);
    intro->setWordWrap(true);
    auto *postHeading =
        new QLabel(QStringLiteral("<qt><b>") + tr("Postzustellung") + QStringLiteral("</b></qt>"), page);
    m_pickupHeading =
        new QLabel(QStringLiteral("<qt><b>") + tr("Selbstabholer") + QStringLiteral("</b></qt>"), page);

    m_creditCardButton = new QRadioButton(tr("Kreditkarte"), page);
    m_creditCardButton->setObjectName(QStringLiteral("creditcard"));
    m_accountButton = new QRadioButton(tr("Lastschrift"), page);
    m_accountButton->setObjectName(QStringLiteral("account"));
    m_invoiceButton = new QRadioButton(tr("Rechnung"), page);
    m_invoiceButton->setObjectName(QStringLiteral("getMail"));
    m_pickupButton = new QRadioButton(tr("Händlerauswahl"), page);
    m_pickupButton->setObjectName(QStringLiteral("myGetPickup"));

    // Only groups the buttons; it is never shown.
    m_group = new QButtonGroup(this);
    m_group->setObjectName(QStringLiteral("registerButtons"));
    m_group->addButton(m_creditCardButton, 1);
    m_group->addButton(m_accountButton, 1);
    m_group->addButton(m_invoiceButton, 1);
    m_group->addButton(m_pickupButton, 0);

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(15, 15, 15, 15);
    grid->setSpacing(5);
    grid->addWidget(intro, 0, 0, 1, 4, Qt::AlignBottom);
    grid->addWidget(postHeading, 1, 1, 1, 2);
    grid->addWidget(m_creditCardButton, 2, 2);
    grid->addWidget(m_accountButton, 3, 2);
    grid->addWidget(m_invoiceButton, 4, 2);
    grid->setRowMinimumHeight(5, 15);
    grid->addWidget(m_pickupHeading, 6, 1, 1, 2);
    grid->addWidget(m_pickupButton, 7, 2);
    grid->setRowStretch(7, 1);
    grid->setColumnMinimumWidth(1, 15);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(3, 1);

    ETTransferConfig *rules = ETTransferConfig::instance();
    const bool pickup = rules->isAllowedForKind0(SubmitNet);
    if (!pickup) {
        m_pickupHeading->setEnabled(false);
        m_pickupButton->setEnabled(false);
    }
    m_creditCardButton->setEnabled(rules->isAllowed(SubmitNet, PaymentCreditCard));
    m_accountButton->setEnabled(rules->isAllowed(SubmitNet, PaymentDebit));
    m_invoiceButton->setEnabled(rules->isAllowed(SubmitNet, PaymentBill));

    // The first type the rules allow, in the order's own order of preference,
    // so that Next never takes a type the dealer does not accept.
    for (int type : {PaymentOutlet, PaymentBill, PaymentCreditCard, PaymentDebit}) {
        if (buttonFor(type)->isEnabled()) {
            buttonFor(type)->setChecked(true);
            break;
        }
    }

    setPage(page);
    setTitle(
        tr("<qt><b>Zustellart auswählen</b><br>Bitte wählen Sie die von Ihnen präferierte Zustellart aus. "
           "In Abhängigkeit von der gewählten Zustellart variieren die Transfergebühren.</qt>"));
}

QRadioButton *ETWizardScreenPayment::buttonFor(int type) const
{
    switch (type) {
    case PaymentCreditCard:
        return m_creditCardButton;
    case PaymentDebit:
        return m_accountButton;
    case PaymentBill:
        return m_invoiceButton;
    case PaymentOutlet:
        return m_pickupButton;
    default:
        return nullptr;
    }
}

int ETWizardScreenPayment::chosenType() const
{
    if (m_creditCardButton->isChecked())
        return PaymentCreditCard;
    if (m_accountButton->isChecked())
        return PaymentDebit;
    if (m_invoiceButton->isChecked())
        return PaymentBill;
    return PaymentOutlet;
}

bool ETWizardScreenPayment::atNext()
{
    ETOrder *order = ETOrder::instance();
    order->setStoreId(QString());
    const int type = chosenType();
    order->setPaymentType(type);
    ETConfig::instance()->setLastPayment(type);
    return true;
}

bool ETWizardScreenPayment::atShow()
{
    if (QRadioButton *button = buttonFor(ETConfig::instance()->lastPayment()))
        button->setChecked(true);
    return true;
}

bool ETWizardScreenPayment::appropriate()
{
    return wizard()->cdOrder() || wizard()->customerPath();
}
