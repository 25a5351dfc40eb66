#include "etcurrency.h"

#include <cstdio>
#include <cstdlib>

ETCurrency::ETCurrency(const QString &shortForm, const QString &longForm, const QString &name,
                       const QString &symbol, const QString &isoCode, const QString &decimalSep)
    : m_short(shortForm), m_long(longForm), m_name(name), m_symbol(symbol), m_isoCode(isoCode),
      m_decimalSep(decimalSep)
{
}

QString ETCurrency::decimalSeparator() const
{
    return m_decimalSep.isNull() ? QStringLiteral(",") : m_decimalSep;
}

QString ETCurrency::formatPrice(int cents) const
{
    qint64 value = cents;
    const char *sign = "";
    if (value < 0) {
        sign = "-";
        value = -value;
    }
    return QString::asprintf("%s%lld", sign, value / 100) + decimalSeparator() +
           QString::asprintf("%02lld", value % 100);
}

int parseMoney(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    // Scan as 64-bit so that an absurdly long number cannot overflow; such a text counts as unreadable.
    long long units = 0;
    int cents = 0;
    int centsBegin = 0;
    int centsEnd = 0;
    if (std::sscanf(bytes.constData(), "%lld%*[,.]%n%2d%n", &units, &centsBegin, &cents, &centsEnd) < 1)
        return 0;
    // One cent digit means tens of cents: "12,5" is 12.50.
    if (centsEnd > centsBegin && bytes.mid(centsBegin, centsEnd - centsBegin).trimmed().size() == 1)
        cents *= 10;
    const long long limit = 21474835;
    if (units > limit || units < -limit)
        return 0;
    // A signed text keeps its sign for the cents as well: "-1,50" is -150.
    const bool negative = bytes.trimmed().startsWith('-');
    const long long magnitude = std::llabs(units) * 100 + cents;
    return int(negative ? -magnitude : magnitude);
}
