#include "etwizardscreensecurityquestion.h"

#include "etlineedit.h"
#include "etnetworking.h"
#include "etorderwizard.h"

#include <QGridLayout>
#include <QLabel>

ETWizardScreenSecurityQuestion::ETWizardScreenSecurityQuestion(const QString &name, QWidget *parent,
                                                               ETOrderWizard *wizard)
    : ETWizardScreenPasswordForgotten(name, wizard)
{
    auto *page = new QWidget(parent);
    page->setObjectName(QStringLiteral("frame"));
    auto *intro = new QLabel(
        tr("<qt>Bitte beantworten Sie im nachstenden Eingabefeld Ihre persönliche Sicherheitsfrage.</qt>"),
        page);
    auto *questionText = new QLabel(tr("<qt>Ihre Sicherheitsfrage lautet:</qt>"), page);
    m_securityQLabel = new QLabel(page);
    m_securityQLabel->setObjectName(QStringLiteral("securityQLabel"));
    m_securityQLabel->setTextFormat(Qt::PlainText);
    m_securityQLabel->setWordWrap(true);
    intro->setWordWrap(true);
    auto *answerLabel = new QLabel(tr("<qt>Anwort:</qt>"), page);
    m_securityAEdit = new ETLineEdit(page, QStringLiteral("securityAEdit"));
    m_securityAEdit->setWidthInDigits(40);
    m_securityAEdit->setMaxLength(40);
    connect(m_securityAEdit, &QLineEdit::textChanged, wizard,
            qOverload<const QString &>(&ETOrderWizard::checkIntegrity));
    answerLabel->setBuddy(m_securityAEdit);
    m_securityAEdit->setAccessibleName(tr("Anwort:"));

    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(15, 15, 15, 15);
    grid->setSpacing(5);
    grid->setRowStretch(0, 1);
    grid->setRowStretch(6, 2);
    grid->addWidget(intro, 1, 0);
    grid->addWidget(questionText, 2, 0);
    grid->addWidget(m_securityQLabel, 3, 0);
    grid->addWidget(answerLabel, 4, 0);
    grid->addWidget(m_securityAEdit, 5, 0, Qt::AlignLeft);

    setPage(page);
    setTitle(
        tr("<qt><b>Paßwort vergessen</b><br>Um ein neues Paßwort zu erhalten, beantworten Sie bitte Ihre "
           "persönliche Sicherheitsfrage. Das neue Paßwort wird Ihnen umgehend per eMail "
           "zugesandt.</qt>"));
}

bool ETWizardScreenSecurityQuestion::atShow()
{
    const QString login = wizard()->email();
    ETNetworking *net = ETNetworking::instance();
    QString question;
    bool result = net->secQuestionRequest(login, question);
    while (!result && askRetry(false))
        result = net->secQuestionRequest(login, question);
    if (result)
        m_securityQLabel->setText(question);
    return result;
}

bool ETWizardScreenSecurityQuestion::check()
{
    return !m_securityAEdit->text().isEmpty();
}

bool ETWizardScreenSecurityQuestion::atNext()
{
    const QString login = wizard()->email();
    const QString answer = m_securityAEdit->text();
    ETNetworking *net = ETNetworking::instance();
    QString reply;
    bool result = false;
    for (;;) {
        openProgress(1);
        result = net->secAnswerRequest(login, answer, reply);
        setProgress(1);
        closeProgress();
        if (result || !askRetry(false))
            break;
    }
    if (result)
        wizard()->setEmail(reply);
    return result;
}
