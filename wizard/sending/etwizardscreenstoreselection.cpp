#include "etwizardscreenstoreselection.h"

#include "etapplicationfactoryabstract.h"
#include "etlineedit.h"
#include "etnetworking.h"
#include "etorder.h"
#include "etorderwizard.h"
#include "etstore.h"
#include "etstorelist.h"
#include "paymenttype.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <vector>

namespace
{

// A store as the list held it before a search.
struct StoreData {
    int locId;
    QString name;
    QString street;
    QString zip;
    QString city;
};

std::vector<StoreData> snapshot(const ETStoreList *list)
{
    std::vector<StoreData> stores;
    for (const ETStore *s : list->stores())
        stores.push_back({s->locId(), s->name(), s->street(), s->zip(), s->city()});
    return stores;
}

} // namespace

ETWizardScreenStoreSelection::ETWizardScreenStoreSelection(const QString &name, QWidget *parent,
                                                           ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard), m_noStoreText(tr("keine Filiale"))
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("frame"));

    m_storeBox = new QListWidget(page);
    m_storeBox->setObjectName(QStringLiteral("storeBox"));
    m_storeBox->setSelectionMode(QAbstractItemView::SingleSelection);
    m_postalcodeEdit = new ETLineEdit(page, QStringLiteral("postalcodeEdit"));
    m_postalcodeEdit->setWidthInDigits(7);
    m_myCityEdit = new ETLineEdit(page, QStringLiteral("myCityEdit"));
    m_myCityEdit->setWidthInDigits(20);

    auto *logoLabel = new QLabel(page);
    logoLabel->setObjectName(QStringLiteral("logoLabel"));
    auto *postalcodeLabel = new QLabel(tr("PLZ"), page);
    postalcodeLabel->setObjectName(QStringLiteral("postalcode"));
    postalcodeLabel->setBuddy(m_postalcodeEdit);
    m_postalcodeEdit->setAccessibleName(postalcodeLabel->text());
    auto *cityLabel = new QLabel(tr("Ort"), page);
    cityLabel->setObjectName(QStringLiteral("city"));
    cityLabel->setBuddy(m_myCityEdit);
    m_myCityEdit->setAccessibleName(cityLabel->text());
    QPushButton *searchButton = ETApplicationFactoryAbstract::instance()->createButton(
        tr("Suchen"), page, QStringLiteral("searchButton"), true);
    auto *dealerLabel = new QLabel(
        tr("Markieren Sie in der Auswahlliste die Filiale, wo Sie Ihren Auftrag abholen möchten."), page);
    dealerLabel->setObjectName(QStringLiteral("dealerLabel"));
    dealerLabel->setWordWrap(true);
    m_storeBox->setAccessibleName(tr("Filialen"));

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(15, 15, 15, 15);
    grid->setSpacing(5);
    grid->addWidget(logoLabel, 0, 0, 1, 5);
    grid->addWidget(postalcodeLabel, 1, 0);
    grid->addWidget(m_postalcodeEdit, 1, 1, Qt::AlignLeft);
    grid->addWidget(cityLabel, 1, 2);
    grid->addWidget(m_myCityEdit, 1, 3, Qt::AlignLeft);
    grid->addWidget(searchButton, 1, 4);
    grid->addWidget(dealerLabel, 2, 0, 1, 6);
    grid->addWidget(m_storeBox, 3, 0, 1, 6);
    grid->setColumnStretch(5, 10);

    // One search key at a time: typing in one field empties the other.
    connect(m_postalcodeEdit, &QLineEdit::textChanged, m_myCityEdit, &ETLineEdit::specialClear);
    connect(m_myCityEdit, &QLineEdit::textChanged, m_postalcodeEdit, &ETLineEdit::specialClear);
    connect(m_storeBox, &QListWidget::itemSelectionChanged, wizard,
            qOverload<>(&ETOrderWizard::checkIntegrity));
    connect(m_storeBox, &QListWidget::currentRowChanged, wizard, qOverload<>(&ETOrderWizard::checkIntegrity));
    connect(searchButton, &QPushButton::clicked, this, &ETWizardScreenStoreSelection::updateStoreList);

    m_storeBox->addItem(m_noStoreText);
    m_storeBox->setCurrentRow(0);

    setPage(page);
    setTitle(tr("<qt><b>Filialbetrieb wählen</b><br>Zur Auswahl der nächstgelegenen Filiale geben Sie bitte "
                "entweder eine Postleitzahl oder den Namen des Ortes ein. Starten Sie die Auswahl über den "
                "Button \"Suchen\".</qt>"));
}

QString ETWizardScreenStoreSelection::selectedLine() const
{
    const QListWidgetItem *item = m_storeBox->currentItem();
    return item ? item->text().trimmed() : QString();
}

bool ETWizardScreenStoreSelection::check()
{
    const QString line = selectedLine();
    return !line.isEmpty() && line != m_noStoreText;
}

bool ETWizardScreenStoreSelection::atNext()
{
    ETOrder::instance()->setStoreId(selectedLine());
    return true;
}

bool ETWizardScreenStoreSelection::appropriate()
{
    return (wizard()->cdOrder() || wizard()->customerPath()) &&
           ETOrder::instance()->paymentType() == PaymentOutlet;
}

void ETWizardScreenStoreSelection::updateStoreList()
{
    // A click while the search (or another step) waits for the server starts no second one.
    if (!ETNetworking::instance()->mayStartRequest())
        return;
    const ETNetworking::Step step;
    const QString zip = m_postalcodeEdit->text();
    const QString city = m_myCityEdit->text();
    if (zip.isEmpty() && city.isEmpty())
        return;

    // A failed search empties the shared store list; the lines on the page
    // stay, so their stores go back into it.
    const std::vector<StoreData> previous = snapshot(ETStore::storeList());
    ETNetworking *net = ETNetworking::instance();
    ETStoreList *stores = nullptr;
    for (;;) {
        stores = zip.isEmpty() ? net->locationListRequestByCity(city) : net->locationListRequestByZip(zip);
        if (!net->hasError())
            break;
        if (!askRetry(false))
            break;
    }
    if (net->hasError()) {
        ETStoreList *list = ETStore::storeList();
        list->clear();
        for (const StoreData &s : previous)
            list->append(new ETStore(s.locId, s.name, s.street, s.zip, s.city));
        return;
    }

    m_storeBox->clear();
    if (!stores || stores->count() == 0)
        m_storeBox->addItem(m_noStoreText);
    else
        m_storeBox->addItems(stores->names());
    m_storeBox->setCurrentRow(0);
    wizard()->checkIntegrity();
}
