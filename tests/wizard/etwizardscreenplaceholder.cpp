#include "etwizardscreenplaceholder.h"

#include "etorder.h"
#include "etorderwizard.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

ETWizardScreenPlaceholder::ETWizardScreenPlaceholder(const QString &name, QWidget *parent,
                                                     ETOrderWizard *wizard, Road road, bool final)
    : ETWizardScreen(name, wizard), m_road(road)
{
    auto *page = new QWidget(parent);
    page->setObjectName(name);
    auto *label = new QLabel(tr("<qt><b>%1</b><br>Diese Seite ist noch nicht gebaut.</qt>").arg(name), page);
    label->setObjectName(QStringLiteral("placeholderLabel"));
    label->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(label);
    setPage(page);
    setTitle(QStringLiteral("<qt><b>") + name + QStringLiteral("</b></qt>"));
    setFinal(final);
}

bool ETWizardScreenPlaceholder::paymentRoad()
{
    return wizard()->cdOrder() || wizard()->customerPath();
}

bool ETWizardScreenPlaceholder::appropriate()
{
    ETOrderWizard *w = wizard();
    const int payment = ETOrder::instance()->paymentType();
    switch (m_road) {
    case Always:
    case ChoosesNetOrder:
        return true;
    case NetOrder:
    case ChoosesCustomerPath:
        return w->netOrder();
    case CustomerPath:
        return w->customerPath();
    case NewCustomer:
        return w->customerPath() && w->newCustomer();
    case PasswordForgotten:
        return w->passwordForgotten();
    case CustomerOrLocal:
        return w->customerPath() || w->localOrder();
    case Address:
        return w->cdOrder() || w->customerPath() || w->localOrder();
    case Payment:
        return paymentRoad();
    case CreditCard:
        return paymentRoad() && payment == PaymentCreditCard;
    case BankAccount:
        return paymentRoad() && payment == PaymentDebit;
    case StoreSelection:
        return paymentRoad() && payment == PaymentOutlet;
    case CDOrder:
        return w->cdOrder();
    case Inactive:
        return false;
    }
    return false;
}

bool ETWizardScreenPlaceholder::atNext()
{
    if (m_road == ChoosesNetOrder) {
        wizard()->setCDOrder(false);
        wizard()->setNetOrder(true);
        ETOrder::instance()->setSubmitMethod(SubmitNet);
    } else if (m_road == ChoosesCustomerPath) {
        wizard()->setCustomerPath(true);
    }
    return true;
}

bool ETWizardScreenPlaceholder::atBack()
{
    if (m_road == ChoosesCustomerPath)
        wizard()->setNetOrder(false);
    return true;
}
