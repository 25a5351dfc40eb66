#pragma once

#include "etwizardscreenordersummary.h"

class QWidget;

// The order overview on the internet road, before the terms (GUI thread).
class ETWizardScreenOrderAck : public ETWizardScreenOrderSummary
{
    Q_OBJECT

  public:
    ETWizardScreenOrderAck(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool appropriate() override;
    QString buildText() override;
};
