#pragma once

#include "etwizardscreen.h"

#include <QString>

class ETLineEdit;
class QListWidget;
class QWidget;

// The page on which a customer who picks up his prints finds his store: a
// search by postal code or town at the order server, and a list of the stores
// found, one of which becomes the order's store (GUI thread).
class ETWizardScreenStoreSelection : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenStoreSelection(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    // A real store line is current.
    bool check() override;
    bool atNext() override;
    bool appropriate() override;

  public slots:
    // Searches by postal code, else by town; with neither nothing is sent
    // and the list stays.
    void updateStoreList();

  private:
    QString selectedLine() const;

    QListWidget *m_storeBox;
    QString m_noStoreText;
    ETLineEdit *m_postalcodeEdit;
    ETLineEdit *m_myCityEdit;
};
