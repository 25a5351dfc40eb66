#include "etwizardscreennetfinal.h"

#include "etapplicationfactoryabstract.h"
#include "etorderrichtextbuilder.h"
#include "etorderwizard.h"

#include <QGridLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QWidget>

ETWizardScreenNetFinal::ETWizardScreenNetFinal(const QString &name, QWidget *parent, ETOrderWizard *wizard,
                                               bool final)
    : ETWizardScreenOrderSummary(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("finalNetScreen"));
    auto *view = new QTextEdit(QStringLiteral("Hier werden die Orderdaten abschliessend präsentiert"), page);
    view->setObjectName(QStringLiteral("FinalBonSpace"));
    view->setReadOnly(true);
    view->setAccessibleName(tr("Auftragsbestätigung"));
    setTextView(view);
    QPushButton *print = ETApplicationFactoryAbstract::instance()->createButton(
        tr("Bon Drucken"), page, QStringLiteral("printbon"), true);
    connect(print, &QPushButton::clicked, this, &ETWizardScreenOrderSummary::printBon);

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(5);
    grid->addWidget(view, 0, 0, 1, 4);
    grid->addWidget(print, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(3, 1);

    setFinal(final);
    setPage(page);
    setTitle(tr("<qt>Vielen Dank für die Zusendung des Auftrags. Der Auftragsbestätigung können Sie alle "
                "Informationen zu Ihrer Bestellung entnehmen.</qt>"));
}

bool ETWizardScreenNetFinal::appropriate()
{
    return wizard()->customerPath();
}

QString ETWizardScreenNetFinal::buildText()
{
    ETOrderRichTextBuilder builder;
    return builder.buildHeader();
}
