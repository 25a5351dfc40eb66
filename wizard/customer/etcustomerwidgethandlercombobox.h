#pragma once

#include "etcustomerwidgethandler.h"

#include <QStringList>

// The editor of a field with fixed choices (salutation, country, card type):
// a read-only combo box. The card type is stored as the brand key and shown
// as its display text (GUI thread).
class ETCustomerWidgetHandlerComboBox : public ETCustomerWidgetHandler
{
    Q_OBJECT

  public:
    // defaultText is selected when the box is made; empty: none.
    ETCustomerWidgetHandlerComboBox(ETCustomer *customer, const QString &key, QWidget *page,
                                    const QStringList &items, const QString &defaultText);

    // Changes of the box run no integrity check: the receiver is not used.
    QWidget *createWidget(QObject *receiver) override;
    // Selects the first entry that begins with the stored value (any case),
    // looking from the current entry on. A country the list lacks is shown
    // as an entry of its own (the last), which goes again when a listed or
    // empty value is shown (an empty one then selects the preset entry);
    // otherwise an empty or unknown value keeps the selection.
    void showValue() override;
    bool check() override;
    QString value() override;

  private:
    // Marks the entry of a stored value that the list lacks.
    static constexpr int unlistedRole = Qt::UserRole + 1;

    bool isCardType() const;
    bool showsUnlisted() const;

    QStringList m_items;
    QString m_defaultText;
};
