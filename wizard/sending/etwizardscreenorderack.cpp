#include "etwizardscreenorderack.h"

#include "etorderrichtextbuilder.h"
#include "etorderwizard.h"

#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>

ETWizardScreenOrderAck::ETWizardScreenOrderAck(const QString &name, QWidget *parent, ETOrderWizard *wizard)
    : ETWizardScreenOrderSummary(name, wizard)
{
    auto *page = new QWidget(parent);
    auto *box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    auto *view = new QTextEdit(QStringLiteral("Hier werden die Orderdaten präsentiert"), page);
    view->setObjectName(QStringLiteral("finalOrderView"));
    view->setReadOnly(true);
    view->setAccessibleName(tr("Bestellübersicht"));
    box->addWidget(view);
    setTextView(view);

    setPage(page);
    setTitle(tr("<qt><b>Bestellübersicht</b><br>Nachstehend sehen Sie den Umfang Ihrer Bestellung. Bitte "
                "kontrollieren Sie die Angaben und akzeptieren Sie die AGBs (auf der nächsten Seite).</qt>"));
}

bool ETWizardScreenOrderAck::appropriate()
{
    return wizard()->customerPath() || wizard()->localOrder();
}

QString ETWizardScreenOrderAck::buildText()
{
    ETOrderRichTextBuilder builder;
    return builder.buildOrderHeader();
}
