#include "etcustomerwidgethandlercombobox.h"

#include "etcreditcardlist.h"

#include <QComboBox>

ETCustomerWidgetHandlerComboBox::ETCustomerWidgetHandlerComboBox(ETCustomer *customer, const QString &key,
                                                                 QWidget *page, const QStringList &items,
                                                                 const QString &defaultText)
    : ETCustomerWidgetHandler(customer, key, page), m_items(items), m_defaultText(defaultText)
{
}

bool ETCustomerWidgetHandlerComboBox::isCardType() const
{
    return key() == QLatin1String("cardtype");
}

bool ETCustomerWidgetHandlerComboBox::showsUnlisted() const
{
    return key() == QLatin1String("country");
}

QWidget *ETCustomerWidgetHandlerComboBox::createWidget(QObject *)
{
    auto *box = new QComboBox(page());
    box->setObjectName(key() + QLatin1String("Edit"));
    box->setEditable(false);
    box->addItems(m_items);
    if (!m_defaultText.isEmpty()) {
        const int index = box->findText(m_defaultText, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            box->setCurrentIndex(index);
    }
    return box;
}

void ETCustomerWidgetHandlerComboBox::showValue()
{
    auto *box = qobject_cast<QComboBox *>(widget());
    if (!box)
        return;
    QString text = storedValue();
    if (isCardType())
        text = ETCreditCardList::instance()->displayString(text);
    const int unlisted = box->findData(true, unlistedRole);
    if (text.isEmpty()) {
        // The value of another record goes, and with it its entry.
        if (unlisted >= 0) {
            if (box->currentIndex() == unlisted)
                box->setCurrentIndex(
                    qMax(0, box->findText(m_defaultText, Qt::MatchExactly | Qt::MatchCaseSensitive)));
            box->removeItem(unlisted);
        }
        return;
    }
    const int count = box->count();
    const int start = qMax(0, box->currentIndex());
    for (int i = 0; i < count; ++i) {
        const int index = (start + i) % count;
        if (index != unlisted && box->itemText(index).startsWith(text, Qt::CaseInsensitive)) {
            box->setCurrentIndex(index);
            if (unlisted >= 0)
                box->removeItem(unlisted);
            return;
        }
    }
    if (!showsUnlisted())
        return;
    // Shown as it is, so that the box holds what goes to the server.
    if (unlisted >= 0) {
        box->setItemText(unlisted, text);
        box->setCurrentIndex(unlisted);
        return;
    }
    box->addItem(text);
    box->setItemData(box->count() - 1, true, unlistedRole);
    box->setCurrentIndex(box->count() - 1);
}

bool ETCustomerWidgetHandlerComboBox::check()
{
    return true;
}

QString ETCustomerWidgetHandlerComboBox::value()
{
    auto *box = qobject_cast<QComboBox *>(widget());
    if (!box)
        return QString();
    return isCardType() ? ETCreditCardList::instance()->brand(box->currentText()) : box->currentText();
}
