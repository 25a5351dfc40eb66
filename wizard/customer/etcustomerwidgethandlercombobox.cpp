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
    if (text.isEmpty())
        return;
    const int count = box->count();
    const int start = qMax(0, box->currentIndex());
    for (int i = 0; i < count; ++i) {
        const int index = (start + i) % count;
        if (box->itemText(index).startsWith(text, Qt::CaseInsensitive)) {
            box->setCurrentIndex(index);
            return;
        }
    }
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
