#include "etvaliduntiledit.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace
{

std::function<QDate()> s_clock;

} // namespace

QDate ETValidUntilEdit::today()
{
    return s_clock ? s_clock() : QDate::currentDate();
}

void ETValidUntilEdit::setClockForTests(std::function<QDate()> clock)
{
    s_clock = std::move(clock);
}

ETValidUntilEdit::ETValidUntilEdit(QWidget *parent, const QString &name, int month, int year,
                                   bool rangeFromToday)
    : QWidget(parent), m_month(new QSpinBox(this)), m_year(nullptr)
{
    setObjectName(name);
    const int thisYear = today().year();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_month->setRange(1, 12);
    m_month->setSingleStep(1);
    m_month->setAccessibleName(tr("Monat"));
    layout->addWidget(m_month);
    layout->addWidget(new QLabel(QStringLiteral(" / "), this));
    m_year = new QSpinBox(this);
    if (rangeFromToday)
        m_year->setRange(thisYear, thisYear + 10);
    else
        m_year->setRange(1900, 2099);
    m_year->setSingleStep(1);
    m_year->setAccessibleName(tr("Jahr"));
    layout->addWidget(m_year);
    if (month != 0)
        m_month->setValue(month);
    if (year != 0)
        m_year->setValue(year);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

bool ETValidUntilEdit::isBeforeCurrentMonth() const
{
    const QDate now = today();
    return year() < now.year() || (year() == now.year() && month() < now.month());
}

int ETValidUntilEdit::month() const
{
    return m_month->value();
}

int ETValidUntilEdit::year() const
{
    return m_year->value();
}

QString ETValidUntilEdit::text() const
{
    const int y = year();
    QString yearText;
    if (y >= 101)
        yearText = QStringLiteral("%1").arg(y % 100, 2, 10, QLatin1Char('0'));
    else if (y >= 10)
        yearText = QString::number(y);
    else
        yearText = QLatin1Char('0') + QString::number(y);
    return QStringLiteral("%1").arg(month(), 2, 10, QLatin1Char('0')) + QLatin1Char('/') + yearText;
}

void ETValidUntilEdit::setText(const QString &text)
{
    const int slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0) {
        const int number = text.toInt();
        m_month->setValue(number);
        m_year->setValue(number);
        return;
    }
    m_month->setValue(text.left(slash).toInt());
    const int y = text.mid(slash + 1).toInt();
    m_year->setValue(y > 100 ? y : 2000 + y);
}
