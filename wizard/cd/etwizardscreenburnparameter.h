#pragma once

#include "etwizardscreencd.h"

class ETCDBurner;
class QComboBox;

// The burner choice of the CD road: one of the registered burners and a
// write speed; Next hands both to the wizard for the burn screen (GUI thread).
class ETWizardScreenBurnParameter : public ETWizardScreenCD
{
    Q_OBJECT

  public:
    ETWizardScreenBurnParameter(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    // A burner is selected.
    bool check() override;
    bool atNext() override;
    // Lists the burners registered by now and their speeds.
    bool atShow() override;

    // Null while no burner is registered.
    ETCDBurner *selectedBurner() const;
    // 0 without a burner or when the burner lists no speeds.
    int selectedSpeed() const;
    // The speeds of the selected burner, the highest not above its current one chosen.
    void fillSpeeds();

  public slots:
    void burnerSelected(int index);
    // The speed is read on Next.
    void speedSelected(int index);

  private:
    QComboBox *m_burnerCombo;
    QComboBox *m_speedCombo;
};
