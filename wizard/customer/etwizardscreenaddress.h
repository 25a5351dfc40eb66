#pragma once

#include "etwizardscreen.h"

#include <QMap>
#include <QString>

class ETCustomer;
class QCheckBox;

// The delivery address. On the internet road it is fetched from the server
// and sent back when changed; on the CD road it comes from and may go to the
// disk; a local order starts empty (GUI thread).
class ETWizardScreenAddress : public ETWizardScreen
{
    Q_OBJECT

  public:
    // withSaveOption: the box "saveData" (CD road); withChangeLoginOption: the
    // box "changeLoginDataCheck" that switches the password screen (internet road).
    ETWizardScreenAddress(const QString &name, QWidget *parent, ETOrderWizard *wizard, bool withSaveOption,
                          bool withChangeLoginOption);

    bool check() override;
    bool atNext() override;
    bool atShow() override;
    bool appropriate() override;

    // Null when the screen was built without them.
    QCheckBox *saveData() const { return m_saveData; }
    QCheckBox *changeLoginData() const { return m_changeLoginData; }

  private:
    void showValues(ETCustomer *customer);
    // Internet road: takes the fields the customer changed into the record
    // and sends the record when there are any.
    bool sendChanges(ETCustomer *customer);

    QCheckBox *m_saveData = nullptr;
    QCheckBox *m_changeLoginData = nullptr;
    // Edits taken into the record that the server has not accepted yet.
    bool m_changeUnsent = false;
    // The editors' values as the server's address showed in them.
    QMap<QString, QString> m_shownValues;
};
