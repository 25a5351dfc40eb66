#include "etwizardscreennetorcd.h"

#include "etapplicationfactoryabstract.h"
#include "etcurrencyconfig.h"
#include "etorder.h"
#include "etorderwizard.h"
#include "etpreferencesscreen.h"
#include "ettransferconfig.h"
#include "ettransferlist.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

ETWizardScreenNetOrCD::ETWizardScreenNetOrCD(const QString &name, QWidget *parent, ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard)
{
    ETTransferConfig *rules = ETTransferConfig::instance();
    const bool mailOffered = rules->isAllowedAnyKind(SubmitNet);
    const bool pickupOffered = rules->isAllowedForKind0(SubmitNet);

    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("netOrCDscreen"));
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(5);

    const auto label = [page](const QString &text, const char *objectName = nullptr) {
        auto *created = new QLabel(text, page);
        if (objectName)
            created->setObjectName(QLatin1String(objectName));
        return created;
    };

    m_pictureCount = label(QString(), "CountPicturesLabel");
    grid->addWidget(m_pictureCount, 0, 0, 1, 2, Qt::AlignTop);
    auto *road =
        label(tr("<qt>Sie schicken die Bilder via Internet zu unserem Server.  Die Abzüge können Sie bei "
                 "einer unserer Filialen abholen oder sich per Post nach Hause schicken lassen.</qt>"));
    road->setWordWrap(true);
    grid->addWidget(road, 2, 0, 1, 2, Qt::AlignTop);
    grid->addWidget(label(tr("<qt><b>Preise:</b></qt>")), 3, 0, 1, 2, Qt::AlignBottom);

    m_totalPrice = label(QString(), "TotalPriceLabelNet");
    grid->addWidget(label(tr("Bilder:")), 4, 0);
    grid->addWidget(m_totalPrice, 4, 1);
    int row = 5;
    if (mailOffered) {
        m_mailPrice = label(QString(), "PriceMailNet");
        grid->addWidget(label(tr("Mailversand:")), row, 0);
        grid->addWidget(m_mailPrice, row, 1);
        ++row;
    }
    if (pickupOffered) {
        m_pickupPrice = label(QString(), "PriceLocationNet");
        grid->addWidget(label(tr("Abholung:")), row, 0);
        grid->addWidget(m_pickupPrice, row, 1);
    }

    ETApplicationFactoryAbstract *factory = ETApplicationFactoryAbstract::instance();
    QPushButton *settings = factory->createButton(tr("Netzwerkeinstellungen"), page,
                                                  QStringLiteral("wizard/buttons/preferences_net"), true);
    grid->addWidget(settings, 8, 0, 1, 2, Qt::AlignCenter);
    QPushButton *prices = factory->createButton(tr("Preise via Net aktualisieren"), page,
                                                QStringLiteral("wizard/buttons/updateprices"), true);
    grid->addWidget(prices, 9, 0, 1, 2, Qt::AlignCenter);

    for (int r : {0, 2, 3})
        grid->setRowMinimumHeight(r, 30);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(7, 3);

    connect(settings, &QAbstractButton::clicked, this, &ETWizardScreenNetOrCD::showNetworkOptions);
    connect(prices, &QAbstractButton::clicked, this, &ETWizardScreenNetOrCD::updatePrices);

    setPage(page);
    setTitle(tr("<qt><b>Bestellweg wählen</b><br>Bitte wählen Sie einen Bestellweg aus</qt>"));
}

bool ETWizardScreenNetOrCD::atShow()
{
    ETOrder *order = ETOrder::instance();
    m_pictureCount->setText(tr("<qt><b>Anzahl Bilder:</b> %1, <b>Abzüge:</b> %2</qt>")
                                .arg(order->numberOfDistinctImages())
                                .arg(order->numberOfImages()));
    showPrices();
    return true;
}

void ETWizardScreenNetOrCD::showPrices()
{
    ETOrder *order = ETOrder::instance();
    // The prices of the internet road; the basket keeps the method it had, so
    // that going back never shows it prices of a road this client does not take.
    const SubmitMethod before = order->submitMethod();
    order->setSubmitMethod(SubmitNet);
    const int tier = order->transferLevel();
    const ETPriceInfo &transfer = ETTransferList::instance()->prices();
    setPriceLabel(order->totalPrice(), m_totalPrice);
    setPriceLabel(transfer.price(SubmitNet, PaymentBill, tier), m_mailPrice);
    setPriceLabel(transfer.price(SubmitNet, PaymentOutlet, tier), m_pickupPrice);
    order->setSubmitMethod(before);
}

bool ETWizardScreenNetOrCD::atNext()
{
    wizard()->setCDOrder(false);
    wizard()->setNetOrder(true);
    ETOrder::instance()->setSubmitMethod(SubmitNet);
    return true;
}

void ETWizardScreenNetOrCD::setPriceLabel(int cents, QLabel *label)
{
    if (!label)
        return;
    QString text;
    if (cents < 0) {
        text = tr("nicht<br>möglich");
    } else {
        const ETCurrency *currency = ETCurrencyConfig::instance()->currency();
        const QString symbol = currency->symbol().isEmpty() ? currency->name() : currency->symbol();
        text = currency->formatPrice(cents) + QLatin1Char(' ') + symbol;
    }
    label->setText(QStringLiteral("<qt>") + text + QStringLiteral("</qt>"));
}

void ETWizardScreenNetOrCD::showNetworkOptions()
{
    ETPreferencesScreen *preferences = ETPreferencesScreen::open();
    preferences->selectProxyScreen();
    preferences->exec();
}

void ETWizardScreenNetOrCD::updatePrices()
{
    openProgress(4);
    if (openSession(true))
        showPrices();
    closeProgress();
}
