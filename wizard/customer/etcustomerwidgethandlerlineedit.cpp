#include "etcustomerwidgethandlerlineedit.h"

#include "etcustomer.h"
#include "etfieldtextvalidator.h"
#include "etlineedit.h"

#include <QHash>
#include <QRegularExpression>

ETCustomerWidgetHandlerLineEdit::ETCustomerWidgetHandlerLineEdit(ETCustomer *customer, const QString &key,
                                                                 QWidget *page)
    : ETCustomerWidgetHandler(customer, key, page)
{
}

ETCustomerWidgetHandlerLineEdit::ETCustomerWidgetHandlerLineEdit(const QString &key, QWidget *page)
    : ETCustomerWidgetHandler(key, page)
{
}

int ETCustomerWidgetHandlerLineEdit::widthInDigits(const QString &key)
{
    static const QHash<QString, int> widths = {{QStringLiteral("bankleitzahl"), 8},
                                               {QStringLiteral("bankname"), 27},
                                               {QStringLiteral("account"), 10},
                                               {QStringLiteral("cardnumber"), 16},
                                               {QStringLiteral("cardvalidationcode"), 3}};
    return widths.value(key, 20);
}

QString ETCustomerWidgetHandlerLineEdit::pattern(const QString &key)
{
    static const QHash<QString, QString> patterns = {
        {QStringLiteral("bankleitzahl"), QStringLiteral("\\d{8}")},
        {QStringLiteral("account"), QStringLiteral("\\d{6,10}")},
        {QStringLiteral("cardnumber"), QStringLiteral("\\d{16}")},
        {QStringLiteral("cardvalidationcode"), QStringLiteral("\\d{3}")}};
    return patterns.value(key);
}

QWidget *ETCustomerWidgetHandlerLineEdit::createWidget(QObject *receiver)
{
    auto *edit = new ETLineEdit(page(), key() + QLatin1String("Edit"), receiver);
    edit->setEchoMode(key().contains(QLatin1String("password")) ? QLineEdit::Password : QLineEdit::Normal);
    edit->setWidthInDigits(widthInDigits(key()));
    edit->setMaxLength(40);
    // The validator keeps the text to what a request can carry, and matches a
    // pattern against the whole text: a beginning of a match is only Intermediate.
    edit->setValidator(new ETFieldTextValidator(QRegularExpression(pattern(key())), page()));
    return edit;
}

void ETCustomerWidgetHandlerLineEdit::showValue()
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget()))
        edit->setText(storedValue());
}

QString ETCustomerWidgetHandlerLineEdit::value()
{
    auto *edit = qobject_cast<QLineEdit *>(widget());
    return edit ? edit->text() : QString();
}

bool ETCustomerWidgetHandlerLineEdit::check()
{
    auto *edit = qobject_cast<QLineEdit *>(widget());
    if (!edit)
        return true;
    if (ETCustomer::isMustField(key())) {
        if (key() == QLatin1String("password")) {
            auto *repeat = page()->findChild<QLineEdit *>(QStringLiteral("passwordCheckEdit"));
            if (repeat && repeat->text() != edit->text())
                return false;
        }
        if (edit->text().isEmpty())
            return false;
    }
    if (const QValidator *validator = edit->validator()) {
        QString text = edit->text();
        int position = 0;
        if (validator->validate(text, position) != QValidator::Acceptable)
            return false;
    }
    return true;
}
