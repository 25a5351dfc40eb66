#pragma once

#include "etwizardscreen.h"

class QCheckBox;
class QWidget;

// The page with the dealer's terms ("keyaccount/agb.txt" in the resource
// folder) that the customer accepts with a check box before the order is
// sent; without the file the page cannot be passed (GUI thread).
class ETWizardScreenAGB : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenAGB(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool check() override;
    // The terms are accepted anew on every showing.
    bool atShow() override;
    bool appropriate() override;

    // UTF-8 when the bytes are valid UTF-8, else Windows-1252.
    static QString decodeTerms(const QByteArray &bytes);

  private:
    QCheckBox *m_termsCheckBox = nullptr;
};
