#pragma once

#include "etwizardscreenordersummary.h"

class QWidget;

// The order confirmation at the end of the internet road, with a button to
// print it (GUI thread).
class ETWizardScreenNetFinal : public ETWizardScreenOrderSummary
{
    Q_OBJECT

  public:
    // final: showing the page ends the road.
    ETWizardScreenNetFinal(const QString &name, QWidget *parent, ETOrderWizard *wizard, bool final);

    bool appropriate() override;
    QString buildText() override;
};
