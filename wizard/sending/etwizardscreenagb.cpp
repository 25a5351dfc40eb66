#include "etwizardscreenagb.h"

#include "etfileutils.h"
#include "etorderwizard.h"
#include "etwindows1252.h"

#include <QCheckBox>
#include <QFile>
#include <QStringDecoder>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>

ETWizardScreenAGB::ETWizardScreenAGB(const QString &name, QWidget *parent, ETOrderWizard *wizard)
    : ETWizardScreen(name, wizard)
{
    auto *page = new QWidget(parent);
    auto *box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    auto *view = new QTextEdit(page);
    view->setObjectName(QStringLiteral("agbView"));
    view->setReadOnly(true);
    view->setAccessibleName(tr("Allgemeine Geschäftsbedingungen"));
    box->addWidget(view);

    QFile file(resourcePath(QStringLiteral("keyaccount/agb.txt")));
    if (!file.open(QIODevice::ReadOnly)) {
        view->setText(tr("Keine Allgemeinen Geschäftsbedinungen gefunden."));
    } else {
        // Plain text or HTML, as the view finds it.
        view->setText(decodeTerms(file.readAll()));
        m_termsCheckBox =
            new QCheckBox(tr("Ich habe die AGBs zur Kenntnis genommen und akzeptiere sie."), page);
        m_termsCheckBox->setObjectName(QStringLiteral("terms"));
        box->addWidget(m_termsCheckBox);
        // Toggled, not only clicked: a box ticked by the keyboard or an
        // assistive tool must enable Next as well.
        connect(m_termsCheckBox, &QCheckBox::toggled, wizard, qOverload<>(&ETOrderWizard::checkIntegrity));
    }

    setPage(page);
    setTitle(tr("<qt><b>Allgemeine Geschäftsbedingungen</b><br>Hier unsere Allgemeinen Geschäftsbedingungen. "
                "Sie akzeptieren diese mit dem Häkchen in der Checkbox unten.</qt>"));
}

QString ETWizardScreenAGB::decodeTerms(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return ETWindows1252::toUnicode(bytes);
}

bool ETWizardScreenAGB::check()
{
    return m_termsCheckBox && m_termsCheckBox->isChecked();
}

bool ETWizardScreenAGB::atShow()
{
    if (m_termsCheckBox)
        m_termsCheckBox->setChecked(false);
    return true;
}

bool ETWizardScreenAGB::appropriate()
{
    return wizard()->customerPath() || wizard()->localOrder();
}
