#pragma once

#include "etwizardscreencollectdata.h"

// The automatic step for an order kept on the hard disk: the order folder
// with the pictures and "order.txt" is put together and stays (GUI thread).
class ETWizardScreenCopy : public ETWizardScreenCollectData
{
    Q_OBJECT

  public:
    ETWizardScreenCopy(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool check() override;
    bool atShow() override;
    // The wizard's local-order flag.
    bool appropriate() override;
    // Collect; on success on to the next page, on failure again or nowhere
    // when the order wizard was cancelled.
    bool run() override;

  private:
    bool m_done = false;
};
