#include "etlineedit.h"

#include <QMetaMethod>
#include <QStyle>

ETLineEdit::ETLineEdit(QWidget *parent, const QString &name, QObject *receiver) : QLineEdit(parent)
{
    setObjectName(name);
    if (receiver && (receiver->inherits("ETOrderWizard") || receiver->inherits("ETWizardScreen")))
        connectIntegrityCheck(receiver);
}

ETLineEdit::ETLineEdit(const QString &text, QWidget *parent, const QString &name, QObject *receiver)
    : QLineEdit(text, parent)
{
    setObjectName(name);
    if (receiver)
        connectIntegrityCheck(receiver);
}

// The receiver's class is not known here, so the slot is looked up by its
// signature; a receiver without it stays unconnected.
void ETLineEdit::connectIntegrityCheck(QObject *receiver)
{
    const QMetaObject *meta = receiver->metaObject();
    const int slot =
        meta->indexOfMethod(QMetaObject::normalizedSignature("checkIntegrity(QString)").constData());
    if (slot < 0)
        return;
    connect(this, QMetaMethod::fromSignal(&QLineEdit::textChanged), receiver, meta->method(slot));
}

void ETLineEdit::setWidthInDigits(int digits)
{
    const int width = digits * fontMetrics().horizontalAdvance(QLatin1Char('9')) +
                      2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) + 8;
    setMinimumWidth(width);
    setMaximumWidth(width);
}

void ETLineEdit::specialClear(const QString &text)
{
    if (!text.isEmpty())
        clear();
}
