#pragma once

#include "etwizardscreencd.h"

class QLabel;
class QWidget;

// The closing page of the CD road: where the ISO image is or that the CD was
// burned, where to find a store, the note on prices, and the burner's log. It
// ends the road (GUI thread).
class ETWizardScreenCDFinal : public ETWizardScreenCD
{
    Q_OBJECT

  public:
    ETWizardScreenCDFinal(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    // Next stays disabled: the page is left with Finish.
    bool check() override;
    bool atShow() override;

  private:
    QLabel *m_textLabel;
    QLabel *m_logLabel;
};
