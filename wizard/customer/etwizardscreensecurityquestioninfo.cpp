#include "etwizardscreensecurityquestioninfo.h"

#include "etorderwizard.h"

#include <QGridLayout>
#include <QLabel>

ETWizardScreenSecurityQuestionInfo::ETWizardScreenSecurityQuestionInfo(const QString &name, QWidget *parent,
                                                                       ETOrderWizard *wizard)
    : ETWizardScreenPasswordForgotten(name, wizard)
{
    auto *page = new QWidget(parent);
    auto *text = new QLabel(
        tr("<qt>Das System hat ein neues Passwort erzeugt, und an die folgende Adresse versendet:</qt>"),
        page);
    text->setWordWrap(true);
    m_securityReplyLabel = new QLabel(page);
    m_securityReplyLabel->setObjectName(QStringLiteral("securityReplyLabel"));
    // The server's text, shown as it is.
    m_securityReplyLabel->setTextFormat(Qt::PlainText);

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(5);
    grid->addWidget(text, 1, 1);
    grid->addWidget(m_securityReplyLabel, 2, 1);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(3, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 8);
    grid->setColumnStretch(2, 1);

    setPage(page);
    setTitle(tr("<qt><b>Passwort versendet</b></qt>"));
    setFinal(true);
}

bool ETWizardScreenSecurityQuestionInfo::atShow()
{
    m_securityReplyLabel->setText(wizard()->email());
    return true;
}

bool ETWizardScreenSecurityQuestionInfo::check()
{
    return false;
}
